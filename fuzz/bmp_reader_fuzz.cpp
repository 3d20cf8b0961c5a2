// The overlay and alpha files: any bytes as the two BMP files, read by the
// reader and loaded into a preview overlay, which then draws into images of
// any size and pixel format with any placement and opacity. The drawing is
// compared with a plain pixel-by-pixel rendering of the same rules, and
// only the buffer's own bytes may be touched (it is allocated to its exact
// size).
//
// Input: 16 bytes of settings, a 32-bit little-endian length, the overlay
// file of that length (cut to what is there), the alpha file (the rest).
#include "fuzz_harness.h"

#include "engines/bmp_reader.h"
#include "engines/overlay_blend.h"
#include "engines/preview_overlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Settings {
  int horizontalMode = 1;
  int verticalMode = 1;
  bool blendOn = false;
  bool alphaFromBitmap = false;
  bool alphaLoadedFirst = false;
  float opacityPercent = 100.0f;
  int pixelFormat = engines::kPixelRgb24;
  std::int32_t width = 1;
  std::int32_t height = 1;
  int byteSlack = 0;  // the buffer holds this many bytes more (or fewer) than the image
};

// Placement modes: the three the overlay knows and one it does not.
int modeOf(std::uint8_t byte) { return byte % 5 == 4 ? static_cast<int>(static_cast<std::int8_t>(byte)) : byte % 5 % 3; }

Settings readSettings(const std::uint8_t* p) {
  Settings s;
  s.horizontalMode = modeOf(p[0]);
  s.verticalMode = modeOf(p[1]);
  s.blendOn = (p[2] & 1) != 0;
  s.alphaFromBitmap = (p[2] & 2) != 0;
  s.alphaLoadedFirst = (p[2] & 4) != 0;
  constexpr int kFormats[] = {engines::kPixelGrey8, engines::kPixelRgb24, engines::kPixelRgb32, 5};
  s.pixelFormat = kFormats[p[3] % 4];
  float percent = 0.0f;
  std::memcpy(&percent, p + 4, sizeof percent);
  s.opacityPercent = percent;
  s.width = 1 + (p[8] | (p[9] & 0x01) << 8);   // 1 .. 512
  s.height = 1 + (p[10] | (p[11] & 0x01) << 8);
  s.byteSlack = static_cast<std::int8_t>(p[12]) % 8;
  return s;
}

// trunc(d * (1 - a) + o * a), the sum in extended precision.
std::uint8_t mix(std::uint8_t d, std::uint8_t o, float a) {
  const long double ad = static_cast<long double>(a);
  const long double sum = static_cast<long double>(d) * (1.0L - ad) + static_cast<long double>(o) * ad;
  return static_cast<std::uint8_t>(static_cast<int>(sum));
}

// The drawing rules pixel by pixel, as plainly as they can be written.
void referenceBlend(std::uint8_t* buffer, std::size_t byteCount, std::int32_t width, std::int32_t height,
                    int pixelFormat, const engines::OverlayImage& overlay, const engines::BlendSettings& s) {
  const int b = engines::bytesPerPixelOf(pixelFormat);
  if (b == 0 || overlay.pixels == nullptr || overlay.width <= 0 || overlay.height <= 0) return;
  const std::int64_t w = width, h = height, ow = overlay.width, oh = overlay.height;
  const std::int64_t x0 = s.horizontalMode == 1 ? (w - ow) / 2 : s.horizontalMode == 2 ? w - ow : 0;
  const std::int64_t y0 = s.verticalMode == 0 ? h - oh : s.verticalMode == 1 ? (h - oh) / 2 : 0;
  const std::int64_t x1 = x0 + ow - 1, y1 = y0 + oh - 1;
  for (std::size_t i = 0; i + static_cast<std::size_t>(b) <= byteCount; i += static_cast<std::size_t>(b)) {
    const auto n = static_cast<std::int64_t>(i) / b;
    const std::int64_t x = n % w, y = n / w;
    if (y >= h) break;
    if (x < x0 || x > x1 || y < y0 || y > y1) continue;
    const auto k = static_cast<std::size_t>(3 * ((y - y0) * ow + (x - x0)));
    const std::uint8_t o[3] = {overlay.pixels[k], overlay.pixels[k + 1], overlay.pixels[k + 2]};
    if (o[0] == s.keyColour[0] && o[1] == s.keyColour[1] && o[2] == s.keyColour[2]) continue;
    std::uint8_t out[3] = {o[0], o[1], o[2]};
    if (s.blendOn) {
      float a = 0.0f;
      if (s.alphaFromBitmap) {
        a = s.alphaPixels != nullptr ? static_cast<float>(s.alphaPixels[k]) * engines::kAlphaScale : 0.0f;
      } else {
        a = s.opacityPercent * 0.01f;
        if (a > 1.0f) a = 1.0f;
        if (!(a >= 0.0f)) a = 0.0f;
      }
      for (int c = 0; c < 3; ++c) out[c] = mix(buffer[i + (b == 1 ? 0 : static_cast<std::size_t>(c))], o[c], a);
    }
    if (b == 1) {
      buffer[i] = static_cast<std::uint8_t>((out[0] + out[1] + out[2]) / 3);
    } else {
      for (int c = 0; c < 3; ++c) buffer[i + static_cast<std::size_t>(c)] = out[c];
    }
  }
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "\n==vxfuzz== %s\n", what);
  std::abort();
}

// The reader's promise: a bitmap it accepts has exactly its pixels, and a
// file it refuses leaves the bitmap as it was.
void checkReader(const std::string& path) {
  engines::Bitmap24 bitmap;
  bitmap.width = -7;
  bitmap.height = -7;
  const int result = engines::readBmp24(path.c_str(), bitmap);
  if (result == 1) {
    if (bitmap.width <= 0 || bitmap.width % 4 != 0 || bitmap.height <= 0) fail("readBmp24 accepted a bad size");
    if (bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height) * 3)
      fail("readBmp24 returned a pixel array of the wrong size");
  } else if (result == -1) {
    if (bitmap.width != -7 || bitmap.height != -7 || !bitmap.pixels.empty()) fail("readBmp24 changed a refused bitmap");
  } else {
    fail("readBmp24 returned neither 1 nor -1");
  }
}

std::vector<std::uint8_t> pictureOf(std::size_t bytes, std::uint32_t seed) {
  std::vector<std::uint8_t> picture(bytes);
  for (std::size_t i = 0; i < bytes; ++i) picture[i] = static_cast<std::uint8_t>((i * 37u + seed) >> 1);
  return picture;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kSettingsSize = 16;
  if (size < kSettingsSize + 4) return -1;
  const Settings settings = readSettings(data);
  std::size_t overlaySize = 0;
  for (int i = 0; i < 4; ++i) overlaySize |= static_cast<std::size_t>(data[kSettingsSize + static_cast<std::size_t>(i)]) << (8 * i);
  const std::uint8_t* files = data + kSettingsSize + 4;
  const std::size_t filesSize = size - kSettingsSize - 4;
  if (overlaySize > filesSize) overlaySize = filesSize;

  const std::string overlayPath = vxfuzz::scratchPath("overlay.bmp");
  const std::string alphaPath = vxfuzz::scratchPath("alpha.bmp");
  if (!vxfuzz::writeFile(overlayPath, files, overlaySize) ||
      !vxfuzz::writeFile(alphaPath, files + overlaySize, filesSize - overlaySize))
    return 0;
  checkReader(overlayPath);
  checkReader(alphaPath);

  // The pure drawing against its plain rendering.
  engines::Bitmap24 overlayBitmap;
  engines::Bitmap24 alphaBitmap;
  if (engines::readBmp24(overlayPath.c_str(), overlayBitmap) == 1) {
    const bool alphaRead = engines::readBmp24(alphaPath.c_str(), alphaBitmap) == 1;
    const bool alphaMatches = alphaRead && alphaBitmap.width == overlayBitmap.width &&
                              alphaBitmap.height == overlayBitmap.height;
    engines::BlendSettings blend;
    blend.horizontalMode = settings.horizontalMode;
    blend.verticalMode = settings.verticalMode;
    blend.blendOn = settings.blendOn;
    blend.alphaFromBitmap = settings.alphaFromBitmap;
    blend.alphaPixels = alphaMatches ? alphaBitmap.pixels.data() : nullptr;
    blend.opacityPercent = settings.opacityPercent;
    const engines::OverlayImage image{overlayBitmap.pixels.data(), overlayBitmap.width, overlayBitmap.height};
    const int b = std::max(engines::bytesPerPixelOf(settings.pixelFormat), 1);
    const std::int64_t wanted = std::int64_t{settings.width} * settings.height * b + settings.byteSlack;
    const auto byteCount = static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0));
    const std::vector<std::uint8_t> picture = pictureOf(byteCount, data[13]);
    // Exactly the buffer's size on the heap, so that a byte beyond it is a
    // report.
    std::unique_ptr<std::uint8_t[]> drawn(new std::uint8_t[byteCount]);
    std::copy(picture.begin(), picture.end(), drawn.get());
    std::vector<std::uint8_t> expected = picture;
    const int result = engines::blendOverlay(drawn.get(), byteCount, settings.width, settings.height,
                                             settings.pixelFormat, image, blend);
    referenceBlend(expected.data(), byteCount, settings.width, settings.height, settings.pixelFormat, image, blend);
    if (result != (engines::bytesPerPixelOf(settings.pixelFormat) != 0 ? 1 : 0)) fail("blendOverlay result");
    if (!std::equal(expected.begin(), expected.end(), drawn.get())) fail("blendOverlay differs from the plain rendering");
  }

  // The overlay object loading both files (in either order) and drawing.
  engines::PreviewOverlay overlay(nullptr);
  if (settings.alphaLoadedFirst) overlay.loadAlphaBitmap(alphaPath.c_str());
  overlay.loadOverlayBitmap(overlayPath.c_str());
  if (!settings.alphaLoadedFirst) overlay.loadAlphaBitmap(alphaPath.c_str());
  overlay.setPlacement(settings.horizontalMode, settings.verticalMode);
  if (settings.blendOn) {
    overlay.setAlphaMode(settings.alphaFromBitmap ? 0 : 1);
    overlay.setAlphaValue(settings.opacityPercent);
  } else {
    overlay.alphaOff();
  }
  const int b = std::max(engines::bytesPerPixelOf(settings.pixelFormat), 1);
  const auto byteCount = static_cast<std::size_t>(settings.width) * static_cast<std::size_t>(settings.height) *
                         static_cast<std::size_t>(b);
  std::unique_ptr<std::uint8_t[]> frame(new std::uint8_t[byteCount]());
  overlay.blend(frame.get(), byteCount, settings.width, settings.height, settings.pixelFormat);
  return 0;
}
