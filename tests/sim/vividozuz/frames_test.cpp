// Raw frame content: it answers to exposure, gains, the format's window,
// sub-sampling and binning, mirroring, the two-byte and field layouts, and
// carries the dark level, hot pixels and vignetting that corrections need.
#include "sim_fixture.h"

#include <algorithm>
#include <cmath>

namespace simtest {
namespace {

class FrameTest : public SimTest {
protected:
  void SetUp() override {
    SimTest::SetUp();
    camera_ = attachAndOpen({smallColour()});
  }
  Frame grabAt(const FrameFormatRecord& f) {
    EXPECT_EQ(VarcamSetFormat(camera_, &f, 200.0f), 1) << VarcamGetLastError();
    return grab(camera_);
  }
  VarcamHandle camera_ = nullptr;
};

TEST_F(FrameTest, LevelIsLinearInExposureBelowSaturation) {
  double m[3];
  const float exposures[3] = {4.0f, 8.0f, 12.0f};
  for (int i = 0; i < 3; ++i) {
    setProperty(camera_, PropExposure, exposures[i]);
    m[i] = centreMean(grab(camera_));
  }
  EXPECT_GT(m[1], m[0] + 5.0);
  EXPECT_NEAR(m[2] - m[1], m[1] - m[0], 0.5);
  // Far beyond full scale the bright parts clip at 255.
  setProperty(camera_, PropExposure, 250.0f);
  const Frame bright = grab(camera_);
  EXPECT_EQ(*std::max_element(bright.bytes.begin(), bright.bytes.end()), 255);
  EXPECT_LT(centreMean(bright), m[0] + (m[1] - m[0]) * 61.5);  // linear prediction
}

TEST_F(FrameTest, GlobalGainActsLikeExposure) {
  setProperty(camera_, PropExposure, 6.0f);
  const double longer = centreMean(grab(camera_));
  setProperty(camera_, PropExposure, 3.0f);
  setProperty(camera_, PropGain, 2.0f);
  EXPECT_NEAR(centreMean(grab(camera_)), longer, 0.5);
}

TEST_F(FrameTest, EachColourGainChangesOnlyItsBayerSites) {
  const Frame before = grab(camera_);
  const struct {
    int property;
    int sites;
  } gains[] = {{PropGainRed, RedSites}, {PropGainBlue, BlueSites},
               {PropGainGreen1, Green1Sites}, {PropGainGreen2, Green2Sites}};
  for (const auto& g : gains) {
    setProperty(camera_, g.property, 2.0f);
    const Frame after = grab(camera_);
    for (int site : {RedSites, Green1Sites, Green2Sites, BlueSites}) {
      const double a = centreMean(before, site);
      const double b = centreMean(after, site);
      if (site == g.sites) EXPECT_GT(b, a * 1.5) << "property " << g.property;
      else EXPECT_EQ(b, a) << "property " << g.property << " site " << site;
    }
    setProperty(camera_, g.property, 1.0f);
  }
}

TEST_F(FrameTest, PictureSettingsMoveTheLevel) {
  const double plain = centreMean(grab(camera_));
  setProperty(camera_, PropBrightness, 0.2f);
  EXPECT_GT(centreMean(grab(camera_)), plain + 20.0);
  setProperty(camera_, PropBrightness, 0.0f);
  setProperty(camera_, PropGamma, 2.0f);
  EXPECT_GT(centreMean(grab(camera_)), plain + 10.0);
  setProperty(camera_, PropGamma, 1.0f);
  setProperty(camera_, PropContrast, 0.0f);  // everything mid-grey
  const Frame flat = grab(camera_);
  EXPECT_EQ(*std::min_element(flat.bytes.begin(), flat.bytes.end()),
            *std::max_element(flat.bytes.begin(), flat.bytes.end()));
}

TEST_F(FrameTest, FormatOffsetShiftsTheContent) {
  const Frame full = grabAt(format(640, 480));
  const Frame window = grabAt(format(320, 240, 1, false, 64, 32));
  ASSERT_EQ(window.width, 320u);
  for (std::uint32_t y = 0; y < window.height; ++y) {
    for (std::uint32_t x = 0; x < window.width; ++x) {
      ASSERT_EQ(window.at(x, y), full.at(x + 64, y + 32)) << x << "," << y;
    }
  }
}

TEST_F(FrameTest, SubsamplingPicksPixelsAndBinningAveragesSameColourPixels) {
  const Frame full = grabAt(format(640, 480));
  const Frame sub = grabAt(format(640, 480, 2, false));
  const Frame bin = grabAt(format(640, 480, 2, true));
  ASSERT_EQ(sub.width, 320u);
  ASSERT_EQ(bin.height, 240u);
  // Pairs of output pixels come from the first 2 x 2 cell of each 4 x 4
  // block, so the Bayer phase stays RGGB.
  auto first = [](std::uint32_t i) { return (i / 2) * 4 + i % 2; };
  int differ = 0;
  for (std::uint32_t y = 0; y < sub.height; ++y) {
    for (std::uint32_t x = 0; x < sub.width; ++x) {
      const std::uint32_t sx = first(x), sy = first(y);
      ASSERT_EQ(sub.at(x, y), full.at(sx, sy)) << x << "," << y;
      const double average = (full.at(sx, sy) + full.at(sx + 2, sy) + full.at(sx, sy + 2) +
                              full.at(sx + 2, sy + 2)) / 4.0;
      ASSERT_NEAR(bin.at(x, y), average, 1.0) << x << "," << y;
      differ += bin.at(x, y) != sub.at(x, y) ? 1 : 0;
    }
  }
  EXPECT_GT(differ, 100);
}

TEST_F(FrameTest, MirroringFlipsTheImageAndKeepsTheBayerPhase) {
  ASSERT_TRUE(vzsim::setCameras({vzsim::asMonochrome(smallColour()), smallColour()}));
  VarcamHandle grey = open(1);
  const Frame plain = grab(grey);
  for (int flip = 1; flip <= 3; ++flip) {
    setProperty(grey, PropFlipping, static_cast<float>(flip));
    const Frame mirrored = grab(grey);
    for (std::uint32_t y = 0; y < plain.height; y += 3) {
      for (std::uint32_t x = 0; x < plain.width; x += 3) {
        const std::uint32_t sx = (flip & 1) ? plain.width - 1 - x : x;
        const std::uint32_t sy = (flip & 2) ? plain.height - 1 - y : y;
        ASSERT_EQ(mirrored.at(x, y), plain.at(sx, sy)) << "flip " << flip;
      }
    }
  }
  // Colour: red sites still carry red after mirroring left-right.
  VarcamHandle colour = open(2);
  const Frame normal = grab(colour);
  setProperty(colour, PropFlipping, 1.0f);
  const Frame mirrored = grab(colour);
  const double red = mean(mirrored, 0, 0, 320, 480, RedSites);
  EXPECT_NEAR(red, mean(normal, 320, 0, 320, 480, RedSites), red * 0.02);
  EXPECT_GT(std::fabs(red - mean(normal, 320, 0, 320, 480, GreenSites)), red * 0.1);
}

TEST_F(FrameTest, TwoBytePixelsCarryTheSampleInTheByteTheFlagNames) {
  for (bool highByte : {true, false}) {
    vzsim::CameraModel m = smallColour();
    m.twoBytePixels = true;
    m.highByteSample = highByte;
    VarcamHandle h = attachAndOpen({m});
    float v = 0;
    std::uint32_t flags = 0;
    ASSERT_EQ(VarcamGetProperty(h, PropColorFormat, &v, &flags), 1);
    EXPECT_EQ((flags & VARCAM_FLAG_HIGH_BYTE) != 0, highByte);
    const Frame eight = grab(h);
    const FrameFormatRecord wide = format(640, 480, 1, false, 0, 0, 1);
    ASSERT_EQ(VarcamSetFormat(h, &wide, 200.0f), 1);
    const Frame two = grab(h);
    ASSERT_EQ(two.bytes.size(), eight.bytes.size() * 2);
    for (std::size_t i = 0; i < eight.bytes.size(); i += 7) {
      ASSERT_EQ(two.bytes[2 * i + (highByte ? 1 : 0)], eight.bytes[i]) << i;
    }
    VarcamCameraClose(h);
    opened_.clear();
  }
}

TEST_F(FrameTest, FieldLayoutHoldsEvenLinesThenOddLines) {
  vzsim::CameraModel progressive = smallColour();
  vzsim::CameraModel interlaced = smallColour();
  interlaced.interlacedFields = true;
  ASSERT_TRUE(vzsim::setCameras({progressive, interlaced}));
  const Frame p = grab(open(1));
  VarcamHandle h = open(2);
  std::uint32_t record[VARCAM_VIDEO_IMAGE_FORMAT_WORDS] = {VARCAM_VIDEO_IMAGE_FORMAT_SIZE};
  ASSERT_EQ(VarcamGetVideoImageFormat(h, record), 1);
  EXPECT_NE(record[VARCAM_VIDEO_IMAGE_FORMAT_FIELD_LAYOUT], 0u);
  const Frame f = grab(h);
  const std::uint32_t half = p.height / 2;
  for (std::uint32_t k = 0; k < half; ++k) {
    for (std::uint32_t x = 0; x < p.width; x += 5) {
      ASSERT_EQ(f.at(x, k), p.at(x, 2 * k));
      ASSERT_EQ(f.at(x, half + k), p.at(x, 2 * k + 1));
    }
  }
}

TEST_F(FrameTest, CoveredLensShowsDarkLevelAndHotPixels) {
  ASSERT_TRUE(vzsim::setScene(1, vzsim::Scene::Covered));
  const Frame dark = grab(camera_);
  EXPECT_NEAR(centreMean(dark), 4.0, 1.5);
  EXPECT_GT(*std::max_element(dark.bytes.begin(), dark.bytes.end()), 50);
  // Hot pixels grow with the exposure like light does.
  setProperty(camera_, PropExposure, 2.0f);
  const Frame shorter = grab(camera_);
  EXPECT_LT(*std::max_element(shorter.bytes.begin(), shorter.bytes.end()),
            *std::max_element(dark.bytes.begin(), dark.bytes.end()));
}

TEST_F(FrameTest, FlatSceneIsVignetted) {
  ASSERT_TRUE(vzsim::setScene(1, vzsim::Scene::Flat));
  const Frame f = grab(camera_);
  const double centre = mean(f, 300, 220, 40, 40, GreenSites);
  const double corner = mean(f, 0, 0, 40, 40, GreenSites);
  EXPECT_GT(centre, corner * 1.2);
}

TEST_F(FrameTest, NoiseIsSeededAndSmall) {
  const Frame clean = grab(camera_);
  vzsim::setNoise(true, 7);
  const Frame noisy = grab(camera_);
  EXPECT_NE(noisy.bytes, clean.bytes);
  EXPECT_NEAR(centreMean(noisy), centreMean(clean), 0.5);
}

} // namespace
} // namespace simtest
