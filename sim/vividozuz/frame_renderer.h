// Makes raw frames out of the precomputed scene: the format's window,
// sub-sampling or binning and mirroring through per-format index tables,
// and exposure, gains, brightness, contrast and gamma through lookup tables
// rebuilt only when those settings change. Buffers are kept between frames,
// so a frame of an unchanged format allocates nothing.
#pragma once

#include "vividozuz/property_store.h"
#include "vividozuz/scene.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vzsim {

// Everything the lookup tables depend on.
struct ToneSettings {
  bool colour = true;
  float exposure = 10.0f;  // ms
  float gain = 1.0f;
  float gainRed = 1.0f;
  float gainGreen1 = 1.0f;
  float gainGreen2 = 1.0f;
  float gainBlue = 1.0f;
  float brightness = 0.0f;  // -1..1: adds up to half the full scale
  float contrast = 1.0f;    // slope around mid-grey
  float gamma = 1.0f;       // output = input ^ (1 / gamma)
  float fullScaleExposureMs = 25.0f;
  float darkLevel = 4.0f;   // 8-bit levels
  std::array<float, 3> response{1.0f, 1.0f, 1.0f};
  bool operator==(const ToneSettings&) const = default;
};

// The tone settings a camera with these property values and model has.
ToneSettings toneFrom(const CameraModel& model, const PropertyValues& values);

struct RenderSettings {
  FrameFormatRecord format{};
  int flipping = 0;           // bit 0 left-right, bit 1 top-bottom
  bool fieldLayout = false;   // even rows first, then odd rows
  bool highByteSample = true; // two-byte pixels: little-endian (sample in byte 1)
  ToneSettings tone;
  bool noise = false;
  std::uint32_t noiseSeed = 1;
  std::uint64_t frameNumber = 0;
};

class FrameRenderer {
public:
  FrameRenderer();
  // Writes one frame of the format's geometry (geometryOf) to `out`.
  void render(const SceneImage& scene, const RenderSettings& settings, std::uint8_t* out);

private:
  void prepareGeometry(const SceneImage& scene, const RenderSettings& settings);
  void prepareLut(const ToneSettings& tone);

  FrameFormatRecord geometryFormat_{};
  int geometryFlipping_ = -1;
  const SceneImage* geometryScene_ = nullptr;
  std::uint32_t binX_ = 1;
  std::uint32_t binY_ = 1;
  std::vector<std::uint32_t> columns_;  // width x binX sensor columns
  std::vector<std::uint32_t> rows_;     // height x binY sensor rows
  std::optional<ToneSettings> lutKey_;
  std::vector<std::uint16_t> lut_;      // 4 tables (R, G1, G2, B) of kSceneMax + 1
};

} // namespace vzsim
