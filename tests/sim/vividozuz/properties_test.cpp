// Property semantics: range checks, read-only and absent properties, flags,
// the exposure range that follows the frame rate, per-thread last error.
#include "sim_fixture.h"

#include <thread>

namespace simtest {
namespace {

TEST_F(SimTest, OutOfRangeValuesFailAndLeaveTheValue) {
  VarcamHandle h = open(1);
  setProperty(h, PropGamma, 2.0f);
  EXPECT_EQ(VarcamSetProperty(h, PropGamma, 4.5f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorOutOfRange);
  EXPECT_EQ(VarcamSetProperty(h, PropGamma, 0.0f, 0), 0);
  EXPECT_EQ(getProperty(h, PropGamma), 2.0f);
  // A rounding error beyond the bound is taken as the bound.
  setProperty(h, PropGamma, 4.0f + 1e-6f);
  EXPECT_EQ(getProperty(h, PropGamma), 4.0f);
  setProperty(h, PropGain, 7.999f);
  EXPECT_EQ(getProperty(h, PropGain), 7.999f);
}

TEST_F(SimTest, ReadOnlyAbsentAndUnknownPropertiesFail) {
  VarcamHandle h = open(1);
  const float colourFormat = getProperty(h, PropColorFormat);
  EXPECT_EQ(VarcamSetProperty(h, PropColorFormat, 0.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorReadOnly);
  EXPECT_EQ(getProperty(h, PropColorFormat), colourFormat);

  EXPECT_EQ(VarcamSetProperty(h, PropAuxSwitch1, 0.0f, 0), 0);  // not on id 160
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNoSuchProperty);
  float v = 0;
  std::uint32_t flags = 0;
  EXPECT_EQ(VarcamGetProperty(h, 7, &v, &flags), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNoSuchProperty);

  // Absence can be switched live.
  vzsim::PropertySpec gone;
  gone.present = false;
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGainBlue, gone));
  float mn = 0, mx = 0, def = 0;
  EXPECT_EQ(VarcamPropertyRange(h, PropGainBlue, &mn, &mx, &def, &flags), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNoSuchProperty);
}

TEST_F(SimTest, FlagsAreAcceptedOnlyWhereTheyMeanSomething) {
  VarcamHandle h = open(1);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 2.0f, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidArgument);
  ASSERT_EQ(VarcamSetProperty(h, PropExposure, 5.0f, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE), 1);
  float v = 0;
  std::uint32_t flags = 0;
  ASSERT_EQ(VarcamGetProperty(h, PropExposure, &v, &flags), 1);
  EXPECT_EQ(flags, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE);
  ASSERT_EQ(VarcamSetProperty(h, PropExposure, 5.0f, 0), 1);
  ASSERT_EQ(VarcamGetProperty(h, PropExposure, &v, &flags), 1);
  EXPECT_EQ(flags, 0u);
}

TEST_F(SimTest, DiscretePropertiesTakeTheirCodesOnly) {
  VarcamHandle h = open(1);
  for (float code : {14.0f, 5.0f, 2.0f, 1.0f, 15.0f}) setProperty(h, PropCorrectionMatrix, code);
  EXPECT_EQ(VarcamSetProperty(h, PropCorrectionMatrix, 3.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidArgument);
  EXPECT_EQ(getProperty(h, PropCorrectionMatrix), 15.0f);
  setProperty(h, PropFlipping, 3.0f);
  EXPECT_EQ(VarcamSetProperty(h, PropFlipping, 4.0f, 0), 0);
  EXPECT_EQ(getProperty(h, PropFlipping), 3.0f);
}

TEST_F(SimTest, ExposureRangeEndsAtTheCurrentRatesLargestExposure) {
  VarcamHandle h = open(1);
  setProperty(h, PropExposure, 0.1f);
  const std::vector<float> rates = enumRates(h);
  ASSERT_GE(rates.size(), 2u);
  FrameFormatRecord f{};
  float rate = 0;
  ASSERT_EQ(VarcamGetFormat(h, &f, &rate), 1);
  float previousMax = 1e9f;
  for (float r : rates) {
    ASSERT_EQ(VarcamSetFormat(h, &f, r), 1);
    float mn = 0, mx = 0, def = 0;
    std::uint32_t flags = 0;
    ASSERT_EQ(VarcamPropertyRange(h, PropExposure, &mn, &mx, &def, &flags), 1);
    EXPECT_LT(mx, 1000.0f / r) << "rate " << r;
    EXPECT_LT(mx, previousMax) << "slower rates admit longer exposures";
    EXPECT_LE(mn, 0.1f);
    previousMax = mx;
  }
  // At the fastest rate an exposure beyond its range is still accepted up
  // to the slowest rate's largest exposure, and no further.
  const float slowestMax = vzsim::frameRate(rates.front()).maxExposure;
  setProperty(h, PropExposure, slowestMax);
  EXPECT_EQ(getProperty(h, PropExposure), slowestMax);
  EXPECT_EQ(VarcamSetProperty(h, PropExposure, slowestMax + 1.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorOutOfRange);
}

TEST_F(SimTest, LastErrorIsKeptPerThread) {
  VarcamHandle h = open(1);
  EXPECT_EQ(VarcamSetProperty(h, PropGamma, 100.0f, 0), 0);
  std::uint32_t other = 12345;
  std::thread t([&] {
    float v = 0;
    std::uint32_t flags = 0;
    VarcamGetProperty(h, 7, &v, &flags);
    other = VarcamGetLastError();
  });
  t.join();
  EXPECT_EQ(other, vzsim::ErrorNoSuchProperty);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorOutOfRange);
}

} // namespace
} // namespace simtest
