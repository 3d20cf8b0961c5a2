#include "driver/settings_file.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "base/debug_log.h"
#include "driver/profile_values.h"
#include "camera/property_accessors.h"
#include "engines/resolution_table.h"

#include <algorithm>
#include <string>

namespace vx {
namespace {

constexpr const char* kModelChangedText =
    "The camera model of the last Settings file is different than the camera currently "
    "connected.  Settings will be modified to conform with the current camera.";

// The keys of one preview/acquire pair.
struct PairKeys {
  const char* section;
  const char* preview;
  const char* acquire;
  const char* locked;
};

// ---- saving -------------------------------------------------------------------------

void savePair(const ProfileWriter& file, const CameraSession& camera, NumericProperty property,
              const PairKeys& keys) {
  file.decimal(keys.section, keys.preview, getPreview(camera, property));
  file.decimal(keys.section, keys.acquire, getAcquire(camera, property));
  file.integer(keys.section, keys.locked, getLocked(camera, property));
}

void saveRegion(const ProfileWriter& file, const char* section, const CaptureRegion& region) {
  file.integer(section, "Index", region.index);
  file.integer(section, "Width", region.width);
  file.integer(section, "Height", region.height);
  file.integer(section, "OffsetX", region.offsetX);
  file.integer(section, "OffsetY", region.offsetY);
  file.integer(section, "BinningSubsamplingX", region.factorX);
  file.integer(section, "BinningSubsamplingY", region.factorY);
  file.integer(section, "BinningOnX", region.binningX);
  file.integer(section, "BinningOnY", region.binningY);
}

// ---- loading ------------------------------------------------------------------------

// Compares the file's camera model with the connected one and tells the
// user when they differ. Returns whether the model changed.
bool checkModel(const Driver& driver, const ProfileReader& file) {
  const DriverState& state = driver.state;
  const std::int32_t id = file.integerText("Camera", "ID", "0");
  if (static_cast<std::uint32_t>(id) == state.model.cameraId) return false;
  platform::messageBox(state.hostWindow, kModelChangedText, "Camera Model Validation", platform::MB_OK);
  return true;
}

// An exposure from a file written for another model, held inside the range
// of the connected camera.
float fitExposure(const Driver& driver, float exposure) {
  float minimum = 0.0f;
  float maximum = 0.0f;
  getExposureRange(driver.camera, minimum, maximum);
  return std::max(minimum, std::min(exposure, maximum));
}

void loadExposure(Driver& driver, const ProfileReader& file, bool modelChanged) {
  float preview = file.decimalText("Exposure", "ValuePvw", "50.0");
  if (modelChanged) preview = fitExposure(driver, preview);
  setPreviewExposure(driver.camera, preview);
  logLine("*************************Exposure: %f", static_cast<double>(preview));

  float acquire = file.decimalText("Exposure", "ValueAcq", "50.0");
  if (modelChanged) acquire = fitExposure(driver, acquire);
  setExposureAcquire(driver.camera, acquire);
  logLine("*************************Exposure: %f", static_cast<double>(acquire));

  setExposureLocked(driver.camera, file.integer("Exposure", "Locked", 1));

  if (getAutoExposureCapable(driver.camera) != 0) {
    // The stored target is not taken: every load starts auto exposure from
    // the same target.
    file.decimalText("Exposure", "Value Brightness Target", "170");
    setBrightnessTarget(driver.camera, 150.0f);
    setCameraAutoExposure(driver.camera, file.integer("Exposure", "Auto Exposure On", 1));
  }
  // The frame-rate index is kept in the file for information only: the
  // exposure controller chooses the rate from the exposure.
  file.integerText("Exposure", "Frame Rate Index", "0");
}

void loadDecimalPair(Driver& driver, const ProfileReader& file, NumericProperty property,
                     const PairKeys& keys, const char* defaultText) {
  setPreview(driver.camera, property, file.decimalText(keys.section, keys.preview, defaultText));
  setAcquire(driver.camera, property, file.decimalText(keys.section, keys.acquire, defaultText));
  setLocked(driver.camera, property, file.integer(keys.section, keys.locked, 1));
}

// Hue, brightness, saturation and contrast are whole numbers on the user
// scale: their fraction is dropped.
void loadIntegerPair(Driver& driver, const ProfileReader& file, NumericProperty property,
                     const PairKeys& keys) {
  setPreview(driver.camera, property, static_cast<float>(file.integerText(keys.section, keys.preview, "0.0")));
  setAcquire(driver.camera, property, static_cast<float>(file.integerText(keys.section, keys.acquire, "0.0")));
  setLocked(driver.camera, property, file.integer(keys.section, keys.locked, 1));
}

const PairKeys kGlobalGainKeys{"Global Gain", "ValuePvw", "ValueAcq", "Locked"};
const PairKeys kGammaKeys{"Gamma", "ValuePvw", "ValueAcq", "Locked"};
const PairKeys kHueKeys{"Hue", "ValuePvw", "ValueAcq", "Locked"};
const PairKeys kBrightnessKeys{"Brightness", "ValuePvw", "ValueAcq", "Locked"};
const PairKeys kSaturationKeys{"Saturation", "ValuePvw", "ValueAcq", "Locked"};
const PairKeys kContrastKeys{"Contrast", "ValuePvw", "ValueAcq", "Locked"};

// The colour gains in the order the file holds them.
constexpr NumericProperty kColourGains[3] = {NumericProperty::RedGain, NumericProperty::GreenGain,
                                             NumericProperty::BlueGain};
constexpr const char* kColourPreviewKeys[3] = {"ValuePvwR", "ValuePvwG", "ValuePvwB"};
constexpr const char* kColourAcquireKeys[3] = {"ValueAcqR", "ValueAcqG", "ValueAcqB"};
constexpr const char* kColourLockKeys[3] = {"LockedR", "LockedG", "LockedB"};

void loadProperties(Driver& driver, const ProfileReader& file) {
  loadDecimalPair(driver, file, NumericProperty::GlobalGain, kGlobalGainKeys, "1.0");

  for (std::size_t i = 0; i < 3; ++i)
    setPreview(driver.camera, kColourGains[i], file.decimalText("White Balance", kColourPreviewKeys[i], "1.0"));
  for (std::size_t i = 0; i < 3; ++i)
    setAcquire(driver.camera, kColourGains[i], file.decimalText("White Balance", kColourAcquireKeys[i], "1.0"));
  for (std::size_t i = 0; i < 3; ++i)
    setLocked(driver.camera, kColourGains[i], file.integer("White Balance", kColourLockKeys[i], 1));

  loadDecimalPair(driver, file, NumericProperty::Gamma, kGammaKeys, "1.0");
  logLine("Init from program called!");

  loadIntegerPair(driver, file, NumericProperty::Hue, kHueKeys);
  loadIntegerPair(driver, file, NumericProperty::Brightness, kBrightnessKeys);
  loadIntegerPair(driver, file, NumericProperty::Saturation, kSaturationKeys);
  loadIntegerPair(driver, file, NumericProperty::Contrast, kContrastKeys);
}

CaptureRegion readRegion(const ProfileReader& file, const char* section) {
  CaptureRegion region;
  region.index = file.integerText(section, "Index", "0");
  region.width = file.integerText(section, "Width", "640");
  region.height = file.integerText(section, "Height", "480");
  region.offsetX = file.integerText(section, "OffsetX", "0");
  region.offsetY = file.integerText(section, "OffsetY", "0");
  region.factorX = file.integerText(section, "BinningSubsamplingX", "1");
  region.factorY = file.integerText(section, "BinningSubsamplingY", "1");
  region.binningX = file.integer(section, "BinningOnX", 0);
  region.binningY = file.integer(section, "BinningOnY", 0);
  return region;
}

// An index into the preview list, held inside it.
int previewListIndex(const Driver& driver, int index) {
  const ResolutionTable* table = driver.camera.resolutionTable();
  const int count = table != nullptr ? table->previewCount : 1;
  return std::clamp(index, 0, std::max(count - 1, 0));
}

void loadGeometry(Driver& driver, const ProfileReader& file, bool modelChanged) {
  const std::int32_t windowIndex = file.integerText("Resolution", "Window Size Index", "0");
  const std::int32_t windowWidth = file.integerText("Resolution", "Window Size Width", "640");
  const std::int32_t windowHeight = file.integerText("Resolution", "Window Size Height", "480");
  if (modelChanged)
    setDisplaySize(driver.camera, 0);
  else
    setDisplaySizeExplicit(driver.camera, previewListIndex(driver, windowIndex), windowWidth, windowHeight);

  const CaptureRegion preview = readRegion(file, "Resolution");
  if (modelChanged)
    setPreviewMode(driver.camera, 0);
  else  // the setter holds the index inside the preview list
    setPreviewGeometry(driver.camera, preview.index, preview.width, preview.height, preview.offsetX,
                       preview.offsetY, preview.factorX, preview.factorY, preview.binningX,
                       preview.binningY);
  driver.commands.previewRect = Rect{0, 0, preview.width, preview.height};
  driver.commands.acquireRect = driver.commands.previewRect;

  const CaptureRegion acquire = readRegion(file, "ResolutionAcq");
  if (modelChanged)
    setAcquisitionMode(driver.camera, 0);
  else  // the setter holds the index inside the acquisition list
    setAcquisitionGeometry(driver.camera, acquire.index, acquire.width, acquire.height, acquire.offsetX,
                           acquire.offsetY, acquire.factorX, acquire.factorY, acquire.binningX,
                           acquire.binningY);
  // Selecting the entry makes the selected acquisition size follow the table.
  setAcquireMode(driver.camera, modelChanged ? 0 : acquire.index);
  driver.commands.acquireRect = Rect{0, 0, acquire.width, acquire.height};
}

void loadOverlay(Driver& driver, const ProfileReader& file) {
  // The overlay and alpha bitmaps are loaded from the overlay panel only;
  // their file paths are not taken from here.
  OverlayOptions overlay;
  overlay.on = file.integer("Overlay", "UseOverlay", 0);
  overlay.onPreview = file.integer("Overlay", "OnPreview", 0);
  overlay.onCapture = file.integer("Overlay", "OnCapture", 0);
  overlay.column = file.integerText("Overlay", "PositionX", "0");
  overlay.row = file.integerText("Overlay", "PositionY", "0");
  setOverlayOptions(driver.camera, overlay);

  AlphaOptions alpha;
  alpha.on = file.integer("Overlay", "Alpha Use", 0);
  alpha.fromValue = file.integer("Overlay", "Alpha Use Value", 0);
  alpha.value = file.decimalText("Overlay", "Alpha Value", "100.0");
  setAlphaOptions(driver.camera, alpha);
}

} // namespace

void saveSettings(Driver& driver) {
  DriverState& state = driver.state;
  if (driver.commands.settingsPath.empty()) return;
  const ProfileWriter file(std::string(driver.commands.settingsPath.view()));

  file.integer("Camera", "ID", static_cast<std::int32_t>(state.model.cameraId));

  file.decimal("Exposure", "ValuePvw", getExposurePreview(driver.camera));
  file.decimal("Exposure", "ValueAcq", getExposureAcquire(driver.camera));
  file.integer("Exposure", "Locked", getExposureLocked(driver.camera));
  file.decimal("Exposure", "Value Brightness Target", getBrightnessTarget(driver.camera));
  file.integer("Exposure", "Auto Exposure On", getCameraAutoExposure(driver.camera));
  file.integer("Exposure", "Frame Rate Index", getFrameRateChoice(driver.camera));

  savePair(file, driver.camera, NumericProperty::GlobalGain, kGlobalGainKeys);

  for (std::size_t i = 0; i < 3; ++i)
    file.decimal("White Balance", kColourPreviewKeys[i], getPreview(driver.camera, kColourGains[i]));
  for (std::size_t i = 0; i < 3; ++i)
    file.decimal("White Balance", kColourAcquireKeys[i], getAcquire(driver.camera, kColourGains[i]));
  for (std::size_t i = 0; i < 3; ++i)
    file.integer("White Balance", kColourLockKeys[i], getLocked(driver.camera, kColourGains[i]));

  savePair(file, driver.camera, NumericProperty::Gamma, kGammaKeys);
  file.whole("Hue", "ValuePvw", getPreview(driver.camera, NumericProperty::Hue));
  file.whole("Hue", "ValueAcq", getAcquire(driver.camera, NumericProperty::Hue));
  file.integer("Hue", "Locked", getLocked(driver.camera, NumericProperty::Hue));
  savePair(file, driver.camera, NumericProperty::Brightness, kBrightnessKeys);
  savePair(file, driver.camera, NumericProperty::Saturation, kSaturationKeys);
  savePair(file, driver.camera, NumericProperty::Contrast, kContrastKeys);

  file.integer("Mirror", "X", getMirrorHorizontal(driver.camera));
  file.integer("Mirror", "Y", getMirrorVertical(driver.camera));

  file.integer("Image Correction", "Light Source Index", getLightSource(driver.camera));
  file.integer("Image Correction", "Frequency Index", getFlickerMode(driver.camera));

  const DisplaySize window = getDisplaySize(driver.camera);
  file.integer("Resolution", "Window Size Index", window.index);
  file.integer("Resolution", "Window Size Width", window.width);
  file.integer("Resolution", "Window Size Height", window.height);
  saveRegion(file, "Resolution", getPreviewFormat(driver.camera));
  saveRegion(file, "ResolutionAcq", getAcquireGeometry(driver.camera));

  const OverlayOptions overlay = getOverlayOptions(driver.camera);
  file.integer("Overlay", "UseOverlay", overlay.on);
  file.integer("Overlay", "OnPreview", overlay.onPreview);
  file.integer("Overlay", "OnCapture", overlay.onCapture);
  file.integer("Overlay", "PositionX", overlay.column);
  file.integer("Overlay", "PositionY", overlay.row);
  const AlphaOptions alpha = getAlphaOptions(driver.camera);
  file.integer("Overlay", "Alpha Use", alpha.on);
  file.integer("Overlay", "Alpha Use Value", alpha.fromValue);
  file.decimal("Overlay", "Alpha Value", alpha.value);
}

void loadSettings(Driver& driver) {
  if (driver.commands.settingsPath.empty()) return;
  // A copy: a message box shown during the load may let the host name
  // another file before this one is finished.
  const ProfileReader file(std::string(driver.commands.settingsPath.view()));

  const bool modelChanged = checkModel(driver, file);
  loadExposure(driver, file, modelChanged);
  loadProperties(driver, file);

  const std::int32_t vertical = file.integer("Mirror", "Y", 0);
  const std::int32_t horizontal = file.integer("Mirror", "X", 0);
  setMirror(driver.camera, horizontal, vertical);

  setLightSource(driver.camera, file.integerText("Image Correction", "Light Source Index", "0"));
  setFlickerMode(driver.camera, file.integerText("Image Correction", "Frequency Index", "0"));

  loadGeometry(driver, file, modelChanged);
  loadOverlay(driver, file);
}

} // namespace vx
