// The command state that a host cannot read back through AcqControl: the
// pixel-format index, the stored resolution indices, the capture-area mark
// and the rectangles as stored, with a local DriverState against the
// simulated camera; and the value conversions at the command boundary.
#include "camera/one_shot.h"
#include "driver/acq_control.h"
#include "driver/command_dispatcher.h"
#include "driver/control_commands.h"
#include "driver/driver_lifecycle.h"
#include "platform/headless_control.h"
#include "sim/hostimaging/host_imaging_control.h"
#include "sim/vividozuz/sim_control.h"
#include "tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <limits>

namespace {

class ControlState : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::headless::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    hostimg::reset();
    ASSERT_EQ(vx::openDriver(state), 0);
  }
  void TearDown() override {
    vx::closeDriver(state);
    vzsim::reset();
  }
  std::int32_t set(int code, int parameter, void* data) { return vx::dispatchControl(state, code, parameter, data); }

  vx::DriverState state;
};

TEST_F(ControlState, PixelFormatIndexIsTheLastEntryOfTheChosenDepth) {
  std::int32_t value = 0;
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 8)), 0);
  EXPECT_EQ(state.pixelFormatIndex, 0) << "no list yet: nothing to choose from";
  EXPECT_EQ(state.greyMode, 1);

  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_BUILD, &value), 0);
  EXPECT_EQ(state.pixelFormatIndex, 2);
  EXPECT_EQ(state.pixelFormatCount, 6);
  EXPECT_STREQ(state.pixelFormats[3].name.c_str(), "16-bit mono ");
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 8)), 0);
  EXPECT_EQ(state.pixelFormatIndex, 5);
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 36)), 0);
  EXPECT_EQ(state.pixelFormatIndex, 1);
  EXPECT_EQ(state.greyMode, 0);
  ASSERT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &(value = 7)), 0);
  EXPECT_EQ(state.pixelFormatIndex, 1) << "a depth not in the list keeps the choice";
}

TEST_F(ControlState, SelectedIndicesAreStoredWithinTheLists) {
  std::int32_t index = 40;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(state.acquireResolutionIndex, 4);
  EXPECT_EQ(state.acqIndex, 4);
  index = -40;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(state.previewResolutionIndex, 0);
  index = 3;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(state.previewResolutionIndex, 3);
  EXPECT_EQ(state.previewIndex, 3);
  EXPECT_EQ(state.displayIndex, 3);

  // A query also records the index it reports.
  state.acquireResolutionIndex = -1;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION | ACQ_QUERY, 0, &index), 0);
  EXPECT_EQ(state.acquireResolutionIndex, 4);
}

TEST_F(ControlState, CaptureAreaMarkIsClearedOnlyByARectangle) {
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_CAPTURE_AREA, nullptr), 0);
  EXPECT_EQ(state.captureAreaPending, 1);
  std::int32_t index = 2;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(state.captureAreaPending, 1);
  const std::int32_t width = state.acqWidth;
  AcqRect rect{0, 0, 99, 99};
  ASSERT_EQ(set(ACQCMD_CAPTRECT, 1, &rect), 0);
  EXPECT_EQ(state.captureAreaPending, 0);
  EXPECT_EQ(state.acqWidth, width) << "the region stays as it was";
  EXPECT_EQ(state.acquireRect.right, 95);
  ASSERT_EQ(set(ACQCMD_CAPTRECT, 1, &rect), 0);
  EXPECT_EQ(state.acqWidth, 96);
  EXPECT_EQ(state.acqHeight, 96);
}

TEST_F(ControlState, SnapStateMachine) {
  EXPECT_EQ(set(ACQCMD_SNAP, 3, nullptr), 2);
  EXPECT_EQ(state.snapPending, 1);
  EXPECT_GT(state.snapWidth, 0);
  EXPECT_EQ(state.lineCursor, state.snapHeight - 1);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 4);
  EXPECT_EQ(state.snapPending, 0);

  // With synchronous snapshots the image is ready at once.
  state.syncSnap = 1;
  EXPECT_EQ(set(ACQCMD_SNAP, 1, nullptr), 3);
  EXPECT_EQ(state.snapPending, 0);
  EXPECT_EQ(set(ACQCMD_SNAP_STATUS, 0, nullptr), 3);
}

TEST_F(ControlState, SettingsPathIsReplacedOnlyByAPathThatFits) {
  const vxtest::ScratchFolder scratch;
  std::string settings = scratch.file("control-state.ini");
  char* path = settings.data();
  state.settingsPath.assign("/kept.ini");
  std::string tooLong(260, 'a');
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, tooLong.data()), 6);
  EXPECT_STREQ(state.settingsPath.c_str(), "/kept.ini");
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, nullptr), 6);
  EXPECT_STREQ(state.settingsPath.c_str(), "/kept.ini");
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 2, path), 0);
  EXPECT_STREQ(state.settingsPath.c_str(), path);
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
