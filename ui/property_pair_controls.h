// One preview/acquire pair as a panel shows it: for each side a trackbar,
// an edit and a spin, and a lock check box under which the acquisition
// value follows the preview value. The numeric property panels show one
// pair each, the white balance panel three. A table of constants (PairTraits)
// says how a pair formats its values, places its trackbars, checks its
// range and writes the camera; the handlers here are the same for all.
//
// The preview value is written to the camera as soon as its edit changes;
// the acquisition value is only stored (the snapshot uses it). Every change
// goes through the edits: a trackbar, a spin, the lock, Initialize, Cancel
// and the host's own values write an edit's text, and writing an edit runs
// its change handling at once, before the write returns, as a Win32 edit
// notifies its dialog.
//
// User-interface thread only, inside the panel's dialog procedure.
#pragma once

#include "ui/options_window.h"

#include <cstdint>
#include <span>

namespace vx {

// The pair's controls in its panel.
struct PairControls {
  int previewTrackbar;
  int acquireTrackbar;
  int lock;
  int previewEdit;
  int acquireEdit;
  int previewSpin;
  int acquireSpin;
};

// What replaces a typed value outside the display range.
enum class Fallback {
  Fixed,              // the rule's own value
  PreviousIntoRange,  // the side's previous value, pulled to the bound it lies beyond
  Previous,           // the side's previous value as it is
};

// The message box shown for a value outside the display range (owned by the
// panel, caption "VARNEX - ERROR") and what the edit then shows.
struct RangeRule {
  const char* message;  // takes the display minimum and maximum
  bool integerBounds;   // the bounds truncated for "%d", else as floats for "%f"
  Fallback fallback;
  float fixedValue;     // for Fallback::Fixed
};

// One property write of a preview value, and what is reported about it.
enum class ValueLine { Integer, Float };  // "%d" of the truncated value, or the value itself
struct CameraWrite {
  int sdkProperty;
  const char* failureText;  // message box owned by optionsParent, caption "ERROR", with the SDK's error
  const char* successLine;
  const char* valueLine;
  ValueLine valueFormat;
};

// The debug line a pair writes for every message of its trackbars.
enum class TrackbarLine {
  None,
  MessageAndHandle,  // "W: %d  L: %d": the message's wParam and the trackbar
  Position,          // "Position: %d": the trackbar's position
};

struct PairTraits {
  NumericProperty property;
  PairControls controls;
  bool integerValues;     // edits show "%d" of the truncated value, trackbar values are truncated; else "%.2f"
  int trackbarSteps;      // a trackbar runs 0..steps over the display range
  double trackbarFactor;  // position p stands for min + (max - min) * (p * factor)
  float spinStep;
  RangeRule previewRange;
  RangeRule acquireRange;
  std::span<const CameraWrite> writes;  // in order; the first refusal stops the rest
  bool copyToPreviewWhenEqual;          // a locked acquisition edit copies itself to the preview edit even when equal
  bool saturationLines;                 // the saturation's range and camera value lines before each write
  TrackbarLine trackbarLine;
};

// Opening: takes the Cancel copy of the values and the lock, starts the
// spins afresh (their controls are new), gives the trackbars their range,
// then writes the preview edit (which applies the value to the camera) and
// the acquisition edit. The lock check box is the caller's: a panel with
// several pairs sets its boxes after all edits.
void showPair(OptionsWindow& options, Window panel, const PairTraits& traits);

// Initialize: the preview value becomes `value` and its edit is written,
// then the same for the acquisition value.
void resetPair(OptionsWindow& options, Window panel, const PairTraits& traits, float value);

// Cancel: the values and the lock as they were at the opening (the caller
// then writes the preview edit, so that the camera gets its value back).
void restorePair(OptionsWindow& options, const PairTraits& traits);

// Writes the preview or the acquisition edit with a value, in the pair's format.
void writePreviewEdit(Window panel, const PairTraits& traits, float value);
void writeAcquireEdit(Window panel, const PairTraits& traits, float value);

// WM_COMMAND: the edits' update notifications and the lock's click. Returns
// whether the command was one of this pair's.
bool pairCommand(OptionsWindow& options, Window panel, const PairTraits& traits, int id, unsigned code);

// WM_HSCROLL from the trackbars and WM_VSCROLL from the spins. Returns
// whether the message came from one of this pair's controls.
bool pairScroll(OptionsWindow& options, Window panel, const PairTraits& traits, unsigned message,
                std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
