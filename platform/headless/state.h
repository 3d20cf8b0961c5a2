// Internal state shared by the files of the headless backend.
//
// One mutex guards all of it (the profile-file functions have their own).
// Functions named ...Locked expect that mutex to be held by the caller; all
// other functions here take it themselves and must be called without it.
// User code (dialog and timer procedures, scripts, observers) is only ever
// called with the mutex released.
#pragma once

#include "platform/headless_control.h"
#include "platform/platform.h"
#include "platform/printf_format.h"
#include "../text_buffers.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless::detail {

using Lock = std::unique_lock<std::mutex>;

std::mutex& stateMutex();
// Notified whenever something a blocked thread may wait for changes: an
// event set or closed, the virtual clock moved, a message posted, a timer
// set or killed.
std::condition_variable& stateChanged();

// ---- clock (clock_and_events.cpp) ----------------------------------------
// The clock runs in 64-bit milliseconds internally; tickCount() is its low
// 32 bits.
std::uint64_t nowLocked();
bool virtualTimeLocked();
// Virtual time only: moves the clock forward to `tick` (never backwards).
void advanceClockToLocked(std::uint64_t tick);
// The real (steady clock) moment at which the real clock reads `tick`.
std::chrono::steady_clock::time_point realTimePoint(std::uint64_t tick);
void resetClockLocked();

// ---- windows (windows.cpp) -----------------------------------------------
struct ControlState {
  ControlKind kind = ControlKind::Static;
  std::uint32_t style = 0;  // the template's styles (WS_GROUP, ES_*, CBS_*, ...)
  int checked = 0;
  std::vector<std::string> items;
  int selection = -1;
  int rangeMin = 0;
  int rangeMax = 100;
  int position = 0;
};

struct DialogState {
  int templateId = 0;
  DialogProc proc = nullptr;
  bool modal = false;
  bool ended = false;
  std::intptr_t result = 0;
  bool destroySent = false;
  std::vector<Window> controls;  // in template order
};

struct WindowData {
  Window handle = nullptr;
  std::uint64_t sequence = 0;  // creation order
  bool foreign = false;
  bool child = false;          // child window: rect is in the parent's client pixels
  bool visible = false;
  bool enabled = true;
  Window owner = nullptr;      // owner (top-level) or parent (child)
  std::string className;
  std::string text;
  Rect rect{};                 // top-level: outer rectangle on screen
  int controlId = 0;
  std::intptr_t userData = 0;  // setWindowUserData
  std::vector<int> statusParts;
  std::vector<std::string> statusTexts;
  std::vector<Window> children;  // creation order
  std::optional<DialogState> dialog;
  std::optional<ControlState> control;
};

// A combo box with CBS_DROPDOWNLIST has no edit; any other is typed.
inline bool isDropDownList(const ControlState& c) {
  return c.kind == ControlKind::ComboBox && (c.style & CBS_TYPEMASK) == CBS_DROPDOWNLIST;
}

inline constexpr const char* kDialogClass = "#32770";
inline constexpr const char* kStatusBarClass = "msctls_statusbar32";

// An existing window; a foreign handle is modelled on first use.
WindowData* findWindowLocked(Window w);
// An existing or already modelled window; never models a new one.
WindowData* peekWindowLocked(Window w);
WindowData& createWindowLocked(const std::string& className, const std::string& text,
                               Rect rect, Window owner, bool child);
// The child of `parent` with this control id (the first one), or null.
WindowData* childByIdLocked(const WindowData& parent, int id);
void recordOperationLocked(Window w, std::string operation);
// Top-level windows in creation order.
std::vector<Window> topLevelWindowsLocked();
// Makes a top-level window (or null: none) the active window.
void activateLocked(Window w);
Window activeWindowLocked();
// Destroys a window as DestroyWindow does (owned windows first, then
// WM_DESTROY to a dialog's procedure once, then the window and its
// children are removed and their timers killed). Call without the lock.
bool destroyWindowTree(Window w);
void resetWindowsLocked();

// ---- dialogs (dialogs.cpp) -------------------------------------------------
// The control with this id in a dialog (a child window with control state).
WindowData* controlLocked(Window dialog, int id);
// Calls the dialog's procedure (without the lock) and applies the default
// handling of WM_CLOSE. Returns 0 for windows without a procedure.
std::intptr_t deliverMessage(Window w, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam);
// Calls only the procedure, no default handling.
std::intptr_t callProcedure(Window w, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam);
// Runs the message loop for one window: dispatches, in order, the messages
// posted to it (by the dialog's default handling or by its procedure),
// including those posted while doing so. A user's action ends with this, as
// the message loop runs before the next input.
void dispatchPostedTo(Window w);
// The program's text write (WM_SETTEXT): an edit takes it and sends
// EN_UPDATE and EN_CHANGE to its dialog; a drop-down combo takes it quietly;
// a drop-down list refuses it (false), as does anything but a control.
bool setControlText(Window control, const char* text);
// Sends the two notifications of a changed text (EN_UPDATE and EN_CHANGE,
// or CBN_EDITUPDATE and CBN_EDITCHANGE), the second only if the control
// still exists after the first.
void notifyTextChanged(Window dialog, Window control, int id, unsigned update, unsigned change);
void recordDialogEndLocked(Window dialog, std::intptr_t result);
void resetDialogsLocked();

// ---- timers and message loop (message_loop.cpp) ---------------------------
void killWindowTimersLocked(Window w);
void postLocked(const Message& message);   // notify stateChanged() after unlocking
// Takes the oldest message posted to `w` out of the queue.
bool takePostedLocked(Window w, Message* message);
// A destroyed window's posted messages are dropped.
void dropPostedLocked(Window w);
// Keeps every timer's remaining time when the clock is switched.
void rebaseTimersLocked(std::uint64_t oldNow, std::uint64_t newNow);
void resetMessageLoopLocked();

// ---- the rest ----------------------------------------------------------------
void resetDiagnosticsLocked();   // debug_and_message_boxes.cpp
void resetFileDialogLocked();    // file_dialog.cpp
void resetGdiLocked();           // gdi.cpp

// printf into a std::string.
std::string format(const char* pattern, ...) VX_PRINTF_FORMAT(1, 2);

using shared::copyTerminated;

} // namespace platform::headless::detail
