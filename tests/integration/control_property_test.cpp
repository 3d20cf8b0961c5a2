// The camera property commands: values (49, 84, 106, 53, 95, 97) and
// ranges (65, 85, 67, 107, 96, 98, 90), through AcqControl against the
// simulated camera. The journal shows what reached the camera.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

class ControlProperty : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(acq->open(), 0);
    vzsim::clearJournal();
  }
  std::int32_t set(int code, int parameter, void* data) { return acq->control(code, parameter, data); }
  std::int32_t query(int code, int parameter, void* data) { return acq->control(code | ACQ_QUERY, parameter, data); }
  double queryDouble(int code, int parameter) {
    double value = -12345.0;
    EXPECT_EQ(query(code, parameter, &value), 0);
    return value;
  }
  std::int32_t setDouble(int code, int parameter, double value) { return set(code, parameter, &value); }
  // Property writes that reached the camera, by property id.
  static std::vector<std::string> writes(int property) {
    std::vector<std::string> values;
    for (const auto& entry : calls("VarcamSetProperty"))
      if (entry.args.at(0) == std::to_string(property)) values.push_back(entry.args.at(1));
    return values;
  }
};

TEST_F(ControlProperty, ExposureSelectorPicksAcquisitionOnlyForOne) {
  const double preview = queryDouble(ACQCMD_EXPOSURE, 0);
  EXPECT_EQ(setDouble(ACQCMD_EXPOSURE, 1, 123.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 1), 123.0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 0), preview);
  EXPECT_TRUE(writes(PropExposure).empty()) << "the acquisition value waits for the snapshot";

  EXPECT_EQ(setDouble(ACQCMD_EXPOSURE, 0, 20.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 0), 20.0);
  ASSERT_FALSE(writes(PropExposure).empty());
  EXPECT_EQ(writes(PropExposure).back(), "20");
  EXPECT_EQ(setDouble(ACQCMD_EXPOSURE, 2, 30.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 2), 30.0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 1), 123.0);

  // The preview exposure command reads the preview value whatever the
  // parameter, and sets through the selector like 84.
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE_PREVIEW, 1), 30.0);
  EXPECT_EQ(setDouble(ACQCMD_EXPOSURE_PREVIEW, 1, 45.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE, 1), 45.0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_EXPOSURE_PREVIEW, 0), 30.0);
}

TEST_F(ControlProperty, GainPercentUsesTheParameterAsValueAndSelector) {
  EXPECT_EQ(set(ACQCMD_GAIN_PERCENT, 250, nullptr), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAIN, 0), 2.5);
  EXPECT_FALSE(writes(PropGain).empty());
  vzsim::clearJournal();
  EXPECT_EQ(set(ACQCMD_GAIN_PERCENT, 1, nullptr), 0);
  EXPECT_FLOAT_EQ(static_cast<float>(queryDouble(ACQCMD_GAIN, 1)), 0.01f);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAIN, 0), 2.5);
  EXPECT_TRUE(writes(PropGain).empty());

  // Hundredths read back as they were set.
  std::int32_t hundredths = -1;
  for (int value : {100, 105, 113, 117, 210, 235, 333, 420, 499, 799}) {
    ASSERT_EQ(set(ACQCMD_GAIN_PERCENT, value, nullptr), 0);
    EXPECT_EQ(query(ACQCMD_GAIN_PERCENT, 0, &hundredths), 0);
    EXPECT_EQ(hundredths, value);
  }
  EXPECT_EQ(query(ACQCMD_GAIN_PERCENT, 1, &hundredths), 0);
  EXPECT_EQ(hundredths, 1);
  EXPECT_EQ(query(ACQCMD_GAIN_PERCENT, 0, nullptr), 6);
  // Below the gain's range: refused by the camera.
  EXPECT_EQ(set(ACQCMD_GAIN_PERCENT, 29, nullptr), 6);
  // A gain between hundredths is truncated.
  EXPECT_EQ(setDouble(ACQCMD_GAIN, 0, 2.347), 0);
  EXPECT_EQ(query(ACQCMD_GAIN_PERCENT, 2, &hundredths), 0);
  EXPECT_EQ(hundredths, 234);
}

TEST_F(ControlProperty, GainAndBrightnessPairs) {
  EXPECT_EQ(setDouble(ACQCMD_GAIN, 0, 2.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAIN, 0), 2.0);
  EXPECT_EQ(writes(PropGain).size(), 1u);
  EXPECT_EQ(setDouble(ACQCMD_GAIN, 1, 3.0), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAIN, 1), 3.0);
  EXPECT_EQ(writes(PropGain).size(), 1u);

  std::int32_t brightness = 7;
  EXPECT_EQ(set(ACQCMD_BRIGHTNESS, 0, &brightness), 0);
  brightness = -20;
  EXPECT_EQ(set(ACQCMD_BRIGHTNESS, 1, &brightness), 0);
  std::int32_t read = 0;
  EXPECT_EQ(query(ACQCMD_BRIGHTNESS, 0, &read), 0);
  EXPECT_EQ(read, 7);
  EXPECT_EQ(query(ACQCMD_BRIGHTNESS, 1, &read), 0);
  EXPECT_EQ(read, -20);
  EXPECT_TRUE(logged("Value brightness: 7"));
}

TEST_F(ControlProperty, RefusedValuesGiveSix) {
  vzsim::failNext("VarcamSetProperty", 1, 31, PropGain);
  EXPECT_EQ(setDouble(ACQCMD_GAIN, 0, 2.0), 6);
  EXPECT_TRUE(logged("Could not set Global Gain: 31"));
  EXPECT_TRUE(platform::headless::messageBoxes().empty());
  vzsim::failNext("VarcamSetProperty", 1, 31, PropGain);
  EXPECT_EQ(set(ACQCMD_GAIN_PERCENT, 150, nullptr), 6);
  vzsim::failNext("VarcamSetProperty", 1, 31, PropBrightness);
  std::int32_t brightness = 5;
  EXPECT_EQ(set(ACQCMD_BRIGHTNESS, 0, &brightness), 6);

  // Values a float cannot hold never reach the accessors.
  const double before = queryDouble(ACQCMD_GAIN, 0);
  vzsim::clearJournal();
  EXPECT_EQ(setDouble(ACQCMD_GAIN, 0, std::numeric_limits<double>::quiet_NaN()), 6);
  EXPECT_EQ(setDouble(ACQCMD_GAMMA, 0, 1e300), 6);
  EXPECT_EQ(setDouble(ACQCMD_EXPOSURE, 1, -std::numeric_limits<double>::infinity()), 6);
  EXPECT_TRUE(calls("VarcamSetProperty").empty());
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAIN, 0), before);
}

TEST_F(ControlProperty, NullDataIsRefusedWhereTheHostOwesIt) {
  for (int code : {ACQCMD_EXPOSURE_PREVIEW, ACQCMD_EXPOSURE, ACQCMD_GAIN, ACQCMD_BRIGHTNESS, ACQCMD_GAMMA,
                   ACQCMD_AUTO_EXPOSURE, ACQCMD_WHITE_BALANCE}) {
    EXPECT_EQ(set(code, 0, nullptr), 6) << code;
    EXPECT_EQ(query(code, 1, nullptr), 6) << code;
  }
}

TEST_F(ControlProperty, GammaIsReportedToHundredthsRoundingHalfUp) {
  EXPECT_EQ(setDouble(ACQCMD_GAMMA, 0, 1.004), 0);
  EXPECT_TRUE(logged("Setting the preview Gamma."));
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAMMA, 0), 1.0);
  EXPECT_TRUE(logged("Getting the preview Gamma"));
  EXPECT_EQ(setDouble(ACQCMD_GAMMA, 1, 1.006), 0);
  EXPECT_TRUE(logged("Setting the acquire Gamma"));
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAMMA, 1), 1.01);
  EXPECT_TRUE(logged("Getting the acquire Gamma"));
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAMMA, 0), 1.0);
  EXPECT_EQ(setDouble(ACQCMD_GAMMA, 0, 2.345), 0);
  EXPECT_DOUBLE_EQ(queryDouble(ACQCMD_GAMMA, 0), 2.35);
}

TEST_F(ControlProperty, ExposureRanges) {
  double range[3] = {};
  EXPECT_EQ(set(ACQCMD_EXPOSURE_RANGE_STEP10, 0, range), 0);
  EXPECT_DOUBLE_EQ(range[0], static_cast<double>(0.01f));
  EXPECT_GT(range[1], range[0]);
  EXPECT_DOUBLE_EQ(range[2], 10.0);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Exposure range retreived from camera."));
  const int maxMicro = static_cast<int>(static_cast<float>(range[1]) * 1000.0f);
  EXPECT_TRUE(logged("Min: 10, max: " + std::to_string(maxMicro) + ", def: 10000"));

  // The controller's range starts at 0 and cannot fail.
  vzsim::failNext("VarcamPropertyRange", 5, 31);
  EXPECT_EQ(query(ACQCMD_EXPOSURE_RANGE, 0, range), 0);
  EXPECT_DOUBLE_EQ(range[0], 0.0);
  EXPECT_GT(range[1], 0.0);
  EXPECT_DOUBLE_EQ(range[2], 1.0);
  vzsim::clearFaults();
  EXPECT_EQ(set(ACQCMD_EXPOSURE_RANGE, 0, nullptr), 6);
  EXPECT_EQ(set(ACQCMD_EXPOSURE_RANGE_STEP10, 0, nullptr), 6);

  const auto host = platform::headless::createHostWindow("Pixora", {0, 0, 640, 480});
  ASSERT_EQ(set(ACQCMD_HOST_WINDOW, 0, host), 0);
  vzsim::failNext("VarcamPropertyRange", 1, 31, PropExposure);
  EXPECT_EQ(set(ACQCMD_EXPOSURE_RANGE_STEP10, 0, range), 6);
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Could not get exposure: 31");
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].owner, host);
}

TEST_F(ControlProperty, GainRanges) {
  std::int32_t percent[3] = {};
  EXPECT_EQ(set(ACQCMD_GAIN_RANGE_PERCENT, 0, percent), 0);
  EXPECT_EQ(percent[0], 100);
  EXPECT_EQ(percent[1], 799);
  EXPECT_EQ(percent[2], 15);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Gain range retreived from camera."));
  EXPECT_TRUE(logged("Min: 1, max: 7, def: 1"));

  // The box comes first, even when there is nowhere to write.
  platform::headless::clearMessageBoxes();
  EXPECT_EQ(set(ACQCMD_GAIN_RANGE_PERCENT, 0, nullptr), 6);
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "DGL is called!");
  EXPECT_EQ(boxes[0].caption, "YO!");

  AcqGainRangeRecord record{};
  EXPECT_EQ(set(ACQCMD_GAIN_RANGE, 0, &record), 0);
  EXPECT_EQ(record.a, 1);
  EXPECT_EQ(record.b, 1);
  EXPECT_EQ(record.c, 1);
  EXPECT_EQ(record.d, 0);
  EXPECT_DOUBLE_EQ(record.minimum, 1.0);
  EXPECT_DOUBLE_EQ(record.maximum, static_cast<double>(7.999f));
  EXPECT_DOUBLE_EQ(record.step, 0.0025);
  EXPECT_DOUBLE_EQ(record.zero1, 0.0);
  EXPECT_DOUBLE_EQ(record.zero2, 0.0);
  EXPECT_DOUBLE_EQ(record.resolution, 0.01);
  EXPECT_EQ(set(ACQCMD_GAIN_RANGE, 0, nullptr), 6);
}

TEST_F(ControlProperty, GainRangeRecordReportsOneWhateverTheCameraMinimum) {
  auto description = vzsim::propertySpec(1, PropGain);
  ASSERT_TRUE(description.has_value());
  description->minimum = 2.0f;
  description->value = 2.0f;
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGain, *description));
  AcqGainRangeRecord record{};
  EXPECT_EQ(query(ACQCMD_GAIN_RANGE, 0, &record), 0);
  EXPECT_DOUBLE_EQ(record.minimum, 1.0);
  std::int32_t percent[3] = {};
  EXPECT_EQ(set(ACQCMD_GAIN_RANGE_PERCENT, 0, percent), 0);
  EXPECT_EQ(percent[0], 200) << "the hundredths range tells the truth";
}

TEST_F(ControlProperty, BrightnessAndGammaRanges) {
  std::int32_t brightness[2] = {};
  EXPECT_EQ(set(ACQCMD_BRIGHTNESS_RANGE, 0, brightness), 0);
  EXPECT_EQ(brightness[0], -1);
  EXPECT_EQ(brightness[1], 1);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Brightness range retreived from camera."));
  EXPECT_TRUE(logged("Min: -1, max: 1, def: 0"));

  double gamma[4] = {};
  EXPECT_EQ(query(ACQCMD_GAMMA_RANGE, 0, gamma), 0);
  EXPECT_DOUBLE_EQ(gamma[0], static_cast<double>(0.1f));
  EXPECT_DOUBLE_EQ(gamma[1], 4.0);
  EXPECT_DOUBLE_EQ(gamma[2], 0.01);
  EXPECT_DOUBLE_EQ(gamma[3], 1.0);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Gamma range retreived from camera."));

  // These three answer a missing pointer with -1.
  EXPECT_EQ(set(ACQCMD_BRIGHTNESS_RANGE, 0, nullptr), -1);
  EXPECT_EQ(set(ACQCMD_GAMMA_RANGE, 0, nullptr), -1);
  EXPECT_EQ(set(ACQCMD_COLOUR_GAIN_RANGES, 0, nullptr), -1);

  vzsim::failNext("VarcamPropertyRange", 1, 31, PropGamma);
  EXPECT_EQ(set(ACQCMD_GAMMA_RANGE, 0, gamma), 6);
  ASSERT_EQ(boxTexts().size(), 1u);
  EXPECT_EQ(boxTexts()[0], "Could not get exposure: 31");
}

TEST_F(ControlProperty, ColourGainRanges) {
  auto description = vzsim::propertySpec(1, PropGainBlue);
  ASSERT_TRUE(description.has_value());
  description->maximum = 5.5f;
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGainBlue, *description));
  AcqColourGainRange ranges[3] = {};
  EXPECT_EQ(set(ACQCMD_COLOUR_GAIN_RANGES, 0, ranges), 0);
  for (const auto& r : ranges) {
    EXPECT_EQ(r.one, 1);
    EXPECT_EQ(r.zero, 0);
    EXPECT_DOUBLE_EQ(r.minimum, 0.25);
    EXPECT_DOUBLE_EQ(r.step1, 0.01);
    EXPECT_DOUBLE_EQ(r.step2, 0.01);
    for (double z : r.zeros) EXPECT_DOUBLE_EQ(z, 0.0);
  }
  EXPECT_DOUBLE_EQ(ranges[0].maximum, static_cast<double>(7.999f));
  EXPECT_DOUBLE_EQ(ranges[2].maximum, 5.5) << "blue comes third";
  // Read red, green, blue in that order.
  std::vector<std::string> order;
  for (const auto& entry : calls("VarcamPropertyRange")) order.push_back(entry.args.at(0));
  EXPECT_EQ(order, (std::vector<std::string>{"41", "43", "42"}));
}

TEST_F(ControlProperty, ColourGainRangesOfAMonochromeCamera) {
  acq->close();
  vzsim::setCameras({vzsim::asMonochrome(vzsim::defaultModel(160))});
  ASSERT_EQ(acq->open(), 0);
  platform::headless::clearMessageBoxes();
  AcqColourGainRange ranges[3] = {};
  ranges[0].one = 77;
  EXPECT_EQ(set(ACQCMD_COLOUR_GAIN_RANGES, 0, ranges), 6);
  EXPECT_EQ(ranges[0].one, 77) << "nothing written";
  ASSERT_EQ(boxTexts().size(), 1u);
  EXPECT_EQ(boxTexts()[0], "Could not get red gain limits: 1168");
}

} // namespace
