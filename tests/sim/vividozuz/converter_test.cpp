// The converter's row loops against a plain per-pixel conversion written
// out here: demosaic with reflected edges, colour matrix, rounding and
// clamping, output layout. Every layout and output format must give the
// same bytes, since the driver's corrections and tests compare pixels.
#include "vividozuz/converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <vector>

namespace {

using vzsim::Matrix3;
using vzsim::RawLayout;

std::uint32_t reflected(std::int64_t i, std::uint32_t n) {
  if (n < 2) return 0;
  if (i < 0) return 1;
  if (i >= static_cast<std::int64_t>(n)) return n - 2;
  return static_cast<std::uint32_t>(i);
}

std::uint8_t plainByte(float v) {
  const float c = std::clamp(v + 0.5f, 0.0f, 255.0f);
  return std::isnan(c) ? 0 : static_cast<std::uint8_t>(c);
}

float sampleAt(const std::vector<std::uint8_t>& raw, const RawLayout& l, std::uint32_t x,
               std::uint32_t y) {
  const std::uint32_t evenRows = (l.height + 1) / 2;
  const std::uint32_t stored = l.fieldLayout ? (y % 2 == 0 ? y / 2 : evenRows + y / 2) : y;
  const std::size_t i = static_cast<std::size_t>(stored) * l.width + x;
  if (!l.twoBytes) return raw[i];
  const unsigned b0 = raw[2 * i], b1 = raw[2 * i + 1];
  const unsigned v = l.highByteSample ? (b1 << 8 | b0) : (b0 << 8 | b1);
  return static_cast<float>(v) / 257.0f;
}

std::vector<std::uint8_t> plainConvert(const std::vector<std::uint8_t>& raw, const RawLayout& l,
                                       const Matrix3& m, int format) {
  const std::size_t bpp = format == 0 ? 1 : format == 6 ? 4 : 3;
  std::vector<std::uint8_t> out(std::size_t{l.width} * l.height * bpp);
  const bool identity = m == vzsim::kIdentity;
  for (std::uint32_t y = 0; y < l.height; ++y) {
    const std::uint32_t yu = reflected(std::int64_t{y} - 1, l.height);
    const std::uint32_t yd = reflected(std::int64_t{y} + 1, l.height);
    for (std::uint32_t x = 0; x < l.width; ++x) {
      const std::uint32_t xl = reflected(std::int64_t{x} - 1, l.width);
      const std::uint32_t xr = reflected(std::int64_t{x} + 1, l.width);
      auto at = [&](std::uint32_t px, std::uint32_t py) { return sampleAt(raw, l, px, py); };
      float r, g, b;
      if (!l.colour) {
        r = g = b = at(x, y);
      } else {
        const float cross = (at(xl, y) + at(xr, y) + at(x, yu) + at(x, yd)) * 0.25f;
        const float diagonal = (at(xl, yu) + at(xr, yu) + at(xl, yd) + at(xr, yd)) * 0.25f;
        const float horizontal = (at(xl, y) + at(xr, y)) * 0.5f;
        const float vertical = (at(x, yu) + at(x, yd)) * 0.5f;
        const bool evenRow = y % 2 == 0, evenCol = x % 2 == 0;
        if (evenRow && evenCol) { r = at(x, y); g = cross; b = diagonal; }
        else if (evenRow) { r = horizontal; g = at(x, y); b = vertical; }
        else if (evenCol) { r = vertical; g = at(x, y); b = horizontal; }
        else { r = diagonal; g = cross; b = at(x, y); }
        if (!identity) {
          const float r2 = m[0] * r + m[1] * g + m[2] * b;
          const float g2 = m[3] * r + m[4] * g + m[5] * b;
          const float b2 = m[6] * r + m[7] * g + m[8] * b;
          r = r2; g = g2; b = b2;
        }
      }
      std::uint8_t* px = out.data() + (std::size_t{l.height - 1 - y} * l.width + x) * bpp;
      if (bpp == 1) {
        px[0] = plainByte(0.299f * r + 0.587f * g + 0.114f * b);
        continue;
      }
      px[0] = plainByte(b);
      px[1] = plainByte(g);
      px[2] = plainByte(r);
      if (bpp == 4) px[3] = 255;
    }
  }
  return out;
}

std::vector<std::uint8_t> randomBytes(std::size_t n, std::uint32_t seed) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t s = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < n; ++i) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    // Runs of black and white among random values reach the clamps.
    const std::uint32_t kind = (s >> 28) & 7u;
    v[i] = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<std::uint8_t>(s);
  }
  return v;
}

std::vector<Matrix3> matrices() {
  Matrix3 daylight{};
  vzsim::correctionMatrix(2, vzsim::kIdentity, daylight);
  const float big = std::numeric_limits<float>::max();
  return {vzsim::kIdentity,
          vzsim::multiply(vzsim::saturationHueMatrix(1.3f, 25.0f), daylight),
          vzsim::saturationHueMatrix(0.0f, 0.0f),
          {-1.5f, 2.0f, 0.25f, 3.0f, -0.5f, 1.0f, 0.1f, 0.2f, 4.0f},
          // Products overflow to infinities whose sum is NaN: black, not
          // whatever an out-of-range conversion happens to give.
          {big, big, -big, 0, 1, 0, -big, big, big}};
}

TEST(ConverterTest, RowLoopsGiveThePlainConversionsBytes) {
  // One converter per path for all cases: its buffers are reused.
  vzsim::Converter wide;
  vzsim::Converter baseline;
  baseline.allowAvx2(false);
  ASSERT_FALSE(baseline.avx2Enabled());
  if (!wide.avx2Enabled()) std::cout << "[ NOTE     ] no AVX2 here: the baseline path only\n";
  int cases = 0;
  for (std::uint32_t width : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 17u, 40u, 513u, 1030u}) {  // spans of 512
    for (std::uint32_t height : {1u, 2u, 3u, 6u}) {
      for (int variant = 0; variant < 6; ++variant) {
        RawLayout l;
        l.width = width;
        l.height = height;
        l.colour = variant != 5;
        l.twoBytes = variant == 2 || variant == 3;
        l.highByteSample = variant != 3;
        l.fieldLayout = variant == 4;
        const auto raw = randomBytes(std::size_t{width} * height * (l.twoBytes ? 2 : 1),
                                     width * 31 + height * 7 + static_cast<std::uint32_t>(variant));
        for (const Matrix3& m : matrices()) {
          for (int format : {0, 2, 6}) {
            const std::size_t bpp = format == 0 ? 1 : format == 6 ? 4 : 3;
            const auto expected = plainConvert(raw, l, m, format);
            for (vzsim::Converter* converter : {&wide, &baseline}) {
              std::vector<std::uint8_t> out(std::size_t{width} * height * bpp, 0xA5);
              converter->convert(raw.data(), l, m, format, out.data());
              ASSERT_EQ(out, expected) << width << " x " << height << " variant " << variant
                                       << " format " << format << " avx2 "
                                       << converter->avx2Enabled();
            }
            ++cases;
          }
        }
      }
    }
  }
  EXPECT_EQ(cases, 11 * 4 * 6 * 5 * 3);
}

TEST(ConverterTest, EmptyFramesWriteNothing) {
  vzsim::Converter converter;
  std::vector<std::uint8_t> out(4, 0x11);
  const std::uint8_t raw[4] = {1, 2, 3, 4};
  RawLayout l;
  l.width = 0;
  l.height = 2;
  converter.convert(raw, l, vzsim::kIdentity, 2, out.data());
  l.width = 2;
  l.height = 0;
  converter.convert(raw, l, vzsim::kIdentity, 2, out.data());
  EXPECT_EQ(out, std::vector<std::uint8_t>(4, 0x11));
}

} // namespace
