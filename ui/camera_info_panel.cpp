#include "ui/camera_info_panel.h"

#include "ui/dialog_binding.h"
#include "ui/panel_controls.h"
#include "ui/panel_lifecycle.h"

namespace vx {
namespace {

void initialise(DriverState& state, Window panel) {
  platform::setDlgItemText(panel, kInfoModel, state.modelName.c_str());
  platform::setDlgItemText(panel, kInfoSerial, state.serialNumberText.c_str());
  platform::setDlgItemText(panel, kInfoApiVersion, state.apiVersionText.c_str());
  platform::setDlgItemText(panel, kInfoDriverVersion, state.driverVersionText.c_str());
  platform::setDlgItemText(panel, kInfoFirmwareVersion, state.firmwareVersionText.c_str());
  platform::setDlgItemText(panel, kInfoFpgaVersion, state.fpgaVersionText.c_str());
  panelOpened(state, Section::CameraInfo, panel);
}

} // namespace

std::intptr_t cameraInfoPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::CameraInfo, &initialise, nullptr, nullptr};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
