// The external-trigger prompt that precedes every capture.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// With externalTrigger set, shows "Wait for trigger" (owned by the active
// window) and returns 1; otherwise returns 0.
std::int32_t snapTriggerPrompt(Driver& driver);

// The multi-snap report ("MultiSnap Command", owned by the active window):
// the images captured and the start frame, after a waiting-for-trigger line
// when the external trigger is on.
void showMultiSnapReport(const Driver& driver, std::int32_t images, std::int32_t startFrame);

} // namespace vx
