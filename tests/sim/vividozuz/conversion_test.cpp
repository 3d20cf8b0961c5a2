// RGB conversion and the one-shot exposure and white balance.
#include "sim_fixture.h"

#include <algorithm>
#include <cmath>

namespace simtest {
namespace {

struct Rgb {
  double b = 0, g = 0, r = 0;
};

Rgb averageOf(const std::vector<std::uint8_t>& bgr) {
  Rgb sum;
  const std::size_t n = bgr.size() / 3;
  for (std::size_t i = 0; i < n; ++i) {
    sum.b += bgr[3 * i];
    sum.g += bgr[3 * i + 1];
    sum.r += bgr[3 * i + 2];
  }
  sum.b /= static_cast<double>(n);
  sum.g /= static_cast<double>(n);
  sum.r /= static_cast<double>(n);
  return sum;
}

class ConversionTest : public SimTest {
protected:
  void SetUp() override {
    SimTest::SetUp();
    camera_ = attachAndOpen({smallColour()});
  }
  std::vector<std::uint8_t> convert(const std::vector<std::uint8_t>& raw, int w, int h,
                                    std::uint32_t code) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(w * h * 3));
    const ConversionRecord c{1, code};
    EXPECT_EQ(VarcamConvertFrameToRgb24(camera_, out.data(), raw.data(), w, h, 0, &c), 1)
        << "code " << code;
    return out;
  }
  VarcamHandle camera_ = nullptr;
};

TEST_F(ConversionTest, DemosaicGivesBgrRowsBottomUp) {
  // Red sites 200, everything else 0, in the top half only.
  constexpr int w = 8, h = 8;
  std::vector<std::uint8_t> raw(w * h, 0);
  for (std::size_t y = 0; y < h / 2; y += 2) {
    for (std::size_t x = 0; x < w; x += 2) raw[y * w + x] = 200;
  }
  const auto out = convert(raw, w, h, 14);
  // Image row y is memory row h - 1 - y.
  auto pixel = [&](std::size_t x, std::size_t y) { return &out[((h - 1 - y) * w + x) * 3]; };
  EXPECT_EQ(pixel(0, 0)[2], 200);  // red at a red site
  EXPECT_EQ(pixel(0, 0)[1], 0);
  EXPECT_EQ(pixel(0, 0)[0], 0);
  EXPECT_EQ(pixel(1, 0)[2], 200);  // interpolated between two red sites
  EXPECT_EQ(pixel(1, 1)[2], 200);  // diagonal neighbours
  EXPECT_EQ(pixel(4, 7)[2], 0);    // bottom half stays dark
}

TEST_F(ConversionTest, CorrectionCodesGiveDifferentColoursAndUnknownCodesFail) {
  const Frame f = grab(camera_);
  const auto identity = convert(f.bytes, 640, 480, 14);
  std::vector<std::vector<std::uint8_t>> colours{identity};
  for (std::uint32_t code : {5u, 2u, 1u}) colours.push_back(convert(f.bytes, 640, 480, code));
  for (std::size_t a = 0; a < colours.size(); ++a) {
    for (std::size_t b = a + 1; b < colours.size(); ++b) {
      EXPECT_FALSE(std::equal(colours[a].begin(), colours[a].end(), colours[b].begin(),
                              colours[b].end()))
          << "conversions " << a << " and " << b << " are the same";
    }
  }

  std::vector<std::uint8_t> out(640 * 480 * 3);
  for (std::uint32_t code : {0u, 3u, 13u, 16u}) {
    const ConversionRecord c{1, code};
    EXPECT_EQ(VarcamConvertFrameToRgb24(camera_, out.data(), f.bytes.data(), 640, 480, 0, &c), 0);
  }
  const ConversionRecord method2{2, 14};
  EXPECT_EQ(VarcamConvertFrameToRgb24(camera_, out.data(), f.bytes.data(), 640, 480, 0, &method2),
            0);
  EXPECT_EQ(VarcamConvertFrameToRgb24(camera_, out.data(), nullptr, 640, 480, 0, &method2), 0);
}

TEST_F(ConversionTest, CustomMatrixApplies) {
  const Frame f = grab(camera_);
  const auto identity = convert(f.bytes, 640, 480, 14);
  const float swapRedBlue[9] = {0, 0, 1, 0, 1, 0, 1, 0, 0};
  ASSERT_EQ(VarcamSetupCustomMatrix(camera_, swapRedBlue), 1);
  const auto swapped = convert(f.bytes, 640, 480, 15);
  for (std::size_t p = 0; p < 640 * 480; p += 17) {
    ASSERT_EQ(swapped[3 * p], identity[3 * p + 2]);
    ASSERT_EQ(swapped[3 * p + 1], identity[3 * p + 1]);
    ASSERT_EQ(swapped[3 * p + 2], identity[3 * p]);
  }
  EXPECT_EQ(VarcamSetupCustomMatrix(camera_, nullptr), 0);
}

TEST_F(ConversionTest, SaturationZeroGivesGreyAndMonochromeReplicates) {
  const Frame f = grab(camera_);
  setProperty(camera_, PropSaturation, 0.0f);
  const auto grey = convert(f.bytes, 640, 480, 2);
  for (std::size_t p = 0; p < 640 * 480; p += 11) {
    ASSERT_NEAR(grey[3 * p], grey[3 * p + 2], 1);
    ASSERT_NEAR(grey[3 * p + 1], grey[3 * p + 2], 1);
  }
  camera_ = attachAndOpen({vzsim::asMonochrome(smallColour())});
  const Frame m = grab(camera_);
  const auto out = convert(m.bytes, 640, 480, 5);
  for (std::size_t p = 0; p < 640 * 480; p += 11) {
    const std::size_t y = p / 640, x = p % 640;
    ASSERT_EQ(out[((479 - y) * 640 + x) * 3], m.bytes[p]);
    ASSERT_EQ(out[((479 - y) * 640 + x) * 3 + 2], m.bytes[p]);
  }
}

TEST_F(ConversionTest, OneShotAutoExposureBringsTheRegionToTheTarget) {
  const FrameFormatRecord slow = format(640, 480);
  ASSERT_EQ(VarcamSetFormat(camera_, &slow, 3.75f), 1);
  for (int target : {60, 170}) {
    ASSERT_EQ(VarcamOneShotAutoExposure(camera_, target, 160, 120, 320, 240), 1)
        << VarcamGetLastError();
    const Frame f = grab(camera_);
    EXPECT_NEAR(mean(f, 160, 120, 320, 240), target, 2.0) << "target " << target;
  }
  // The exposure stays within the current rate's range.
  const FrameFormatRecord fast = format(640, 480);
  ASSERT_EQ(VarcamSetFormat(camera_, &fast, 60.0f), 1);
  ASSERT_EQ(VarcamOneShotAutoExposure(camera_, 250, 0, 0, 64, 64), 1);
  float mn = 0, mx = 0, def = 0;
  std::uint32_t flags = 0;
  ASSERT_EQ(VarcamPropertyRange(camera_, PropExposure, &mn, &mx, &def, &flags), 1);
  EXPECT_LE(getProperty(camera_, PropExposure), mx);

  EXPECT_EQ(VarcamOneShotAutoExposure(camera_, 170, 600, 0, 64, 64), 0);  // past the edge
  EXPECT_EQ(VarcamOneShotAutoExposure(camera_, 170, 0, 0, 0, 64), 0);
  EXPECT_EQ(VarcamOneShotAutoExposure(camera_, 300, 0, 0, 64, 64), 0);
}

TEST_F(ConversionTest, OneShotWhiteBalanceMatchesRedAndBlueToGreen) {
  ASSERT_TRUE(vzsim::setScene(1, vzsim::Scene::Flat));
  setProperty(camera_, PropExposure, 20.0f);
  const Frame before = grab(camera_);
  EXPECT_LT(mean(before, 200, 160, 240, 160, RedSites),
            mean(before, 200, 160, 240, 160, GreenSites) * 0.9);
  ASSERT_EQ(VarcamOneShotAutoWhiteBalance(camera_, 200, 160, 240, 160), 1);
  EXPECT_GT(getProperty(camera_, PropGainRed), 1.2f);
  EXPECT_GT(getProperty(camera_, PropGainBlue), 1.2f);
  EXPECT_EQ(getProperty(camera_, PropGainGreen1), 1.0f);
  const Frame after = grab(camera_);
  const double green = mean(after, 200, 160, 240, 160, GreenSites);
  EXPECT_NEAR(mean(after, 200, 160, 240, 160, RedSites), green, green * 0.02);
  EXPECT_NEAR(mean(after, 200, 160, 240, 160, BlueSites), green, green * 0.02);
  // The converted picture of a white-balanced grey surface is grey.
  const Rgb rgb = averageOf(convert(after.bytes, 640, 480, 14));
  EXPECT_NEAR(rgb.r, rgb.g, rgb.g * 0.03);
  EXPECT_NEAR(rgb.b, rgb.g, rgb.g * 0.03);

  EXPECT_EQ(VarcamOneShotAutoWhiteBalance(camera_, -2, 0, 10, 10), 0);
  camera_ = attachAndOpen({vzsim::asMonochrome(smallColour())});
  EXPECT_EQ(VarcamOneShotAutoWhiteBalance(camera_, 0, 0, 64, 64), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNotSupported);
}

} // namespace
} // namespace simtest
