// The camera-choice dialog: a modal list of the attached cameras' serial
// numbers, shown when more than one camera is attached.
#include "camera/camera_session.h"

#include "base/debug_log.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

namespace vx {
namespace {

constexpr int kTemplateId = 106;
constexpr int kCameraList = 1109;
constexpr int kMaxListed = 20;

constexpr platform::ControlTemplate kControls[] = {
    {-1, platform::ControlKind::Static, "Please select the Varnex camera you want to use...",
     {10, 10, 250, 26}},
    // A list to pick from: the user cannot type a camera that is not there.
    {kCameraList, platform::ControlKind::ComboBox, "", {10, 32, 250, 140}, true, true, platform::CBS_DROPDOWNLIST},
    {platform::IDOK, platform::ControlKind::Button, "OK", {60, 70, 130, 92}},
    {platform::IDCANCEL, platform::ControlKind::Button, "Cancel", {140, 70, 210, 92}},
};

constexpr platform::DialogTemplate kTemplate{
    kTemplateId, "Camera Choice...", {200, 200, 470, 310}, kControls, std::size(kControls)};

// The session the dialog chooses for: given with WM_INITDIALOG and kept in
// the dialog's user data.
CameraSession* sessionOf(platform::Window dialog) {
  return reinterpret_cast<CameraSession*>(platform::windowUserData(dialog));
}

std::intptr_t choiceProc(platform::Window dialog, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
  if (message == platform::WM_INITDIALOG) platform::setWindowUserData(dialog, lParam);
  CameraSession* session = sessionOf(dialog);
  if (session == nullptr) return 0;
  CameraSession& camera = *session;
  switch (message) {
    case platform::WM_INITDIALOG: {
      std::array<CameraVersionRecord, kMaxListed> records{};
      const int count = std::clamp(camera.cameraCount, 0, kMaxListed);
      if (count > 0 && VarcamEnumCameras(records.data(), count) != 0) {
        for (int i = 0; i < count; ++i) {
          char text[16];
          std::snprintf(text, sizeof text, "%d",
                        static_cast<int>(records[static_cast<std::size_t>(i)].serialNumber));
          platform::comboAddString(dialog, kCameraList, text);
        }
      }
      platform::comboSetCurSel(dialog, kCameraList, 0);
      return 1;
    }
    case platform::WM_COMMAND:
      if (platform::loWord(wParam) == static_cast<unsigned>(platform::IDOK)) {
        const int selected = platform::comboGetCurSel(dialog, kCameraList);
        camera.chosenCameraIndex = selected >= 0 ? selected + 1 : -1;
        logLine("Choice index: %d", camera.chosenCameraIndex);
        platform::endDialog(dialog, 1);
        return 1;
      }
      if (platform::loWord(wParam) == static_cast<unsigned>(platform::IDCANCEL)) {
        camera.chosenCameraIndex = -1;
        platform::endDialog(dialog, 0);
        return 1;
      }
      return 0;
    case platform::WM_CLOSE:
      camera.chosenCameraIndex = -1;
      platform::endDialog(dialog, 0);
      return 1;
    default:
      return 0;
  }
}

} // namespace

void runCameraChoiceDialog(CameraSession& camera) {
  platform::dialogBox(kTemplate, camera.state().hostWindow, &choiceProc, reinterpret_cast<std::intptr_t>(&camera));
}

} // namespace vx
