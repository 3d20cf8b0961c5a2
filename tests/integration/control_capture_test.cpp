// Image geometry, capture rectangles and their limits, decimation and the
// snapshot state machine, through AcqControl against the simulated camera.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <string>

namespace {

class ControlCapture : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(acq->open(), 0);
  }
  std::int32_t set(int code, int parameter, void* data) { return acq->control(code, parameter, data); }
  std::int32_t query(int code, int parameter, void* data) { return acq->control(code | ACQ_QUERY, parameter, data); }

  // The format of the last VarcamSetFormat call, as the journal writes it.
  static std::string lastFormat() {
    const auto formats = calls("VarcamSetFormat");
    return formats.empty() ? std::string() : formats.back().args.at(0);
  }
  static bool formatStartsWith(const std::string& format, const std::string& prefix) {
    return format.rfind(prefix, 0) == 0;
  }
};

TEST_F(ControlCapture, WidthAndHeightBeforeAnyRectangleAreZero) {
  // Nothing loaded from a settings file and no rectangle set in this process.
  EXPECT_EQ(set(ACQCMD_IMAGE_WIDTH, 0, nullptr), 0);
  EXPECT_EQ(set(ACQCMD_IMAGE_HEIGHT, 0, nullptr), 0);
  EXPECT_TRUE(logged("ACQControl: message: 0, 0, 0"));

  // In snapshot mode the preview size stands, whatever the rectangles say.
  EXPECT_EQ(set(ACQCMD_STREAM_CONTROL, ACQSTREAM_SNAPSHOT_MODE, nullptr), 0);
  EXPECT_EQ(set(ACQCMD_IMAGE_WIDTH, 0, nullptr), 1280);
  EXPECT_EQ(query(ACQCMD_IMAGE_HEIGHT, 0, nullptr), 1024);
  EXPECT_EQ(set(ACQCMD_STREAM_CONTROL, ACQSTREAM_STREAMING_MODE, nullptr), 0);
  EXPECT_EQ(set(ACQCMD_IMAGE_WIDTH, 0, nullptr), 0);
}

TEST_F(ControlCapture, BitDepthFollowsTheColourFormat) {
  EXPECT_EQ(set(ACQCMD_BIT_DEPTH, 0, nullptr), 24);
  acq->close();
  vzsim::setCameras({vzsim::asMonochrome(vzsim::defaultModel(160))});
  ASSERT_EQ(acq->open(), 0);
  EXPECT_EQ(set(ACQCMD_BIT_DEPTH, 0, nullptr), 8);
  // Once seen as monochrome, a colour reading gives the wide grey depth.
  vzsim::setPropertyValue(1, PropColorFormat, 1.0f);
  EXPECT_EQ(set(ACQCMD_BIT_DEPTH, 0, nullptr), 16);
}

TEST_F(ControlCapture, PreviewRectangleIsAlignedAndMovesTheRegion) {
  AcqRect rect{1, 1, 100, 50};
  vzsim::clearJournal();
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &rect), 0);
  EXPECT_TRUE(logged("ACQ preview..."));
  EXPECT_TRUE(logged("ACQCMD_CAPTRECT: SETVALUE PVW: T: 1, B: 50, L: 1, R: 100"));
  // Width 96 and height 48 at the unchanged corner.
  EXPECT_TRUE(formatStartsWith(lastFormat(), "{x=0 y=0 w=96 h=48 ")) << lastFormat();

  AcqRect stored{};
  EXPECT_EQ(query(ACQCMD_CAPTRECT, 0, &stored), 0);
  EXPECT_EQ(stored.left, 0);
  EXPECT_EQ(stored.top, 0);
  EXPECT_EQ(stored.right, 95);
  EXPECT_EQ(stored.bottom, 47);
  EXPECT_TRUE(logged("ACQCMD_CAPTRECT: GETVALUE PVW: T: 0, B: 47, L: 0, R: 95"));

  // A second rectangle moves the region on from where the first left it.
  AcqRect inner{16, 8, 16 + 63, 8 + 31};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &inner), 0);
  EXPECT_TRUE(formatStartsWith(lastFormat(), "{x=16 y=8 w=64 h=32 ")) << lastFormat();
  AcqRect again{2, 2, 2 + 31, 2 + 15};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &again), 0);
  EXPECT_TRUE(formatStartsWith(lastFormat(), "{x=18 y=10 w=32 h=16 ")) << lastFormat();
}

TEST_F(ControlCapture, NegativeLeftEdgeKeepsTheSignOfItsRemainder) {
  AcqRect rect{-3, 0, 8, 7};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &rect), 0);
  AcqRect stored{};
  ASSERT_EQ(query(ACQCMD_CAPTRECT, 0, &stored), 0);
  EXPECT_EQ(stored.left, -2);
  EXPECT_EQ(stored.top, 0);
  EXPECT_EQ(stored.right, 5);  // 8 - (-1) - 12 % 8
  EXPECT_EQ(stored.bottom, 7);
  // Eight wide; the region may not start left of the sensor.
  EXPECT_TRUE(formatStartsWith(lastFormat(), "{x=0 y=0 w=8 h=8 ")) << lastFormat();
}

TEST_F(ControlCapture, AcquisitionRectangleSetsTheSnapshotRegion) {
  AcqRect rect{1, 1, 100, 50};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 1, &rect), 0);
  EXPECT_TRUE(logged("ACQ acquire..."));
  AcqRect stored{};
  ASSERT_EQ(query(ACQCMD_CAPTRECT, 7, &stored), 0);
  EXPECT_EQ(stored.right, 95);
  EXPECT_EQ(stored.bottom, 47);
  EXPECT_TRUE(logged("ACQCMD_CAPTRECT: GETVALUE ACQ: T: 0, B: 47, L: 0, R: 95"));
  // The image size is the rectangle's, right - left and bottom - top.
  EXPECT_EQ(set(ACQCMD_IMAGE_WIDTH, 0, nullptr), 95);
  EXPECT_EQ(set(ACQCMD_IMAGE_HEIGHT, 0, nullptr), 47);
  // The preview rectangle was not touched.
  ASSERT_EQ(query(ACQCMD_CAPTRECT, 0, &stored), 0);
  EXPECT_EQ(stored.right, 0);

  vzsim::clearJournal();
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 2);
  const auto formats = calls("VarcamSetFormat");
  ASSERT_FALSE(formats.empty());
  EXPECT_TRUE(formatStartsWith(formats.front().args.at(0), "{x=0 y=0 w=96 h=48 ")) << formats.front().args.at(0);
}

TEST_F(ControlCapture, PendingCaptureAreaLeavesTheCameraRegionOnce) {
  EXPECT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_CAPTURE_AREA, nullptr), 0);
  EXPECT_TRUE(logged("Setting ACQ Capture Area"));
  vzsim::clearJournal();
  AcqRect rect{0, 0, 63, 63};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &rect), 0);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
  AcqRect stored{};
  ASSERT_EQ(query(ACQCMD_CAPTRECT, 0, &stored), 0);
  EXPECT_EQ(stored.right, 63) << "the rectangle itself is still recorded";

  // The mark is used up: the next rectangle reaches the camera.
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &rect), 0);
  EXPECT_TRUE(formatStartsWith(lastFormat(), "{x=0 y=0 w=64 h=64 ")) << lastFormat();
}

TEST_F(ControlCapture, RectangleWithNothingToCaptureIsRefused) {
  vzsim::clearJournal();
  AcqRect tooSmall{10, 10, 14, 40};  // five pixels wide: no multiple of 8 left
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, &tooSmall), 6);
  AcqRect inverted{100, 100, 20, 20};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 1, &inverted), 6);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
  // Extreme coordinates are defined too.
  AcqRect extreme{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 1, &extreme), 0);
  EXPECT_EQ(set(ACQCMD_CAPTRECT, 0, nullptr), 6);
  EXPECT_EQ(query(ACQCMD_CAPTRECT, 0, nullptr), 6);
}

TEST_F(ControlCapture, RectangleLimitsAreTheSelectedModes) {
  std::int32_t index = 4;  // 640 x 480
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  AcqRect limits{};
  EXPECT_EQ(set(ACQCMD_CAPTRECT_LIMITS, 0, &limits), 0);
  EXPECT_EQ(limits.left, 0);
  EXPECT_EQ(limits.top, 0);
  EXPECT_EQ(limits.right, 639);
  EXPECT_EQ(limits.bottom, 479);
  EXPECT_TRUE(logged("ACQCMD_CAPTRECT_LIMITS: GETVALUE PVW: T: 0, B: 479, L: 0, R: 639"));

  EXPECT_EQ(query(ACQCMD_CAPTRECT_LIMITS, 3, &limits), 0);
  EXPECT_EQ(limits.right, 1279);
  EXPECT_EQ(limits.bottom, 1023);
  EXPECT_TRUE(logged("ACQCMD_CAPTRECT_LIMITS: GETVALUE ACQ: T: 0, B: 1023, L: 0, R: 1279"));
  EXPECT_EQ(set(ACQCMD_CAPTRECT_LIMITS, 0, nullptr), 6);
}

TEST_F(ControlCapture, DecimationIsStoredAndReported) {
  std::int16_t values[2] = {0, 0};
  EXPECT_EQ(query(ACQCMD_DECIMATION, 0, values), 0);
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(values[1], 1);
  std::int16_t next[2] = {3, -5};
  EXPECT_EQ(set(ACQCMD_DECIMATION, 0, next), 0);
  EXPECT_EQ(query(ACQCMD_DECIMATION, 0, values), 0);
  EXPECT_EQ(values[0], 3);
  EXPECT_EQ(values[1], -5);
  EXPECT_EQ(set(ACQCMD_DECIMATION, 0, nullptr), 6);
}

TEST_F(ControlCapture, SnapStartsThenPollReportsReadyOnce) {
  vzsim::clearJournal();
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 2);
  EXPECT_FALSE(calls("VarcamTakeVideo").empty()) << "the snapshot is taken at once";
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 4);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 3);
  EXPECT_TRUE(platform::headless::messageBoxes().empty());
}

TEST_F(ControlCapture, SnapWhilePendingIsRefusedWithABox) {
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 2);
  vzsim::clearJournal();
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 1);
  EXPECT_TRUE(calls("VarcamTakeVideo").empty());
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Attempting new snap while still exposing!");
  EXPECT_EQ(boxes[0].caption, "Digital Capture");

  // Parameter 0 cancels; nothing is pending afterwards.
  EXPECT_EQ(set(ACQCMD_SNAP, 0, nullptr), 3);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 3);
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 2);
}

} // namespace
