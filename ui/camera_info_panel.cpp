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
  switch (message) {
    case platform::WM_INITDIALOG: {
      DriverState* state = stateFromInitParam(lParam);
      bindDialog(panel, state);
      if (state != nullptr) initialise(*state, panel);
      return 1;
    }
    case platform::WM_COMMAND: {
      DriverState* state = boundState(panel);
      if (state == nullptr || !isClick(wParam) || commandId(wParam) != kPanelClose) return 0;
      closePanelItself(*state, Section::CameraInfo);
      return 1;
    }
    case platform::WM_CLOSE:
      if (DriverState* state = boundState(panel)) closePanelItself(*state, Section::CameraInfo);
      return 1;
    case platform::WM_DESTROY:
      if (DriverState* state = boundState(panel)) panelDestroyed(*state, Section::CameraInfo, panel);
      unbindDialog(panel);
      return 0;
    default:
      return 0;
  }
}

} // namespace vx
