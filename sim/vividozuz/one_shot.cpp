#include "vividozuz/one_shot.h"

#include "vividozuz/frame_format.h"

#include <algorithm>
#include <cmath>

namespace vzsim {

bool makeRegion(int x, int y, int width, int height, std::uint32_t frameWidth,
                std::uint32_t frameHeight, Region& out) {
  if (x < 0 || y < 0 || width <= 0 || height <= 0) return false;
  const auto ux = static_cast<std::uint64_t>(x);
  const auto uy = static_cast<std::uint64_t>(y);
  const auto uw = static_cast<std::uint64_t>(width);
  const auto uh = static_cast<std::uint64_t>(height);
  if (ux + uw > frameWidth || uy + uh > frameHeight) return false;
  out = Region{static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
               static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  return true;
}

RegionMeter::RegionMeter(std::shared_ptr<const SceneImage> scene, RenderSettings base,
                         Region region)
    : scene_(std::move(scene)), settings_(base), region_(region) {
  // Measurements read the frame as 8-bit progressive rows without noise.
  settings_.format.pixelFormat = 0;
  settings_.fieldLayout = false;
  settings_.noise = false;
  frame_.resize(geometryOf(settings_.format).frameBytes());
}

RegionStats RegionMeter::measure(const ToneSettings& tone) {
  settings_.tone = tone;
  renderer_.render(*scene_, settings_, frame_.data());
  const std::uint32_t width = geometryOf(settings_.format).width;
  double sums[4] = {0, 0, 0, 0};  // R, G1, G2, B sites
  double counts[4] = {0, 0, 0, 0};
  double total = 0.0;
  for (std::uint32_t y = region_.y; y < region_.y + region_.height; ++y) {
    const std::uint8_t* row = frame_.data() + static_cast<std::size_t>(y) * width;
    for (std::uint32_t x = region_.x; x < region_.x + region_.width; ++x) {
      const std::size_t site = (y % 2u) * 2u + (x % 2u);
      sums[site] += row[x];
      counts[site] += 1.0;
      total += row[x];
    }
  }
  RegionStats stats;
  stats.mean = total / (static_cast<double>(region_.width) * region_.height);
  auto average = [&](double sum, double count) { return count > 0 ? sum / count : 0.0; };
  stats.red = average(sums[0], counts[0]);
  stats.green = average(sums[1] + sums[2], counts[1] + counts[2]);
  stats.blue = average(sums[3], counts[3]);
  if (!tone.colour) stats.red = stats.green = stats.blue = stats.mean;
  return stats;
}

float solveExposure(RegionMeter& meter, ToneSettings tone, int target, float minimum,
                    float maximum) {
  float exposure = std::clamp(tone.exposure, minimum, maximum);
  for (int pass = 0; pass < 12; ++pass) {
    tone.exposure = exposure;
    const double mean = meter.measure(tone).mean;
    if (std::fabs(mean - target) < 0.5) break;
    double next;
    if (mean < 1.0) next = static_cast<double>(exposure) * 4.0;
    else next = static_cast<double>(exposure) * target / mean;
    const float clamped = std::clamp(static_cast<float>(next), minimum, maximum);
    if (clamped == exposure) break;
    exposure = clamped;
  }
  return exposure;
}

void solveWhiteBalance(RegionMeter& meter, ToneSettings tone, float minimum, float maximum,
                       float& red, float& blue) {
  red = std::clamp(tone.gainRed, minimum, maximum);
  blue = std::clamp(tone.gainBlue, minimum, maximum);
  for (int pass = 0; pass < 10; ++pass) {
    tone.gainRed = red;
    tone.gainBlue = blue;
    const RegionStats s = meter.measure(tone);
    if (s.red < 1.0 || s.blue < 1.0 || s.green < 1.0) break;
    const double redRatio = s.green / s.red;
    const double blueRatio = s.green / s.blue;
    if (std::fabs(redRatio - 1.0) < 0.002 && std::fabs(blueRatio - 1.0) < 0.002) break;
    red = std::clamp(static_cast<float>(static_cast<double>(red) * redRatio), minimum, maximum);
    blue = std::clamp(static_cast<float>(static_cast<double>(blue) * blueRatio), minimum, maximum);
  }
}

} // namespace vzsim
