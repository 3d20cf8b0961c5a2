// Saving and loading the setup: what the file holds, what a load applies,
// and how a file from another camera model or a damaged file is taken.
#include "settings_fixture.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "driver/settings_file.h"
#include "engines/exposure_controller.h"
#include "camera/property_accessors.h"

namespace {

using vx::NumericProperty;

const char* const kModelChangedText =
    "The camera model of the last Settings file is different than the camera currently "
    "connected.  Settings will be modified to conform with the current camera.";

class SettingsFile : public DriverSettingsTest {
 protected:
  void useFile(const std::string& name) { ASSERT_TRUE(driver.commands.settingsPath.assign(file(name))); }
  void loadText(const std::string& text) {
    useFile("load.ini");
    writeText(file("load.ini"), text);
    vx::loadSettings(driver);
  }
};

// Camera 139: auto exposure, a 2048 x 1536 sensor and eight modes of
// different sizes in both lists.
vzsim::CameraModel camera139() { return vzsim::defaultModel(139); }

// Sets every saved value to something other than what a camera starts with.
void setDistinctValues(vx::Driver& driver) {
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  vx::setPreviewExposure(camera, 20.5f);
  vx::setExposureAcquire(camera, 33.25f);
  vx::setExposureLocked(camera, 0);
  state.autoExposureTarget = 90.0f;
  vx::setCameraAutoExposure(camera, 0);
  vx::setPreview(camera, NumericProperty::GlobalGain, 2.5f);
  vx::setAcquire(camera, NumericProperty::GlobalGain, 3.25f);
  vx::setLocked(camera, NumericProperty::GlobalGain, 0);
  vx::setPreview(camera, NumericProperty::RedGain, 1.5f);
  vx::setPreview(camera, NumericProperty::GreenGain, 1.25f);
  vx::setPreview(camera, NumericProperty::BlueGain, 2.0f);
  vx::setAcquire(camera, NumericProperty::RedGain, 0.75f);
  vx::setAcquire(camera, NumericProperty::GreenGain, 1.75f);
  vx::setAcquire(camera, NumericProperty::BlueGain, 2.5f);
  vx::setLocked(camera, NumericProperty::RedGain, 0);
  vx::setLocked(camera, NumericProperty::GreenGain, 1);
  vx::setLocked(camera, NumericProperty::BlueGain, 0);
  vx::setPreview(camera, NumericProperty::Gamma, 0.8f);
  vx::setAcquire(camera, NumericProperty::Gamma, 1.6f);
  vx::setLocked(camera, NumericProperty::Gamma, 0);
  vx::setPreview(camera, NumericProperty::Hue, 30.0f);
  vx::setAcquire(camera, NumericProperty::Hue, -45.0f);
  vx::setLocked(camera, NumericProperty::Hue, 0);
  vx::setPreview(camera, NumericProperty::Brightness, 10.0f);
  vx::setAcquire(camera, NumericProperty::Brightness, -20.0f);
  vx::setLocked(camera, NumericProperty::Brightness, 0);
  vx::setPreview(camera, NumericProperty::Saturation, 25.0f);
  vx::setAcquire(camera, NumericProperty::Saturation, -30.0f);
  vx::setLocked(camera, NumericProperty::Saturation, 0);
  vx::setPreview(camera, NumericProperty::Contrast, 40.0f);
  vx::setAcquire(camera, NumericProperty::Contrast, -50.0f);
  vx::setLocked(camera, NumericProperty::Contrast, 0);
  vx::setMirror(camera, 1, 0);
  vx::setLightSource(camera, 2);
  vx::setFlickerMode(camera, 1);
  vx::setDisplaySizeExplicit(camera, 3, 1280, 960);
  vx::setPreviewGeometry(camera, 3, 1280, 960, 16, 8, 1, 1, 0, 0);
  vx::setAcquisitionGeometry(camera, 5, 800, 600, 200, 100, 2, 2, 1, 0);
  vx::setOverlayOptions(camera, {1, 1, 1, 2, 1});
  vx::setAlphaOptions(camera, {1, 1, 42.5f});
}

// Sets every value that a load restores to something else again.
void scramble(vx::Driver& driver) {
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  for (int p = 0; p < vx::kNumericPropertyCount; ++p) {
    auto& pair = state.pair(static_cast<NumericProperty>(p));
    pair.preview = pair.acquire = 99.0f;
    pair.locked = 7;
  }
  state.exposure.preview = state.exposure.acquire = 1.0f;
  state.exposure.locked = 7;
  state.cameraAutoExposureOn = 1;
  state.mirrorHorizontal = state.mirrorVertical = 0;
  state.lightSource = state.flickerMode = 0;
  vx::setDisplaySize(camera, 0);
  vx::setPreviewMode(camera, 0);
  vx::setAcquisitionMode(camera, 0);
  state.overlayOn = state.overlayOnPreview = state.overlayOnCapture = 0;
  state.overlayColumn = state.overlayRow = 0;
  state.alphaOn = state.alphaFromValue = 0;
  state.alphaValue = 100.0f;
  driver.commands.previewRect = driver.commands.acquireRect = platform::Rect{};
}

TEST_F(SettingsFile, SaveThenLoadRestoresEveryValue) {
  openDriverOn(camera139());
  setDistinctValues(driver);
  useFile("all.ini");
  vx::saveSettings(driver);
  scramble(driver);
  platform::headless::clearMessageBoxes();

  vx::loadSettings(driver);

  EXPECT_TRUE(boxes().empty()) << "same camera model: no validation box";
  EXPECT_FLOAT_EQ(state.exposure.preview, 20.5f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 33.25f);
  EXPECT_EQ(state.exposure.locked, 0);
  EXPECT_EQ(state.cameraAutoExposureOn, 0);
  const struct {
    NumericProperty property;
    float preview, acquire;
    std::int32_t locked;
  } expected[] = {
      {NumericProperty::GlobalGain, 2.5f, 3.25f, 0}, {NumericProperty::RedGain, 1.5f, 0.75f, 0},
      {NumericProperty::GreenGain, 1.25f, 1.75f, 1}, {NumericProperty::BlueGain, 2.0f, 2.5f, 0},
      {NumericProperty::Gamma, 0.8f, 1.6f, 0},       {NumericProperty::Hue, 30.0f, -45.0f, 0},
      {NumericProperty::Brightness, 10.0f, -20.0f, 0}, {NumericProperty::Saturation, 25.0f, -30.0f, 0},
      {NumericProperty::Contrast, 40.0f, -50.0f, 0},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(static_cast<int>(e.property));
    EXPECT_FLOAT_EQ(vx::getPreview(camera, e.property), e.preview);
    EXPECT_FLOAT_EQ(vx::getAcquire(camera, e.property), e.acquire);
    EXPECT_EQ(vx::getLocked(camera, e.property), e.locked);
  }
  EXPECT_EQ(state.mirrorHorizontal, 1);
  EXPECT_EQ(state.mirrorVertical, 0);
  EXPECT_EQ(state.lightSource, 2);
  EXPECT_EQ(state.flickerMode, 1);

  EXPECT_EQ(state.display.index, 3);
  EXPECT_EQ(state.display.width, 1280);
  EXPECT_EQ(state.display.height, 960);
  const vx::CaptureRegion preview = vx::getPreviewFormat(camera);
  EXPECT_EQ(preview.index, 3);
  EXPECT_EQ(preview.width, 1280);
  EXPECT_EQ(preview.height, 960);
  EXPECT_EQ(preview.offsetX, 16);
  EXPECT_EQ(preview.offsetY, 8);
  EXPECT_EQ(preview.factorX, 1);
  EXPECT_EQ(preview.binningX, 0);
  const vx::CaptureRegion acquire = vx::getAcquireGeometry(camera);
  EXPECT_EQ(acquire.index, 5);
  EXPECT_EQ(acquire.width, 800);
  EXPECT_EQ(acquire.height, 600);
  EXPECT_EQ(acquire.offsetX, 200);
  EXPECT_EQ(acquire.offsetY, 100);
  EXPECT_EQ(acquire.factorX, 2);
  EXPECT_EQ(acquire.factorY, 2);
  EXPECT_EQ(acquire.binningX, 1);
  EXPECT_EQ(acquire.binningY, 0);
  // The selected acquisition size is the list entry's: camera 139's sixth
  // acquisition entry is "800 x 600 (subsampled by 2)".
  EXPECT_EQ(state.acquisition.selectedWidth, 800);
  EXPECT_EQ(state.acquisition.selectedHeight, 600);
  EXPECT_EQ(driver.commands.previewRect, (platform::Rect{0, 0, 1280, 960}));
  EXPECT_EQ(driver.commands.acquireRect, (platform::Rect{0, 0, 800, 600}));

  const vx::OverlayOptions overlay = vx::getOverlayOptions(camera);
  EXPECT_EQ(overlay.on, 1);
  EXPECT_EQ(overlay.onPreview, 1);
  EXPECT_EQ(overlay.onCapture, 1);
  EXPECT_EQ(overlay.column, 2);
  EXPECT_EQ(overlay.row, 1);
  const vx::AlphaOptions alpha = vx::getAlphaOptions(camera);
  EXPECT_EQ(alpha.on, 1);
  EXPECT_EQ(alpha.fromValue, 1);
  EXPECT_FLOAT_EQ(alpha.value, 42.5f);
}

TEST_F(SettingsFile, LoadAppliesValuesToTheCameraAndLogs) {
  openDriverOn(camera139());
  loadText("[Camera]\nID=139\n[Exposure]\nValuePvw=20.5\nValueAcq=7.25\n"
           "[Global Gain]\nValuePvw=2.0\n[Mirror]\nX=0\nY=1\n");
  // The preview values reach the camera through the accessors.
  EXPECT_FLOAT_EQ(*vzsim::propertyValue(1, PropExposure), 20.5f);
  EXPECT_FLOAT_EQ(*vzsim::propertyValue(1, PropFlipping), 2.0f) << "vertical mirror only";
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::GlobalGain), 2.0f);

  const auto all = lines();
  const auto at = [&](const std::string& line) {
    return std::find(all.begin(), all.end(), line) - all.begin();
  };
  EXPECT_EQ(std::count(all.begin(), all.end(), "*************************Exposure: 20.500000"), 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), "*************************Exposure: 7.250000"), 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), "Init from program called!"), 1);
  EXPECT_LT(at("*************************Exposure: 20.500000"), at("*************************Exposure: 7.250000"));
  // Written after gamma and before hue.
  EXPECT_LT(at("Value gamma: 1.00"), at("Init from program called!"));
  EXPECT_LT(at("Init from program called!"), at("PIXORA QUORVEL DRIVER: Hue has been changed in camera."));
}

TEST_F(SettingsFile, EmptyFileLoadsTheDefaults) {
  // A camera of id 0 matches the file's default model id.
  openDriverOn(vzsim::defaultModel(0));
  scramble(driver);
  vx::setAcquisitionGeometry(camera, 0, 320, 240, 8, 8, 2, 2, 1, 1);
  platform::headless::clearMessageBoxes();
  loadText("");

  EXPECT_TRUE(boxes().empty());
  EXPECT_FLOAT_EQ(state.exposure.preview, 50.0f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 50.0f);
  EXPECT_EQ(state.exposure.locked, 1);
  for (NumericProperty p : {NumericProperty::GlobalGain, NumericProperty::RedGain, NumericProperty::GreenGain,
                            NumericProperty::BlueGain, NumericProperty::Gamma}) {
    EXPECT_FLOAT_EQ(vx::getPreview(camera, p), 1.0f);
    EXPECT_FLOAT_EQ(vx::getAcquire(camera, p), 1.0f);
  }
  for (NumericProperty p : {NumericProperty::Hue, NumericProperty::Brightness, NumericProperty::Saturation,
                            NumericProperty::Contrast}) {
    EXPECT_FLOAT_EQ(vx::getPreview(camera, p), 0.0f);
    EXPECT_FLOAT_EQ(vx::getAcquire(camera, p), 0.0f);
  }
  for (int p = 0; p < vx::kNumericPropertyCount; ++p)
    EXPECT_EQ(vx::getLocked(camera, static_cast<NumericProperty>(p)), 1) << p;
  for (const vx::CaptureRegion& region : {vx::getPreviewFormat(camera), vx::getAcquireGeometry(camera)}) {
    EXPECT_EQ(region.index, 0);
    EXPECT_EQ(region.width, 640);
    EXPECT_EQ(region.height, 480);
    EXPECT_EQ(region.offsetX, 0);
    EXPECT_EQ(region.offsetY, 0);
    EXPECT_EQ(region.factorX, 1);
    EXPECT_EQ(region.factorY, 1);
    EXPECT_EQ(region.binningX, 0);
    EXPECT_EQ(region.binningY, 0);
  }
  EXPECT_EQ(driver.commands.previewRect, (platform::Rect{0, 0, 640, 480}));
  EXPECT_EQ(driver.commands.acquireRect, (platform::Rect{0, 0, 640, 480}));
  EXPECT_EQ(state.display.width, 640);
  EXPECT_EQ(state.display.height, 480);
  EXPECT_EQ(state.overlayOn, 0);
  EXPECT_FLOAT_EQ(state.alphaValue, 100.0f);
}

TEST_F(SettingsFile, HueAndTheOtherWholeNumbersDropTheirFraction) {
  openDriverOn(camera139());
  loadText("[Camera]\nID=139\n[Hue]\nValuePvw=12.7\nValueAcq=-3.9\n"
           "[Brightness]\nValuePvw=45.5\n[Contrast]\nValueAcq=-7.99\n");
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::Hue), 12.0f);
  EXPECT_FLOAT_EQ(vx::getAcquire(camera, NumericProperty::Hue), -3.0f);
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::Brightness), 45.0f);
  EXPECT_FLOAT_EQ(vx::getAcquire(camera, NumericProperty::Contrast), -7.0f);

  // Hue is written without decimals, so a fraction is rounded on the way out.
  vx::setPreview(camera, NumericProperty::Hue, 12.7f);
  useFile("hue.ini");
  vx::saveSettings(driver);
  EXPECT_EQ(sectionLines(file("hue.ini"), "Hue"),
            (std::vector<std::string>{"ValuePvw=13", "ValueAcq=-3", "Locked=1"}));
  vx::loadSettings(driver);
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::Hue), 13.0f);
}

TEST_F(SettingsFile, SaveWritesTheSectionsAndKeysInOrder) {
  openDriverOn(camera139());
  setDistinctValues(driver);
  useFile("order.ini");
  vx::saveSettings(driver);
  const std::string path = file("order.ini");

  EXPECT_EQ(sections(path),
            (std::vector<std::string>{"Camera", "Exposure", "Global Gain", "White Balance", "Gamma", "Hue",
                                      "Brightness", "Saturation", "Contrast", "Mirror", "Image Correction",
                                      "Resolution", "ResolutionAcq", "Overlay"}));
  EXPECT_EQ(sectionLines(path, "Camera"), (std::vector<std::string>{"ID=139"}));
  EXPECT_EQ(sectionLines(path, "Exposure"),
            (std::vector<std::string>{"ValuePvw=20.500", "ValueAcq=33.250", "Locked=0",
                                      "Value Brightness Target=90.000", "Auto Exposure On=0",
                                      "Frame Rate Index=0"}));
  EXPECT_EQ(sectionLines(path, "White Balance"),
            (std::vector<std::string>{"ValuePvwR=1.500", "ValuePvwG=1.250", "ValuePvwB=2.000", "ValueAcqR=0.750",
                                      "ValueAcqG=1.750", "ValueAcqB=2.500", "LockedR=0", "LockedG=1",
                                      "LockedB=0"}));
  EXPECT_EQ(sectionLines(path, "Brightness"),
            (std::vector<std::string>{"ValuePvw=10.000", "ValueAcq=-20.000", "Locked=0"}));
  EXPECT_EQ(sectionLines(path, "Resolution"),
            (std::vector<std::string>{"Window Size Index=3", "Window Size Width=1280", "Window Size Height=960",
                                      "Index=3", "Width=1280", "Height=960", "OffsetX=16", "OffsetY=8",
                                      "BinningSubsamplingX=1", "BinningSubsamplingY=1", "BinningOnX=0",
                                      "BinningOnY=0"}));
  EXPECT_EQ(sectionLines(path, "Overlay"),
            (std::vector<std::string>{"UseOverlay=1", "OnPreview=1", "OnCapture=1", "PositionX=2", "PositionY=1",
                                      "Alpha Use=1", "Alpha Use Value=1", "Alpha Value=42.500"}));
}

TEST_F(SettingsFile, AcquisitionBinningFlagsComeBackFromResolutionAcq) {
  openDriverOn(camera139());
  vx::setPreviewGeometry(camera, 0, 2048, 1536, 0, 0, 1, 1, 0, 0);
  vx::setAcquisitionGeometry(camera, 2, 640, 480, 0, 0, 2, 2, 1, 0);
  useFile("binning.ini");
  vx::saveSettings(driver);
  EXPECT_EQ(sectionLines(file("binning.ini"), "ResolutionAcq"),
            (std::vector<std::string>{"Index=2", "Width=640", "Height=480", "OffsetX=0", "OffsetY=0",
                                      "BinningSubsamplingX=2", "BinningSubsamplingY=2", "BinningOnX=1",
                                      "BinningOnY=0"}));

  vx::setAcquisitionMode(camera, 0);  // no binning
  vx::loadSettings(driver);
  EXPECT_EQ(state.acquisition.binningX, 1);
  EXPECT_EQ(state.acquisition.binningY, 0);
  EXPECT_EQ(state.preview.binningX, 0) << "the preview keeps its own flags";
}

TEST_F(SettingsFile, OverlayFilePathsAreNeitherWrittenNorApplied) {
  openDriverOn(camera139());
  useFile("paths.ini");
  writeText(file("paths.ini"),
            "[Overlay]\nFilePath=C:\\overlays\\logo.bmp\nAlpha FilePath=C:\\overlays\\alpha.bmp\n");
  state.overlayFilePath.assign("/data/ov.bmp");
  state.alphaFilePath.assign("/data/al.bmp");

  vx::saveSettings(driver);
  const auto overlay = sectionLines(file("paths.ini"), "Overlay");
  EXPECT_EQ(std::count(overlay.begin(), overlay.end(), "FilePath=C:\\overlays\\logo.bmp"), 1);
  EXPECT_EQ(std::count(overlay.begin(), overlay.end(), "Alpha FilePath=C:\\overlays\\alpha.bmp"), 1);
  EXPECT_EQ(std::count_if(overlay.begin(), overlay.end(),
                          [](const std::string& l) { return l.find("FilePath=") != std::string::npos; }),
            2);

  vx::loadSettings(driver);
  EXPECT_EQ(state.overlayFilePath.view(), "/data/ov.bmp");
  EXPECT_EQ(state.alphaFilePath.view(), "/data/al.bmp");
}

TEST_F(SettingsFile, AnotherModelShowsTheBoxOnceAndFallsBackToEntryZero) {
  openDriverOn(camera139());
  state.frameRateChoice = 3;
  loadText("[Camera]\nID=160\n[Exposure]\nValuePvw=100000\nValueAcq=-5\nFrame Rate Index=7\n"
           "[Resolution]\nWindow Size Index=4\nWindow Size Width=1024\nWindow Size Height=768\n"
           "Index=4\nWidth=1024\nHeight=768\nOffsetX=32\nOffsetY=16\n"
           "[ResolutionAcq]\nIndex=2\nWidth=1280\nHeight=1024\n");

  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, kModelChangedText);
  EXPECT_EQ(shown[0].caption, "Camera Model Validation");
  EXPECT_EQ(shown[0].owner, state.hostWindow);

  // Held inside the camera's range, 0 to 261.33 ms: the slowest rate,
  // 3.75 fps, has a period of 1000 / 3.75 = 266.67 ms, less 2 % = 261.33 ms.
  EXPECT_FLOAT_EQ(state.exposure.preview, 261.33f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 0.0f);
  EXPECT_EQ(state.frameRateChoice, 3) << "the frame-rate index is not applied";

  // Entry 0 of both of camera 139's lists is the whole 2048 x 1536 sensor.
  EXPECT_EQ(state.display.index, 0);
  EXPECT_EQ(state.display.width, 2048);
  EXPECT_EQ(state.preview.index, 0);
  EXPECT_EQ(state.preview.width, 2048);
  EXPECT_EQ(state.preview.height, 1536);
  EXPECT_EQ(state.preview.offsetX, 0);
  EXPECT_EQ(state.acquisition.index, 0);
  EXPECT_EQ(state.acquisition.width, 2048);
  EXPECT_EQ(state.acquisition.selectedWidth, 2048);
  // The rectangles still take the sizes written in the file.
  EXPECT_EQ(driver.commands.previewRect, (platform::Rect{0, 0, 1024, 768}));
  EXPECT_EQ(driver.commands.acquireRect, (platform::Rect{0, 0, 1280, 1024}));
}

TEST_F(SettingsFile, SameModelKeepsExposuresAsStored) {
  openDriverOn(camera139());
  loadText("[Camera]\nID=139\n[Exposure]\nValuePvw=100000\nValueAcq=-5\n");
  EXPECT_TRUE(boxes().empty());
  EXPECT_FLOAT_EQ(state.exposure.preview, 100000.0f) << "stored; the camera refuses it";
  EXPECT_FLOAT_EQ(state.exposure.acquire, -5.0f);
}

TEST_F(SettingsFile, IndicesAreHeldInsideTheLists) {
  openDriverOn(camera139());
  loadText("[Camera]\nID=139\n[Resolution]\nWindow Size Index=40\nWindow Size Width=640\n"
           "Window Size Height=480\nIndex=99\nWidth=640\nHeight=480\n"
           "[ResolutionAcq]\nIndex=-3\nWidth=1024\nHeight=768\n");
  // Camera 139 has eight preview entries: 40 is held at the last, 7.
  EXPECT_EQ(state.display.index, 7);
  EXPECT_EQ(state.preview.index, 7);
  EXPECT_EQ(state.acquisition.index, 0);
  EXPECT_EQ(state.acquisition.width, 1024) << "the region is taken as stored";
  EXPECT_EQ(state.acquisition.selectedWidth, 2048);
  EXPECT_EQ(state.acquisition.selectedHeight, 1536);
}

TEST_F(SettingsFile, BrightnessTargetIsResetAndAutoExposureSetOnACapableCamera) {
  openDriverOn(camera139());
  state.cameraAutoExposureOn = 1;
  loadText("[Camera]\nID=139\n[Exposure]\nValue Brightness Target=99\nAuto Exposure On=0\n");
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 150.0f) << "the stored target is not taken";
  EXPECT_FLOAT_EQ(*vzsim::propertyValue(1, PropAutoExposureTarget), 150.0f);
  EXPECT_EQ(state.cameraAutoExposureOn, 0);
}

TEST_F(SettingsFile, CameraWithoutAutoExposureKeepsItsTarget) {
  openDriverOn(vzsim::defaultModel(27));
  ASSERT_EQ(state.model.autoExposureCapable, 0);
  state.autoExposureTarget = 123.0f;
  state.cameraAutoExposureOn = 1;
  loadText("[Camera]\nID=27\n[Exposure]\nValue Brightness Target=99\nAuto Exposure On=0\n");
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 123.0f);
  EXPECT_EQ(state.cameraAutoExposureOn, 1);
}

TEST_F(SettingsFile, UnreadableNumbersReadAsZeroAndEmptyOnesAsTheDefault) {
  openDriverOn(camera139());
  state.overlayFilePath.assign("/data/ov.bmp");
  state.frameRateChoice = 2;
  const std::string text =
      "garbage line without equals\n"
      "[Camera]\nID=139\n"
      "[Global Gain]\nValuePvw=abc\nValueAcq=2.5x\nLocked=yes\n"
      "[Gamma]\nValuePvw=\nValueAcq=   \nLocked=\n"
      "[Hue]\nValuePvw=x12\nValueAcq=-\n"
      "[Exposure\nValuePvw=12\n";  // a header without its bracket is still a section
  loadText(text);

  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::GlobalGain), 0.0f);
  EXPECT_FLOAT_EQ(vx::getAcquire(camera, NumericProperty::GlobalGain), 2.5f);
  EXPECT_EQ(vx::getLocked(camera, NumericProperty::GlobalGain), 0);
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::Gamma), 1.0f);
  EXPECT_FLOAT_EQ(vx::getAcquire(camera, NumericProperty::Gamma), 1.0f);
  EXPECT_EQ(vx::getLocked(camera, NumericProperty::Gamma), 1);
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::Hue), 0.0f);
  EXPECT_FLOAT_EQ(vx::getAcquire(camera, NumericProperty::Hue), 0.0f);
  EXPECT_FLOAT_EQ(state.exposure.preview, 12.0f);

  // What the load does not apply stays, and the file is only read.
  EXPECT_EQ(state.overlayFilePath.view(), "/data/ov.bmp");
  EXPECT_EQ(state.frameRateChoice, 2);
  EXPECT_EQ(readText(file("load.ini")), text);
}

TEST_F(SettingsFile, WithoutAPathNothingIsWrittenOrRead) {
  openDriverOn(camera139());
  driver.commands.settingsPath.clear();
  vx::setPreview(camera, NumericProperty::GlobalGain, 2.5f);
  vx::saveSettings(driver);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));

  vx::loadSettings(driver);
  EXPECT_TRUE(boxes().empty()) << "no model check without a file";
  EXPECT_FLOAT_EQ(vx::getPreview(camera, NumericProperty::GlobalGain), 2.5f);
}

} // namespace
