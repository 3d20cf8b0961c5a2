#include "driver/snap_trigger.h"

namespace vx {

std::int32_t snapTriggerPrompt(DriverState& state) {
  if (state.externalTrigger == 0) return 0;
  platform::messageBox(platform::activeWindow(), "Wait for trigger", "Wait", platform::MB_OK);
  return 1;
}

} // namespace vx
