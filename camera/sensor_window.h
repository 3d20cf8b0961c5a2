// The camera format for a window on the sensor.
#pragma once

#include "sdk/varcam_sdk.h"

#include <cstdint>

namespace vx {

struct SensorWindow {
  std::int32_t offsetX = 0, offsetY = 0;   // sensor pixels
  std::int32_t width = 0, height = 0;      // delivered pixels
  std::int32_t factorX = 1, factorY = 1;   // sub-sampling or binning factor
  std::int32_t binningX = 0, binningY = 0; // nonzero: the factor is applied by binning
};

// Format width and height are factor x size sensor pixels; flags 1 where the
// factor is binned. The offsets are kept on the sensor (a window that would
// start left of or above it, or run past its far edge, is moved onto it),
// because the camera takes them as unsigned numbers.
FrameFormatRecord sensorWindowFormat(const SensorWindow& window, std::int32_t sensorWidth,
                                     std::int32_t sensorHeight);

} // namespace vx
