// The exposure controller's rate tables and exposure changes against the
// camera simulator.
#include "engines/exposure_controller.h"

#include "sim_camera.h"
#include "support/output.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace engines {
namespace {

using vxtest::calls;
using vxtest::logged;

using Floats = std::vector<float>;

// The simulated cameras admit at each rate its frame period less 2 %:
// 5 fps 196 ms, 10 fps 98 ms, 20 fps 49 ms, 25 fps 39.2 ms, 50 fps 19.6 ms,
// 100 fps 9.8 ms.

Floats floats(std::span<const float> s) { return Floats(s.begin(), s.end()); }

class ExposureControllerTest : public testing::SimCameraTest {
 protected:
  // Lets the camera take an exposure of 0 (its own minimum is 0.01 ms).
  static void allowZeroExposure() {
    vzsim::PropertySpec spec = vzsim::propertySpec(1, PropExposure).value();
    spec.minimum = 0.0f;
    // The property read back carries the current rate's maximum; the stored one
    // is the slowest rate's.
    spec.maximum = vzsim::cameras().at(0).frameRates.front().maxExposure;
    ASSERT_TRUE(vzsim::setPropertySpec(1, PropExposure, spec));
  }
};

TEST_F(ExposureControllerTest, ConstructionMeasuresTheBandOfEveryRate) {
  open(smallCamera({10, 25, 50}));
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropClockSpeed, 24.0f));
  ASSERT_EQ(VarcamSetProperty(camera_, PropExposure, 12.0f, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE), 1);

  ExposureController c(camera_);
  EXPECT_EQ(vzsim::propertyValue(1, PropClockSpeed), 48.0f);  // its range maximum
  EXPECT_EQ(floats(c.rates()), (Floats{10, 25, 50}));
  EXPECT_EQ(floats(c.rateMaxExposure()), (Floats{98.0f, 39.2f, 19.6f}));
  // The next rate's largest exposure, or the period when shorter; 0 for the last.
  EXPECT_EQ(floats(c.rateMinExposure()), (Floats{39.2f, 19.6f, 0.0f}));
  EXPECT_EQ(c.maxExposure, 98.0f);
  EXPECT_EQ(c.minExposure, 0.0f);
  EXPECT_EQ(c.rateIndex(), 2);
  EXPECT_EQ(vzsim::currentFrameRate(1), 50.0f);
  // The exposure is written back, with flags 0.
  EXPECT_EQ(exposure(), 12.0f);
  EXPECT_EQ(vzsim::propertyFlags(1, PropExposure), 0u);
}

TEST_F(ExposureControllerTest, ClockSpeedIsLeftAloneWhenItsRangeCannotBeRead) {
  open(smallCamera({10, 25}));
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropClockSpeed, 24.0f));
  vzsim::failNext("VarcamPropertyRange", 1, vzsim::ErrorNoSuchProperty, PropClockSpeed);
  ExposureController c(camera_);
  EXPECT_EQ(vzsim::propertyValue(1, PropClockSpeed), 24.0f);
  EXPECT_EQ(c.rateCount(), 2);
}

TEST_F(ExposureControllerTest, SingleRateCameraWritesEveryExposureWithoutRestart) {
  open(smallCamera({12.5f}));
  allowZeroExposure();
  ExposureController c(camera_);
  EXPECT_EQ(floats(c.rateMinExposure()), (Floats{0.0f}));
  vzsim::clearJournal();
  EXPECT_EQ(c.setExposure(0.0f, 0), 1);
  EXPECT_EQ(c.setExposure(c.maxExposure, 0), 1);
  EXPECT_EQ(exposure(), c.maxExposure);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
}

TEST_F(ExposureControllerTest, TablesFollowAChangedNumberOfRates) {
  open(smallCamera({10, 25, 50}));
  ExposureController c(camera_);
  ASSERT_TRUE(vzsim::setFrameRates(1, {vzsim::frameRate(5), vzsim::frameRate(10), vzsim::frameRate(25),
                                       vzsim::frameRate(50), vzsim::frameRate(100)}));
  ASSERT_EQ(c.getFrameRateLimits(), 1);
  EXPECT_EQ(floats(c.rates()), (Floats{5, 10, 25, 50, 100}));
  EXPECT_EQ(c.rateMinExposure().size(), 5u);
  EXPECT_EQ(c.rateMinExposure()[3], 9.8f);
  EXPECT_EQ(c.rateIndex(), 4);
  EXPECT_EQ(c.maxExposure, 196.0f);

  ASSERT_TRUE(vzsim::setFrameRates(1, {vzsim::frameRate(20)}));
  ASSERT_EQ(c.getFrameRateLimits(), 1);
  EXPECT_EQ(floats(c.rates()), (Floats{20}));
  EXPECT_EQ(floats(c.rateMaxExposure()), (Floats{49.0f}));
  EXPECT_EQ(c.rateIndex(), 0);
}

TEST_F(ExposureControllerTest, ExposuresAboveTheMaximum) {
  open(smallCamera({10, 25, 50}));
  ExposureController c(camera_);
  ASSERT_EQ(c.maxExposure, 98.0f);
  platform::headless::clearDebugLines();
  // 0.125 ms too long: refused, nothing written.
  EXPECT_EQ(c.setExposure(98.125f, 0), 0);
  EXPECT_TRUE(logged("VARBASE EXPOSURE: Exposure is too high."));
  EXPECT_NE(exposure(), 98.125f);
  // 0.0625 ms too long: the maximum is applied (at the slowest rate).
  EXPECT_EQ(c.setExposure(98.0625f, 0), 2);
  EXPECT_EQ(exposure(), 98.0f);
  EXPECT_EQ(c.rateIndex(), 0);
  EXPECT_EQ(vzsim::currentFrameRate(1), 10.0f);
}

TEST_F(ExposureControllerTest, BandBoundsAreInclusive) {
  open(smallCamera({10, 25, 50}));
  allowZeroExposure();
  ExposureController c(camera_);
  vzsim::clearJournal();
  EXPECT_EQ(c.setExposure(0.0f, 0), 1);
  EXPECT_EQ(c.setExposure(19.6f, 0), 1);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());

  // The fastest rate that admits 30 ms is 25 fps; its band is [19.6, 39.2].
  EXPECT_EQ(c.setExposure(30.0f, 0), 2);
  EXPECT_EQ(c.rateIndex(), 1);
  EXPECT_EQ(vzsim::currentFrameRate(1), 25.0f);
  vzsim::clearJournal();
  EXPECT_EQ(c.setExposure(19.6f, 0), 1);
  EXPECT_EQ(c.setExposure(39.2f, 0), 1);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
  EXPECT_EQ(exposure(), 39.2f);
  // Below the band: back to the fastest rate.
  EXPECT_EQ(c.setExposure(1.0f, 0), 2);
  EXPECT_EQ(c.rateIndex(), 2);
  EXPECT_EQ(vzsim::currentFrameRate(1), 50.0f);
}

TEST_F(ExposureControllerTest, OnlyTheTablesRatesAreUsedWhenTheCameraOffersMore) {
  open(smallCamera({10, 25}));
  ExposureController c(camera_);
  ASSERT_EQ(c.setExposure(60.0f, 0), 2);  // slowest rate, band [39.2, 98]
  ASSERT_TRUE(vzsim::setFrameRates(1, {vzsim::frameRate(10), vzsim::frameRate(25),
                                       vzsim::frameRate(50), vzsim::frameRate(100)}));
  // 5 ms fits all four rates the camera now offers; the tables know two.
  EXPECT_EQ(c.setExposure(5.0f, 0), 2);
  EXPECT_EQ(c.rateIndex(), 1);
  EXPECT_EQ(vzsim::currentFrameRate(1), 25.0f);
  EXPECT_EQ(exposure(), 5.0f);
}

struct RestartCase {
  int mode;               // how the stream ran before
  const char* logLine;    // written on restart, or null
};
// Test names carry the stream state, not the case's bytes.
void PrintTo(const RestartCase& c, std::ostream* os) { *os << "stream mode " << c.mode; }

class ExposureRestartTest : public ExposureControllerTest,
                            public ::testing::WithParamInterface<RestartCase> {};

TEST_P(ExposureRestartTest, RateChangeRestartsTheStreamAsItRan) {
  const RestartCase param = GetParam();
  open(smallCamera({10, 25, 50}));
  vzsim::setPacing(vzsim::Pacing::Held);
  ExposureController c(camera_);
  const platform::Window window =
      platform::headless::createHostWindow("host", platform::Rect{10, 20, 410, 320});
  const bool display = param.mode == VarcamStreamDisplay || param.mode == VarcamStreamDisplayGdi;
  if (param.mode != VarcamStreamStop) {
    ASSERT_EQ(VarcamStreamVideoControl(camera_, param.mode, display ? window : nullptr), 1);
  }
  vzsim::clearJournal();
  platform::headless::clearWindowOperations();
  platform::headless::clearDebugLines();

  EXPECT_EQ(c.setExposure(30.0f, 0), 2);
  EXPECT_EQ(vzsim::streamMode(1), param.mode);
  EXPECT_EQ(vzsim::currentFrameRate(1), 25.0f);
  EXPECT_EQ(exposure(), 30.0f);

  const auto log = vzsim::journal();
  auto position = [&](const std::string& function) {
    for (std::size_t i = 0; i < log.size(); ++i) {
      if (log[i].function == function) return i;
    }
    return log.size();
  };
  const auto ops = platform::headless::windowOperations();
  if (param.mode == VarcamStreamStop) {
    EXPECT_TRUE(streamControls().empty());
  } else {
    // Stopped before the format changes, restarted after.
    ASSERT_EQ(streamControls(), (std::vector<std::string>{"0", std::to_string(param.mode)}));
    const auto controls = calls("VarcamStreamVideoControl");
    EXPECT_LT(controls[0].sequence, log[position("VarcamSetFormat")].sequence);
    EXPECT_GT(controls[1].sequence, log[position("VarcamSetFormat")].sequence);
    EXPECT_EQ(controls[1].args[1], display ? "ptr" : "null");
  }
  if (display) {
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].window, window);
    EXPECT_EQ(ops[0].operation, "setWindowPos 0 0 400 300 flags=0x212");
    EXPECT_TRUE(logged(param.logLine));
  } else {
    EXPECT_TRUE(ops.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    StreamStates, ExposureRestartTest,
    ::testing::Values(RestartCase{VarcamStreamDisplay, "VARBASE EXPOSURE: Display started."},
                      RestartCase{VarcamStreamDisplayGdi, "VARBASE EXPOSURE: GDI Display started."},
                      RestartCase{VarcamStreamNoDisplay, nullptr},
                      RestartCase{VarcamStreamStop, nullptr}),
    [](const ::testing::TestParamInfo<RestartCase>& testCase) { return "Mode" + std::to_string(testCase.param.mode); });

struct FaultCase {
  const char* function;
  int property;
  const char* logLine;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.function << " failing"; }

class FrameRateLimitFaultTest : public ExposureControllerTest,
                                public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FrameRateLimitFaultTest, EveryFailureIsLoggedWithTheSdkError) {
  const FaultCase param = GetParam();
  open(smallCamera({10, 25}));
  ExposureController c(camera_);
  platform::headless::clearDebugLines();
  ASSERT_TRUE(vzsim::failNext(param.function, 1, 87, param.property));
  EXPECT_EQ(c.getFrameRateLimits(), 0);
  EXPECT_TRUE(logged(param.logLine)) << param.logLine;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FrameRateLimitFaultTest,
    ::testing::Values(
        FaultCase{"VarcamGetProperty", PropExposure,
                  "VARBASE EXPOSURE: getFrameRateLimits: Could not get exposure. ERROR: 87"},
        FaultCase{"VarcamSetProperty", PropExposure,
                  "VARBASE EXPOSURE: getFrameRateLimits: Could not set exposure. ERROR: 87"},
        FaultCase{"VarcamEnumAvailableFrameRates", -1,
                  "VARBASE EXPOSURE: getFrameRateLimits: Could not enum frame rates. ERROR: 87"},
        FaultCase{"VarcamGetFormat", -1,
                  "Unable to get camera video format. Snapshot mode disabled."},
        FaultCase{"VarcamSetFormat", -1, "VARBASE EXPOSURE: getFrameRateLimits: 87"},
        FaultCase{"VarcamPropertyRange", PropExposure,
                  "VARBASE EXPOSURE: getFrameRateLimits: GetPropertyRange ERROR 87"}),
    // The SDK function without its prefix, and the case's place in the list.
    [](const ::testing::TestParamInfo<FaultCase>& testCase) {
      return std::string(testCase.param.function + 6) + "_" + std::to_string(testCase.index);
    });

TEST_F(ExposureControllerTest, SetExposureFailures) {
  open(smallCamera({10, 25, 50}));
  vzsim::setPacing(vzsim::Pacing::Held);
  ExposureController c(camera_);
  platform::headless::clearDebugLines();

  vzsim::failNext("VarcamSetProperty", 1, 87, PropExposure);
  EXPECT_EQ(c.setExposure(5.0f, 0), 0);
  EXPECT_TRUE(logged("Could not set new exposure. ERROR: 87"));

  // A failure after the stop leaves the stream stopped.
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  vzsim::failNext("VarcamGetFormat", 1, 87);
  EXPECT_EQ(c.setExposure(30.0f, 0), 0);
  EXPECT_TRUE(logged("VARBASE EXPOSURE: setFrameRate: Error:"));
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamStop);

  // The display that does not restart still reports the rate change.
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay,
                                     reinterpret_cast<VarcamWindow>(std::uintptr_t{0x10})),
            1);
  vzsim::failNext("VarcamStreamVideoControl", 2, 87);
  EXPECT_EQ(c.setExposure(30.0f, 0), 2);
  EXPECT_TRUE(logged("VARBASE EXPOSURE: Unable to display."));

  vzsim::failNext("VarcamGetProperty", 1, 87, PropExposure);
  EXPECT_EQ(c.getExposure(), -1.0f);
  EXPECT_TRUE(logged("Could not get exposure: 87"));

  // Without tables no exposure can be placed in a band.
  EXPECT_EQ(c.releaseTables(), 1);
  EXPECT_EQ(c.rateCount(), 0);
  vzsim::clearJournal();
  EXPECT_EQ(c.setExposure(5.0f, 0), 0);
  EXPECT_TRUE(calls("VarcamSetProperty").empty());
}

}  // namespace
}  // namespace engines
