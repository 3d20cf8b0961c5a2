// Camera models as data: sensor sizes per camera id, property tables, frame
// rates and version records, and the normalisation applied when a model is
// attached.
#pragma once

#include "vividozuz/sim_control.h"

#include <cstdint>

namespace vzsim {

struct SensorSize {
  std::uint32_t width;
  std::uint32_t height;
};

// Sensor size of a camera id; 640 x 480 for ids not in the table.
SensorSize sensorSizeForId(std::uint32_t cameraId);

// Whether a model id has the two auxiliary switch properties.
bool hasAuxSwitches(std::uint32_t cameraId);

// Makes a model consistent before it is attached: rates sorted slowest first
// with a positive largest exposure, PropColorFormat and the colour gains in
// line with `colour`, `twoBytePixels` and `highByteSample`, the serial number
// copied into the version record. Returns false for a model that cannot be
// attached (no rate, empty sensor, bad RGB preview format).
bool normaliseModel(CameraModel& model);

// The rate list normalised as above; false when empty or invalid.
bool normaliseRates(std::vector<FrameRateSpec>& rates);

bool validRgbPreviewFormat(int format);
int bytesPerRgbPixel(int format);  // 1, 3 or 4

} // namespace vzsim
