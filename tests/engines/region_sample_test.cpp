#include "engines/region_sample.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace engines {
namespace {

constexpr std::uint32_t kW = 8, kH = 4;

// Pixel level at (x, y): 10 y + x; with two bytes the second byte is 100 more.
std::vector<std::uint8_t> frame(bool twoBytes, bool interlaced) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t i = 0; i < kH; ++i) {
    // Interlaced frames hold lines 0, 2, 1, 3.
    const std::uint32_t y = interlaced ? (i < kH / 2 ? 2 * i : 2 * (i - kH / 2) + 1) : i;
    for (std::uint32_t x = 0; x < kW; ++x) {
      out.push_back(static_cast<std::uint8_t>(10 * y + x));
      if (twoBytes) out.push_back(static_cast<std::uint8_t>(110 + 10 * y + x));
    }
  }
  return out;
}

std::array<std::uint32_t, 4> sample(std::uint32_t x, std::uint32_t y, std::uint32_t w,
                                    std::uint32_t h, bool twoBytes, bool highByte, bool interlaced) {
  RegionSample s;
  s.frameWidth = kW;
  s.frameHeight = kH;
  s.twoBytes = twoBytes;
  s.highByte = highByte;
  s.fieldLayout = interlaced ? 1 : 0;
  s.startX = x;
  s.startY = y;
  s.width = w;
  s.height = h;
  const auto f = frame(twoBytes, interlaced);
  EXPECT_EQ(regionBytesNeeded(s) <= f.size(), true);
  EXPECT_TRUE(sampleRegion(s, f.data(), f.size()));
  return {s.sum0, s.sum1, s.sum2, s.sum3};
}

using Sums = std::array<std::uint32_t, 4>;

TEST(RegionSample, SumsTheFourPlacesOfEachTwoByTwoCell) {
  // Region 4 x 2 at (2, 0): row 0 columns 2,4 | 3,5; row 1 the same.
  EXPECT_EQ(sample(2, 0, 4, 2, false, false, false), (Sums{6, 8, 26, 28}));
  // The whole frame.
  EXPECT_EQ(sample(0, 0, 8, 4, false, false, false), (Sums{12 + 92, 16 + 96, 52 + 132, 56 + 136}));
}

TEST(RegionSample, TwoBytePixelsReadTheFirstOrWithTheFlagTheSecondByte) {
  EXPECT_EQ(sample(2, 0, 4, 2, true, false, false), (Sums{6, 8, 26, 28}));
  EXPECT_EQ(sample(2, 0, 4, 2, true, true, false), (Sums{226, 228, 246, 248}));
  // The flag means nothing for one-byte pixels.
  EXPECT_EQ(sample(2, 0, 4, 2, false, true, false), (Sums{6, 8, 26, 28}));
}

TEST(RegionSample, InterlacedFramesGiveTheSameSumsAsProgressiveOnes) {
  for (std::uint32_t y : {0u, 2u}) {
    for (std::uint32_t x : {0u, 2u, 4u}) {
      for (bool twoBytes : {false, true}) {
        SCOPED_TRACE(testing::Message() << x << "," << y << " two bytes " << twoBytes);
        EXPECT_EQ(sample(x, y, 4, 2, twoBytes, twoBytes, true),
                  sample(x, y, 4, 2, twoBytes, twoBytes, false));
      }
    }
  }
  EXPECT_EQ(sample(0, 0, 8, 4, false, false, true), sample(0, 0, 8, 4, false, false, false));
}

TEST(RegionSample, AFrameTooShortForTheRegionIsNotRead) {
  RegionSample s;
  s.frameWidth = kW;
  s.frameHeight = kH;
  s.startX = 4;
  s.startY = 2;
  s.width = 4;
  s.height = 2;
  EXPECT_EQ(regionBytesNeeded(s), kW * kH);  // the region ends at the last pixel
  s.twoBytes = 1;
  s.highByte = 1;
  EXPECT_EQ(regionBytesNeeded(s), kW * kH * 2);
  const auto f = frame(true, false);
  EXPECT_FALSE(sampleRegion(s, f.data(), f.size() - 1));
  EXPECT_EQ(s.sum0 + s.sum1 + s.sum2 + s.sum3, 0u);
  EXPECT_TRUE(sampleRegion(s, f.data(), f.size()));
}

}  // namespace
}  // namespace engines
