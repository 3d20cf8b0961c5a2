#include "driver/config_dialog.h"

#include "driver/simulation_image.h"

namespace vx {
namespace {

int checkState(std::int32_t flag) { return flag != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED; }

std::int32_t checked(Window dialog, int id) {
  return platform::isDlgButtonChecked(dialog, id) == platform::BST_CHECKED ? 1 : 0;
}

// The bit-depth box offers 36-bit images for a colour camera and 12-bit ones
// for a monochrome camera.
void setUpBitDepthBox(const Driver& driver, Window dialog) {
  const bool colour = driver.capture.colourCamera != 0;
  platform::setDlgItemText(dialog, kConfigBitDepthBox, colour ? "36-bit" : "12-bit");
  platform::checkDlgButton(dialog, kConfigBitDepthBox, checkState(colour ? driver.capture.colour36Bit : driver.capture.mono12Bit));
  platform::enableWindow(platform::dialogItem(dialog, kConfigBitDepthBox), true);
}

void initialise(const Driver& driver, Window dialog) {
  const bool previousCursor = platform::setWaitCursor(true);
  setUpBitDepthBox(driver, dialog);
  platform::checkDlgButton(dialog, kConfigSyncSnapBox, checkState(driver.capture.syncSnap));
  platform::setWaitCursor(previousCursor);
}

void accept(Driver& driver, Window dialog) {
  (driver.capture.colourCamera != 0 ? driver.capture.colour36Bit : driver.capture.mono12Bit) = checked(dialog, kConfigBitDepthBox);
  driver.capture.syncSnap = checked(dialog, kConfigSyncSnapBox);
  platform::endDialog(dialog, 1);
}

} // namespace

std::intptr_t configDialogProc(Driver& driver, Window dialog, unsigned message, std::uintptr_t wParam,
                               std::intptr_t) {
  if (message == platform::WM_INITDIALOG) {
    initialise(driver, dialog);
    return 1;
  }
  if (message != platform::WM_COMMAND) return 0;
  switch (platform::loWord(wParam)) {
    case platform::IDOK:
      accept(driver, dialog);
      return 1;
    case platform::IDCANCEL:
      platform::endDialog(dialog, 0);
      return 1;
    case kConfigSimulationImageButton:
      if (chooseSimulationImage(driver, dialog) && loadSimulationImage(driver)) setUpBitDepthBox(driver, dialog);
      return 1;
    default:
      return 0;
  }
}

} // namespace vx
