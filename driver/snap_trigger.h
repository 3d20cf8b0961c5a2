// The external-trigger prompt that precedes every capture.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

// With externalTrigger set, shows "Wait for trigger" (owned by the active
// window) and returns 1; otherwise returns 0.
std::int32_t snapTriggerPrompt(DriverState& state);

} // namespace vx
