// The reduced grey preview of the last snapshot drawn in the host's window.
// Called only while the driver is open.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

std::int32_t passThroughOpen(DriverState& state, std::int32_t x, std::int32_t y,
                             std::int32_t* width, std::int32_t* height);
std::int32_t passThroughPaint(DriverState& state, platform::DeviceContext dc);
std::int32_t passThroughClose(DriverState& state);

} // namespace vx
