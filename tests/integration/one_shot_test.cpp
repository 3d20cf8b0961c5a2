// Auto exposure (88) and white balance (89) requests, and the camera's
// one-shot measurements behind them, through AcqControl against the
// simulated camera. Time is virtual, so the white-balance waits are
// recorded rather than waited, and a measurement waits for its frame
// however slow the machine.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <string>
#include <vector>

namespace {

class OneShot : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    platform::headless::useVirtualTime(true);
  }
  void TearDown() override {
    LibraryTest::TearDown();
    platform::headless::useVirtualTime(false);
  }

  // Opens the driver with the host's window and the camera's display in it.
  void openWithDisplay() {
    ASSERT_EQ(acq->open(), 0);
    host = platform::headless::createHostWindow("Pixora", {0, 0, 1024, 768});
    ASSERT_EQ(acq->control(ACQCMD_HOST_WINDOW, 0, host), 0);
    display = platform::headless::createHostWindow("View", {0, 0, 400, 300});
    AcqDisplayRecord record{};
    record.window = display;
    ASSERT_EQ(acq->control(ACQCMD_DISPLAY_OPEN, 0, &record), 1);
    vzsim::clearJournal();
    platform::headless::clearSleeps();
    platform::headless::clearDebugLines();
  }
  std::int32_t set(int code, int parameter, void* data) { return acq->control(code, parameter, data); }
  std::int32_t query(int code, int parameter, void* data) { return acq->control(code | ACQ_QUERY, parameter, data); }
  // A new exposure may move the camera to another frame rate and restart
  // the display; the journal starts after that.
  void setPreviewExposure(double ms) {
    ASSERT_EQ(set(ACQCMD_EXPOSURE, 0, &ms), 0);
    vzsim::clearJournal();
    platform::headless::clearSleeps();
  }
  double previewExposure() {
    double value = 0;
    EXPECT_EQ(query(ACQCMD_EXPOSURE, 0, &value), 0);
    return value;
  }
  static std::vector<std::string> streamModes() {
    std::vector<std::string> modes;
    for (const auto& entry : calls("VarcamStreamVideoControl")) modes.push_back(entry.args.at(0));
    return modes;
  }
  static std::vector<std::string> statusTexts(platform::Window window) {
    return platform::headless::windowInfo(platform::headless::statusBarOf(window)).statusTexts;
  }

  platform::Window host = nullptr;
  platform::Window display = nullptr;
};

TEST_F(OneShot, AutoExposureStateIsOnlyStored) {
  openWithDisplay();
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_STATE;
  EXPECT_EQ(query(ACQCMD_AUTO_EXPOSURE, 0, &request), 1) << "on from the start";
  request.flags = 0;
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  EXPECT_TRUE(logged("Auto-exposure Message."));
  request.flags = ACQAE_STATE;
  EXPECT_EQ(query(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  request.flags = 0;
  EXPECT_EQ(query(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  request.flags = ACQAE_STATE;
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  EXPECT_EQ(query(ACQCMD_AUTO_EXPOSURE, 0, &request), 1);
  EXPECT_TRUE(calls("VarcamSetProperty").empty());
  EXPECT_TRUE(streamModes().empty());
}

TEST_F(OneShot, AutoExposureRegionAndExposureQueries) {
  openWithDisplay();
  setPreviewExposure(12.5);
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_REGION;
  request.region = {4, 6, 100, 80};
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  AcqAutoExposureRequest report{};
  report.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
  EXPECT_EQ(query(ACQCMD_AUTO_EXPOSURE, 0, &report), 0);
  EXPECT_EQ(report.region.left, 4);
  EXPECT_EQ(report.region.top, 6);
  EXPECT_EQ(report.region.right, 100);
  EXPECT_EQ(report.region.bottom, 80);
  EXPECT_DOUBLE_EQ(report.exposure, 12.5);
  EXPECT_TRUE(streamModes().empty()) << "a query measures nothing";
}

TEST_F(OneShot, AutoExposureRunsOnTheStreamAndReportsTheNewExposure) {
  openWithDisplay();
  setPreviewExposure(2.0);  // far too dark for the chart
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
  request.region = {101, 51, 301, 201};
  request.failed = 7;
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  EXPECT_EQ(request.failed, 0);
  EXPECT_GT(request.exposure, 2.0);
  EXPECT_DOUBLE_EQ(previewExposure(), request.exposure);
  // Started into the display window and stopped afterwards (a frame-rate
  // change may restart it in between); the live preview that ran before is
  // displayed again.
  const auto modes = streamModes();
  ASSERT_GE(modes.size(), 3u);
  EXPECT_EQ(modes.front(), "5");
  EXPECT_EQ(modes[modes.size() - 2], "0");
  EXPECT_EQ(modes.back(), "5");
  EXPECT_EQ(calls("VarcamStreamVideoControl").front().args.at(1), "ptr");
  const auto status = statusTexts(display);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status[0], "  AutoExposure Done.");
  EXPECT_TRUE(platform::headless::messageBoxes().empty());
}

TEST_F(OneShot, WithoutALivePreviewTheMeasuringStreamStops) {
  ASSERT_EQ(acq->open(), 0);
  platform::Window view = platform::headless::createHostWindow("View", {0, 0, 400, 300});
  AcqDisplayRecord record{};
  record.window = view;
  ASSERT_EQ(acq->control(ACQCMD_DISPLAY_OPEN, 0, &record), 1);
  ASSERT_EQ(acq->control(ACQCMD_STREAM_CONTROL, ACQSTREAM_STOP, nullptr), 0);
  vzsim::clearJournal();
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
  request.region = {100, 50, 300, 200};
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  const auto modes = streamModes();
  ASSERT_GE(modes.size(), 2u);
  EXPECT_EQ(modes.front(), "5");
  EXPECT_EQ(modes.back(), "0");
  EXPECT_EQ(vzsim::streamMode(1), 0);
}

TEST_F(OneShot, UnreadableExposureLeavesThePreviewExposure) {
  openWithDisplay();
  setPreviewExposure(20.0);
  vzsim::failNext("VarcamGetProperty", 100, 31, PropExposure);
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_ONE_SHOT;
  request.region = {0, 0, 100, 100};
  EXPECT_EQ(set(ACQCMD_AUTO_EXPOSURE, 0, &request), 0);
  vzsim::clearFaults();
  EXPECT_DOUBLE_EQ(request.exposure, -1.0) << "the controller's reading is passed on";
  EXPECT_DOUBLE_EQ(previewExposure(), 20.0);
}

TEST_F(OneShot, WhiteBalanceResetWritesOnesOnly) {
  openWithDisplay();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_RESET;
  request.red = 3.0;
  request.green = 4.0;
  request.blue = 5.0;
  request.failed = 9;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  EXPECT_TRUE(logged("White Balance Message."));
  EXPECT_DOUBLE_EQ(request.red, 1.0);
  EXPECT_DOUBLE_EQ(request.green, 1.0);
  EXPECT_DOUBLE_EQ(request.blue, 1.0);
  EXPECT_EQ(request.failed, 9);
  for (const auto& entry : vzsim::journal())
    EXPECT_NE(entry.function, "VarcamSetProperty") << "the camera keeps its gains";
}

TEST_F(OneShot, WhiteBalanceRegionReachesTheCameraWithItsWaits) {
  openWithDisplay();
  setPreviewExposure(50.0);
  platform::headless::clearSleeps();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
  request.region = {20, 10, 220, 110};
  request.failed = 7;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  const auto passes = calls("VarcamOneShotAutoWhiteBalance");
  ASSERT_EQ(passes.size(), 4u);
  for (const auto& pass : passes) EXPECT_EQ(pass.args, (std::vector<std::string>{"20", "10", "200", "100"}));
  EXPECT_EQ(platform::headless::sleeps(), (std::vector<std::uint32_t>{310, 310, 310, 310}));
  EXPECT_EQ(request.failed, 0);
  // The gains the camera settled on are the new preview gains.
  const float red = *vzsim::propertyValue(1, PropGainRed);
  const float blue = *vzsim::propertyValue(1, PropGainBlue);
  EXPECT_NEAR(request.red, static_cast<double>(red), 0.01);
  EXPECT_NEAR(request.blue, static_cast<double>(blue), 0.01);
  EXPECT_NE(red, 1.0f);
  EXPECT_EQ(streamModes(), (std::vector<std::string>{"5", "0", "5"}));
  const auto status = statusTexts(display);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status[0], "  White Balance Done.");

  // The stored region is reported back as given.
  AcqWhiteBalanceRequest report{};
  report.flags = ACQWB_REGION;
  EXPECT_EQ(query(ACQCMD_WHITE_BALANCE, 0, &report), 0);
  EXPECT_EQ(report.region.right, 220);
  EXPECT_EQ(report.region.bottom, 110);
}

TEST_F(OneShot, WhiteBalanceRegionIsClampedAndAligned) {
  openWithDisplay();
  std::int32_t index = 5;  // 320 x 240
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  vzsim::clearJournal();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION;
  request.region = {3, 5, 100, 400};
  ASSERT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  // Query or set, the measurement runs, on the stored region.
  request.flags = ACQWB_ONE_SHOT;
  request.region = {};
  EXPECT_EQ(query(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  const auto passes = calls("VarcamOneShotAutoWhiteBalance");
  ASSERT_EQ(passes.size(), 4u);
  // left 3 + 1, top 5 - 1, right 100 - (96 rem 2), bottom 240 - (236 rem 2).
  EXPECT_EQ(passes[0].args, (std::vector<std::string>{"4", "4", "96", "236"}));
}

TEST_F(OneShot, WhiteBalanceOnAMonochromeCamera) {
  vzsim::setCameras({vzsim::asMonochrome(vzsim::defaultModel(160))});
  openWithDisplay();
  platform::headless::clearMessageBoxes();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_ONE_SHOT;
  request.failed = 7;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  EXPECT_TRUE(calls("VarcamOneShotAutoWhiteBalance").empty());
  EXPECT_TRUE(platform::headless::sleeps().empty());
  const auto texts = boxTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], "AutoWhiteBalance is not supported on this camera");
  EXPECT_EQ(texts[1], "Could not get red gain: 1168");
  EXPECT_EQ(platform::headless::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(request.failed, 0);
}

TEST_F(OneShot, NegativePreviewExposureWaitsNothing) {
  openWithDisplay();
  double exposure = -100.0;
  set(ACQCMD_EXPOSURE, 0, &exposure);  // stored even though the camera refuses it
  platform::headless::clearSleeps();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
  request.region = {0, 0, 64, 64};
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  EXPECT_EQ(platform::headless::sleeps(), (std::vector<std::uint32_t>{0, 0, 0, 0}));
}

TEST_F(OneShot, ColourGainsAreReportedRoundedAndSetInOrder) {
  openWithDisplay();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_GAINS;
  request.red = 1.234;
  request.green = 1.235;
  request.blue = 2.0;
  request.failed = 5;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  EXPECT_EQ(request.failed, 0);
  std::vector<std::string> written;
  for (const auto& entry : calls("VarcamSetProperty")) written.push_back(entry.args.at(0));
  EXPECT_EQ(written, (std::vector<std::string>{"41", "43", "44", "42"}));

  AcqWhiteBalanceRequest report{};
  report.flags = ACQWB_GAINS;
  EXPECT_EQ(query(ACQCMD_WHITE_BALANCE, 0, &report), 0);
  EXPECT_DOUBLE_EQ(report.red, 1.23);
  EXPECT_DOUBLE_EQ(report.green, 1.24);
  EXPECT_DOUBLE_EQ(report.blue, 2.0);
}

TEST_F(OneShot, ColourGainRefusalStopsTheSequence) {
  openWithDisplay();
  vzsim::failNext("VarcamSetProperty", 1, 31, PropGainGreen1);
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_GAINS;
  request.red = 1.5;
  request.green = 1.5;
  request.blue = 1.5;
  request.failed = 5;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 6);
  EXPECT_EQ(request.failed, 5);
  for (const auto& entry : calls("VarcamSetProperty")) EXPECT_NE(entry.args.at(0), "42") << "blue not reached";
}

TEST_F(OneShot, WithoutOneShotOrGainsNothingRuns) {
  openWithDisplay();
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION;
  request.region = {0, 0, 10, 10};
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  request.flags = 4;
  EXPECT_EQ(set(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  EXPECT_TRUE(streamModes().empty());
  EXPECT_TRUE(calls("VarcamOneShotAutoWhiteBalance").empty());
}

} // namespace
