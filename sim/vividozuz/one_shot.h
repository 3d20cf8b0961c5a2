// One-shot auto exposure and white balance: the camera renders its current
// scene at trial settings, measures a region of the frame and solves for the
// exposure or the red and blue gains.
#pragma once

#include "vividozuz/frame_renderer.h"
#include "vividozuz/scene.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vzsim {

struct Region {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// A region inside a frame of this size with a positive size and a corner
// not left of or above the frame; nullopt-like false otherwise.
bool makeRegion(int x, int y, int width, int height, std::uint32_t frameWidth,
                std::uint32_t frameHeight, Region& out);

struct RegionStats {
  double mean = 0.0;   // all pixels, 8-bit levels
  double red = 0.0;    // Bayer sites of each colour (colour sensors)
  double green = 0.0;
  double blue = 0.0;
};

// Renders frames of one format from a scene and measures a region of them.
class RegionMeter {
public:
  RegionMeter(std::shared_ptr<const SceneImage> scene, RenderSettings base, Region region);
  RegionStats measure(const ToneSettings& tone);

private:
  std::shared_ptr<const SceneImage> scene_;
  RenderSettings settings_;
  Region region_;
  FrameRenderer renderer_;
  std::vector<std::uint8_t> frame_;
};

// The exposure in [minimum, maximum] that brings the region's mean to the
// target level (or as near as the range allows).
float solveExposure(RegionMeter& meter, ToneSettings tone, int target, float minimum,
                    float maximum);

// Red and blue gains in [minimum, maximum] that make the region's average red
// and blue match its green.
void solveWhiteBalance(RegionMeter& meter, ToneSettings tone, float minimum, float maximum,
                       float& red, float& blue);

} // namespace vzsim
