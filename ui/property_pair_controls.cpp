#include "property_pair_controls.h"

#include "base/debug_log.h"
#include "camera/camera_session.h"
#include "camera/property_scale.h"
#include "panel_numbers.h"
#include "panel_lifecycle.h"

namespace vx {
namespace {

enum class Side { Preview, Acquire };

using EditText = std::array<char, 64>;

int editOf(const PairTraits& traits, Side side) {
  return side == Side::Preview ? traits.controls.previewEdit : traits.controls.acquireEdit;
}

int trackbarOf(const PairTraits& traits, Side side) {
  return side == Side::Preview ? traits.controls.previewTrackbar : traits.controls.acquireTrackbar;
}

float& valueOf(PropertyPair& pair, Side side) { return side == Side::Preview ? pair.preview : pair.acquire; }

void writeEdit(Window panel, const PairTraits& traits, Side side, float value) {
  const ValueText text = formatValue(value, traits.integerValues);
  platform::setDlgItemText(panel, editOf(traits, side), text.data());
}

EditText readEdit(Window panel, int id) {
  EditText text{};
  platform::getDlgItemText(panel, id, text.data(), static_cast<int>(text.size()));
  return text;
}

// The trackbar position that shows a value. An empty display range gives
// position 0 or an end, never an undefined conversion.
int positionOf(const PairTraits& traits, const PropertyPair& pair, float value) {
  const double min = pair.userMin;
  const double span = static_cast<double>(pair.userMax) - min;
  return truncateToInt((static_cast<double>(value) - min) / span * traits.trackbarSteps);
}

// The value a trackbar position stands for; the integer members cut it to
// a whole number before it is shown.
float valueAt(const PairTraits& traits, const PropertyPair& pair, int position) {
  const double min = pair.userMin;
  const double value = min + (static_cast<double>(pair.userMax) - min) * (position * traits.trackbarFactor);
  if (traits.integerValues) return static_cast<float>(truncateToInt(value));
  return static_cast<float>(value);
}

void placeTrackbar(Window panel, const PairTraits& traits, PropertyPair& pair, Side side) {
  platform::trackbarSetPos(panel, trackbarOf(traits, side), positionOf(traits, pair, valueOf(pair, side)));
}

// The bounds themselves are valid; NaN is not.
bool outOfRange(const PropertyPair& pair, float value) { return !(value >= pair.userMin && value <= pair.userMax); }

float fallbackFor(const RangeRule& rule, const PropertyPair& pair, float previous) {
  switch (rule.fallback) {
    case Fallback::Fixed: return rule.fixedValue;
    case Fallback::PreviousIntoRange:
      if (previous > pair.userMax) return pair.userMax;
      if (previous < pair.userMin) return pair.userMin;
      return previous;
    case Fallback::Previous: return previous;
  }
  return previous;
}

void showRangeMessage(Window panel, const RangeRule& rule, const PropertyPair& pair) {
  if (rule.integerBounds)
    messageBoxf(panel, "VARNEX - ERROR", rule.message, truncateToInt(pair.userMin), truncateToInt(pair.userMax));
  else
    messageBoxf(panel, "VARNEX - ERROR", rule.message, static_cast<double>(pair.userMin),
                static_cast<double>(pair.userMax));
}

// A value outside the range: the message, then the fallback written back
// into the edit, whose change handling applies it when it lies in range.
// A fallback that is itself out of range (a previous value the range no
// longer holds, a fixed one the camera's range leaves out) is only shown:
// its own handling finds the side already reverting and neither asks again
// nor writes again, so that the edit settles instead of recursing.
void revert(OptionsWindow& options, Window panel, const PairTraits& traits, Side side) {
  PropertyPair& pair = options.state().pair(traits.property);
  PairPanelState& own = options.pairState(traits.property);
  bool& reverting = side == Side::Preview ? own.revertingPreview : own.revertingAcquire;
  if (!reverting) {
    const RangeRule& rule = side == Side::Preview ? traits.previewRange : traits.acquireRange;
    showRangeMessage(panel, rule, pair);
    float& value = valueOf(pair, side);
    value = fallbackFor(rule, pair, value);
    reverting = true;
    writeEdit(panel, traits, side, value);
    reverting = false;
  }
  placeTrackbar(panel, traits, pair, side);
}

void logValue(const CameraWrite& write, float value) {
  if (write.valueFormat == ValueLine::Integer)
    logLine(write.valueLine, truncateToInt(value));
  else
    logLine(write.valueLine, static_cast<double>(value));
}

// Writes a preview value to the camera; false after a refusal (the user has
// been told).
bool applyToCamera(OptionsWindow& options, const PairTraits& traits, float value) {
  CameraSession& camera = options.camera();
  const DriverState& state = options.state();
  const PropertyPair& pair = state.pair(traits.property);
  const float cameraValue = cameraValueFor(camera, traits.property, value);
  if (traits.saturationLines) {
    logLine("Saturation values MINMAX: softmin:%f,softmax:%f, cammin:%f, cammax:%f",
            static_cast<double>(pair.userMin), static_cast<double>(pair.userMax),
            static_cast<double>(pair.cameraMin), static_cast<double>(pair.cameraMax));
    logLine("THE      Temp Val: %f", static_cast<double>(cameraValue));
  }
  for (const CameraWrite& write : traits.writes) {
    if (VarcamSetProperty(camera.handle(), write.sdkProperty, cameraValue, 0) == 0) {
      messageBoxf(state.optionsParent, "ERROR", write.failureText, static_cast<int>(VarcamGetLastError()));
      return false;
    }
    logLine("%s", write.successLine);
    if (traits.saturationLines && camera.grayscaleRequested != 0)
      logLine("Value Saturation: -100");
    else
      logValue(write, value);
  }
  return true;
}

void previewChanged(OptionsWindow& options, Window panel, const PairTraits& traits) {
  PropertyPair& pair = options.state().pair(traits.property);
  const EditText text = readEdit(panel, traits.controls.previewEdit);
  const float value = parseFloatText(text.data(), 0.0f);
  if (outOfRange(pair, value)) {
    revert(options, panel, traits, Side::Preview);
    return;
  }
  pair.preview = value;
  // A refused value stays stored; the trackbar and the locked acquisition
  // value stay where they were.
  if (!applyToCamera(options, traits, value)) return;
  if (pair.locked != 0 && pair.acquire != pair.preview)
    platform::setDlgItemText(panel, traits.controls.acquireEdit, text.data());
  placeTrackbar(panel, traits, pair, Side::Preview);
}

void acquireChanged(OptionsWindow& options, Window panel, const PairTraits& traits) {
  PropertyPair& pair = options.state().pair(traits.property);
  const EditText text = readEdit(panel, traits.controls.acquireEdit);
  const float value = parseFloatText(text.data(), 0.0f);
  if (outOfRange(pair, value)) {
    revert(options, panel, traits, Side::Acquire);
    return;
  }
  pair.acquire = value;
  // Under the lock the preview edit takes the same text and applies it.
  if (pair.locked != 0 && (pair.acquire != pair.preview || traits.copyToPreviewWhenEqual))
    platform::setDlgItemText(panel, traits.controls.previewEdit, text.data());
  placeTrackbar(panel, traits, pair, Side::Acquire);
}

void lockClicked(OptionsWindow& options, Window panel, const PairTraits& traits) {
  PropertyPair& pair = options.state().pair(traits.property);
  pair.locked = checkedFlag(panel, traits.controls.lock);
  if (pair.locked == 0) return;
  pair.acquire = pair.preview;
  writeEdit(panel, traits, Side::Acquire, pair.acquire);
}

// A trackbar moved: its edit takes the value of the new position, unless
// the position is the one the value already has.
void trackbarMoved(OptionsWindow& options, Window panel, const PairTraits& traits, Side side, std::uintptr_t wParam,
                   std::intptr_t lParam) {
  PropertyPair& pair = options.state().pair(traits.property);
  const int position = platform::trackbarGetPos(panel, trackbarOf(traits, side));
  if (traits.trackbarLine == TrackbarLine::MessageAndHandle)
    logLine("W: %d  L: %d", static_cast<int>(wParam), static_cast<int>(lParam));
  else if (traits.trackbarLine == TrackbarLine::Position)
    logLine("Position: %d", position);
  if (position == positionOf(traits, pair, valueOf(pair, side))) return;
  writeEdit(panel, traits, side, valueAt(traits, pair, position));
}

// A spin pressed. With the control's own range (100 at the bottom, 0 at the
// top) the up arrow lowers the position and stops at 0: a position of 0 or
// one below the last is a step up, anything else a step down.
void spinPressed(OptionsWindow& options, Window panel, const PairTraits& traits, Side side, int position) {
  PropertyPair& pair = options.state().pair(traits.property);
  PairPanelState& own = options.pairState(traits.property);
  std::int32_t& last = side == Side::Preview ? own.previewSpin : own.acquireSpin;
  if (side == Side::Preview) {
    logLine("Receiveing a message from spin!!!!");
    logLine("old: %d, new: %d", last, position);
  }
  const float value = valueOf(pair, side);
  const bool up = position == 0 || position < last;
  writeEdit(panel, traits, side, up ? value + traits.spinStep : value - traits.spinStep);
  last = position;
}

} // namespace

void writePreviewEdit(Window panel, const PairTraits& traits, float value) { writeEdit(panel, traits, Side::Preview, value); }
void writeAcquireEdit(Window panel, const PairTraits& traits, float value) { writeEdit(panel, traits, Side::Acquire, value); }

void showPair(OptionsWindow& options, Window panel, const PairTraits& traits) {
  const PropertyPair& pair = options.state().pair(traits.property);
  options.panelBackup(traits.property) = PanelBackup{pair.preview, pair.acquire, pair.locked};
  options.pairState(traits.property) = PairPanelState{};
  if (traits.trackbarSteps != 100) {
    platform::trackbarSetRange(panel, traits.controls.previewTrackbar, 0, traits.trackbarSteps);
    platform::trackbarSetRange(panel, traits.controls.acquireTrackbar, 0, traits.trackbarSteps);
  }
  writeEdit(panel, traits, Side::Preview, pair.preview);
  writeEdit(panel, traits, Side::Acquire, pair.acquire);
}

void resetPair(OptionsWindow& options, Window panel, const PairTraits& traits, float value) {
  PropertyPair& pair = options.state().pair(traits.property);
  pair.preview = value;
  writeEdit(panel, traits, Side::Preview, value);
  pair.acquire = value;
  writeEdit(panel, traits, Side::Acquire, value);
}

void restorePair(OptionsWindow& options, const PairTraits& traits) {
  PropertyPair& pair = options.state().pair(traits.property);
  const PanelBackup& backup = options.panelBackup(traits.property);
  pair.preview = backup.preview;
  pair.acquire = backup.acquire;
  pair.locked = backup.locked;
}

bool pairCommand(OptionsWindow& options, Window panel, const PairTraits& traits, int id, unsigned code) {
  if (code == platform::EN_UPDATE) {
    if (id == traits.controls.previewEdit) {
      previewChanged(options, panel, traits);
      return true;
    }
    if (id == traits.controls.acquireEdit) {
      acquireChanged(options, panel, traits);
      return true;
    }
    return false;
  }
  if (code == platform::BN_CLICKED && id == traits.controls.lock) {
    lockClicked(options, panel, traits);
    return true;
  }
  return false;
}

bool pairScroll(OptionsWindow& options, Window panel, const PairTraits& traits, unsigned message, std::uintptr_t wParam,
                std::intptr_t lParam) {
  const int id = platform::dialogControlId(reinterpret_cast<Window>(lParam));
  if (message == platform::WM_HSCROLL) {
    if (id == traits.controls.previewTrackbar) {
      trackbarMoved(options, panel, traits, Side::Preview, wParam, lParam);
      return true;
    }
    if (id == traits.controls.acquireTrackbar) {
      trackbarMoved(options, panel, traits, Side::Acquire, wParam, lParam);
      return true;
    }
    return false;
  }
  if (message != platform::WM_VSCROLL) return false;
  const bool preview = id == traits.controls.previewSpin;
  if (!preview && id != traits.controls.acquireSpin) return false;
  // Only the press itself moves the value; the release that follows it
  // (and any other code) is ignored.
  if (platform::loWord(wParam) != platform::SB_THUMBPOSITION) return true;
  spinPressed(options, panel, traits, preview ? Side::Preview : Side::Acquire,
              static_cast<int>(platform::hiWord(wParam)));
  return true;
}

} // namespace vx
