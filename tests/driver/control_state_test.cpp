// The command state that a host cannot read back through AcqControl: the
// pixel-format index, the stored resolution indices, the capture-area mark
// and the rectangles as stored, with a local driver against the simulated
// camera; and the value conversions at the command boundary.
#include "camera/one_shot.h"
#include "driver/acq_control.h"
#include "driver/command_dispatcher.h"
#include "driver/control_commands.h"
#include "driver/driver_lifecycle.h"
#include "support/driver_test.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <limits>

namespace {

class ControlState : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    ASSERT_EQ(vx::openDriver(driver), 0);
  }
  void TearDown() override {
    vx::closeDriver(driver);
    DriverTest::TearDown();
  }
  std::int32_t set(int code, int parameter, void* data) { return vx::dispatchControl(driver, code, parameter, data); }
};

TEST_F(ControlState, PixelFormatIndexIsTheLastEntryOfTheChosenDepth) {
  std::int32_t value = 0;
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 8)), 0);
  EXPECT_EQ(driver.commands.pixelFormatIndex, 0) << "no list yet: nothing to choose from";
  EXPECT_EQ(driver.capture.greyMode, 1);

  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_BUILD, &value), 0);
  EXPECT_EQ(driver.commands.pixelFormatIndex, 2);
  EXPECT_EQ(driver.commands.pixelFormatCount, 6);
  EXPECT_STREQ(driver.commands.pixelFormats[3].name.c_str(), "16-bit mono ");
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 8)), 0);
  EXPECT_EQ(driver.commands.pixelFormatIndex, 5);
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 36)), 0);
  EXPECT_EQ(driver.commands.pixelFormatIndex, 1);
  EXPECT_EQ(driver.capture.greyMode, 0);
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 7)), 0);
  EXPECT_EQ(driver.commands.pixelFormatIndex, 1) << "a depth not in the list keeps the choice";
}

TEST_F(ControlState, SelectedIndicesAreStoredWithinTheLists) {
  std::int32_t index = 40;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(driver.commands.acquireResolutionIndex, 4);
  EXPECT_EQ(state.acquisition.index, 4);
  index = -40;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(driver.commands.previewResolutionIndex, 0);
  index = 3;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(driver.commands.previewResolutionIndex, 3);
  EXPECT_EQ(state.preview.index, 3);
  EXPECT_EQ(state.display.index, 3);

  // A query also records the index it reports.
  driver.commands.acquireResolutionIndex = -1;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION | ACQ_QUERY, 0, &index), 0);
  EXPECT_EQ(driver.commands.acquireResolutionIndex, 4);
}

TEST_F(ControlState, CaptureAreaMarkIsClearedOnlyByARectangle) {
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_CAPTURE_AREA, nullptr), 0);
  EXPECT_EQ(driver.commands.captureAreaPending, 1);
  std::int32_t index = 2;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(driver.commands.captureAreaPending, 1);
  const std::int32_t width = state.acquisition.width;
  AcqRect rect{0, 0, 99, 99};
  ASSERT_EQ(set(ACQCMD_CAPTRECT, 1, &rect), 0);
  EXPECT_EQ(driver.commands.captureAreaPending, 0);
  EXPECT_EQ(state.acquisition.width, width) << "the region stays as it was";
  EXPECT_EQ(driver.commands.acquireRect.right, 95);
  ASSERT_EQ(set(ACQCMD_CAPTRECT, 1, &rect), 0);
  EXPECT_EQ(state.acquisition.width, 96);
  EXPECT_EQ(state.acquisition.height, 96);
}

TEST_F(ControlState, SnapStateMachine) {
  EXPECT_EQ(set(ACQCMD_SNAP, 3, nullptr), 2);
  EXPECT_EQ(driver.commands.snapPending, 1);
  EXPECT_GT(driver.snapshot.width, 0);
  EXPECT_EQ(driver.snapshot.lineCursor, driver.snapshot.height - 1);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 4);
  EXPECT_EQ(driver.commands.snapPending, 0);

  // With synchronous snapshots the image is ready at once.
  driver.capture.syncSnap = 1;
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 3);
  EXPECT_EQ(driver.commands.snapPending, 0);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 3);
}

TEST_F(ControlState, SettingsPathIsReplacedOnlyByAPathThatFits) {
  const vxtest::ScratchFolder scratch;
  std::string settings = scratch.file("control-state.ini");
  char* path = settings.data();
  driver.commands.settingsPath.assign("/kept.ini");
  std::string tooLong(260, 'a');
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, tooLong.data()), 6);
  EXPECT_STREQ(driver.commands.settingsPath.c_str(), "/kept.ini");
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, nullptr), 6);
  EXPECT_STREQ(driver.commands.settingsPath.c_str(), "/kept.ini");
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 2, path), 0);
  EXPECT_STREQ(driver.commands.settingsPath.c_str(), path);
}

TEST(ControlValues, HundredthsReadBackAsSet) {
  for (int n = 0; n <= 100000; ++n)
    ASSERT_EQ(vx::hundredthsOf(static_cast<float>(n * 0.01)), n) << n;
  EXPECT_EQ(vx::hundredthsOf(2.347f), 234);
  EXPECT_EQ(vx::hundredthsOf(7.999f), 799);
  EXPECT_EQ(vx::hundredthsOf(-1.05f), -105);
  EXPECT_EQ(vx::hundredthsOf(-2.347f), -234);
}

TEST(ControlValues, GammaRoundingHalfAwayFromZero) {
  EXPECT_DOUBLE_EQ(vx::roundToHundredthsHalfUp(static_cast<double>(1.004f)), 1.0);
  EXPECT_DOUBLE_EQ(vx::roundToHundredthsHalfUp(static_cast<double>(1.006f)), 1.01);
  EXPECT_DOUBLE_EQ(vx::roundToHundredthsHalfUp(-1.004), -1.0);
  EXPECT_DOUBLE_EQ(vx::roundToHundredthsHalfUp(-1.006), -1.01);
  EXPECT_DOUBLE_EQ(vx::roundToHundredthsHalfUp(0.0), 0.0);
}

TEST(ControlValues, HostValuesOutsideTheFloatRangeAreRefused) {
  float out = 7.0f;
  EXPECT_TRUE(vx::narrowHostValue(2.5, out));
  EXPECT_EQ(out, 2.5f);
  EXPECT_FALSE(vx::narrowHostValue(std::numeric_limits<double>::quiet_NaN(), out));
  EXPECT_FALSE(vx::narrowHostValue(1e39, out));
  EXPECT_FALSE(vx::narrowHostValue(-1e39, out));
  EXPECT_EQ(out, 2.5f);
  EXPECT_EQ(vx::truncateToInt(-2.9), -2);
  EXPECT_EQ(vx::truncateToInt(1e20), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(vx::truncateToInt(-1e20), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(vx::truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ControlValues, WhiteBalanceWaitIsSixExposuresAndTenMilliseconds) {
  EXPECT_EQ(vx::whiteBalanceWait(50.0f), 310u);
  EXPECT_EQ(vx::whiteBalanceWait(0.1f), 10u);
  EXPECT_EQ(vx::whiteBalanceWait(1.55f), 19u) << "truncated";
  EXPECT_EQ(vx::whiteBalanceWait(-1.0f), 4u);
  EXPECT_EQ(vx::whiteBalanceWait(-100.0f), 0u);
  EXPECT_EQ(vx::whiteBalanceWait(std::numeric_limits<float>::quiet_NaN()), 0u);
  EXPECT_EQ(vx::whiteBalanceWait(1e30f), std::numeric_limits<std::uint32_t>::max());
}

} // namespace
