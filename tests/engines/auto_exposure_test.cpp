// Region auto exposure on frames that the simulator streams on its own thread.
#include "engines/exposure_controller.h"

#include "sim_camera.h"
#include "support/output.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace engines {
namespace {

using vxtest::calls;
using vxtest::logged;

struct Region {
  int x, y, width, height;
};

// Inside the fastest rate's band (9.8 ms at 100 fps).
constexpr float kStart = 9.0f;

class AutoExposureTest : public testing::SimCameraTest {
 protected:
  // Opens `model` (320 x 240, rates 10 .. 100 fps unless set), builds the
  // controller at kStart ms and starts streaming without display. The platform
  // clock is virtual and stands still, so the three-frame-period wait can
  // only end by a frame.
  void start(vzsim::CameraModel model, bool twoBytePixels = false) {
    open(model);
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, kStart));
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropGain, 4.0f));  // chart levels well above 24
    if (twoBytePixels) {
      FrameFormatRecord f{};
      float rate = 0;
      ASSERT_EQ(VarcamGetFormat(camera_, &f, &rate), 1);
      f.pixelFormat = 1;
      ASSERT_EQ(VarcamSetFormat(camera_, &f, rate), 1);
    }
    controller = std::make_unique<ExposureController>(camera_);
    ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
    platform::headless::useVirtualTime(true, 1000);
  }
  static vzsim::CameraModel camera() { return smallCamera({10, 25, 50, 100}); }

  // One raw frame as the streaming callbacks see it.
  std::vector<std::uint8_t> grabFrame() {
    std::uint32_t record[VARCAM_VIDEO_IMAGE_FORMAT_WORDS] = {VARCAM_VIDEO_IMAGE_FORMAT_SIZE};
    EXPECT_EQ(VarcamGetVideoImageFormat(camera_, record), 1);
    std::vector<std::uint8_t> frame(record[5]);
    EXPECT_EQ(VarcamTakeVideo(camera_, 1, frame.data()), 1);
    return frame;
  }

  // Sum of the levels of a rectangle of frame lines, read line by line: one
  // byte per pixel at `sampleByte` of `bytesPerPixel`; with `interlaced` line
  // y is stored at row y / 2 of the even or the odd half. The tests pin the
  // region's average so that the exposures they expect can be worked by hand.
  static std::uint64_t sumOf(const std::vector<std::uint8_t>& frame, Region r,
                             int bytesPerPixel = 1, int sampleByte = 0, bool interlaced = false) {
    constexpr int kW = 320, kH = 240;
    std::uint64_t sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
      const int row = !interlaced ? y : (y % 2 == 0 ? y / 2 : kH / 2 + y / 2);
      for (int x = r.x; x < r.x + r.width; ++x) {
        sum += frame[static_cast<std::size_t>((row * kW + x) * bytesPerPixel + sampleByte)];
      }
    }
    return sum;
  }
  static std::uint64_t pixels(Region r) { return static_cast<std::uint64_t>(r.width * r.height); }
  // The region's average truncated to whole levels.
  static std::uint64_t meanOf(const std::vector<std::uint8_t>& frame, Region r,
                              int bytesPerPixel = 1, int sampleByte = 0, bool interlaced = false) {
    return sumOf(frame, r, bytesPerPixel, sampleByte, interlaced) / pixels(r);
  }
  // Whether the average's fraction is half a level or more, so that a mean
  // rounded to nearest would be one level higher than the truncated one.
  static bool roundsUp(const std::vector<std::uint8_t>& frame, Region r, int bytesPerPixel = 1,
                       int sampleByte = 0, bool interlaced = false) {
    return 2 * (sumOf(frame, r, bytesPerPixel, sampleByte, interlaced) % pixels(r)) >= pixels(r);
  }

  std::unique_ptr<ExposureController> controller;
};

TEST_F(AutoExposureTest, MirroringMovesTheRegionInTheBuffer) {
  start(camera());
  const Region asked{0, 0, 64, 32};
  for (int flipping = 0; flipping <= 3; ++flipping) {
    SCOPED_TRACE(flipping);
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropFlipping, static_cast<float>(flipping)));
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, kStart));
    const auto frame = grabFrame();
    // At x = 0 a left-right mirrored camera is sampled at the buffer's right edge.
    const Region sampled{(flipping & 1) != 0 ? 320 - 64 : 0, (flipping & 2) != 0 ? 240 - 32 : 0,
                         64, 32};
    // Every vignetted corner averages 30.7 levels (62,935 / 2,048 in the
    // top left one): 30 truncated, 31 rounded.
    ASSERT_EQ(meanOf(frame, sampled), 30u);
    ASSERT_TRUE(roundsUp(frame, sampled));
    if (flipping != 0) {
      ASSERT_NE(meanOf(frame, asked), 30u);  // sampling the wrong corner shows
    }
    EXPECT_NE(controller->autoExposeRegion(150, asked.x, asked.y, asked.width, asked.height), 0);
    // 150 x 9 ms / 30 = 45 ms (a rounded mean of 31 would give 43.55 ms).
    EXPECT_NEAR(exposure(), 45.0f, 1e-4f);
  }
}

class TwoByteAutoExposureTest : public AutoExposureTest,
                                public ::testing::WithParamInterface<bool> {};

TEST_P(TwoByteAutoExposureTest, PixelsAreSampledAtTheirEightBitByte) {
  const bool highByteFlag = GetParam();
  vzsim::CameraModel model = camera();
  model.twoBytePixels = true;
  model.highByteSample = highByteFlag;  // set: little-endian, the sample in the second byte
  start(model, true);
  ASSERT_EQ(vzsim::propertyFlags(1, PropColorFormat).value_or(0) >> 31, highByteFlag ? 1u : 0u);
  const Region r{40, 60, 48, 24};
  const auto frame = grabFrame();
  ASSERT_EQ(frame.size(), 320u * 240u * 2u);
  // The eight-bit samples average 64.97 levels (74,841 / 1,152): 64
  // truncated, 65 rounded; the other byte of each pixel averages 122.
  ASSERT_EQ(meanOf(frame, r, 2, highByteFlag ? 1 : 0), 64u);
  ASSERT_TRUE(roundsUp(frame, r, 2, highByteFlag ? 1 : 0));
  ASSERT_EQ(meanOf(frame, r, 2, highByteFlag ? 0 : 1), 122u);
  EXPECT_NE(controller->autoExposeRegion(120, r.x, r.y, r.width, r.height), 0);
  // 120 x 9 ms / 64 = 16.875 ms (65 would give 16.62 ms, the other byte 8.85 ms).
  EXPECT_NEAR(exposure(), 16.875f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(HighByteFlag, TwoByteAutoExposureTest, ::testing::Bool());

TEST_F(AutoExposureTest, InterlacedFramesAreSampledOnTheRegionsLines) {
  vzsim::CameraModel model = camera();
  model.interlacedFields = true;
  start(model);
  const Region r{100, 50, 64, 40};
  const auto frame = grabFrame();
  // The region's lines average 59.82 levels (153,138 / 2,560): 59 truncated,
  // 60 rounded; the same rows read as progressive lines average 79.
  ASSERT_EQ(meanOf(frame, r, 1, 0, true), 59u);
  ASSERT_TRUE(roundsUp(frame, r, 1, 0, true));
  ASSERT_EQ(meanOf(frame, r), 79u);
  EXPECT_NE(controller->autoExposeRegion(100, r.x, r.y, r.width, r.height), 0);
  // 100 x 9 ms / 59 = 15.2542 ms (60 would give 15 ms, 79 gives 11.39 ms).
  EXPECT_NEAR(exposure(), 15.254237f, 1e-4f);
}

TEST_F(AutoExposureTest, MeanOf23TakesTheDarkRuleAnd24TheProportionalOne) {
  start(camera());
  ASSERT_TRUE(vzsim::setScene(1, vzsim::Scene::Covered));
  const Region r{80, 80, 32, 32};
  // A covered sensor is uniform: the brightness sets its level.
  struct Level {
    float brightness;
    std::uint64_t mean;
    int target;
    float exposure;
  };
  // From 5 ms; the largest exposure is 98 ms (10 fps: 100 ms less 2 %).
  // 23, target 200: the larger of 200 x 98 ms x 0.003921569 = 76.8628 ms and 2 x 5 ms.
  // 23, target 10: the larger of 10 x 98 ms x 0.003921569 = 3.8431 ms and 2 x 5 ms = 10 ms.
  // 24, target 200: 200 x 5 ms / 24 = 41.6667 ms.
  for (const Level level : {Level{0.152224f, 23, 200, 76.862755f}, Level{0.152224f, 23, 10, 10.0f},
                            Level{0.160037f, 24, 200, 41.666668f}}) {
    SCOPED_TRACE(::testing::Message() << "mean " << level.mean << ", target " << level.target);
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropBrightness, level.brightness));
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, 5.0f));
    ASSERT_EQ(meanOf(grabFrame(), r), level.mean);
    EXPECT_NE(controller->autoExposeRegion(level.target, r.x, r.y, r.width, r.height), 0);
    EXPECT_NEAR(exposure(), level.exposure, 1e-4f);
  }
}

TEST_F(AutoExposureTest, RegionsAndStreamStatesThatCannotBeMeasured) {
  start(camera());
  vzsim::clearJournal();
  for (const Region r : {Region{1, 0, 32, 32}, Region{0, 3, 32, 32}, Region{0, 0, 31, 32},
                         Region{0, 0, 32, 0}, Region{-2, 0, 32, 32}, Region{290, 0, 32, 32},
                         Region{0, 220, 32, 22}}) {
    EXPECT_EQ(controller->autoExposeRegion(100, r.x, r.y, r.width, r.height), 0);
  }
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr), 1);
  EXPECT_EQ(controller->autoExposeRegion(100, 0, 0, 32, 32), 0);
  EXPECT_TRUE(calls("VarcamAddStreamingCallback").empty());
  EXPECT_EQ(exposure(), kStart);

  // The read variant returns 1 and the exposure even when nothing was measured.
  float read = -2.0f;
  EXPECT_EQ(controller->autoExposeRegionAndRead(100, 1, 0, 32, 32, read), 1);
  EXPECT_EQ(read, kStart);
}

TEST_F(AutoExposureTest, AStalledCameraTimesOutAfterThreeFramePeriods) {
  start(camera());
  ASSERT_EQ(vzsim::currentFrameRate(1), 100.0f);
  vzsim::setStalled(true);
  platform::headless::setAutoAdvanceWaits(true);
  vzsim::clearJournal();
  const std::uint32_t before = platform::tickCount();
  EXPECT_EQ(controller->autoExposeRegion(100, 0, 0, 32, 32), 0);
  EXPECT_EQ(platform::tickCount() - before, 30u);  // 3000 / 100 fps
  EXPECT_EQ(calls("VarcamRemoveStreamingCallback").size(), 1u);
  EXPECT_EQ(exposure(), kStart);
}

}  // namespace
}  // namespace engines
