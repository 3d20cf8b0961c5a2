#include "vividozuz/frame_renderer.h"

#include "vividozuz/frame_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vzsim {

namespace {

constexpr std::size_t kLutSize = kSceneMax + 1u;
constexpr float kWhiteUnits = 4000.0f;  // scene units of a white surface

// Sensor position of output coordinate `i` (0..count-1) along one axis.
// Colour sensors keep the 2 x 2 Bayer phase: output pair i/2 comes from the
// pair that starts at 2 * factor * (i / 2), and its same-colour neighbours
// for binning are 2 apart.
std::uint32_t firstSensorIndex(std::uint32_t i, std::uint32_t offset, std::uint32_t factor,
                               bool colour) {
  if (!colour) return offset + i * factor;
  return offset + (i / 2u) * 2u * factor + (i % 2u);
}

void buildAxis(std::vector<std::uint32_t>& out, std::uint32_t count, std::uint32_t offset,
               std::uint32_t factor, std::uint32_t bin, bool colour, bool mirror,
               std::uint32_t sensorSize) {
  out.resize(static_cast<std::size_t>(count) * bin);
  const std::uint32_t step = colour ? 2u : 1u;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t source = mirror ? count - 1u - i : i;
    const std::uint32_t first = firstSensorIndex(source, offset, factor, colour);
    for (std::uint32_t k = 0; k < bin; ++k) {
      out[static_cast<std::size_t>(i) * bin + k] = std::min(first + k * step, sensorSize - 1u);
    }
  }
}

bool sameFormat(const FrameFormatRecord& a, const FrameFormatRecord& b) {
  return a.offsetX == b.offsetX && a.offsetY == b.offsetY && a.width == b.width &&
         a.height == b.height && a.pixelFormat == b.pixelFormat && a.factorX == b.factorX &&
         a.flagsX == b.flagsX && a.factorY == b.factorY && a.flagsY == b.flagsY;
}

} // namespace

bool FrameRenderer::PictureKey::operator==(const PictureKey& other) const {
  return scene == other.scene && sameFormat(format, other.format) && flipping == other.flipping &&
         fieldLayout == other.fieldLayout && highByteSample == other.highByteSample &&
         tone == other.tone;
}

ToneSettings toneFrom(const CameraModel& model, const PropertyValues& values) {
  ToneSettings t;
  t.colour = model.colour;
  t.exposure = values.get(PropExposure, 10.0f);
  t.gain = values.get(PropGain, 1.0f);
  t.gainRed = values.get(PropGainRed, 1.0f);
  t.gainGreen1 = values.get(PropGainGreen1, 1.0f);
  t.gainGreen2 = values.get(PropGainGreen2, 1.0f);
  t.gainBlue = values.get(PropGainBlue, 1.0f);
  t.brightness = values.get(PropBrightness, 0.0f);
  t.contrast = values.get(PropContrast, 1.0f);
  t.gamma = values.get(PropGamma, 1.0f);
  t.fullScaleExposureMs = model.fullScaleExposureMs;
  t.darkLevel = model.darkLevel;
  t.response = model.colour ? model.channelResponse : std::array<float, 3>{1.0f, 1.0f, 1.0f};
  return t;
}

FrameRenderer::FrameRenderer() : lut_(4 * kLutSize, 0), lut8_(4 * kLutSize, 0) {}

void FrameRenderer::prepareGeometry(const SceneImage& scene, const RenderSettings& s) {
  const FrameFormatRecord& f = s.format;
  if (geometryScene_ == scene.id() && geometryFlipping_ == s.flipping &&
      sameFormat(geometryFormat_, f)) {
    return;
  }
  const FrameGeometry g = geometryOf(f);
  const bool colour = scene.planes() == 3;
  binX_ = f.flagsX != 0 ? f.factorX : 1u;
  binY_ = f.flagsY != 0 ? f.factorY : 1u;
  buildAxis(columns_, g.width, f.offsetX, f.factorX, binX_, colour, (s.flipping & 1) != 0,
            scene.width());
  buildAxis(rows_, g.height, f.offsetY, f.factorY, binY_, colour, (s.flipping & 2) != 0,
            scene.height());
  geometryFormat_ = f;
  geometryFlipping_ = s.flipping;
  geometryScene_ = scene.id();
}

void FrameRenderer::prepareLut(const ToneSettings& t) {
  if (lutKey_ && *lutKey_ == t) return;
  const float channelGain[4] = {t.gainRed, t.gainGreen1, t.gainGreen2, t.gainBlue};
  const float channelResponse[4] = {t.response[0], t.response[1], t.response[1], t.response[2]};
  const double dark = static_cast<double>(t.darkLevel) / 255.0;
  const double gamma = t.gamma > 0.0f ? static_cast<double>(t.gamma) : 1.0;
  for (std::size_t c = 0; c < 4; ++c) {
    const double gain = t.colour ? static_cast<double>(channelGain[c] * channelResponse[c]) : 1.0;
    // Linear light: scene units x exposure x gains, plus the black level.
    const double scale = static_cast<double>(t.exposure) /
                         static_cast<double>(t.fullScaleExposureMs) *
                         static_cast<double>(t.gain) * gain / static_cast<double>(kWhiteUnits);
    std::uint16_t* table = lut_.data() + c * kLutSize;
    for (std::size_t q = 0; q < kLutSize; ++q) {
      double v = std::min(1.0, static_cast<double>(q) * scale + dark);
      if (gamma != 1.0) v = std::pow(v, 1.0 / gamma);
      v = (v - 0.5) * static_cast<double>(t.contrast) + 0.5 +
          static_cast<double>(t.brightness) * 0.5;
      v = std::clamp(v, 0.0, 1.0);
      table[q] = static_cast<std::uint16_t>(std::lround(v * 65535.0));
      lut8_[c * kLutSize + q] = static_cast<std::uint8_t>(table[q] >> 8);
    }
  }
  lutKey_ = t;
}

const FrameRenderer::Picture& FrameRenderer::picture(const SceneImage& scene,
                                                     const RenderSettings& s) {
  PictureKey key;
  key.scene = scene.id();
  key.format = s.format;
  key.flipping = s.flipping;
  key.fieldLayout = s.fieldLayout;
  key.highByteSample = s.highByteSample;
  key.tone = s.tone;
  Picture* slot = &pictures_[0];
  for (Picture& p : pictures_) {
    if (p.valid && p.key == key) {
      p.lastUse = ++uses_;
      return p;
    }
    if (!p.valid || (slot->valid && p.lastUse < slot->lastUse)) slot = &p;
  }
  slot->valid = false;
  slot->bytes.resize(geometryOf(s.format).frameBytes());
  renderPicture(scene, s, slot->bytes.data());
  slot->key = key;
  slot->valid = true;
  slot->lastUse = ++uses_;
  return *slot;
}

void FrameRenderer::render(const SceneImage& scene, const RenderSettings& s, std::uint8_t* out) {
  const Picture& p = picture(scene, s);
  if (p.bytes.empty()) return;
  if (!s.noise) {
    std::memcpy(out, p.bytes.data(), p.bytes.size());
    return;
  }
  noise_.apply(p.bytes.data(), out, p.bytes.size(), geometryOf(s.format).bytesPerPixel == 2,
               s.highByteSample, s.noiseSeed, s.frameNumber);
}

void FrameRenderer::renderPicture(const SceneImage& scene, const RenderSettings& s,
                                  std::uint8_t* out) {
  prepareGeometry(scene, s);
  prepareLut(s.tone);
  const FrameGeometry g = geometryOf(s.format);
  const bool colour = scene.planes() == 3;
  const bool twoBytes = g.bytesPerPixel == 2;
  const std::size_t sensorWidth = scene.width();
  const std::size_t rowBytes = static_cast<std::size_t>(g.width) * g.bytesPerPixel;
  const std::uint32_t binCount = binX_ * binY_;
  const std::uint32_t evenRows = (g.height + 1u) / 2u;

  for (std::uint32_t y = 0; y < g.height; ++y) {
    const std::uint32_t destRow = s.fieldLayout ? (y % 2u == 0 ? y / 2u : evenRows + y / 2u) : y;
    std::uint8_t* dest = out + static_cast<std::size_t>(destRow) * rowBytes;
    const std::uint32_t* rowList = rows_.data() + static_cast<std::size_t>(y) * binY_;
    // Plane and table for even and odd columns of this row (RGGB).
    const int planeEven = colour ? (y % 2u == 0 ? 0 : 1) : 0;
    const int planeOdd = colour ? (y % 2u == 0 ? 1 : 2) : 0;
    const std::size_t lutEven = (colour ? (y % 2u == 0 ? 0u : 2u) : 0u) * kLutSize;
    const std::size_t lutOdd = (colour ? (y % 2u == 0 ? 1u : 3u) : 0u) * kLutSize;

    if (binCount == 1 && !twoBytes) {
      // The common case: one sensor pixel per output pixel, 8 bits.
      const std::size_t rowStart = rowList[0] * sensorWidth;
      const std::uint16_t* even = scene.plane(planeEven) + rowStart;
      const std::uint16_t* odd = scene.plane(planeOdd) + rowStart;
      const std::uint8_t* toneEven = lut8_.data() + lutEven;
      const std::uint8_t* toneOdd = lut8_.data() + lutOdd;
      const std::uint32_t* cols = columns_.data();
      std::uint32_t x = 0;
      for (; x + 1 < g.width; x += 2) {
        dest[x] = toneEven[even[cols[x]]];
        dest[x + 1] = toneOdd[odd[cols[x + 1]]];
      }
      if (x < g.width) dest[x] = toneEven[even[cols[x]]];
      continue;
    }

    const std::uint16_t* planes[2] = {scene.plane(planeEven), scene.plane(planeOdd)};
    const std::uint16_t* luts[2] = {lut_.data() + lutEven, lut_.data() + lutOdd};
    for (std::uint32_t x = 0; x < g.width; ++x) {
      const std::uint16_t* plane = planes[x & 1u];
      const std::uint32_t* colList = columns_.data() + static_cast<std::size_t>(x) * binX_;
      std::uint32_t q;
      if (binCount == 1) {
        q = plane[rowList[0] * sensorWidth + colList[0]];
      } else {
        std::uint32_t sum = 0;
        for (std::uint32_t ky = 0; ky < binY_; ++ky) {
          const std::uint16_t* row = plane + rowList[ky] * sensorWidth;
          for (std::uint32_t kx = 0; kx < binX_; ++kx) sum += row[colList[kx]];
        }
        q = (sum + binCount / 2u) / binCount;
      }
      const std::uint32_t v = luts[x & 1u][q];
      if (twoBytes) {
        const auto hi = static_cast<std::uint8_t>(v >> 8);
        const auto lo = static_cast<std::uint8_t>(v & 0xFFu);
        dest[2 * x] = s.highByteSample ? lo : hi;
        dest[2 * x + 1] = s.highByteSample ? hi : lo;
      } else {
        dest[x] = static_cast<std::uint8_t>(v >> 8);
      }
    }
  }
}

} // namespace vzsim
