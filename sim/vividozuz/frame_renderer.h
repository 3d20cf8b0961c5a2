// Makes raw frames out of the precomputed scene: the format's window,
// sub-sampling or binning and mirroring through per-format index tables,
// and exposure, gains, brightness, contrast and gamma through lookup tables.
//
// The noise-free picture is rendered once for the scene image and every
// setting that changes it (the format and its window, factors and binning,
// mirroring, field layout, byte order and the tone settings) and kept; a
// frame at the same settings is a copy of it, with the frame's noise added
// when noise is on. The two most recently used pictures are kept, so that a
// stream that goes from its preview format to a snapshot format and back
// renders nothing new. Buffers are kept between frames, so a frame of an
// unchanged picture allocates nothing. One renderer serves one thread.
#pragma once

#include "vividozuz/frame_noise.h"
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
  // Everything a noise-free picture depends on.
  struct PictureKey {
    std::uint64_t scene = 0;  // SceneImage::id
    FrameFormatRecord format{};
    int flipping = 0;
    bool fieldLayout = false;
    bool highByteSample = true;
    ToneSettings tone;
    bool operator==(const PictureKey& other) const;
  };
  struct Picture {
    bool valid = false;
    PictureKey key;
    std::uint64_t lastUse = 0;
    std::vector<std::uint8_t> bytes;
  };

  const Picture& picture(const SceneImage& scene, const RenderSettings& settings);
  void renderPicture(const SceneImage& scene, const RenderSettings& settings, std::uint8_t* out);
  void prepareGeometry(const SceneImage& scene, const RenderSettings& settings);
  void prepareLut(const ToneSettings& tone);

  std::array<Picture, 2> pictures_;
  std::uint64_t uses_ = 0;
  FrameNoise noise_;

  FrameFormatRecord geometryFormat_{};
  int geometryFlipping_ = -1;
  std::uint64_t geometryScene_ = 0;
  std::uint32_t binX_ = 1;
  std::uint32_t binY_ = 1;
  std::vector<std::uint32_t> columns_;  // width x binX sensor columns
  std::vector<std::uint32_t> rows_;     // height x binY sensor rows
  std::optional<ToneSettings> lutKey_;
  std::vector<std::uint16_t> lut_;      // 4 tables (R, G1, G2, B) of kSceneMax + 1
  std::vector<std::uint8_t> lut8_;      // the same, 8-bit
};

} // namespace vzsim
