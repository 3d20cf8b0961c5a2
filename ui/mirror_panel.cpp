#include "mirror_panel.h"

#include "base/debug_log.h"
#include "camera/snapshot.h"
#include "panel_lifecycle.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

namespace vx {
namespace {

// Reads the camera's flipping into the flags (0 none, 1 horizontal, 2
// vertical, 3 both), writes it back and ticks the boxes. A failed read
// leaves the flags, the camera and the boxes alone.
void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  panelOpened(options, Section::Mirror, panel);
  float value = 0.0f;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(camera.handle(), PropFlipping, &value, &flags) == 0) {
    messageBoxf(state.optionsParent, "ERROR", "Could not get Flipping: %d", static_cast<int>(VarcamGetLastError()));
    return;
  }
  logLine("PIXORA QUORVEL DRIVER: Flipping retreived from camera.");
  if (value == 0.0f || value == 1.0f || value == 2.0f || value == 3.0f) {
    const int code = static_cast<int>(value);
    state.mirrorHorizontal = (code & 1) != 0 ? 1 : 0;
    state.mirrorVertical = (code & 2) != 0 ? 1 : 0;
  }
  setMirroring(camera);
  if (state.mirrorHorizontal != 0) setChecked(panel, kMirrorHorizontal, 1);
  if (state.mirrorVertical != 0) setChecked(panel, kMirrorVertical, 1);
}

// A box clicked sets its flag and applies both to the camera.
std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  DriverState& state = options.state();
  if (!isClick(wParam)) return 0;
  switch (commandId(wParam)) {
    case kMirrorHorizontal:
      state.mirrorHorizontal = checkedFlag(panel, kMirrorHorizontal);
      setMirroring(options.camera());
      return 1;
    case kMirrorVertical:
      state.mirrorVertical = checkedFlag(panel, kMirrorVertical);
      setMirroring(options.camera());
      return 1;
    case kPanelClose:
      closePanelItself(options, Section::Mirror);
      return 1;
    default:
      return 0;
  }
}

} // namespace

std::intptr_t mirrorPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::Mirror, &initialise, &command, nullptr};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
