// The camera format for a window on the sensor.
#pragma once

#include "sdk/varcam_sdk.h"
#include "state/driver_state.h"

#include <cstdint>

namespace vx {

// The sensor pixels a window of `size` pixels at `factor` spans: computed
// wide, because sizes and factors may come from a settings file and their
// product need not fit in 32 bits.
inline std::int64_t sensorExtent(std::int32_t size, std::int32_t factor) {
  return std::int64_t{size} * std::int64_t{factor};
}

// Format width and height are factor x size sensor pixels (a window no
// format can hold keeps the largest, which the camera refuses); flags 1 where the
// factor is binned. The offsets are kept on the sensor (a window that would
// start left of or above it, or run past its far edge, is moved onto it),
// because the camera takes them as unsigned numbers.
FrameFormatRecord sensorWindowFormat(const CaptureRegion& window, std::int32_t sensorWidth,
                                     std::int32_t sensorHeight);

} // namespace vx
