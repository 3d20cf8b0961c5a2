#include "exposure_panel.h"

#include "automatic_exposure.h"
#include "base/debug_log.h"
#include "camera/one_shot.h"
#include "camera/preview_stream.h"
#include "engines/exposure_controller.h"
#include "exposure_fields.h"
#include "panel_lifecycle.h"
#include "panel_numbers.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

#include <algorithm>
#include <cstdio>

namespace vx {
namespace {

enum class Side { Preview, Acquire };

const int (&fieldsOf(Side side))[5] {
  return side == Side::Preview ? kPreviewExposureFields : kAcquireExposureFields;
}
int trackbarOf(Side side) { return side == Side::Preview ? kExposurePreviewTrackbar : kExposureAcquireTrackbar; }
float& valueOf(DriverState& state, Side side) {
  return side == Side::Preview ? state.exposure.preview : state.exposure.acquire;
}

// The side whose time field has this id; false for any other control.
bool sideOfField(int id, Side& side) {
  for (int i = 0; i < 5; ++i) {
    if (kPreviewExposureFields[i] == id) {
      side = Side::Preview;
      return true;
    }
    if (kAcquireExposureFields[i] == id) {
      side = Side::Acquire;
      return true;
    }
  }
  return false;
}

// ---- ranges ----------------------------------------------------------------------------

struct Range {
  float min = 0.0f;
  float max = 0.0f;
};

// Identification gives both ranges the exposure controller's minimum and
// its maximum cut to hundredths; "Extend..." chooses between them.
Range normalRange(const DriverState& state) { return {state.exposure.cameraMin, state.exposure.cameraMax}; }
Range extendedRange(const DriverState& state) { return {state.exposure.cameraMin, state.exposure.cameraMax}; }
Range activeRange(const OptionsWindow& options) {
  return options.exposurePanel.extended != 0 ? extendedRange(options.state()) : normalRange(options.state());
}
// The trackbars and the fields show the active range as it is.
Range displayRange(const OptionsWindow& options) { return activeRange(options); }

float cameraExposure(const OptionsWindow& options, float shown) {
  const Range camera = activeRange(options);
  const Range display = displayRange(options);
  if (display.max == display.min) return shown;
  return camera.min + (shown - display.min) * (camera.max - camera.min) / (display.max - display.min);
}

int positionOf(const OptionsWindow& options, float milliseconds) {
  const Range display = displayRange(options);
  return exposureTrackbarPosition(milliseconds, display.min, display.max);
}

// ---- field writes ------------------------------------------------------------------------

// Sets the panel's update flag for a scope and restores it after.
class Quietly {
 public:
  explicit Quietly(OptionsWindow& options) : options_(options), previous_(options.exposureEditState) {
    options_.exposureEditState = 1;
  }
  ~Quietly() { options_.exposureEditState = previous_; }
  Quietly(const Quietly&) = delete;
  Quietly& operator=(const Quietly&) = delete;

 private:
  OptionsWindow& options_;
  std::int32_t previous_;
};

void writeQuietly(OptionsWindow& options, Window panel, Side side, float milliseconds) {
  Quietly quietly(options);
  writeExposureFields(panel, fieldsOf(side), milliseconds);
}

void showSide(OptionsWindow& options, Window panel, Side side, float milliseconds) {
  writeQuietly(options, panel, side, milliseconds);
  writeExposureFields(panel, fieldsOf(side), milliseconds);
}

void placeTrackbar(OptionsWindow& options, Window panel, Side side) {
  platform::trackbarSetPos(panel, trackbarOf(side), positionOf(options, valueOf(options.state(), side)));
}

void placeTargetTrackbar(const OptionsWindow& options, Window panel) {
  const float target = options.state().autoExposureTarget;
  platform::trackbarSetPos(panel, kExposureTargetTrackbar, truncateToInt(target / 255.0f * 255.0f));
}

// The units the extended maximum cannot reach are disabled and left out of
// the legend; returns how many (0 to 3, largest unit first).
int unreachableUnits(const OptionsWindow& options) {
  const float maximum = extendedRange(options.state()).max;
  if (maximum < 1000.0f) return 3;
  if (maximum < 60000.0f) return 2;
  if (maximum < 3600000.0f) return 1;
  return 0;
}

// Enables the time fields of the reachable units (or disables all ten).
void enableTimeFields(const OptionsWindow& options, Window panel, bool enable) {
  const int unreachable = unreachableUnits(options);
  for (int i = 0; i < 5; ++i) {
    const bool on = enable && i >= unreachable;
    platform::enableWindow(platform::dialogItem(panel, kPreviewExposureFields[i]), on);
    platform::enableWindow(platform::dialogItem(panel, kAcquireExposureFields[i]), on);
  }
}

void showLegend(const OptionsWindow& options, Window panel) {
  static const char* const kLegends[4] = {
      kExposureLegendText,
      "        mm   .  ss   .  mmm  .  uuu",
      "                ss   .  mmm  .  uuu",
      "                        mmm  .  uuu",
  };
  platform::setDlgItemText(panel, kExposureLegend, kLegends[unreachableUnits(options)]);
}

// ---- the camera ---------------------------------------------------------------------------

void applyPreviewExposure(OptionsWindow& options) {
  CameraSession& camera = options.camera();
  ExposureController* controller = camera.exposureController();
  if (controller == nullptr) return;
  const float exposure = cameraExposure(options, options.state().exposure.preview);
  if (controller->setExposure(exposure, 0) == 2) restartDisplay(camera);
}

bool setTargetInCamera(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  if (VarcamSetProperty(options.camera().handle(), PropAutoExposureTarget, state.autoExposureTarget, 0) == 0) {
    messageBoxf(panel, "ERROR", "Could not set Brightness Target: %d", static_cast<int>(VarcamGetLastError()));
    return false;
  }
  logLine("PIXORA QUORVEL DRIVER: Exposure Brightness Target set in camera.");
  logLine("Value Brightness Target: %f", static_cast<double>(state.autoExposureTarget));
  return true;
}

// ---- notifications --------------------------------------------------------------------------

void previewChanged(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  logLine("CHANGING THE PREVIEW TEXT VALUE!!!1");
  const float exposure = readExposureFields(panel, kPreviewExposureFields);
  logLine("CHANGING THE PREVIEW TEXT VALUE!!!2");
  state.exposure.preview = exposure;
  applyPreviewExposure(options);
  placeTrackbar(options, panel, Side::Preview);
  if (state.exposure.locked != 0) {
    state.exposure.acquire = state.exposure.preview;
    writeQuietly(options, panel, Side::Acquire, state.exposure.acquire);
    platform::trackbarSetPos(panel, kExposureAcquireTrackbar, positionOf(options, state.exposure.preview));
  }
}

// The acquisition exposure is only stored; the camera gets the preview
// exposure that the lock copies at its next change.
void acquireChanged(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  state.exposure.acquire = readExposureFields(panel, kAcquireExposureFields);
  placeTrackbar(options, panel, Side::Acquire);
  if (state.exposure.locked != 0 && state.exposure.preview != state.exposure.acquire) {
    state.exposure.preview = state.exposure.acquire;
    writeQuietly(options, panel, Side::Preview, state.exposure.preview);
    placeTrackbar(options, panel, Side::Preview);
  }
}

void fieldNotified(OptionsWindow& options, Window panel, int id, unsigned code) {
  if (options.exposureEditState != 0) return;
  Side side = Side::Preview;
  if (!sideOfField(id, side)) return;
  if (code != platform::EN_SETFOCUS && code != platform::EN_UPDATE) return;
  if (side == Side::Acquire) logLine("CHANGING THE ACQUIRE TEXT VALUE!!!");
  if (code == platform::EN_SETFOCUS) {
    const int field = exposureFieldOf(id);
    (side == Side::Preview ? options.exposurePanel.previewField : options.exposurePanel.acquireField) = field;
    return;
  }
  if (side == Side::Preview)
    previewChanged(options, panel);
  else
    acquireChanged(options, panel);
}

// The brightness target typed (or written by the panel or the host).
void targetChanged(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  const float value = readFloatField(panel, kExposureBrightnessTarget, state.autoExposureTarget);
  if (value > state.autoExposureTargetMax || value < state.autoExposureTargetMin) {
    messageBoxf(panel, "VARNEX - ERROR",
                "Brightness target value needs to be between %d and %d. Setting brightness target to 170.",
                truncateToInt(state.autoExposureTargetMin), truncateToInt(state.autoExposureTargetMax));
    state.autoExposureTarget = state.autoExposureTargetDefault;
    writeIntField(panel, kExposureBrightnessTarget, truncateToInt(state.autoExposureTarget));
  } else {
    state.autoExposureTarget = value;
    if (state.cameraAutoExposureOn != 0 && !setTargetInCamera(options, panel)) return;
  }
  placeTargetTrackbar(options, panel);
}

// ---- controls ----------------------------------------------------------------------------------

void trackbarMoved(OptionsWindow& options, Window panel, int id) {
  DriverState& state = options.state();
  const int position = platform::trackbarGetPos(panel, id);
  if (id == kExposurePreviewTrackbar || id == kExposureAcquireTrackbar) {
    const Side side = id == kExposurePreviewTrackbar ? Side::Preview : Side::Acquire;
    if (position != positionOf(options, valueOf(state, side))) {
      const Range display = displayRange(options);
      showSide(options, panel, side, exposureAtTrackbar(position, display.min, display.max, state.flickerMode));
    }
  } else if (id == kExposureTargetTrackbar) {
    if (position != truncateToInt(state.autoExposureTarget / 255.0f * 255.0f))
      writeIntField(panel, kExposureBrightnessTarget, truncateToInt(position * 0.003921569 * 255));
  } else {
    return;
  }
  refreshFrameRates(options.camera());
}

// The spin's direction from its new position: 0, or below the last one, is
// up; the same or above is down. The position is remembered.
bool spinUp(std::int32_t& remembered, int position) {
  const bool up = position == 0 || position < remembered;
  remembered = position;
  return up;
}

void exposureSpinPressed(OptionsWindow& options, Window panel, Side side, int position) {
  DriverState& state = options.state();
  ExposurePanelState& panelState = options.exposurePanel;
  std::int32_t& remembered = side == Side::Preview ? panelState.previewSpin : panelState.acquireSpin;
  const std::int32_t field = side == Side::Preview ? panelState.previewField : panelState.acquireField;
  if (side == Side::Preview) logLine("old: %d, new: %d", remembered, position);
  const bool up = spinUp(remembered, position);
  if (up && side == Side::Preview && state.flickerMode != 1 && state.flickerMode != 2)
    logLine("increment: %d", field);
  const SpinStep s = exposureSpinStep(valueOf(state, side), field, state.flickerMode);
  float exposure = up ? s.base + s.step : s.base - s.step;
  // A step down stops at the bottom of the range: an exposure is never
  // negative.
  const float bottom = displayRange(options).min;
  if (!up && exposure < bottom) exposure = bottom;
  showSide(options, panel, side, exposure);
}

void targetSpinPressed(OptionsWindow& options, Window panel, int position) {
  logLine("Receiveing a message from target spin!!!!");
  logLine("old: %d, new: %d", options.exposurePanel.targetSpin, position);
  const bool up = spinUp(options.exposurePanel.targetSpin, position);
  const float target = options.state().autoExposureTarget;
  writeIntField(panel, kExposureBrightnessTarget, truncateToInt(up ? target + 1.0f : target - 1.0f));
}

std::intptr_t scrolled(OptionsWindow& options, Window panel, unsigned message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  const int id = platform::dialogControlId(reinterpret_cast<Window>(lParam));
  if (message == platform::WM_HSCROLL) {
    trackbarMoved(options, panel, id);
    return 1;
  }
  if (platform::loWord(wParam) != platform::SB_THUMBPOSITION) return 0;
  // The position travels as a signed 16-bit value.
  const int position = static_cast<std::int16_t>(platform::hiWord(wParam));
  switch (id) {
    case kExposurePreviewSpin: exposureSpinPressed(options, panel, Side::Preview, position); return 1;
    case kExposureAcquireSpin: exposureSpinPressed(options, panel, Side::Acquire, position); return 1;
    case kExposureTargetSpin: targetSpinPressed(options, panel, position); return 1;
    default: return 0;
  }
}

// The controls the camera's automatic exposure takes over.
void enableManualControls(const OptionsWindow& options, Window panel, bool enable) {
  enableTimeFields(options, panel, enable);
  for (int id : {kExposureLock, kExposureOneShot, kExposurePreviewTrackbar, kExposureAcquireTrackbar,
                 kExposurePreviewSpin, kExposureAcquireSpin})
    platform::enableWindow(platform::dialogItem(panel, id), enable);
}

void startCameraAutoExposure(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  // A refused start leaves the box as the camera's mode is.
  const auto refused = [&] { setChecked(panel, kExposureUseAuto, state.cameraAutoExposureOn); };
  if (!setTargetInCamera(options, panel)) return refused();
  const float exposure = cameraExposure(options, state.exposure.preview);
  if (VarcamSetProperty(camera.handle(), PropExposure, exposure, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE) == 0) {
    messageBoxf(state.optionsParent, "ERROR", "Could not set Auto-Exposure: %d",
                static_cast<int>(VarcamGetLastError()));
    return refused();
  }
  logLine("PIXORA QUORVEL DRIVER: Auto-exposure enabled in camera.");
  logLine("Value Exposure: %f", static_cast<double>(exposure));
  enableManualControls(options, panel, false);
  state.cameraAutoExposureOn = 1;
}

void autoExposureClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  if (checkedFlag(panel, kExposureUseAuto) != 0) {
    startCameraAutoExposure(options, panel);
    return;
  }
  endCameraAutoExposure(options.camera(), AutoExposureEnd::AdoptCameraExposure);
  enableManualControls(options, panel, true);
  showSide(options, panel, Side::Preview, state.exposure.preview);
  state.cameraAutoExposureOn = 0;
}

void lockClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  state.exposure.locked = checkedFlag(panel, kExposureLock);
  if (state.exposure.locked == 0) return;
  state.exposure.acquire = state.exposure.preview;
  showSide(options, panel, Side::Acquire, state.exposure.acquire);
}

void extendClicked(OptionsWindow& options, Window panel) {
  options.exposurePanel.extended = checkedFlag(panel, kExposureExtend);
  placeTrackbar(options, panel, Side::Preview);
  placeTrackbar(options, panel, Side::Acquire);
}

void initialiseValues(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  state.exposure.preview = state.exposureDefault;
  showSide(options, panel, Side::Preview, state.exposure.preview);
  state.exposure.acquire = state.exposureDefault;
  showSide(options, panel, Side::Acquire, state.exposure.acquire);
  state.autoExposureTarget = state.autoExposureTargetDefault;
  writeIntField(panel, kExposureBrightnessTarget, truncateToInt(state.autoExposureTarget));
}

void oneShot(OptionsWindow& options, Window panel) {
  if (panelAutoExposure(options.camera()) == 0) return;
  showSide(options, panel, Side::Preview, options.state().exposure.preview);
}

void frameRateChosen(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  const int index = platform::comboGetCurSel(panel, kExposureFrameRate);
  if (index < 0) return;
  state.frameRateChoice = index;
  char text[64] = {};
  if (platform::comboGetLBText(panel, kExposureFrameRate, index, text, static_cast<int>(sizeof text)) < 0) return;
  const float rate = parseFloatText(text, -1.0f);
  if (!(rate > 0.0f)) return;
  const float reported = setPreviewFrameRate(options.camera(), rate, state.optionsParent);
  if (reported < 0.0f) return;
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.2f", static_cast<double>(reported));
  platform::setDlgItemText(panel, kExposureFrameRate, shown);
}

void closePanel(OptionsWindow& options, Window) {
  endCameraAutoExposure(options.camera(), AutoExposureEnd::AdoptCameraExposure);
  closePanelItself(options, Section::Exposure);
}

void cancelPanel(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  const ExposurePanelState& backup = options.exposurePanel;
  state.exposure.preview = backup.preview;
  state.exposure.acquire = backup.acquire;
  state.exposure.locked = backup.locked;
  showSide(options, panel, Side::Preview, state.exposure.preview);
  state.autoExposureTarget = options.exposurePanelTarget;
  writeIntField(panel, kExposureBrightnessTarget, truncateToInt(state.autoExposureTarget));
  endCameraAutoExposure(options.camera(), AutoExposureEnd::RestoreStoredExposure);
  closePanelItself(options, Section::Exposure);
}

void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  ExposurePanelState& panelState = options.exposurePanel;
  platform::trackbarSetRange(panel, kExposurePreviewTrackbar, 0, kExposureTrackbarSteps);
  platform::trackbarSetRange(panel, kExposureAcquireTrackbar, 0, kExposureTrackbarSteps);
  platform::trackbarSetRange(panel, kExposureTargetTrackbar, 0, 255);

  const float normalMax = normalRange(state).max;
  panelState.extended = state.exposure.preview > normalMax || state.exposure.acquire > normalMax ? 1 : 0;
  setChecked(panel, kExposureExtend, panelState.extended);
  enableTimeFields(options, panel, true);
  showLegend(options, panel);

  panelState.preview = state.exposure.preview;
  panelState.acquire = state.exposure.acquire;
  showSide(options, panel, Side::Preview, state.exposure.preview);
  showSide(options, panel, Side::Acquire, state.exposure.acquire);

  setChecked(panel, kExposureLock, state.exposure.locked);
  panelState.locked = state.exposure.locked;
  options.exposurePanelTarget = state.autoExposureTarget;
  writeIntField(panel, kExposureBrightnessTarget, truncateToInt(state.autoExposureTarget));

  if (state.model.autoExposureCapable == 0)
    platform::enableWindow(platform::dialogItem(panel, kExposureUseAuto), false);
  platform::comboSetCurSel(panel, kExposureFrameRate, state.frameRateChoice);
  panelOpened(options, Section::Exposure, panel);
  refreshFrameRates(options.camera());
}

std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  const int id = commandId(wParam);
  const unsigned code = platform::hiWord(wParam);
  Side side = Side::Preview;
  if (sideOfField(id, side)) {
    fieldNotified(options, panel, id, code);
    return 1;
  }
  if (id == kExposureBrightnessTarget) {
    if (code == platform::EN_UPDATE) targetChanged(options, panel);
    return 1;
  }
  if (id == kExposureFrameRate) {
    if (code != platform::CBN_SELCHANGE) return 0;
    frameRateChosen(options, panel);
    return 1;
  }
  if (code != platform::BN_CLICKED) return 0;
  switch (id) {
    case kExposureLock: lockClicked(options, panel); return 1;
    case kExposureExtend: extendClicked(options, panel); return 1;
    case kExposureUseAuto: autoExposureClicked(options, panel); return 1;
    case kExposureOneShot: oneShot(options, panel); return 1;
    case kExposureInitialize: initialiseValues(options, panel); return 1;
    case kPanelCancel: cancelPanel(options, panel); return 1;
    case kPanelClose: closePanel(options, panel); return 1;
    default: return 0;
  }
}

} // namespace

void showPreviewExposureFields(OptionsWindow& options, Window panel, float milliseconds) {
  showSide(options, panel, Side::Preview, milliseconds);
}

void showAcquireExposureFields(OptionsWindow& options, Window panel, float milliseconds) {
  showSide(options, panel, Side::Acquire, milliseconds);
}

void showAcquireExposureQuietly(OptionsWindow& options, Window panel, float milliseconds) {
  writeQuietly(options, panel, Side::Acquire, milliseconds);
  platform::trackbarSetPos(panel, kExposureAcquireTrackbar, positionOf(options, milliseconds));
}

std::intptr_t exposurePanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  // The close box is the panel's Close: its id 2 is Initialize.
  static const PanelBehaviour behaviour{Section::Exposure, &initialise, &command, &closePanel};
  if (message == platform::WM_HSCROLL || message == platform::WM_VSCROLL) {
    OptionsWindow* options = optionsWindowOf(panel);
    return options != nullptr ? scrolled(*options, panel, message, wParam, lParam) : 0;
  }
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
