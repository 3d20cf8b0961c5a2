// Timed series of captures written to numbered TIF files. Called only while
// the driver is open, except the timer procedure.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

std::int32_t timeLapse(DriverState& state, const char* prefix, std::int32_t count,
                       std::int32_t firstIndex, std::uint32_t interval, AcqRect* region,
                       AcqLapseCallback callback, std::int32_t user);
// One tick of the series' timer (the timer procedure's work).
void timeLapseTick(DriverState& state);
std::int32_t timeLapseKill(DriverState& state);

} // namespace vx
