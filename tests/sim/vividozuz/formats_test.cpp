// Formats and frame rates: validation, which rates a format and an exposure
// offer, the rate a request gets, single-rate and changing rate lists.
#include "sim_fixture.h"

namespace simtest {
namespace {

TEST_F(SimTest, RatesOfferedDependOnTheExposure) {
  VarcamHandle h = open(1);  // 1280 x 1024
  setProperty(h, PropExposure, 0.1f);
  const std::vector<float> all = enumRates(h);
  EXPECT_EQ(all, (std::vector<float>{3.75f, 7.5f, 15.0f, 30.0f}));
  setProperty(h, PropExposure, 50.0f);
  EXPECT_EQ(enumRates(h), (std::vector<float>{3.75f, 7.5f, 15.0f}));
  setProperty(h, PropExposure, 200.0f);
  EXPECT_EQ(enumRates(h), (std::vector<float>{3.75f}));
  // The count query and a short array.
  float first = 0;
  EXPECT_EQ(VarcamEnumAvailableFrameRates(h, 1, &first), 1);
  EXPECT_EQ(first, 3.75f);
  EXPECT_EQ(VarcamEnumAvailableFrameRates(h, -1, nullptr), -1);
}

TEST_F(SimTest, FormatsReadingFewerRowsOfferFasterRates) {
  VarcamHandle h = open(1);
  setProperty(h, PropExposure, 0.1f);
  const std::size_t full = enumRates(h).size();
  const FrameFormatRecord vgaWindow = format(640, 480);
  ASSERT_EQ(VarcamSetFormat(h, &vgaWindow, 200.0f), 1);
  const std::vector<float> vga = enumRates(h);
  EXPECT_GT(vga.size(), full);
  // Sub-sampling skips rows; binning reads them all.
  const FrameFormatRecord sub = format(1280, 1024, 4, false);
  const FrameFormatRecord bin = format(1280, 1024, 4, true);
  ASSERT_EQ(VarcamSetFormat(h, &sub, 200.0f), 1);
  const std::vector<float> subRates = enumRates(h);
  ASSERT_EQ(VarcamSetFormat(h, &bin, 200.0f), 1);
  const std::vector<float> binRates = enumRates(h);
  EXPECT_GT(subRates.size(), binRates.size());
  EXPECT_EQ(binRates.size(), full);
  // The slowest rate is the same for every format.
  EXPECT_EQ(subRates.front(), binRates.front());
  EXPECT_EQ(vga.front(), binRates.front());
}

TEST_F(SimTest, SetFormatTakesTheFastestOfferedRateNotAboveTheRequest) {
  VarcamHandle h = open(1);
  setProperty(h, PropExposure, 0.1f);
  const FrameFormatRecord full = format(1280, 1024);
  auto rateAfter = [&](float requested) {
    EXPECT_EQ(VarcamSetFormat(h, &full, requested), 1);
    FrameFormatRecord f{};
    float rate = 0;
    EXPECT_EQ(VarcamGetFormat(h, &f, &rate), 1);
    return rate;
  };
  EXPECT_EQ(rateAfter(200.0f), 30.0f);
  EXPECT_EQ(rateAfter(20.0f), 15.0f);
  EXPECT_EQ(rateAfter(7.5f), 7.5f);
  EXPECT_EQ(rateAfter(1.0f), 3.75f);  // below all: the slowest
  setProperty(h, PropExposure, 50.0f);
  EXPECT_EQ(rateAfter(200.0f), 15.0f);  // only rates that admit the exposure
  EXPECT_EQ(VarcamSetFormat(h, &full, 0.0f), 0);
  EXPECT_EQ(VarcamSetFormat(h, &full, -5.0f), 0);
}

TEST_F(SimTest, SetFormatRejectsFormatsTheSensorCannotDeliver) {
  VarcamHandle h = open(1);
  FrameFormatRecord before{};
  float rateBefore = 0;
  ASSERT_EQ(VarcamGetFormat(h, &before, &rateBefore), 1);
  FrameFormatRecord zeroFactor = format(640, 480);
  zeroFactor.factorY = 0;
  FrameFormatRecord badFlags = format(640, 480, 2, false);
  badFlags.flagsX = 2;
  const FrameFormatRecord bad[] = {
      zeroFactor,
      format(642, 480, 4),               // width not a multiple of the factor
      format(640, 482, 4),               // height not a multiple of the factor
      format(1280, 1024, 1, false, 2),   // past the right edge
      format(640, 480, 1, false, 0, 546),// past the bottom
      format(0, 480),
      format(640, 480, 1, false, 0, 0, 1),  // two-byte pixels on an 8-bit camera
      format(640, 480, 1, false, 0, 0, 2),
      badFlags,
  };
  for (const FrameFormatRecord& f : bad) {
    EXPECT_EQ(VarcamSetFormat(h, &f, 200.0f), 0) << f.width << "x" << f.height;
    EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidArgument);
  }
  FrameFormatRecord after{};
  float rateAfter = 0;
  ASSERT_EQ(VarcamGetFormat(h, &after, &rateAfter), 1);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(rateAfter, rateBefore);
  // Edges exactly on the sensor are fine.
  const FrameFormatRecord corner = format(640, 512, 2, true, 640, 512);
  EXPECT_EQ(VarcamSetFormat(h, &corner, 200.0f), 1);
  EXPECT_EQ(vzsim::currentFormat(1).offsetX, 640u);
}

TEST_F(SimTest, SingleRateCameraOffersItsRateForEveryFormatAndExposure) {
  vzsim::CameraModel m = vzsim::defaultModel(160);
  m.frameRates = {vzsim::frameRate(12.5f)};
  VarcamHandle h = attachAndOpen({m});
  for (const FrameFormatRecord& f : {format(1280, 1024), format(320, 240), format(1280, 1024, 4)}) {
    ASSERT_EQ(VarcamSetFormat(h, &f, 200.0f), 1);
    for (float e : {0.1f, 10.0f, 78.0f}) {
      setProperty(h, PropExposure, e);
      EXPECT_EQ(enumRates(h), std::vector<float>{12.5f});
    }
  }
  EXPECT_EQ(VarcamSetProperty(h, PropExposure, 79.0f, 0), 0);  // period 80 ms
}

TEST_F(SimTest, RateListCanChangeBetweenTwoCalls) {
  VarcamHandle h = open(1);
  setProperty(h, PropExposure, 90.0f);
  ASSERT_EQ(enumRates(h).size(), 2u);
  ASSERT_TRUE(vzsim::setFrameRates(1, {vzsim::frameRate(5.0f), vzsim::frameRate(10.0f),
                                       vzsim::frameRate(20.0f), vzsim::frameRate(25.0f)}));
  // 90 ms fits 5 and 10 fps.
  EXPECT_EQ(enumRates(h), (std::vector<float>{5.0f, 10.0f}));
  // The exposure is cut to the new slowest rate's largest exposure.
  ASSERT_TRUE(vzsim::setFrameRates(1, {vzsim::frameRate(30.0f)}));
  EXPECT_LT(getProperty(h, PropExposure), 1000.0f / 30.0f);
  EXPECT_EQ(enumRates(h), std::vector<float>{30.0f});
  EXPECT_EQ(vzsim::currentFrameRate(1), 30.0f);
  EXPECT_FALSE(vzsim::setFrameRates(1, {}));
}

TEST_F(SimTest, LowerClockSpeedReadsOutSlowerAndOffersFewerRates) {
  VarcamHandle h = open(1);
  setProperty(h, PropExposure, 0.1f);
  const FrameFormatRecord vga = format(640, 480);
  ASSERT_EQ(VarcamSetFormat(h, &vga, 200.0f), 1);
  const std::size_t fast = enumRates(h).size();
  setProperty(h, PropClockSpeed, 12.0f);
  EXPECT_LT(enumRates(h).size(), fast);
}

TEST_F(SimTest, VideoImageFormatDescribesTheFrame) {
  VarcamHandle h = open(1);
  const FrameFormatRecord f = format(640, 480, 2, true);
  ASSERT_EQ(VarcamSetFormat(h, &f, 200.0f), 1);
  std::uint32_t record[VARCAM_VIDEO_IMAGE_FORMAT_WORDS] = {};
  EXPECT_EQ(VarcamGetVideoImageFormat(h, record), 0);  // size word missing
  record[0] = VARCAM_VIDEO_IMAGE_FORMAT_SIZE;
  ASSERT_EQ(VarcamGetVideoImageFormat(h, record), 1);
  EXPECT_EQ(record[1], 320u);
  EXPECT_EQ(record[2], 240u);
  EXPECT_EQ(record[VARCAM_VIDEO_IMAGE_FORMAT_FIELD_LAYOUT], 0u);
}

} // namespace
} // namespace simtest
