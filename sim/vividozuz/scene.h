// The synthetic scene a camera looks at, precomputed once at sensor size:
// linear light per sensor position in 12-bit units (0..4095), three planes
// (red, green, blue) for a colour sensor, one (luminance) for a grey one.
// Every frame is read out of it through the renderer's lookup tables.
#pragma once

#include "vividozuz/sim_control.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vzsim {

inline constexpr std::uint16_t kSceneMax = 4095;

class SceneImage {
public:
  static std::shared_ptr<const SceneImage> build(Scene kind, std::uint32_t width,
                                                 std::uint32_t height, bool colour,
                                                 std::uint32_t seed);

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  int planes() const { return planes_; }
  Scene kind() const { return kind_; }
  // Unique to this image among all images built in the process, so that a
  // frame made from it is never taken for one made from another image
  // (even one built later at the same address).
  std::uint64_t id() const { return id_; }
  // Plane 0..2 = red, green, blue (colour); plane 0 = luminance (grey).
  const std::uint16_t* plane(int index) const {
    return data_.data() + static_cast<std::size_t>(index) * width_ * height_;
  }
  std::uint16_t at(int planeIndex, std::uint32_t x, std::uint32_t y) const {
    return plane(planeIndex)[static_cast<std::size_t>(y) * width_ + x];
  }
  // Positions of the hot pixels (sensor coordinates).
  const std::vector<std::uint32_t>& hotPixels() const { return hotPixels_; }

private:
  Scene kind_ = Scene::Chart;
  std::uint64_t id_ = 0;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  int planes_ = 3;
  std::vector<std::uint16_t> data_;
  std::vector<std::uint32_t> hotPixels_;  // y * width + x
};

} // namespace vzsim
