// Video formats and frame rates: validation of a FrameFormatRecord against a
// sensor, the delivered frame's geometry, which rates a format offers and
// which rate a request gets.
#pragma once

#include "vividozuz/sim_control.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vzsim {

struct FrameGeometry {
  std::uint32_t width = 0;   // delivered pixels
  std::uint32_t height = 0;
  std::uint32_t bytesPerPixel = 1;
  std::size_t frameBytes() const {
    return static_cast<std::size_t>(width) * height * bytesPerPixel;
  }
};

FrameGeometry geometryOf(const FrameFormatRecord& format);

// ErrorNone when the camera can deliver this format: factors >= 1, width and
// height nonzero multiples of their factor, the window on the sensor, flags
// 0 or 1, pixel format 0 (or 1 on a two-byte camera).
std::uint32_t validateFormat(const CameraModel& model, const FrameFormatRecord& format);

// The whole sensor at factor 1, 8-bit pixels.
FrameFormatRecord fullSensorFormat(const CameraModel& model);

// Sensor rows read for one frame: sub-sampling skips rows, binning reads all.
std::uint32_t rowsRead(const FrameFormatRecord& format);

// Rates the format allows at this clock (clockFactor >= 1 slows readout),
// slowest first: those whose frame period holds the readout, and always the
// slowest rate.
std::vector<FrameRateSpec> ratesForFormat(const std::vector<FrameRateSpec>& rates,
                                          float rowReadoutMs, float clockFactor,
                                          const FrameFormatRecord& format);

// Of those, the rates that admit this exposure.
std::vector<FrameRateSpec> offeredRates(const std::vector<FrameRateSpec>& formatRates,
                                        float exposure);

// The fastest offered rate not above `requested` (the slowest offered one
// when all are faster); nullptr when none is offered.
const FrameRateSpec* chooseRate(const std::vector<FrameRateSpec>& offered, float requested);

// Whether two rates are the same value up to float rounding.
bool sameRate(float a, float b);

// The frame period at a rate when the exposure may exceed it (ms).
double framePeriodMs(float rate, float exposure);

} // namespace vzsim
