#include "vividozuz/frame_format.h"

#include <algorithm>
#include <cmath>

namespace vzsim {

FrameGeometry geometryOf(const FrameFormatRecord& format) {
  FrameGeometry g;
  if (format.factorX == 0 || format.factorY == 0) return g;
  g.width = format.width / format.factorX;
  g.height = format.height / format.factorY;
  g.bytesPerPixel = format.pixelFormat == 1 ? 2u : 1u;
  return g;
}

std::uint32_t validateFormat(const CameraModel& model, const FrameFormatRecord& format) {
  if (format.factorX < 1 || format.factorY < 1) return ErrorInvalidArgument;
  if (format.flagsX > 1 || format.flagsY > 1) return ErrorInvalidArgument;
  if (format.width == 0 || format.height == 0) return ErrorInvalidArgument;
  if (format.width % format.factorX != 0 || format.height % format.factorY != 0) {
    return ErrorInvalidArgument;
  }
  const std::uint64_t right = std::uint64_t{format.offsetX} + format.width;
  const std::uint64_t bottom = std::uint64_t{format.offsetY} + format.height;
  if (right > model.sensorWidth || bottom > model.sensorHeight) return ErrorInvalidArgument;
  if (format.pixelFormat > 1 || (format.pixelFormat == 1 && !model.twoBytePixels)) {
    return ErrorInvalidArgument;
  }
  return ErrorNone;
}

FrameFormatRecord fullSensorFormat(const CameraModel& model) {
  FrameFormatRecord f{};
  f.width = model.sensorWidth;
  f.height = model.sensorHeight;
  f.factorX = 1;
  f.factorY = 1;
  return f;
}

std::uint32_t rowsRead(const FrameFormatRecord& format) {
  if (format.factorY == 0) return format.height;
  return format.flagsY != 0 ? format.height : format.height / format.factorY;
}

bool sameRate(float a, float b) {
  return std::fabs(a - b) <= 1e-5f * std::max(1.0f, std::fabs(b));
}

std::vector<FrameRateSpec> ratesForFormat(const std::vector<FrameRateSpec>& rates,
                                          float rowReadoutMs, float clockFactor,
                                          const FrameFormatRecord& format) {
  std::vector<FrameRateSpec> out;
  if (rates.empty()) return out;
  const double readout = static_cast<double>(rowsRead(format)) * static_cast<double>(rowReadoutMs) *
                        static_cast<double>(clockFactor);
  for (std::size_t i = 0; i < rates.size(); ++i) {
    const double period = 1000.0 / static_cast<double>(rates[i].rate);
    if (i == 0 || readout <= period * (1.0 + 1e-9)) out.push_back(rates[i]);
  }
  return out;
}

std::vector<FrameRateSpec> offeredRates(const std::vector<FrameRateSpec>& formatRates,
                                        float exposure) {
  std::vector<FrameRateSpec> out;
  for (const FrameRateSpec& r : formatRates) {
    if (exposure <= r.maxExposure) out.push_back(r);
  }
  return out;
}

const FrameRateSpec* chooseRate(const std::vector<FrameRateSpec>& offered, float requested) {
  if (offered.empty()) return nullptr;
  const FrameRateSpec* best = &offered.front();
  for (const FrameRateSpec& r : offered) {
    if (r.rate <= requested || sameRate(r.rate, requested)) best = &r;
  }
  return best;
}

double framePeriodMs(float rate, float exposure) {
  const double period = rate > 0.0f ? 1000.0 / static_cast<double>(rate) : 1000.0;
  return std::max(period, static_cast<double>(exposure));
}

} // namespace vzsim
