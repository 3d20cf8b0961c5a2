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

bool openedBefore(const CameraSession& camera, Section section) {
  const DriverState& state = camera.state();
  return state.panel(section).openedOnce != 0;
}

void error(const CameraSession& camera, const char* format, std::uint32_t code) {
  const DriverState& state = camera.state();
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
bool readRange(const CameraSession& camera, int property, PropertyPair& p) {
  float minimum = 0, maximum = 0, defaultValue = 0;
  std::uint32_t flags = 0;
  if (VarcamPropertyRange(camera.handle(), property, &minimum, &maximum, &defaultValue,
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

bool readValue(const CameraSession& camera, int property, float& value) {
  std::uint32_t flags = 0;
  return VarcamGetProperty(camera.handle(), property, &value, &flags) != 0;
}

// Brightness, hue and saturation: a linear user scale of their own.
void identifyLinear(CameraSession& camera, int property, PropertyPair& p, const char* name,
                    float userMin, float userMax, const char* rangeFailure,
                    const char* readLog, const char* readFailure) {
  if (readRange(camera, property, p))
    logRange(name, p);
  else
    error(camera, rangeFailure, VarcamGetLastError());
  p.userMin = userMin;
  p.userMax = userMax;
  logLine("%s", readLog);
  float value = 0;
  if (readValue(camera, property, value)) {
    p.preview = p.acquire = userFromCamera(p, value);
  } else {
    error(camera, readFailure, VarcamGetLastError());
  }
}

void identifyContrast(CameraSession& camera) {
  DriverState& state = camera.state();
  PropertyPair& p = state.contrast;
  if (readRange(camera, PropContrast, p)) {
    p.cameraMax = 10.0f;
    logRange("Contrast", p);
  } else {
    error(camera, "Could not get contrast: %d", VarcamGetLastError());
  }
  p.userMin = -100.0f;
  p.userMax = 100.0f;
  p.userDefault = 0.0f;
  logLine("Getting the contrast...");
  float value = 0;
  if (readValue(camera, PropContrast, value))
    p.preview = p.acquire = contrastUserFromCamera(p, value);
  else
    error(camera, "Could not get contrast: %d", VarcamGetLastError());
}

void identifyExposure(CameraSession& camera) {
  DriverState& state = camera.state();
  PropertyPair& p = state.exposure;
  const ExposureController* controller = camera.exposureController();
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
  if (controller != nullptr) p.preview = p.acquire = camera.exposureController()->getExposure();
  state.cameraAutoExposureOn = 0;
  state.frameRateChoice = 0;
}

// Global gain and gamma: the user maximum is the camera maximum rounded down
// to hundredths.
void identifyRounded(CameraSession& camera, int property, PropertyPair& p, const char* name,
                     const char* readLog, const char* failure, bool userMinFromCamera) {
  if (readRange(camera, property, p))
    logRange(name, p);
  else
    error(camera, failure, VarcamGetLastError());
  p.userMin = userMinFromCamera ? p.cameraMin : 1.0f;
  p.userMax = roundToHundredths(p.cameraMax);
  p.userDefault = 1.0f;
  logLine("%s", readLog);
  float value = 0;
  if (readValue(camera, property, value))
    p.preview = p.acquire = userFromCamera(p, value);
  else
    error(camera, failure, VarcamGetLastError());
}

void identifyColourGains(CameraSession& camera) {
  DriverState& state = camera.state();
  struct Gain {
    int property;
    PropertyPair& pair;
    std::int32_t& available;
    const char* name;
    bool integerLog;
    const char* readFailure;
  };
  Gain gains[] = {
      {PropGainRed, state.redGain, state.model.redGainAvailable, "Red gain", false,
       "Could not get red gain: %d"},
      {PropGainGreen1, state.greenGain, state.model.greenGainAvailable, "Green gain", true,
       "Could not get green gain: %d"},
      {PropGainBlue, state.blueGain, state.model.blueGainAvailable, "Blue gain", true,
       "Could not get blue gain: %d"},
  };
  for (Gain& g : gains) {
    g.available = readRange(camera, g.property, g.pair) ? 1 : 0;
    if (g.available != 0) {
      logLine("PIXORA QUORVEL DRIVER: %s range retreived from camera.", g.name);
      if (g.integerLog)
        logLine("Min: %d, max: %d, def: %d", static_cast<int>(g.pair.cameraMin),
                static_cast<int>(g.pair.cameraMax), static_cast<int>(g.pair.cameraDefault));
      else
        logLine("Min: %f, max: %f, def: %f", static_cast<double>(g.pair.cameraMin),
                static_cast<double>(g.pair.cameraMax), static_cast<double>(g.pair.cameraDefault));
    }
    // The gains are shown and written on one scale: the camera's maximum
    // is cut to hundredths too, so that a gain typed is the gain sent.
    g.pair.cameraMax = roundToHundredths(g.pair.cameraMax);
    g.pair.userMin = g.pair.cameraMin;
    g.pair.userMax = g.pair.cameraMax;
    g.pair.userDefault = 1.0f;
  }
  logLine("Getting the gains...");
  for (Gain& g : gains) {
    if (g.available == 0) continue;
    float value = 0;
    if (readValue(camera, g.property, value))
      g.pair.preview = g.pair.acquire = userFromCamera(g.pair, value);
    else
      error(camera, g.readFailure, VarcamGetLastError());
  }
}

void resetImageCorrection(CameraSession& camera) {
  DriverState& state = camera.state();
  state.lightSource = 0;
  state.flickerMode = 0;
  state.backgroundStored = 0;
  state.darkFrameStored = 0;
  state.backgroundCorrectionOn = 0;
  state.darkSubtractionOn = 0;
  camera.backgroundCallbackId = -1;
  camera.darkCallbackId = -1;
  camera.corrections.replaceDark(nullptr);
  camera.corrections.replaceBackground(nullptr);
  setColourCorrection(camera, 0);
}

void resetOverlaySettings(CameraSession& camera) {
  DriverState& state = camera.state();
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
void loadGeometry(CameraSession& camera) {
  DriverState& state = camera.state();
  const ResolutionTable* table = camera.resolutionTable();
  if (table == nullptr) return;
  camera.sensorMaxWidth = table->sensorWidth;
  camera.sensorMaxHeight = table->sensorHeight;
  if (table->previewCount > 0) {
    state.display.index = std::clamp(state.display.index, 0, table->previewCount - 1);
    state.preview.index = std::clamp(state.preview.index, 0, table->previewCount - 1);
    const ResolutionMode& display = table->previewModes[static_cast<std::size_t>(state.display.index)];
    state.display.width = display.width / std::max<int>(display.factorX, 1);
    state.display.height = display.height / std::max<int>(display.factorY, 1);
    const ResolutionMode& preview = table->previewModes[static_cast<std::size_t>(state.preview.index)];
    state.preview.width = state.preview.selectedWidth = preview.width;
    state.preview.height = state.preview.selectedHeight = preview.height;
    state.preview.factorX = preview.factorX;
    state.preview.factorY = preview.factorY;
    state.preview.binningX = preview.binningX;
    state.preview.binningY = preview.binningY;
  }
  if (table->acquireCount > 0) {
    state.acquisition.index = std::clamp(state.acquisition.index, 0, table->acquireCount - 1);
    const ResolutionMode& acquire = table->acquireModes[static_cast<std::size_t>(state.acquisition.index)];
    state.acquisition.width = state.acquisition.selectedWidth = acquire.width;
    state.acquisition.height = state.acquisition.selectedHeight = acquire.height;
    state.acquisition.factorX = acquire.factorX;
    state.acquisition.factorY = acquire.factorY;
    state.acquisition.binningX = acquire.binningX;
    state.acquisition.binningY = acquire.binningY;
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

int identifyModel(CameraSession& camera) {
  DriverState& state = camera.state();
  VarcamHandle handle = camera.handle();
  camera.grayscaleRequested = 0;
  std::uint32_t id = 0;
  if (VarcamGetCameraId(handle, &id) != 0) {
    state.model.cameraId = id;
    state.model.autoExposureCapable = autoExposureCapableId(id) ? 1 : 0;
    state.model.roiWidthStep = roiWidthStepFor(id);
    state.model.roiHeightStep = roiHeightStepFor(id);
    FrameFormatRecord format{};
    float rate = 0;
    if (VarcamGetFormat(handle, &format, &rate) == 0) {
      platform::messageBox(state.hostWindow,
                           "Unable to get camera video format. Snapshot mode disabled.", "ERROR",
                           platform::MB_OK);
      return 0;
    }
  } else {
    error(camera, "Could not get camera ID: %d", VarcamGetLastError());
  }

  if (!openedBefore(camera, Section::CameraInfo)) {
    std::uint32_t infoId = 0;
    if (VarcamGetCameraId(handle, &infoId) != 0)
      state.model.modelName = modelNameFor(infoId);
    else
      error(camera, "Could not get camera ID: %d", VarcamGetLastError());
    CameraVersionRecord version{};
    if (VarcamQueryVersion(handle, &version) != 0) {
      state.model.serialNumberText = formatText("%d", static_cast<int>(version.serialNumber));
      state.model.apiVersionText = versionText4(version.apiVersion);
      state.model.driverVersionText = versionText4(version.driverVersion);
      state.model.firmwareVersionText = versionText2(version.firmwareVersion);
      state.model.fpgaVersionText = versionText2(version.fpgaVersion);
    } else {
      error(camera, "Could not get camera version: %d", VarcamGetLastError());
    }
  }

  if (!openedBefore(camera, Section::Brightness))
    identifyLinear(camera, PropBrightness, state.brightness, "Brightness", -100.0f, 100.0f,
                   "Could not get brightness range: %d", "Getting the brightness...",
                   "Could not get brightness: %d");
  if (!openedBefore(camera, Section::Contrast)) identifyContrast(camera);
  if (!openedBefore(camera, Section::Hue))
    identifyLinear(camera, PropHue, state.hue, "Hue", -180.0f, 180.0f, "Could not get hue: %d",
                   "Getting the hue...", "Could not get hue: %d");
  if (!openedBefore(camera, Section::Saturation)) {
    identifyLinear(camera, PropSaturation, state.saturation, "Saturation", -100.0f, 100.0f,
                   "Could not get saturation: %d", "Getting the saturation...",
                   "Could not get saturation: %d");
    state.saturation.userDefault = 0.0f;
  }
  if (!openedBefore(camera, Section::Exposure)) identifyExposure(camera);
  if (!openedBefore(camera, Section::GlobalGain))
    identifyRounded(camera, PropGain, state.globalGain, "Global Gain", "Getting the global gain...",
                    "Could not get global gain: %d", false);
  if (!openedBefore(camera, Section::Gamma))
    identifyRounded(camera, PropGamma, state.gamma, "Gamma", "Getting the gamma...",
                    "Could not get gamma: %d", true);
  if (!openedBefore(camera, Section::WhiteBalance)) identifyColourGains(camera);
  if (!openedBefore(camera, Section::ImageCorrection)) resetImageCorrection(camera);
  if (!openedBefore(camera, Section::Overlay)) resetOverlaySettings(camera);
  if (!openedBefore(camera, Section::Resolution)) {
    state.display.index = 0;
    state.preview.index = 0;
    state.acquisition.index = 0;
  }

  logLine("Resolutions fini...");
  loadGeometry(camera);
  return 1;
}

} // namespace vx
