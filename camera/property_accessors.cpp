#include "camera/property_accessors.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "camera/snapshot.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"
#include "engines/resolution_table.h"
#include "ui/exposure_fields.h"
#include "ui/panel_ids.h"

#include <algorithm>
#include <cstdio>

namespace vx {
namespace {

enum class ValueLine { Integer, Float, TwoDecimals };

// What differs between the nine numeric properties.
struct Member {
  NumericProperty property;
  int sdkProperty;
  Section section;
  int previewEdit;
  int acquireEdit;
  int lockBox;
  bool integerEdit;                  // "%d" of the truncated value, else "%.2f"
  std::int32_t DriverState::*available;  // null: always written
  const char* successLine;
  const char* valueLine;
  ValueLine valueFormat;
  const char* failureText;
};

const Member kMembers[kNumericPropertyCount] = {
    {NumericProperty::Brightness, PropBrightness, Section::Brightness, kNumericPreviewEdit,
     kNumericAcquireEdit, kNumericLock, true, nullptr,
     "PIXORA QUORVEL DRIVER: Brightness has been changed in camera.", "Value brightness: %d",
     ValueLine::Integer, "Could not set Brightness: %d"},
    {NumericProperty::Contrast, PropContrast, Section::Contrast, kNumericPreviewEdit,
     kNumericAcquireEdit, kNumericLock, true, nullptr,
     "PIXORA QUORVEL DRIVER: contrast has been changed in camera.", "Value Contrast: %f",
     ValueLine::Float, "Could not set Contrast: %d"},
    {NumericProperty::Hue, PropHue, Section::Hue, kNumericPreviewEdit, kNumericAcquireEdit,
     kNumericLock, true, nullptr, "PIXORA QUORVEL DRIVER: Hue has been changed in camera.",
     "Value hue: %f", ValueLine::Float, "Could not set Hue: %d"},
    {NumericProperty::Saturation, PropSaturation, Section::Saturation, kNumericPreviewEdit,
     kNumericAcquireEdit, kNumericLock, true, nullptr,
     "PIXORA QUORVEL DRIVER: saturation has been changed in camera.", "Value Saturation: %d",
     ValueLine::Integer, "Could not set Saturation: %d"},
    {NumericProperty::Gamma, PropGamma, Section::Gamma, kNumericPreviewEdit, kNumericAcquireEdit,
     kNumericLock, false, nullptr, "PIXORA QUORVEL DRIVER: Gamma has been changed in camera.",
     "Value gamma: %.2f", ValueLine::TwoDecimals, "Could not set Gamma: %d"},
    {NumericProperty::GlobalGain, PropGain, Section::GlobalGain, kNumericPreviewEdit,
     kNumericAcquireEdit, kNumericLock, false, nullptr,
     "PIXORA QUORVEL DRIVER: Global Gain has been changed in camera.", "Value global gain: %.2f",
     ValueLine::TwoDecimals, "Could not set Global Gain: %d"},
    {NumericProperty::RedGain, PropGainRed, Section::WhiteBalance, kWhiteBalanceRedPreview,
     kWhiteBalanceRedAcquire, kWhiteBalanceRedLock, false, &DriverState::redGainAvailable,
     "PIXORA QUORVEL DRIVER: Red gain has been changed in camera.", "Value red gain: %.2f",
     ValueLine::TwoDecimals, "Could not set red gain: %d"},
    {NumericProperty::GreenGain, PropGainGreen1, Section::WhiteBalance, kWhiteBalanceGreenPreview,
     kWhiteBalanceGreenAcquire, kWhiteBalanceGreenLock, false, &DriverState::greenGainAvailable,
     "PIXORA QUORVEL DRIVER: Green gain has been changed in camera.", "Value green gain: %f",
     ValueLine::Float, "Could not set green gain: %d"},
    {NumericProperty::BlueGain, PropGainBlue, Section::WhiteBalance, kWhiteBalanceBluePreview,
     kWhiteBalanceBlueAcquire, kWhiteBalanceBlueLock, false, &DriverState::blueGainAvailable,
     "PIXORA QUORVEL DRIVER: Blue gain has been changed in camera.", "Value blue gain: %d",
     ValueLine::Integer, "Could not set blue gain: %d"},
};

const Member& member(NumericProperty property) { return kMembers[static_cast<int>(property)]; }

void writeEdit(Window panel, int id, bool integer, float value) {
  char text[64];
  if (integer)
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  else
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  platform::setDlgItemText(panel, id, text);
}

void logValueLine(const Member& m, float value) {
  switch (m.valueFormat) {
    case ValueLine::Integer: logLine(m.valueLine, static_cast<int>(value)); break;
    case ValueLine::Float:
    case ValueLine::TwoDecimals: logLine(m.valueLine, static_cast<double>(value)); break;
  }
}

// The panel's copy of the values, restored by its Cancel. The panels keep it
// in their own state; the accessors refresh it when they write into an open
// panel.
void storeCancelBackup(DriverState& state, NumericProperty property, bool preview, float value) {
  PanelBackup& backup = state.panelBackup(property);
  (preview ? backup.preview : backup.acquire) = value;
}

} // namespace

int setPreview(DriverState& state, NumericProperty property, float value) {
  const Member& m = member(property);
  PropertyPair& pair = state.pair(property);
  if (property == NumericProperty::Saturation)
    logLine("////////////////////////// Setting Saturation: %d", static_cast<int>(value));
  pair.preview = value;
  if (Window panel = state.openPanel(m.section)) {
    storeCancelBackup(state, property, true, value);
    writeEdit(panel, m.previewEdit, m.integerEdit, value);
    return 1;
  }
  if (m.available != nullptr && state.*m.available == 0) return 1;

  const float camera = cameraValueFor(state, property, value);
  if (VarcamSetProperty(state.sessionCameraHandle, m.sdkProperty, camera, 0) == 0) {
    logLine(m.failureText, static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("%s", m.successLine);
  if (property == NumericProperty::Saturation && state.grayscaleRequested != 0)
    logLine("Value Saturation: -100");
  else
    logValueLine(m, value);
  if (property == NumericProperty::GreenGain) {
    if (VarcamSetProperty(state.sessionCameraHandle, PropGainGreen2, camera, 0) == 0) {
      logLine("Could not set green gain2: %d", static_cast<int>(VarcamGetLastError()));
      return 0;
    }
    logLine("PIXORA QUORVEL DRIVER: Green gain2 has been changed in camera.");
    logLine("Value green gain 2: %d", static_cast<int>(value));
  }
  return 1;
}

int setAcquire(DriverState& state, NumericProperty property, float value) {
  const Member& m = member(property);
  state.pair(property).acquire = value;
  if (Window panel = state.openPanel(m.section)) {
    storeCancelBackup(state, property, false, value);
    writeEdit(panel, m.acquireEdit, m.integerEdit, value);
  }
  return 1;
}

int setLocked(DriverState& state, NumericProperty property, std::int32_t locked) {
  const Member& m = member(property);
  state.pair(property).locked = locked;
  if (Window panel = state.openPanel(m.section))
    platform::checkDlgButton(panel, m.lockBox, locked != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
  return 1;
}

float getPreview(const DriverState& state, NumericProperty property) { return state.pair(property).preview; }
float getAcquire(const DriverState& state, NumericProperty property) { return state.pair(property).acquire; }
std::int32_t getLocked(const DriverState& state, NumericProperty property) { return state.pair(property).locked; }

// ---- exposure -------------------------------------------------------------------

int setExposureAcquire(DriverState& state, float value) {
  state.exposure.acquire = value;
  if (Window panel = state.openPanel(Section::Exposure)) {
    // The panel ignores its own field notifications while its update flag
    // is set; the second write lets it take the value in.
    state.exposureEditState = 1;
    writeExposureFields(panel, kAcquireExposureFields, value);
    state.exposureEditState = 0;
    writeExposureFields(panel, kAcquireExposureFields, value);
  }
  return 1;
}

int setExposureLocked(DriverState& state, std::int32_t locked) {
  state.exposure.locked = locked;
  if (Window panel = state.openPanel(Section::Exposure))
    platform::checkDlgButton(panel, kExposureLock, locked != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
  return 1;
}

float getExposurePreview(const DriverState& state) { return state.exposure.preview; }
float getExposureAcquire(const DriverState& state) { return state.exposure.acquire; }
std::int32_t getExposureLocked(const DriverState& state) { return state.exposure.locked; }

int getExposureRange(const DriverState& state, float& minimum, float& maximum) {
  const ExposureController* controller = state.exposureController.get();
  minimum = controller != nullptr ? controller->minExposure : 0.0f;
  maximum = controller != nullptr ? controller->maxExposure : 0.0f;
  return 1;
}

std::int32_t getAutoExposureCapable(const DriverState& state) { return state.autoExposureCapable; }

int setBrightnessTarget(DriverState& state, float value) {
  state.autoExposureTarget = value;
  if (Window panel = state.openPanel(Section::Exposure)) {
    state.exposurePanelTarget = value;
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    platform::setDlgItemText(panel, kExposureBrightnessTarget, text);
    return 1;
  }
  if (VarcamSetProperty(state.sessionCameraHandle, PropAutoExposureTarget, value, 0) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set Brightness Target: %d",
                static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: Exposure Brightness Target set in camera.");
  logLine("Value Brightness Target: %f", static_cast<double>(value));
  return 1;
}

float getBrightnessTarget(const DriverState& state) { return state.autoExposureTarget; }

int setCameraAutoExposure(DriverState& state, std::int32_t on) {
  state.cameraAutoExposureOn = on;
  if (Window panel = state.openPanel(Section::Exposure)) {
    platform::checkDlgButton(panel, kExposureUseAuto, on != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
    platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(kExposureUseAuto, platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, kExposureUseAuto)));
  }
  return 1;
}

std::int32_t getCameraAutoExposure(const DriverState& state) { return state.cameraAutoExposureOn; }
std::int32_t getFrameRateChoice(const DriverState& state) { return state.frameRateChoice; }

// ---- mirror, light source, flicker ------------------------------------------------

int setMirror(DriverState& state, std::int32_t horizontal, std::int32_t vertical) {
  state.mirrorHorizontal = horizontal;
  state.mirrorVertical = vertical;
  if (Window panel = state.openPanel(Section::Mirror)) {
    if (horizontal == 1) platform::checkDlgButton(panel, kMirrorHorizontal, platform::BST_CHECKED);
    if (vertical == 1) platform::checkDlgButton(panel, kMirrorVertical, platform::BST_CHECKED);
    return 1;
  }
  return setMirroring(state);
}

std::int32_t getMirrorHorizontal(const DriverState& state) { return state.mirrorHorizontal; }
std::int32_t getMirrorVertical(const DriverState& state) { return state.mirrorVertical; }

int setLightSource(DriverState& state, std::int32_t index) {
  state.lightSource = index;
  if (Window panel = state.openPanel(Section::ImageCorrection)) {
    state.correctionPanelLightSource = index;
    platform::comboSetCurSel(panel, kCorrectionLightSource, index);
  }
  return 1;
}

int setFlickerMode(DriverState& state, std::int32_t index) {
  state.flickerMode = index;
  if (Window panel = state.openPanel(Section::ImageCorrection)) {
    state.correctionPanelFlicker = index;
    platform::comboSetCurSel(panel, kCorrectionFrequency, index);
  }
  return 1;
}

std::int32_t getLightSource(const DriverState& state) { return state.lightSource; }
std::int32_t getFlickerMode(const DriverState& state) { return state.flickerMode; }

// ---- overlay ----------------------------------------------------------------------------

int setOverlayOptions(DriverState& state, const OverlayOptions& options) {
  state.overlayOn = options.on;
  state.overlayOnPreview = options.onPreview;
  state.overlayOnCapture = options.onCapture;
  state.overlayColumn = options.column;
  state.overlayRow = options.row;
  if (Window panel = state.openPanel(Section::Overlay)) {
    const auto check = [panel](int id, std::int32_t on) {
      platform::checkDlgButton(panel, id, on != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
    };
    check(kOverlayUse, options.on);
    check(kOverlayOnPreview, options.onPreview);
    check(kOverlayOnCapture, options.onCapture);
    for (const auto& row : kOverlayPosition)
      for (int id : row) platform::checkDlgButton(panel, id, platform::BST_UNCHECKED);
    if (options.row >= 0 && options.row <= 2 && options.column >= 0 && options.column <= 2)
      platform::checkDlgButton(panel, kOverlayPosition[options.row][options.column], platform::BST_CHECKED);
    platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(kOverlayUse, platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, kOverlayUse)));
  }
  return 1;
}

OverlayOptions getOverlayOptions(const DriverState& state) {
  return {state.overlayOn, state.overlayOnPreview, state.overlayOnCapture, state.overlayColumn, state.overlayRow};
}

int setAlphaOptions(DriverState& state, const AlphaOptions& options) {
  state.alphaOn = options.on;
  state.alphaFromValue = options.fromValue;
  state.alphaValue = options.value;
  if (Window panel = state.openPanel(Section::Overlay)) {
    platform::checkDlgButton(panel, kOverlayUseAlpha, options.on != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
    platform::checkDlgButton(panel, kOverlayAlphaValueRadio, platform::BST_UNCHECKED);
    platform::checkDlgButton(panel, kOverlayAlphaFromBitmap, platform::BST_UNCHECKED);
    platform::checkDlgButton(panel, options.fromValue != 0 ? kOverlayAlphaValueRadio : kOverlayAlphaFromBitmap,
                             platform::BST_CHECKED);
    state.overlayPanelAlphaValue = options.value;
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(options.value));
    platform::setDlgItemText(panel, kOverlayAlphaValue, text);
    platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(kOverlayApply, platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, kOverlayApply)));
    platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(kOverlayUseAlpha, platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, kOverlayUseAlpha)));
  }
  return 1;
}

AlphaOptions getAlphaOptions(const DriverState& state) {
  return {state.alphaOn, state.alphaFromValue, state.alphaValue};
}

// ---- geometry -----------------------------------------------------------------------------

RegionGeometry getPreviewFormat(const DriverState& state) {
  return {state.previewIndex,   state.previewWidth,   state.previewHeight,
          state.previewOffsetX, state.previewOffsetY, state.previewFactorX,
          state.previewFactorY, state.previewBinningX, state.previewBinningY};
}

int setAcquireWindow(DriverState& state, std::int32_t width, std::int32_t height, std::int32_t offsetX,
                     std::int32_t offsetY) {
  state.acqWidth = width;
  state.acqHeight = height;
  state.acqOffsetX = offsetX;
  state.acqOffsetY = offsetY;
  return 1;
}

int setAcquireMode(DriverState& state, std::int32_t index) {
  const ResolutionTable* table = state.resolutionTable.get();
  if (table == nullptr || table->acquireCount <= 0) return 1;
  index = std::clamp(index, 0, table->acquireCount - 1);
  state.acqIndex = index;
  const ResolutionMode& mode = table->acquireModes[static_cast<std::size_t>(index)];
  state.acqSelectedWidth = mode.width;
  state.acqSelectedHeight = mode.height;
  return 1;
}

RegionGeometry getAcquireGeometry(const DriverState& state) {
  return {state.acqIndex,   state.acqWidth,   state.acqHeight,   state.acqOffsetX,  state.acqOffsetY,
          state.acqFactorX, state.acqFactorY, state.acqBinningX, state.acqBinningY};
}

RegionGeometry getAcquireSelection(const DriverState& state) {
  return {state.acqIndex,   state.acqSelectedWidth, state.acqSelectedHeight, state.acqOffsetX, state.acqOffsetY,
          state.acqFactorX, state.acqFactorY,       state.acqBinningX,       state.acqBinningY};
}

DisplaySize getDisplaySize(const DriverState& state) {
  return {state.displayIndex, state.displayWidth, state.displayHeight};
}

} // namespace vx
