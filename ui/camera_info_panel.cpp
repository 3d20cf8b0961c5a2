#include "camera_info_panel.h"

#include "ui/panel_controls.h"
#include "panel_lifecycle.h"

namespace vx {
namespace {

void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  platform::setDlgItemText(panel, kInfoModel, state.model.modelName.c_str());
  platform::setDlgItemText(panel, kInfoSerial, state.model.serialNumberText.c_str());
  platform::setDlgItemText(panel, kInfoApiVersion, state.model.apiVersionText.c_str());
  platform::setDlgItemText(panel, kInfoDriverVersion, state.model.driverVersionText.c_str());
  platform::setDlgItemText(panel, kInfoFirmwareVersion, state.model.firmwareVersionText.c_str());
  platform::setDlgItemText(panel, kInfoFpgaVersion, state.model.fpgaVersionText.c_str());
  panelOpened(options, Section::CameraInfo, panel);
}

} // namespace

std::intptr_t cameraInfoPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::CameraInfo, &initialise, nullptr, nullptr};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
