#include "engines/overlay_blend.h"

#include "overlay_blend_kernels.h"

#include <algorithm>

namespace engines {
namespace {

// trunc(d * (1 - a) + o * a) for 0 <= a <= 1.
//
// The sum is defined in extended precision. For a float a >= 2^-21 (or 0)
// every term is an integer multiple of a's last mantissa bit and below 2^53
// of them, so double gives the exact sum and the same truncation; only
// smaller opacities need long double.
enum class Precision { Double, Extended };

template <Precision P>
inline std::uint8_t mix(std::uint8_t d, std::uint8_t o, float a) {
  if constexpr (P == Precision::Double) {
    const double ad = static_cast<double>(a);
    const double sum = static_cast<double>(d) * (1.0 - ad) + static_cast<double>(o) * ad;
    return static_cast<std::uint8_t>(static_cast<int>(sum));
  } else {
    const long double ad = static_cast<long double>(a);
    const long double sum =
        static_cast<long double>(d) * (1.0L - ad) + static_cast<long double>(o) * ad;
    return static_cast<std::uint8_t>(static_cast<int>(sum));
  }
}

using detail::Opacity;
using Row = detail::BlendRun;

template <int B, Opacity O, Precision P>
void blendRow(const Row& row, float constantAlpha, const std::array<std::uint32_t, 3>& key) {
  std::uint8_t* d = row.destination;
  const std::uint8_t* o = row.overlay;
  const std::uint8_t* al = row.alpha;
  for (std::int64_t n = 0; n < row.count; ++n, d += B, o += 3) {
    const std::uint8_t o0 = o[0], o1 = o[1], o2 = o[2];
    float a = constantAlpha;
    if constexpr (O == Opacity::Bitmap) {
      a = static_cast<float>(al[0]) * kAlphaScale;
      al += 3;
    }
    if (o0 == key[0] && o1 == key[1] && o2 == key[2]) continue;
    std::uint8_t n0 = o0, n1 = o1, n2 = o2;
    if constexpr (O != Opacity::Opaque) {
      if constexpr (B == 1) {
        // One-byte pixels: every channel is blended against the pixel's own byte.
        n0 = mix<P>(d[0], o0, a);
        n1 = mix<P>(d[0], o1, a);
        n2 = mix<P>(d[0], o2, a);
      } else {
        n0 = mix<P>(d[0], o0, a);
        n1 = mix<P>(d[1], o1, a);
        n2 = mix<P>(d[2], o2, a);
      }
    }
    if constexpr (B == 1) {
      d[0] = static_cast<std::uint8_t>((n0 + n1 + n2) / 3);
    } else {
      d[0] = n0;
      d[1] = n1;
      d[2] = n2;
    }
  }
}

using RowFunction = void (*)(const Row&, float, const std::array<std::uint32_t, 3>&);

template <int B>
RowFunction pickRow(Opacity opacity, Precision precision) {
  switch (opacity) {
    case Opacity::Opaque:
      return &blendRow<B, Opacity::Opaque, Precision::Double>;
    case Opacity::Bitmap:
      return &blendRow<B, Opacity::Bitmap, Precision::Double>;  // a >= 1/255 or 0
    case Opacity::Constant:
      break;
  }
  return precision == Precision::Double ? &blendRow<B, Opacity::Constant, Precision::Double>
                                        : &blendRow<B, Opacity::Constant, Precision::Extended>;
}

}  // namespace

int bytesPerPixelOf(int pixelFormat) {
  switch (pixelFormat) {
    case kPixelGrey8: return 1;
    case kPixelRgb24: return 3;
    case kPixelRgb32: return 4;
    default: return 0;
  }
}

int blendOverlay(std::uint8_t* buffer, std::size_t byteCount, std::int32_t width,
                 std::int32_t height, int pixelFormat, const OverlayImage& overlay,
                 const BlendSettings& settings) {
  const int b = bytesPerPixelOf(pixelFormat);
  if (b == 0) return 0;
  if (buffer == nullptr || overlay.pixels == nullptr || overlay.width <= 0 ||
      overlay.height <= 0 || width <= 0 || height <= 0) {
    return 1;
  }

  const std::int64_t w = width, h = height;
  const std::int64_t ow = overlay.width, oh = overlay.height;
  std::int64_t x0 = 0;
  switch (settings.horizontalMode) {
    case 1: x0 = (w - ow) / 2; break;
    case 2: x0 = w - ow; break;
    default: x0 = 0; break;
  }
  std::int64_t y0 = 0;
  switch (settings.verticalMode) {
    case 0: y0 = h - oh; break;
    case 1: y0 = (h - oh) / 2; break;
    default: y0 = 0; break;
  }

  // The overlay's rectangle clipped to the image and to the whole pixels the
  // buffer holds.
  const std::int64_t pixelCount = static_cast<std::int64_t>(byteCount / static_cast<std::size_t>(b));
  const std::int64_t xBegin = std::max<std::int64_t>(x0, 0);
  const std::int64_t xEnd = std::min(x0 + ow, w);
  const std::int64_t yBegin = std::max<std::int64_t>(y0, 0);
  const std::int64_t yEnd = std::min({y0 + oh, h, (pixelCount + w - 1) / w});
  if (xBegin >= xEnd || yBegin >= yEnd) return 1;

  Opacity opacity = Opacity::Opaque;
  float constantAlpha = 1.0f;
  const std::uint8_t* alphaPixels = nullptr;
  if (settings.blendOn) {
    if (settings.alphaFromBitmap && settings.alphaPixels != nullptr) {
      opacity = Opacity::Bitmap;
      alphaPixels = settings.alphaPixels;
    } else {
      opacity = Opacity::Constant;
      // No usable alpha bitmap: opacity 0, the picture stays as it is.
      constantAlpha = settings.alphaFromBitmap
                          ? 0.0f
                          : std::clamp(settings.opacityPercent * 0.01f, 0.0f, 1.0f);
      if (!(constantAlpha >= 0.0f)) constantAlpha = 0.0f;  // NaN
    }
  }
  const Precision precision =
      (constantAlpha == 0.0f || constantAlpha >= 0x1p-21f) ? Precision::Double
                                                           : Precision::Extended;
  RowFunction rowFunction = nullptr;
  switch (b) {
    case 1: rowFunction = pickRow<1>(opacity, precision); break;
    case 3: rowFunction = pickRow<3>(opacity, precision); break;
    default: rowFunction = pickRow<4>(opacity, precision); break;
  }

  // The vector loops take 3- and 4-byte pixels under the black key, and a
  // constant opacity with an exact form; they leave each run's last pixels
  // to the plain loop.
  detail::ConstantMix mix;
  const bool blackKey = settings.keyColour[0] == 0 && settings.keyColour[1] == 0 && settings.keyColour[2] == 0;
  const bool vector = (b == 3 || b == 4) && blackKey && detail::vectorBlendAvailable() &&
                      (opacity != Opacity::Constant || detail::constantMix(constantAlpha, mix));

  for (std::int64_t y = yBegin; y < yEnd; ++y) {
    const std::int64_t first = y * w + xBegin;
    const std::int64_t end = std::min(y * w + xEnd, pixelCount);
    if (first >= end) break;
    const std::int64_t overlayIndex = 3 * ((y - y0) * ow + (xBegin - x0));
    Row row{buffer + first * b, overlay.pixels + overlayIndex,
            alphaPixels != nullptr ? alphaPixels + overlayIndex : nullptr, end - first};
    if (vector) {
      const std::int64_t done = detail::blendRunVector(row, b, opacity, mix);
      row.destination += done * b;
      row.overlay += 3 * done;
      if (row.alpha != nullptr) row.alpha += 3 * done;
      row.count -= done;
    }
    rowFunction(row, constantAlpha, settings.keyColour);
  }
  return 1;
}

}  // namespace engines
