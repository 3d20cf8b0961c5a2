#include "camera/property_accessors.h"

#include "base/debug_log.h"
#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "camera/snapshot.h"
#include "engines/exposure_controller.h"
#include "engines/resolution_table.h"

#include <algorithm>

namespace vx {
namespace {

enum class ValueLine { Integer, Float, TwoDecimals };

// What differs between the nine numeric properties.
struct Member {
  NumericProperty property;
  int sdkProperty;
  std::int32_t CameraModelInfo::*available;  // null: always written
  const char* successLine;
  const char* valueLine;
  ValueLine valueFormat;
  const char* failureText;
};

const Member kMembers[kNumericPropertyCount] = {
    {NumericProperty::Brightness, PropBrightness, nullptr,
     "PIXORA QUORVEL DRIVER: Brightness has been changed in camera.", "Value brightness: %d",
     ValueLine::Integer, "Could not set Brightness: %d"},
    {NumericProperty::Contrast, PropContrast, nullptr,
     "PIXORA QUORVEL DRIVER: contrast has been changed in camera.", "Value Contrast: %f",
     ValueLine::Float, "Could not set Contrast: %d"},
    {NumericProperty::Hue, PropHue, nullptr, "PIXORA QUORVEL DRIVER: Hue has been changed in camera.",
     "Value hue: %f", ValueLine::Float, "Could not set Hue: %d"},
    {NumericProperty::Saturation, PropSaturation, nullptr,
     "PIXORA QUORVEL DRIVER: saturation has been changed in camera.", "Value Saturation: %d",
     ValueLine::Integer, "Could not set Saturation: %d"},
    {NumericProperty::Gamma, PropGamma, nullptr, "PIXORA QUORVEL DRIVER: Gamma has been changed in camera.",
     "Value gamma: %.2f", ValueLine::TwoDecimals, "Could not set Gamma: %d"},
    {NumericProperty::GlobalGain, PropGain, nullptr,
     "PIXORA QUORVEL DRIVER: Global Gain has been changed in camera.", "Value global gain: %.2f",
     ValueLine::TwoDecimals, "Could not set Global Gain: %d"},
    {NumericProperty::RedGain, PropGainRed, &CameraModelInfo::redGainAvailable,
     "PIXORA QUORVEL DRIVER: Red gain has been changed in camera.", "Value red gain: %.2f",
     ValueLine::TwoDecimals, "Could not set red gain: %d"},
    {NumericProperty::GreenGain, PropGainGreen1, &CameraModelInfo::greenGainAvailable,
     "PIXORA QUORVEL DRIVER: Green gain has been changed in camera.", "Value green gain: %f",
     ValueLine::Float, "Could not set green gain: %d"},
    {NumericProperty::BlueGain, PropGainBlue, &CameraModelInfo::blueGainAvailable,
     "PIXORA QUORVEL DRIVER: Blue gain has been changed in camera.", "Value blue gain: %d",
     ValueLine::Integer, "Could not set blue gain: %d"},
};

const Member& member(NumericProperty property) { return kMembers[static_cast<int>(property)]; }

void logValueLine(const Member& m, float value) {
  switch (m.valueFormat) {
    case ValueLine::Integer: logLine(m.valueLine, static_cast<int>(value)); break;
    case ValueLine::Float:
    case ValueLine::TwoDecimals: logLine(m.valueLine, static_cast<double>(value)); break;
  }
}

} // namespace

int setPreview(CameraSession& camera, NumericProperty property, float value) {
  DriverState& state = camera.state();
  const Member& m = member(property);
  PropertyPair& pair = state.pair(property);
  if (property == NumericProperty::Saturation)
    logLine("////////////////////////// Setting Saturation: %d", static_cast<int>(value));
  pair.preview = value;
  // An open panel applies the value itself.
  if (camera.view().setPreviewValue(property, value)) return 1;
  if (m.available != nullptr && state.model.*m.available == 0) return 1;

  const float cameraValue = cameraValueFor(camera, property, value);
  if (VarcamSetProperty(camera.handle(), m.sdkProperty, cameraValue, 0) == 0) {
    logLine(m.failureText, static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("%s", m.successLine);
  if (property == NumericProperty::Saturation && camera.grayscaleRequested != 0)
    logLine("Value Saturation: -100");
  else
    logValueLine(m, value);
  if (property == NumericProperty::GreenGain) {
    if (VarcamSetProperty(camera.handle(), PropGainGreen2, cameraValue, 0) == 0) {
      logLine("Could not set green gain2: %d", static_cast<int>(VarcamGetLastError()));
      return 0;
    }
    logLine("PIXORA QUORVEL DRIVER: Green gain2 has been changed in camera.");
    logLine("Value green gain 2: %d", static_cast<int>(value));
  }
  return 1;
}

int setAcquire(CameraSession& camera, NumericProperty property, float value) {
  camera.state().pair(property).acquire = value;
  camera.view().setAcquireValue(property, value);
  return 1;
}

int setLocked(CameraSession& camera, NumericProperty property, std::int32_t locked) {
  camera.state().pair(property).locked = locked;
  camera.view().setLockBox(property, locked);
  return 1;
}

float getPreview(const CameraSession& camera, NumericProperty property) {
  return camera.state().pair(property).preview;
}
float getAcquire(const CameraSession& camera, NumericProperty property) {
  return camera.state().pair(property).acquire;
}
std::int32_t getLocked(const CameraSession& camera, NumericProperty property) {
  return camera.state().pair(property).locked;
}

// ---- exposure -------------------------------------------------------------------

int setExposureAcquire(CameraSession& camera, float value) {
  camera.state().exposure.acquire = value;
  camera.view().setAcquireExposure(value);
  return 1;
}

int setExposureLocked(CameraSession& camera, std::int32_t locked) {
  camera.state().exposure.locked = locked;
  camera.view().setExposureLockBox(locked);
  return 1;
}

float getExposurePreview(const CameraSession& camera) { return camera.state().exposure.preview; }
float getExposureAcquire(const CameraSession& camera) { return camera.state().exposure.acquire; }
std::int32_t getExposureLocked(const CameraSession& camera) { return camera.state().exposure.locked; }

int getExposureRange(const CameraSession& camera, float& minimum, float& maximum) {
  const ExposureController* controller = camera.exposureController();
  minimum = controller != nullptr ? controller->minExposure : 0.0f;
  maximum = controller != nullptr ? controller->maxExposure : 0.0f;
  return 1;
}

std::int32_t getAutoExposureCapable(const CameraSession& camera) { return camera.state().model.autoExposureCapable; }

int setBrightnessTarget(CameraSession& camera, float value) {
  DriverState& state = camera.state();
  state.autoExposureTarget = value;
  if (camera.view().setBrightnessTarget(value)) return 1;
  if (VarcamSetProperty(camera.handle(), PropAutoExposureTarget, value, 0) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set Brightness Target: %d",
                static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: Exposure Brightness Target set in camera.");
  logLine("Value Brightness Target: %f", static_cast<double>(value));
  return 1;
}

float getBrightnessTarget(const CameraSession& camera) { return camera.state().autoExposureTarget; }

// With the exposure panel open, its check box is set and clicked, and the
// panel switches the camera and keeps the flag: it ends a running automatic
// exposure only while the flag still says it runs, and sets the flag only
// once the camera took the switch. Closed, the flag is only stored.
int setCameraAutoExposure(CameraSession& camera, std::int32_t on) {
  if (camera.view().switchCameraAutoExposure(on)) return 1;
  camera.state().cameraAutoExposureOn = on;
  return 1;
}

std::int32_t getCameraAutoExposure(const CameraSession& camera) { return camera.state().cameraAutoExposureOn; }
std::int32_t getFrameRateChoice(const CameraSession& camera) { return camera.state().frameRateChoice; }

// ---- mirror, light source, flicker ------------------------------------------------

int setMirror(CameraSession& camera, std::int32_t horizontal, std::int32_t vertical) {
  DriverState& state = camera.state();
  state.mirrorHorizontal = horizontal;
  state.mirrorVertical = vertical;
  if (camera.view().setMirrorBoxes(horizontal, vertical)) return 1;
  return setMirroring(camera);
}

std::int32_t getMirrorHorizontal(const CameraSession& camera) { return camera.state().mirrorHorizontal; }
std::int32_t getMirrorVertical(const CameraSession& camera) { return camera.state().mirrorVertical; }

int setLightSource(CameraSession& camera, std::int32_t index) {
  camera.state().lightSource = index;
  camera.view().selectLightSource(index);
  return 1;
}

int setFlickerMode(CameraSession& camera, std::int32_t index) {
  camera.state().flickerMode = index;
  camera.view().selectFlickerMode(index);
  return 1;
}

std::int32_t getLightSource(const CameraSession& camera) { return camera.state().lightSource; }
std::int32_t getFlickerMode(const CameraSession& camera) { return camera.state().flickerMode; }

// ---- overlay ----------------------------------------------------------------------------

int setOverlayOptions(CameraSession& camera, const OverlayOptions& options) {
  DriverState& state = camera.state();
  state.overlayOn = options.on;
  state.overlayOnPreview = options.onPreview;
  state.overlayOnCapture = options.onCapture;
  state.overlayColumn = options.column;
  state.overlayRow = options.row;
  camera.view().setOverlayOptions(options);
  return 1;
}

OverlayOptions getOverlayOptions(const CameraSession& camera) {
  const DriverState& state = camera.state();
  return {state.overlayOn, state.overlayOnPreview, state.overlayOnCapture, state.overlayColumn, state.overlayRow};
}

int setAlphaOptions(CameraSession& camera, const AlphaOptions& options) {
  DriverState& state = camera.state();
  state.alphaOn = options.on;
  state.alphaFromValue = options.fromValue;
  state.alphaValue = options.value;
  camera.view().setAlphaOptions(options);
  return 1;
}

AlphaOptions getAlphaOptions(const CameraSession& camera) {
  const DriverState& state = camera.state();
  return {state.alphaOn, state.alphaFromValue, state.alphaValue};
}

// ---- geometry -----------------------------------------------------------------------------

CaptureRegion getPreviewFormat(const CameraSession& camera) { return camera.state().preview; }

int setAcquireWindow(CameraSession& camera, std::int32_t width, std::int32_t height, std::int32_t offsetX,
                     std::int32_t offsetY) {
  CaptureRegion& acquisition = camera.state().acquisition;
  acquisition.width = width;
  acquisition.height = height;
  acquisition.offsetX = offsetX;
  acquisition.offsetY = offsetY;
  return 1;
}

int setAcquireMode(CameraSession& camera, std::int32_t index) {
  const ResolutionTable* table = camera.resolutionTable();
  if (table == nullptr || table->acquireCount <= 0) return 1;
  CaptureRegion& acquisition = camera.state().acquisition;
  index = std::clamp(index, 0, table->acquireCount - 1);
  acquisition.index = index;
  const ResolutionMode& mode = table->acquireModes[static_cast<std::size_t>(index)];
  acquisition.selectedWidth = mode.width;
  acquisition.selectedHeight = mode.height;
  return 1;
}

CaptureRegion getAcquireGeometry(const CameraSession& camera) { return camera.state().acquisition; }

CaptureRegion getAcquireSelection(const CameraSession& camera) {
  CaptureRegion selection = camera.state().acquisition;
  selection.width = selection.selectedWidth;
  selection.height = selection.selectedHeight;
  return selection;
}

DisplaySize getDisplaySize(const CameraSession& camera) { return camera.state().display; }

} // namespace vx
