// The camera format for a window on the sensor.
#pragma once

#include "sdk/varcam_sdk.h"
#include "state/driver_state.h"

#include <cstdint>

namespace vx {

// Format width and height are factor x size sensor pixels; flags 1 where the
// factor is binned. The offsets are kept on the sensor (a window that would
// start left of or above it, or run past its far edge, is moved onto it),
// because the camera takes them as unsigned numbers.
FrameFormatRecord sensorWindowFormat(const CaptureRegion& window, std::int32_t sensorWidth,
                                     std::int32_t sensorHeight);

} // namespace vx
