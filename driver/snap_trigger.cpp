#include "snap_trigger.h"

#include "base/debug_log.h"

namespace vx {

std::int32_t snapTriggerPrompt(Driver& driver) {
  if (driver.capture.externalTrigger == 0) return 0;
  platform::messageBox(platform::activeWindow(), "Wait for trigger", "Wait", platform::MB_OK);
  return 1;
}

void showMultiSnapReport(const Driver& driver, std::int32_t images, std::int32_t startFrame) {
  if (driver.capture.externalTrigger != 0)
    messageBoxf(platform::activeWindow(), "MultiSnap Command",
                "Waiting on external trigger signal\nimages captured: %d\nstart frame: %d", images, startFrame);
  else
    messageBoxf(platform::activeWindow(), "MultiSnap Command", "images captured: %d\nstart frame: %d", images,
                startFrame);
}

} // namespace vx
