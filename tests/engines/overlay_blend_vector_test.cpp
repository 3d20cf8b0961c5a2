// The overlay blend's vector loops give the plain loops' bytes: every
// overlay byte, image byte and opacity byte of the alpha bitmap; every
// channel difference under many constant opacities; and random frames
// with black pixels, clipping and short buffers in every mode and format.
// Where the processor has no AVX2 both runs take the plain loops, and the
// tests only confirm that.
#include "base/vector_level.h"
#include "engines/overlay_blend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace engines {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Runs the blend once at the full vector level and once on the plain loops
// alone, on copies of `picture`; the level is restored whatever happens.
struct BothPaths {
  Bytes vector;
  Bytes plain;
};

BothPaths blendBoth(const Bytes& picture, std::size_t byteCount, std::int32_t w, std::int32_t h, int format,
                    const OverlayImage& overlay, const BlendSettings& settings) {
  struct Restore {
    ~Restore() { vx::limitVectorLevel(vx::VectorLevel::Avx512); }
  } restore;
  BothPaths out{picture, picture};
  vx::limitVectorLevel(vx::VectorLevel::Avx512);
  blendOverlay(out.vector.data(), byteCount, w, h, format, overlay, settings);
  vx::limitVectorLevel(vx::VectorLevel::Scalar);
  blendOverlay(out.plain.data(), byteCount, w, h, format, overlay, settings);
  return out;
}

BlendSettings bitmapSettings(const Bytes& alpha) {
  BlendSettings s;
  s.blendOn = true;
  s.alphaFromBitmap = true;
  s.alphaPixels = alpha.data();
  return s;
}

std::uint32_t nextRandom(std::uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

TEST(OverlayBlendVector, EveryOverlayImageAndAlphaByteOfTheBitmap) {
  // A 256 x 256 image: pixel (x, y) has image bytes x and opacity byte y;
  // the overlay is one colour per run, three overlay values at a time.
  constexpr int kSide = 256;
  Bytes picture(kSide * kSide * 3), alpha(kSide * kSide * 3, 0), overlay(kSide * kSide * 3);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const auto at = static_cast<std::size_t>((y * kSide + x) * 3);
      picture[at] = picture[at + 1] = picture[at + 2] = static_cast<std::uint8_t>(x);
      alpha[at] = static_cast<std::uint8_t>(y);
    }
  const BlendSettings settings = bitmapSettings(alpha);
  for (int first = 0; first < 256; first += 3) {
    for (std::size_t i = 0; i < overlay.size(); i += 3)
      for (std::size_t c = 0; c < 3; ++c) overlay[i + c] = static_cast<std::uint8_t>(first + static_cast<int>(c));
    const BothPaths out =
        blendBoth(picture, picture.size(), kSide, kSide, kPixelRgb24, {overlay.data(), kSide, kSide}, settings);
    ASSERT_EQ(out.vector, out.plain) << "overlay bytes from " << first;
  }
}

TEST(OverlayBlendVector, EveryChannelDifferenceUnderConstantOpacities) {
  // Rows of image bytes 0, 255, 128 and random, under overlay bytes that
  // run through every value in each channel: every difference o - d.
  constexpr int kWidth = 256, kHeight = 4;
  Bytes picture(kWidth * kHeight * 3), overlay(kWidth * kHeight * 3);
  std::uint32_t seed = 7;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const auto at = static_cast<std::size_t>((y * kWidth + x) * 3);
      for (std::size_t c = 0; c < 3; ++c)
        picture[at + c] = y == 0 ? 0 : y == 1 ? 255 : y == 2 ? 128 : static_cast<std::uint8_t>(nextRandom(seed) >> 24);
      overlay[at] = static_cast<std::uint8_t>(x);
      overlay[at + 1] = static_cast<std::uint8_t>(255 - x);
      overlay[at + 2] = static_cast<std::uint8_t>(x ^ 0x5A);
    }
  std::vector<float> percents;
  for (int i = -20; i <= 420; ++i) percents.push_back(static_cast<float>(i) * 0.25f);
  for (float p : {1e-5f, 2e-5f, 4.76837e-5f, 4.76838e-5f, 49.99999f, 50.000004f, 99.99999f, 0.39215687f, 1e30f})
    percents.push_back(p);
  for (int i = 0; i < 200; ++i) percents.push_back(static_cast<float>(nextRandom(seed) >> 8) / 167772.16f);
  for (const float percent : percents) {
    BlendSettings settings;
    settings.blendOn = true;
    settings.opacityPercent = percent;
    for (const int format : {kPixelRgb24, kPixelRgb32}) {
      const int b = bytesPerPixelOf(format);
      Bytes image(static_cast<std::size_t>(kWidth * kHeight * b));
      for (std::size_t p = 0; p < static_cast<std::size_t>(kWidth * kHeight); ++p)
        for (std::size_t c = 0; c < static_cast<std::size_t>(b); ++c)
          image[p * static_cast<std::size_t>(b) + c] = c < 3 ? picture[p * 3 + c] : 0xA5;
      const BothPaths out =
          blendBoth(image, image.size(), kWidth, kHeight, format, {overlay.data(), kWidth, kHeight}, settings);
      ASSERT_EQ(out.vector, out.plain) << percent << " percent, format " << format;
    }
  }
}

TEST(OverlayBlendVector, RandomFramesWithBlackPixelsClippingAndShortBuffers) {
  std::uint32_t seed = 2024;
  const auto below = [&seed](std::uint32_t n) { return static_cast<std::int32_t>((nextRandom(seed) >> 8) % n); };
  for (int round = 0; round < 300; ++round) {
    const std::int32_t w = 1 + below(90), h = 1 + below(12);
    const std::int32_t ow = 1 + below(110), oh = 1 + below(14);
    const int format = round % 3 == 0 ? kPixelRgb32 : round % 7 == 0 ? kPixelGrey8 : kPixelRgb24;
    const auto b = static_cast<std::size_t>(bytesPerPixelOf(format));
    Bytes picture(static_cast<std::size_t>(w * h) * b);
    for (auto& v : picture) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
    // Runs of black, nearly black and coloured overlay pixels.
    Bytes overlay(static_cast<std::size_t>(ow * oh) * 3), alpha(overlay.size());
    for (std::size_t i = 0; i < overlay.size(); i += 3) {
      const std::int32_t kind = below(10);
      for (std::size_t c = 0; c < 3; ++c)
        overlay[i + c] = kind < 4 ? 0 : kind == 4 ? (c == 2 ? 1 : 0) : static_cast<std::uint8_t>(nextRandom(seed) >> 24);
    }
    for (auto& v : alpha) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
    BlendSettings settings;
    settings.horizontalMode = below(4);
    settings.verticalMode = below(4);
    const std::int32_t mode = below(3);
    settings.blendOn = mode != 0;
    settings.alphaFromBitmap = mode == 2;
    settings.alphaPixels = alpha.data();
    settings.opacityPercent = static_cast<float>(below(1200)) / 10.0f - 5.0f;
    // Now and then a buffer that ends inside the image.
    const std::size_t byteCount = below(4) == 0 ? static_cast<std::size_t>(below(static_cast<std::uint32_t>(picture.size()) + 1))
                                                : picture.size();
    const BothPaths out = blendBoth(picture, byteCount, w, h, format, {overlay.data(), ow, oh}, settings);
    ASSERT_EQ(out.vector, out.plain) << "round " << round << ": " << w << " x " << h << " image, " << ow << " x " << oh
                                     << " overlay, format " << format << ", mode " << mode;
  }
}

TEST(OverlayBlendVector, LargeFramesInEveryModeAndFormat) {
  // Whole frames under a same-size overlay: blocks, key tests and the
  // opaque copy at scale.
  constexpr std::int32_t w = 1283, h = 37;
  std::uint32_t seed = 99;
  Bytes overlay(static_cast<std::size_t>(w * h) * 3), alpha(overlay.size());
  for (std::size_t i = 0; i < overlay.size(); i += 3) {
    const bool black = (i / 3) % 97 < 20;  // black stretches across blocks
    for (std::size_t c = 0; c < 3; ++c) overlay[i + c] = black ? 0 : static_cast<std::uint8_t>(nextRandom(seed) >> 24);
  }
  for (auto& v : alpha) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
  for (const int format : {kPixelRgb24, kPixelRgb32}) {
    Bytes picture(static_cast<std::size_t>(w * h * bytesPerPixelOf(format)));
    for (auto& v : picture) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
    for (const int mode : {0, 1, 2}) {
      BlendSettings settings;
      settings.blendOn = mode != 0;
      settings.alphaFromBitmap = mode == 2;
      settings.alphaPixels = alpha.data();
      settings.opacityPercent = 37.5f;
      const BothPaths out = blendBoth(picture, picture.size(), w, h, format, {overlay.data(), w, h}, settings);
      ASSERT_EQ(out.vector, out.plain) << "format " << format << ", mode " << mode;
      EXPECT_NE(out.vector, picture);
    }
  }
}

TEST(OverlayBlendVector, OpaqueKeyTestAtEveryPixelOfABlock) {
  // One row per pixel of a 32-pixel block and per set of its bytes that are
  // 0; every other pixel has one or two zero bytes but is never black. Only
  // the rows whose pixel has all three bytes 0 keep an image pixel.
  constexpr std::int32_t w = 32, h = 32 * 8;
  std::uint32_t seed = 5;
  Bytes overlay(static_cast<std::size_t>(w * h) * 3), picture(overlay.size());
  for (auto& v : picture) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint32_t zeros = x == y / 8 ? static_cast<std::uint32_t>(y % 8) : 1 + nextRandom(seed) % 6;
      for (std::uint32_t c = 0; c < 3; ++c)
        overlay[static_cast<std::size_t>((y * w + x) * 3) + c] =
            (zeros >> c & 1) != 0 ? 0 : static_cast<std::uint8_t>(1 + (nextRandom(seed) >> 24) % 255);
    }
  const BothPaths out = blendBoth(picture, picture.size(), w, h, kPixelRgb24, {overlay.data(), w, h}, BlendSettings{});
  ASSERT_EQ(out.vector, out.plain);
  EXPECT_NE(out.vector, overlay);
}

}  // namespace
}  // namespace engines
