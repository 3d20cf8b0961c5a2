// Model identification and property ranges at camera open.
#include "camera_fixture.h"

#include "camera/model_identification.h"
#include "camera/property_scale.h"
#include "engines/exposure_controller.h"

#include <cmath>

namespace {

using namespace camtest;
using Identification = CameraTest;
namespace hl = platform::headless;
using vx::Section;

vzsim::PropertySpec rangeSpec(float minimum, float maximum, float value) {
  vzsim::PropertySpec spec;
  spec.minimum = minimum;
  spec.maximum = maximum;
  spec.defaultValue = value;
  spec.value = value;
  return spec;
}

TEST_F(Identification, ModelNamesAndIdDependentSettings) {
  struct Case {
    std::uint32_t id;
    const char* name;
    int autoExposure, widthStep, heightStep;
  } cases[] = {{151, "Model 01", 1, 8, 8},       {156, "Model 01", 1, 8, 8},
               {346, "Unknown model", 0, 8, 8},  {155, "Model 14", 0, 32, 16},
               {164, "Model 19", 0, 32, 16},     {145, "Model 07 Monocrome", 0, 8, 8},
               {160, "Model 02", 1, 8, 8},       {138, "Model 04", 0, 8, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    attach({vzsim::defaultModel(c.id)});
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(state.model.cameraId, c.id);
    EXPECT_EQ(state.model.modelName, c.name);
    EXPECT_EQ(state.model.autoExposureCapable, c.autoExposure);
    EXPECT_EQ(state.model.roiWidthStep, c.widthStep);
    EXPECT_EQ(state.model.roiHeightStep, c.heightStep);
    camera.close();
  }
}

TEST_F(Identification, InformationTexts) {
  auto model = vzsim::defaultModel(160);
  model.version.apiVersion = 0x01020304;
  model.version.driverVersion = 0x0A000B0C;
  model.version.firmwareVersion = 0x0105;
  model.version.fpgaVersion = 0x12345602;  // only bits 15..0 are shown
  model.serialNumber = 4242;
  attach({model});
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(state.model.serialNumberText, "4242");
  EXPECT_EQ(state.model.apiVersionText, "1.2.3.4");
  EXPECT_EQ(state.model.driverVersionText, "10.0.11.12");
  EXPECT_EQ(state.model.firmwareVersionText, "1.5");
  EXPECT_EQ(state.model.fpgaVersionText, "86.2");
  EXPECT_TRUE(boxTexts().empty());
}

// Contrast: the camera maximum is taken as 10 whatever the camera says, and
// camera 1.0 is user 0. From 1 up the scale is 100 / (10 - 1) per camera
// unit; below 1 it is 100 / (1 - minimum).
TEST_F(Identification, ContrastScalePivotsOnCameraOne) {
  struct Case {
    float minimum, camera, user;
    const char* logLine;
  } cases[] = {
      {0.0f, 1.0f, 0.0f, "Min: 0.000000, max: 10.000000, def: 1.000000"},
      {0.0f, 0.0f, -100.0f, "Min: 0.000000, max: 10.000000, def: 0.000000"},
      {0.0f, 10.0f, 100.0f, "Min: 0.000000, max: 10.000000, def: 10.000000"},
      {0.0f, 5.5f, 50.0f, "Min: 0.000000, max: 10.000000, def: 5.500000"},    // 100 / 9 x 4.5
      {0.0f, 0.5f, -50.0f, "Min: 0.000000, max: 10.000000, def: 0.500000"},   // -100 + 100 / 1 x 0.5
      {-1.0f, 0.0f, -50.0f, "Min: -1.000000, max: 10.000000, def: 0.000000"},  // -100 + 100 / 2 x 1
      {-1.0f, 0.5f, -25.0f, "Min: -1.000000, max: 10.000000, def: 0.500000"},  // -100 + 100 / 2 x 1.5
      {-1.0f, -1.0f, -100.0f, "Min: -1.000000, max: 10.000000, def: -1.000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logLine);
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    vzsim::setPropertySpec(1, PropContrast, rangeSpec(c.minimum, 4.0f, c.camera));
    clearRecords();
    ASSERT_EQ(open(true), 1);
    EXPECT_EQ(state.contrast.cameraMax, 10.0f);
    EXPECT_EQ(state.contrast.userMin, -100.0f);
    EXPECT_EQ(state.contrast.userMax, 100.0f);
    EXPECT_NEAR(state.contrast.preview, c.user, 1e-4);
    EXPECT_EQ(state.contrast.acquire, state.contrast.preview);
    EXPECT_TRUE(logged(c.logLine));
    camera.close();
  }
}

TEST_F(Identification, RangesAndUserScales) {
  ASSERT_EQ(open(true), 1);
  // Global gain 1..7.999 shows as 1..7.99; the camera range stays for writing.
  EXPECT_EQ(state.globalGain.userMin, 1.0f);
  EXPECT_FLOAT_EQ(state.globalGain.userMax, 7.99f);
  EXPECT_FLOAT_EQ(state.globalGain.cameraMax, 7.999f);
  EXPECT_EQ(state.globalGain.userDefault, 1.0f);
  EXPECT_FLOAT_EQ(state.globalGain.preview, 1.0f);
  // Gamma 0.1..4: user minimum is the camera's.
  EXPECT_FLOAT_EQ(state.gamma.userMin, 0.1f);
  EXPECT_FLOAT_EQ(state.gamma.userMax, 4.0f);
  // Brightness -1..1 on -100..100; the camera's 0 is the middle.
  EXPECT_EQ(state.brightness.userMin, -100.0f);
  EXPECT_NEAR(state.brightness.preview, 0.0f, 1e-5);
  // Hue on -180..180, saturation 0..2 at 1 is user 0.
  EXPECT_EQ(state.hue.userMax, 180.0f);
  EXPECT_NEAR(state.saturation.preview, 0.0f, 1e-5);
  EXPECT_EQ(state.saturation.userDefault, 0.0f);
  // Colour gains 0.25..7.999 shown and written as 0.25..7.99.
  EXPECT_EQ(state.model.redGainAvailable, 1);
  EXPECT_EQ(state.model.greenGainAvailable, 1);
  EXPECT_EQ(state.model.blueGainAvailable, 1);
  EXPECT_FLOAT_EQ(state.blueGain.userMax, 7.99f);
  EXPECT_FLOAT_EQ(state.blueGain.userMin, 0.25f);
  EXPECT_FLOAT_EQ(state.blueGain.cameraMax, 7.99f);
  // Exposure: the controller's range, the brightness target's fixed one.
  ASSERT_NE(camera.exposureController(), nullptr);
  EXPECT_EQ(state.exposure.userMin, 0.0f);
  // The slowest rate, 3.75 fps, admits 1000 / 3.75 = 266.67 ms less 2 %,
  // 261.33 ms, already on the hundredths grid: it stays 261.33. (The float
  // nearest 261.33 is 261.3299866; truncating 26132.99866 would have cut it
  // to 261.32, a hundredth the camera does allow lost for nothing.)
  EXPECT_FLOAT_EQ(state.exposure.userMax, 261.33f);
  EXPECT_FLOAT_EQ(state.exposure.preview, 10.0f);
  EXPECT_EQ(state.autoExposureTarget, 170.0f);
  EXPECT_EQ(state.exposureDefault, 50.0f);

  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Brightness range retreived from camera."));
  EXPECT_TRUE(logged("Min: -1.000000, max: 1.000000, def: 0.000000"));
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Global Gain range retreived from camera."));
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Red gain range retreived from camera."));
  EXPECT_TRUE(logged("Min: 0.250000, max: 7.999000, def: 1.000000"));
  // Green and blue log their range as integers.
  EXPECT_EQ(countLogged("Min: 0, max: 7, def: 1"), 2);
  for (const char* line : {"Getting the brightness...", "Getting the contrast...", "Getting the hue...",
                           "Getting the saturation...", "Getting the exposure...", "Getting the global gain...",
                           "Getting the gamma...", "Getting the gains...", "Resolutions fini..."})
    EXPECT_TRUE(logged(line)) << line;
  EXPECT_TRUE(boxTexts().empty());
}

// A maximum already on the hundredths grid keeps its hundredth: the floats
// nearest 7.99, 2.3 and 0.29 lie just below them (7.98999977, 2.29999995,
// 0.28999999), and cutting those times 100 would lose a hundredth each.
// Maxima between grid points are still cut down (7.999 above).
TEST_F(Identification, MaximaOnTheHundredthsGridStayThere) {
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGain, rangeSpec(1.0f, 7.99f, 1.0f)));
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGamma, rangeSpec(0.1f, 2.3f, 1.0f)));
  ASSERT_TRUE(vzsim::setPropertySpec(1, PropGainRed, rangeSpec(0.25f, 0.29f, 0.25f)));
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(state.globalGain.userMax, 7.99f);
  EXPECT_EQ(state.gamma.userMax, 2.3f);
  EXPECT_EQ(state.redGain.userMax, 0.29f);
  EXPECT_EQ(state.redGain.cameraMax, 0.29f);
  EXPECT_EQ(vx::roundToHundredths(7.999f), 7.99f);
  EXPECT_EQ(vx::roundToHundredths(0.299f), 0.29f);
  EXPECT_EQ(vx::roundToHundredths(-7.999f), -7.99f);
}

// A camera without a blue gain: blue stays unavailable and is never written.
TEST_F(Identification, MissingGainIsUnavailable) {
  vzsim::setPropertySpec(1, PropGainBlue, absent());
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(state.model.blueGainAvailable, 0);
  EXPECT_EQ(state.model.redGainAvailable, 1);
  EXPECT_TRUE(boxTexts().empty()) << "a missing range is not reported";
  EXPECT_FALSE(logged("PIXORA QUORVEL DRIVER: Blue gain range retreived from camera."));
  EXPECT_TRUE(calls("VarcamGetProperty").size() > 0);
  for (const auto& e : calls("VarcamGetProperty"))
    EXPECT_NE(e.args.at(0), std::to_string(PropGainBlue)) << "an unavailable gain is not read";
}

// Every failed range or read is reported with its own text and the SDK's
// code; the property keeps its previous values.
TEST_F(Identification, RangeAndReadFailuresAreReported) {
  struct Case {
    int property;
    const char* rangeText;  // null: a failed range is silent
    const char* readText;
  } cases[] = {
      {PropBrightness, "Could not get brightness range: 31", "Could not get brightness: 31"},
      {PropContrast, "Could not get contrast: 31", "Could not get contrast: 31"},
      {PropHue, "Could not get hue: 31", "Could not get hue: 31"},
      {PropSaturation, "Could not get saturation: 31", "Could not get saturation: 31"},
      {PropGain, "Could not get global gain: 31", "Could not get global gain: 31"},
      {PropGamma, "Could not get gamma: 31", "Could not get gamma: 31"},
      {PropGainRed, nullptr, "Could not get red gain: 31"},
      {PropGainGreen1, nullptr, "Could not get green gain: 31"},
      {PropGainBlue, nullptr, "Could not get blue gain: 31"},
  };
  ASSERT_EQ(open(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property);
    for (bool range : {true, false}) {
      // Values the camera would not give, to see that they are kept.
      state.brightness = state.contrast = state.hue = state.saturation = state.globalGain = state.gamma =
          state.redGain = state.greenGain = state.blueGain = vx::PropertyPair{};
      for (vx::PropertyPair* p : {&state.brightness, &state.contrast, &state.hue, &state.saturation,
                                  &state.globalGain, &state.gamma, &state.redGain, &state.greenGain,
                                  &state.blueGain}) {
        p->cameraMin = -7.0f;
        p->preview = 42.0f;
      }
      clearRecords();
      vzsim::failNext(range ? "VarcamPropertyRange" : "VarcamGetProperty", 1, 31, c.property);
      EXPECT_EQ(vx::identifyModel(camera), 1);
      const char* expected = range ? c.rangeText : c.readText;
      const std::vector<std::string> texts = boxTexts();
      if (expected == nullptr) {
        EXPECT_TRUE(texts.empty());
      } else {
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], expected);
        EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
      }
      const vx::PropertyPair* pair = nullptr;
      switch (c.property) {
        case PropBrightness: pair = &state.brightness; break;
        case PropContrast: pair = &state.contrast; break;
        case PropHue: pair = &state.hue; break;
        case PropSaturation: pair = &state.saturation; break;
        case PropGain: pair = &state.globalGain; break;
        case PropGamma: pair = &state.gamma; break;
        case PropGainRed: pair = &state.redGain; break;
        case PropGainGreen1: pair = &state.greenGain; break;
        default: pair = &state.blueGain; break;
      }
      if (range) {
        EXPECT_EQ(pair->cameraMin, -7.0f) << "the range is kept";
      } else {
        EXPECT_EQ(pair->preview, 42.0f) << "the value is kept";
        EXPECT_NE(pair->cameraMin, -7.0f);
      }
    }
  }
  // A colour gain whose range fails is unavailable.
  clearRecords();
  vzsim::failNext("VarcamPropertyRange", 1, 31, PropGainGreen1);
  vx::identifyModel(camera);
  EXPECT_EQ(state.model.greenGainAvailable, 0);
  EXPECT_EQ(state.model.redGainAvailable, 1);
}

TEST_F(Identification, IdAndVersionFailures) {
  ASSERT_EQ(open(), 1);
  vzsim::failNext("VarcamGetCameraId", 2, 31);
  vzsim::failNext("VarcamQueryVersion", 1, 32);
  state.model.modelName = "kept";
  state.model.apiVersionText = "kept";
  EXPECT_EQ(vx::identifyModel(camera), 1);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not get camera ID: 31", "Could not get camera ID: 31",
                                                  "Could not get camera version: 32"}));
  EXPECT_EQ(state.model.modelName, "kept");
  EXPECT_EQ(state.model.apiVersionText, "kept");
}

// Only the format query ends the run early: nothing after the id is read.
TEST_F(Identification, FormatFailureStopsEarly) {
  ASSERT_EQ(open(), 1);
  state.model.modelName = "kept";
  state.brightness.preview = 42.0f;
  camera.grayscaleRequested = 1;
  state.model.cameraId = 0;
  vzsim::failNext("VarcamGetFormat", 1, 31);
  EXPECT_EQ(vx::identifyModel(camera), 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Unable to get camera video format. Snapshot mode disabled.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(state.model.cameraId, 160u);
  EXPECT_EQ(camera.grayscaleRequested, 0);
  EXPECT_EQ(state.model.modelName, "kept");
  EXPECT_EQ(state.brightness.preview, 42.0f);
  const Journal all = vzsim::journal();
  EXPECT_EQ(calls("VarcamGetCameraId", all).size(), 1u);
  EXPECT_TRUE(calls("VarcamPropertyRange", all).empty());
  EXPECT_TRUE(calls("VarcamQueryVersion", all).empty());
  EXPECT_FALSE(logged("Resolutions fini..."));
}

// A panel opened once in the process keeps its values across a reopen: the
// camera is not even asked for them.
TEST_F(Identification, OpenedPanelsKeepTheirValues) {
  ASSERT_EQ(open(), 1);
  camera.close();
  for (auto& s : state.panels) s.openedOnce = 1;
  state.brightness.preview = 33.0f;
  state.brightness.acquire = 44.0f;
  state.model.modelName = "kept";
  state.lightSource = 2;
  state.overlayOn = 1;
  state.preview.index = 2;
  state.acquisition.index = 1;
  state.exposure.preview = 77.0f;
  ASSERT_EQ(open(true), 1);
  const Journal all = vzsim::journal();
  for (const auto& e : calls("VarcamPropertyRange", all)) {
    const int property = std::atoi(e.args.at(0).c_str());
    EXPECT_TRUE(property == PropExposure || property == PropClockSpeed)
        << "only the exposure controller asks for ranges, not " << property;
  }
  EXPECT_TRUE(calls("VarcamQueryVersion", all).empty());
  EXPECT_TRUE(writes(PropCorrectionMatrix, all).empty());
  EXPECT_EQ(state.brightness.preview, 33.0f);
  EXPECT_EQ(state.brightness.acquire, 44.0f);
  EXPECT_EQ(state.model.modelName, "kept");
  EXPECT_EQ(state.lightSource, 2);
  EXPECT_EQ(state.overlayOn, 1);
  EXPECT_EQ(state.exposure.preview, 77.0f);
  // The kept list indices choose the geometry: camera 160's third preview mode
  // and second acquisition mode.
  EXPECT_EQ(state.preview.index, 2);
  EXPECT_EQ(state.preview.width, 800);
  EXPECT_EQ(state.acquisition.width, 1280);  // every acquisition entry of id 160 delivers 1280 x 1024
  EXPECT_TRUE(logged("Resolutions fini..."));
}

TEST_F(Identification, OnlyTheOpenedPanelIsSkipped) {
  ASSERT_EQ(open(), 1);
  camera.close();
  state.panel(Section::Brightness).openedOnce = 1;
  state.brightness.preview = 33.0f;
  state.contrast.preview = 55.0f;
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(state.brightness.preview, 33.0f);
  EXPECT_NEAR(state.contrast.preview, 0.0f, 1e-5) << "read again from the camera";
  for (const auto& e : calls("VarcamPropertyRange"))
    EXPECT_NE(e.args.at(0), std::to_string(PropBrightness));
}

// Unless the image correction panel was opened, an open forgets the
// corrections and sets the matrix for light source 0.
TEST_F(Identification, OpenForgetsTheCorrectionsAndSetsMatrix14) {
  ASSERT_EQ(open(), 1);
  state.lightSource = 3;
  state.darkFrameStored = 1;
  state.darkSubtractionOn = 1;
  camera.darkCallbackId = 5;
  camera.backgroundCallbackId = 6;
  EXPECT_EQ(vx::identifyModel(camera), 1);
  EXPECT_EQ(state.lightSource, 0);
  EXPECT_EQ(state.darkFrameStored, 0);
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(camera.darkCallbackId, -1);
  EXPECT_EQ(camera.backgroundCallbackId, -1);
  ASSERT_EQ(writes(PropCorrectionMatrix).size(), 1u);
  EXPECT_EQ(writes(PropCorrectionMatrix)[0].args.at(1), "14");
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Correction Matrix has been changed in camera."));
}

// The display size is the display entry's size divided by its factors.
TEST_F(Identification, GeometryFromTheKeptListIndices) {
  attach({vzsim::defaultModel(141)});  // 1600 x 1200; entry 3 is 800 x 600 sub-sampled by 2
  ASSERT_EQ(open(), 1);
  camera.close();
  state.panel(Section::Resolution).openedOnce = 1;
  state.display.index = 3;
  state.preview.index = 3;
  state.acquisition.index = 5;
  ASSERT_EQ(open(), 1);
  EXPECT_EQ(state.display.width, 400);
  EXPECT_EQ(state.display.height, 300);
  EXPECT_EQ(state.preview.width, 800);
  EXPECT_EQ(state.preview.selectedHeight, 600);
  EXPECT_EQ(state.preview.factorX, 2);
  EXPECT_EQ(state.acquisition.width, 640);
  EXPECT_EQ(state.acquisition.factorY, 2);
  EXPECT_EQ(camera.sensorMaxWidth, 1600);
  EXPECT_EQ(camera.sensorMaxHeight, 1200);
  state.preview.offsetX = 17;
  state.acquisition.offsetY = 9;
  ASSERT_EQ(vx::identifyModel(camera), 1);
  EXPECT_EQ(state.preview.offsetX, 17) << "offsets are not touched";
  EXPECT_EQ(state.acquisition.offsetY, 9);
}

} // namespace
