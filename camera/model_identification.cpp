#include "camera/model_identification.h"

#include "camera/property_scale.h"
#include "camera/snapshot.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"
#include "engines/resolution_table.h"

#include <algorithm>
#include <cmath>

namespace vx {
namespace {

struct ModelName {
  std::uint32_t id;
  const char* name;
};

constexpr ModelName kModels[] = {
    {23, "Model 01 Special"}, {32, "Model 02 - OEM"}, {134, "Model 03"},
    {138, "Model 04"},        {139, "Model 05"},       {141, "Model 06"},
    {145, "Model 07 Monocrome"}, {146, "Model 08"},    {147, "Model 09"},
    {148, "Model 10"},        {149, "Model 07 Color"}, {150, "Model 11"},
    {151, "Model 01"},        {156, "Model 01"},       {152, "Model 12"},
    {154, "Model 13"},        {155, "Model 14"},       {158, "Model 15"},
    {160, "Model 02"},        {161, "Model 16"},       {162, "Model 17"},
    {163, "Model 18"},        {164, "Model 19"},       {165, "Model 20"},
    {384, "Model 21"},        {390, "Model 22"},       {417, "Model 23"},
    {418, "Model 24"},        {419, "Model 25"},       {420, "Model 26"},
    {421, "Model 27"},        {422, "Model 28"},       {423, "Model 29"},
    {424, "Model 30"},        {456, "Model 31"},
};

constexpr std::uint32_t kAutoExposureIds[] = {23,  32,  139, 141, 146, 151, 156,
                                              158, 160, 161, 163, 390, 394, 410,
                                              411, 417, 418, 419, 420, 421};

bool openedBefore(const DriverState& state, Section section) {
  return state.section(section).openedOnce != 0;
}

void error(const DriverState& state, const char* format, std::uint32_t code) {
  messageBoxf(state.hostWindow, "ERROR", format, static_cast<int>(code));
}

std::string versionText4(std::uint32_t v) {
  return formatText("%d.%d.%d.%d", static_cast<int>((v >> 24) & 0xFF), static_cast<int>((v >> 16) & 0xFF),
                    static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
}

std::string versionText2(std::uint32_t v) {
  return formatText("%d.%d", static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
}

// Reads a property's range into the pair's camera fields. Returns whether it
// could be read; the pair keeps its previous values otherwise.
bool readRange(const DriverState& state, int property, PropertyPair& p) {
  float minimum = 0, maximum = 0, defaultValue = 0;
  std::uint32_t flags = 0;
  if (VarcamPropertyRange(state.sessionCameraHandle, property, &minimum, &maximum, &defaultValue,
                          &flags) == 0)
    return false;
  p.cameraMin = minimum;
  p.cameraMax = maximum;
  p.cameraDefault = defaultValue;
  return true;
}

void logRange(const char* name, const PropertyPair& p) {
  logLine("PIXORA QUORVEL DRIVER: %s range retreived from camera.", name);
  logLine("Min: %f, max: %f, def: %f", static_cast<double>(p.cameraMin),
          static_cast<double>(p.cameraMax), static_cast<double>(p.cameraDefault));
}

bool readValue(const DriverState& state, int property, float& value) {
  std::uint32_t flags = 0;
  return VarcamGetProperty(state.sessionCameraHandle, property, &value, &flags) != 0;
}

// Brightness, hue and saturation: a linear user scale of their own.
void identifyLinear(DriverState& state, int property, PropertyPair& p, const char* name,
                    float userMin, float userMax, const char* rangeFailure,
                    const char* readLog, const char* readFailure) {
  if (readRange(state, property, p))
    logRange(name, p);
  else
    error(state, rangeFailure, VarcamGetLastError());
  p.userMin = userMin;
  p.userMax = userMax;
  logLine("%s", readLog);
  float value = 0;
  if (readValue(state, property, value)) {
    p.preview = p.acquire = userFromCamera(p, value);
  } else {
    error(state, readFailure, VarcamGetLastError());
  }
}

void identifyContrast(DriverState& state) {
  PropertyPair& p = state.contrast;
  if (readRange(state, PropContrast, p)) {
    p.cameraMax = 10.0f;
    logRange("Contrast", p);
  } else {
    error(state, "Could not get contrast: %d", VarcamGetLastError());
  }
  p.userMin = -100.0f;
  p.userMax = 100.0f;
  p.userDefault = 0.0f;
  logLine("Getting the contrast...");
  float value = 0;
  if (readValue(state, PropContrast, value))
    p.preview = p.acquire = contrastUserFromCamera(p, value);
  else
    error(state, "Could not get contrast: %d", VarcamGetLastError());
}

void identifyExposure(DriverState& state) {
  PropertyPair& p = state.exposure;
  const ExposureController* controller = state.exposureController.get();
  if (controller != nullptr) {
    p.cameraMin = controller->minExposure;
    p.cameraMax = roundToHundredths(controller->maxExposure);
  }
  p.userMin = p.cameraMin;
  p.userMax = p.cameraMax;
  state.autoExposureTargetMin = 0.0f;
  state.autoExposureTargetMax = 255.0f;
  state.autoExposureTargetDefault = 170.0f;
  state.autoExposureTarget = 170.0f;
  state.exposureDefault = 50.0f;
  logLine("Getting the exposure...");
  if (controller != nullptr) p.preview = p.acquire = state.exposureController->getExposure();
  state.cameraAutoExposureOn = 0;
  state.frameRateChoice = 0;
  state.exposureEditState = 0;
}

// Global gain and gamma: the user maximum is the camera maximum rounded down
// to hundredths.
void identifyRounded(DriverState& state, int property, PropertyPair& p, const char* name,
                     const char* readLog, const char* failure, bool userMinFromCamera) {
  if (readRange(state, property, p))
    logRange(name, p);
  else
    error(state, failure, VarcamGetLastError());
  p.userMin = userMinFromCamera ? p.cameraMin : 1.0f;
  p.userMax = roundToHundredths(p.cameraMax);
  p.userDefault = 1.0f;
  logLine("%s", readLog);
  float value = 0;
  if (readValue(state, property, value))
    p.preview = p.acquire = userFromCamera(p, value);
  else
    error(state, failure, VarcamGetLastError());
}

void identifyColourGains(DriverState& state) {
  struct Gain {
    int property;
    PropertyPair& pair;
    std::int32_t& available;
    const char* name;
    bool integerLog;
    const char* readFailure;
  };
  Gain gains[] = {
      {PropGainRed, state.redGain, state.redGainAvailable, "Red gain", false,
       "Could not get red gain: %d"},
      {PropGainGreen1, state.greenGain, state.greenGainAvailable, "Green gain", true,
       "Could not get green gain: %d"},
      {PropGainBlue, state.blueGain, state.blueGainAvailable, "Blue gain", true,
       "Could not get blue gain: %d"},
  };
  for (Gain& g : gains) {
    g.available = readRange(state, g.property, g.pair) ? 1 : 0;
    if (g.available != 0) {
      logLine("PIXORA QUORVEL DRIVER: %s range retreived from camera.", g.name);
      if (g.integerLog)
        logLine("Min: %d, max: %d, def: %d", static_cast<int>(g.pair.cameraMin),
                static_cast<int>(g.pair.cameraMax), static_cast<int>(g.pair.cameraDefault));
      else
        logLine("Min: %f, max: %f, def: %f", static_cast<double>(g.pair.cameraMin),
                static_cast<double>(g.pair.cameraMax), static_cast<double>(g.pair.cameraDefault));
    }
    g.pair.userMin = g.pair.cameraMin;
    g.pair.userMax = roundToHundredths(g.pair.cameraMax);
    g.pair.userDefault = 1.0f;
  }
  logLine("Getting the gains...");
  for (Gain& g : gains) {
    if (g.available == 0) continue;
    float value = 0;
    if (readValue(state, g.property, value))
      g.pair.preview = g.pair.acquire = userFromCamera(g.pair, value);
    else
      error(state, g.readFailure, VarcamGetLastError());
  }
}

void resetImageCorrection(DriverState& state) {
  state.lightSource = 0;
  state.flickerMode = 0;
  state.backgroundStored = 0;
  state.darkFrameStored = 0;
  state.backgroundCorrectionOn = 0;
  state.darkSubtractionOn = 0;
  state.backgroundCallbackId = -1;
  state.darkCallbackId = -1;
  state.corrections.replaceDark(nullptr);
  state.corrections.replaceBackground(nullptr);
  setColourCorrection(state, 0);
}

void resetOverlaySettings(DriverState& state) {
  state.overlayOn = 0;
  state.overlayOnPreview = 0;
  state.overlayOnCapture = 0;
  state.overlayColumn = 0;
  state.overlayRow = 0;
  state.overlayFilePath.clear();
  state.alphaOn = 0;
  state.alphaFromValue = 0;
  state.alphaValue = 100.0f;
  state.alphaFilePath.clear();
}

// Geometry from the resolution table. Indices kept from an earlier camera
// (when the resolution panel was opened before) are held inside the new
// table's lists.
void loadGeometry(DriverState& state) {
  const ResolutionTable* table = state.resolutionTable.get();
  if (table == nullptr) return;
  state.sensorMaxWidth = table->sensorWidth;
  state.sensorMaxHeight = table->sensorHeight;
  if (table->previewCount > 0) {
    state.displayIndex = std::clamp(state.displayIndex, 0, table->previewCount - 1);
    state.previewIndex = std::clamp(state.previewIndex, 0, table->previewCount - 1);
    const ResolutionMode& display = table->previewModes[static_cast<std::size_t>(state.displayIndex)];
    state.displayWidth = display.width / std::max<int>(display.factorX, 1);
    state.displayHeight = display.height / std::max<int>(display.factorY, 1);
    const ResolutionMode& preview = table->previewModes[static_cast<std::size_t>(state.previewIndex)];
    state.previewWidth = state.selectedWidth = preview.width;
    state.previewHeight = state.selectedHeight = preview.height;
    state.previewFactorX = preview.factorX;
    state.previewFactorY = preview.factorY;
    state.previewBinningX = preview.binningX;
    state.previewBinningY = preview.binningY;
  }
  if (table->acquireCount > 0) {
    state.acqIndex = std::clamp(state.acqIndex, 0, table->acquireCount - 1);
    const ResolutionMode& acquire = table->acquireModes[static_cast<std::size_t>(state.acqIndex)];
    state.acqWidth = state.acqSelectedWidth = acquire.width;
    state.acqHeight = state.acqSelectedHeight = acquire.height;
    state.acqFactorX = acquire.factorX;
    state.acqFactorY = acquire.factorY;
    state.acqBinningX = acquire.binningX;
    state.acqBinningY = acquire.binningY;
  }
}

} // namespace

const char* modelNameFor(std::uint32_t cameraId) {
  for (const ModelName& m : kModels)
    if (m.id == cameraId) return m.name;
  return "Unknown model";
}

bool autoExposureCapableId(std::uint32_t cameraId) {
  return std::find(std::begin(kAutoExposureIds), std::end(kAutoExposureIds), cameraId) !=
         std::end(kAutoExposureIds);
}

std::int32_t roiWidthStepFor(std::uint32_t cameraId) {
  return cameraId == 155 || cameraId == 164 ? 32 : 8;
}

std::int32_t roiHeightStepFor(std::uint32_t cameraId) {
  return cameraId == 155 || cameraId == 164 ? 16 : 8;
}

int identifyModel(DriverState& state) {
  VarcamHandle camera = state.sessionCameraHandle;
  state.grayscaleRequested = 0;
  std::uint32_t id = 0;
  if (VarcamGetCameraId(camera, &id) != 0) {
    state.cameraId = id;
    state.autoExposureCapable = autoExposureCapableId(id) ? 1 : 0;
    state.roiWidthStep = roiWidthStepFor(id);
    state.roiHeightStep = roiHeightStepFor(id);
    FrameFormatRecord format{};
    float rate = 0;
    if (VarcamGetFormat(camera, &format, &rate) == 0) {
      platform::messageBox(state.hostWindow,
                           "Unable to get camera video format. Snapshot mode disabled.", "ERROR",
                           platform::MB_OK);
      return 0;
    }
  } else {
    error(state, "Could not get camera ID: %d", VarcamGetLastError());
  }

  if (!openedBefore(state, Section::CameraInfo)) {
    std::uint32_t infoId = 0;
    if (VarcamGetCameraId(camera, &infoId) != 0)
      state.modelName = modelNameFor(infoId);
    else
      error(state, "Could not get camera ID: %d", VarcamGetLastError());
    CameraVersionRecord version{};
    if (VarcamQueryVersion(camera, &version) != 0) {
      state.serialNumberText = formatText("%d", static_cast<int>(version.serialNumber));
      state.apiVersionText = versionText4(version.apiVersion);
      state.driverVersionText = versionText4(version.driverVersion);
      state.firmwareVersionText = versionText2(version.firmwareVersion);
      state.fpgaVersionText = versionText2(version.fpgaVersion);
    } else {
      error(state, "Could not get camera version: %d", VarcamGetLastError());
    }
  }

  if (!openedBefore(state, Section::Brightness))
    identifyLinear(state, PropBrightness, state.brightness, "Brightness", -100.0f, 100.0f,
                   "Could not get brightness range: %d", "Getting the brightness...",
                   "Could not get brightness: %d");
  if (!openedBefore(state, Section::Contrast)) identifyContrast(state);
  if (!openedBefore(state, Section::Hue))
    identifyLinear(state, PropHue, state.hue, "Hue", -180.0f, 180.0f, "Could not get hue: %d",
                   "Getting the hue...", "Could not get hue: %d");
  if (!openedBefore(state, Section::Saturation)) {
    identifyLinear(state, PropSaturation, state.saturation, "Saturation", -100.0f, 100.0f,
                   "Could not get saturation: %d", "Getting the saturation...",
                   "Could not get saturation: %d");
    state.saturation.userDefault = 0.0f;
  }
  if (!openedBefore(state, Section::Exposure)) identifyExposure(state);
  if (!openedBefore(state, Section::GlobalGain))
    identifyRounded(state, PropGain, state.globalGain, "Global Gain", "Getting the global gain...",
                    "Could not get global gain: %d", false);
  if (!openedBefore(state, Section::Gamma))
    identifyRounded(state, PropGamma, state.gamma, "Gamma", "Getting the gamma...",
                    "Could not get gamma: %d", true);
  if (!openedBefore(state, Section::WhiteBalance)) identifyColourGains(state);
  if (!openedBefore(state, Section::ImageCorrection)) resetImageCorrection(state);
  if (!openedBefore(state, Section::Overlay)) resetOverlaySettings(state);
  if (!openedBefore(state, Section::Resolution)) {
    state.displayIndex = 0;
    state.previewIndex = 0;
    state.acqIndex = 0;
  }

  logLine("Resolutions fini...");
  loadGeometry(state);
  return 1;
}

} // namespace vx
