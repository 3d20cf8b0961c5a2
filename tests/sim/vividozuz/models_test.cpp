// Camera models: sensor sizes by id, properties per model, identity records
// and the configuration a host gets without any set-up.
#include "sim_fixture.h"

#include <set>

namespace simtest {
namespace {

struct SensorCase {
  std::uint32_t id;
  std::uint32_t width;
  std::uint32_t height;
};

// The sensor sizes the driver's resolution table expects for each id.
const SensorCase kSensors[] = {
    {23, 1600, 1200},  {141, 1600, 1200}, {151, 1600, 1200}, {156, 1600, 1200},
    {397, 1600, 1200}, {27, 2048, 1536},  {139, 2048, 1536}, {163, 2048, 1536},
    {395, 2048, 1536}, {419, 2048, 1536}, {30, 1280, 1024},  {32, 1280, 1024},
    {148, 1280, 1024}, {150, 1280, 1024}, {152, 1280, 1024}, {158, 1280, 1024},
    {160, 1280, 1024}, {161, 1280, 1024}, {414, 1280, 1024}, {417, 1280, 1024},
    {68, 2080, 1536},  {155, 2080, 1536}, {164, 2080, 1536}, {324, 2080, 1536},
    {411, 2080, 1536}, {420, 2080, 1536}, {134, 2208, 3000}, {138, 1392, 1040},
    {154, 1392, 1040}, {162, 1392, 1040}, {165, 1392, 1040}, {346, 1392, 1040},
    {394, 1392, 1040}, {410, 1392, 1040}, {418, 1392, 1040}, {421, 1392, 1040},
    {145, 480, 640},   {149, 480, 640},   {146, 1280, 1024}, {147, 480, 640},
    {384, 1616, 1216}, {423, 1616, 1216}, {464, 1616, 1216}, {390, 3000, 2208},
    {422, 3000, 2208}, {424, 2576, 1952}, {448, 2576, 1952}, {456, 3000, 2208},
    {461, 1616, 1216}, {64, 640, 480},    {0, 640, 480},     {999, 640, 480},
};

TEST_F(SimTest, DefaultModelsHaveTheSensorOfTheirId) {
  for (const SensorCase& c : kSensors) {
    const vzsim::CameraModel m = vzsim::defaultModel(c.id);
    EXPECT_EQ(m.sensorWidth, c.width) << "id " << c.id;
    EXPECT_EQ(m.sensorHeight, c.height) << "id " << c.id;
  }
}

TEST_F(SimTest, OpenCameraStartsAtTheFullSensorOfItsId) {
  VarcamHandle h = attachAndOpen({vzsim::defaultModel(134)});
  std::uint32_t id = 0;
  ASSERT_EQ(VarcamGetCameraId(h, &id), 1);
  EXPECT_EQ(id, 134u);
  FrameFormatRecord f{};
  float rate = 0;
  ASSERT_EQ(VarcamGetFormat(h, &f, &rate), 1);
  EXPECT_EQ(f.width, 2208u);
  EXPECT_EQ(f.height, 3000u);
  EXPECT_EQ(f.factorX, 1);
  EXPECT_GT(rate, 0.0f);
}

TEST_F(SimTest, WithoutConfigurationOneColourCamera160WithEveryPropertyAndSeveralRates) {
  ASSERT_EQ(VarcamNumCameras(), 1);
  VarcamHandle h = open(1);
  std::uint32_t id = 0;
  ASSERT_EQ(VarcamGetCameraId(h, &id), 1);
  EXPECT_EQ(id, 160u);
  for (int p : {PropBrightness, PropContrast, PropHue, PropSaturation, PropGamma, PropExposure,
                PropGain, PropGainRed, PropGainBlue, PropGainGreen1, PropGainGreen2,
                PropCorrectionMatrix, PropFlipping, PropColorFormat, PropAutoExposureTarget,
                PropClockSpeed}) {
    float mn = 0, mx = 0, def = 0;
    std::uint32_t flags = 0;
    EXPECT_EQ(VarcamPropertyRange(h, p, &mn, &mx, &def, &flags), 1) << "property " << p;
    EXPECT_LE(mn, mx) << "property " << p;
  }
  EXPECT_NE(getProperty(h, PropColorFormat), 0.0f);
  EXPECT_EQ(getProperty(h, PropContrast), 1.0f);
  EXPECT_EQ(getProperty(h, PropAutoExposureTarget), 170.0f);
  float mn = 0, mx = 0, def = 0;
  std::uint32_t flags = 0;
  ASSERT_EQ(VarcamPropertyRange(h, PropGain, &mn, &mx, &def, &flags), 1);
  EXPECT_GE(mx, 4.0f);
  EXPECT_GE(vzsim::offeredRates(1).size(), 3u);
  // The control interface shows the live state.
  setProperty(h, PropGain, 3.5f);
  const std::vector<vzsim::CameraModel> attached = vzsim::cameras();
  ASSERT_EQ(attached.size(), 1u);
  EXPECT_EQ(attached[0].properties.at(PropGain).value, 3.5f);
  EXPECT_EQ(attached[0].cameraId, 160u);
  EXPECT_EQ(vzsim::propertyValue(1, PropGain), 3.5f);
  EXPECT_FALSE(vzsim::propertyValue(1, PropAuxSwitch1).has_value());
}

TEST_F(SimTest, MonochromeModelHasNoColourGainsAndColorFormatZero) {
  VarcamHandle h = attachAndOpen({vzsim::defaultModel(145), vzsim::defaultModel(149)});
  float v = 0;
  std::uint32_t flags = 0;
  for (int gain : {PropGainRed, PropGainBlue, PropGainGreen1, PropGainGreen2}) {
    EXPECT_EQ(VarcamGetProperty(h, gain, &v, &flags), 0);
    EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNoSuchProperty);
  }
  EXPECT_EQ(getProperty(h, PropColorFormat), 0.0f);

  VarcamHandle colour = open(2);
  EXPECT_NE(getProperty(colour, PropColorFormat), 0.0f);
  EXPECT_EQ(VarcamGetProperty(colour, PropGainRed, &v, &flags), 1);

  // Any model can be made monochrome.
  const vzsim::CameraModel grey = vzsim::asMonochrome(vzsim::defaultModel(160));
  EXPECT_FALSE(grey.colour);
  EXPECT_EQ(grey.properties.count(PropGainBlue), 0u);
  EXPECT_EQ(grey.properties.at(PropColorFormat).value, 0.0f);
}

TEST_F(SimTest, AuxiliarySwitchesOnlyOnIds421And346) {
  for (std::uint32_t id : {421u, 346u, 160u, 138u}) {
    const vzsim::CameraModel m = vzsim::defaultModel(id);
    const bool expected = id == 421 || id == 346;
    EXPECT_EQ(m.properties.count(PropAuxSwitch1) == 1, expected) << id;
    EXPECT_EQ(m.properties.count(PropAuxSwitch2) == 1, expected) << id;
  }
  VarcamHandle h = attachAndOpen({vzsim::defaultModel(421)});
  EXPECT_EQ(VarcamSetProperty(h, PropAuxSwitch1, 0.0f, VARCAM_FLAG_AUX_SWITCH_ON), 1);
  EXPECT_EQ(vzsim::propertyFlags(1, PropAuxSwitch1), VARCAM_FLAG_AUX_SWITCH_ON);
  EXPECT_EQ(VarcamSetProperty(h, PropAuxSwitch1, 0.0f, 0), 1);
  EXPECT_EQ(vzsim::propertyFlags(1, PropAuxSwitch1), 0u);
}

TEST_F(SimTest, VersionRecordsAndSerialsOfSeveralCameras) {
  vzsim::CameraModel a = vzsim::defaultModel(160);
  vzsim::CameraModel b = vzsim::defaultModel(160);
  a.serialNumber = 4711;
  b.serialNumber = 4712;
  ASSERT_TRUE(vzsim::setCameras({a, b}));
  ASSERT_EQ(VarcamNumCameras(), 2);
  CameraVersionRecord records[4]{};
  ASSERT_EQ(VarcamEnumCameras(records, 4), 2);
  EXPECT_EQ(records[0].serialNumber, 4711u);
  EXPECT_EQ(records[1].serialNumber, 4712u);
  // API and driver versions as four bytes, firmware and FPGA as major.minor.
  EXPECT_EQ(records[0].apiVersion, 0x01020304u);
  EXPECT_EQ((records[0].firmwareVersion >> 8) & 0xFF, 1u);
  EXPECT_EQ(records[0].firmwareVersion & 0xFF, 5u);

  VarcamHandle second = open(2);
  CameraVersionRecord version{};
  ASSERT_EQ(VarcamQueryVersion(second, &version), 1);
  EXPECT_EQ(version.serialNumber, 4712u);
  // A camera that is open cannot be opened twice; a bad index opens nothing.
  EXPECT_EQ(VarcamCameraOpen(2), nullptr);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorBusy);
  EXPECT_EQ(VarcamCameraOpen(3), nullptr);
  EXPECT_EQ(VarcamCameraOpen(0), nullptr);
}

TEST_F(SimTest, ClosedAndStaleHandlesAreRefused) {
  VarcamHandle h = open(1);
  ASSERT_EQ(VarcamCameraClose(h), 1);
  opened_.clear();
  std::uint32_t id = 0;
  EXPECT_EQ(VarcamGetCameraId(h, &id), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidHandle);
  EXPECT_EQ(VarcamGetCameraId(nullptr, &id), 0);
  // Reopening gives a new handle; the old one stays invalid.
  VarcamHandle again = open(1);
  EXPECT_NE(again, h);
  EXPECT_EQ(VarcamGetCameraId(h, &id), 0);
  EXPECT_EQ(VarcamGetCameraId(again, &id), 1);
}

TEST_F(SimTest, InvalidModelsAreNotAttached) {
  vzsim::CameraModel noRates = vzsim::defaultModel(160);
  noRates.frameRates.clear();
  EXPECT_FALSE(vzsim::setCameras({noRates}));
  vzsim::CameraModel noSensor = vzsim::defaultModel(160);
  noSensor.sensorWidth = 0;
  EXPECT_FALSE(vzsim::setCameras({noSensor}));
  EXPECT_EQ(VarcamNumCameras(), 1);  // unchanged
  EXPECT_TRUE(vzsim::setCameras({}));
  EXPECT_EQ(VarcamNumCameras(), 0);
}

} // namespace
} // namespace simtest
