// Control and inspection interface of the headless platform backend.
//
// Tests and tools (the host program) use this to script the user's answers,
// read what the driver showed and did, and run time virtually. The driver
// never includes this header.
//
// All functions are thread-safe unless stated. Answers are consumed in FIFO
// order; when a queue is empty the documented default applies. No lock of
// the backend is held while it calls out (dialog procedures, timer
// procedures, scripts, observers, echo functions), so all of them may call
// back into the platform.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// Restores the initial state: empty logs and queues, no windows, no timers,
// no posted messages, no palettes, real time, default answers. Sends no
// messages (no WM_DESTROY) to the dialogs it removes. Events are left alone:
// they belong to the threads that created them. Call between tests.
PLATFORM_API void reset();

// ---- debug output --------------------------------------------------------
// One entry per debugOutput call, one trailing "\n" or "\r\n" removed.
PLATFORM_API std::vector<std::string> debugLines();   // every line written, in order
PLATFORM_API void clearDebugLines();
// Called (on the writing thread) for every line; empty function = none.
PLATFORM_API void setDebugEcho(std::function<void(const std::string&)> echo);

// ---- message boxes -------------------------------------------------------
struct MessageBoxRecord {
  Window owner = nullptr;
  std::string text;
  std::string caption;
  unsigned type = 0;
  int answer = 0;
};
PLATFORM_API std::vector<MessageBoxRecord> messageBoxes();
PLATFORM_API void clearMessageBoxes();
PLATFORM_API void queueMessageBoxAnswer(int answer);       // IDOK, IDCANCEL, ...
PLATFORM_API void setDefaultMessageBoxAnswer(int answer);  // initially IDOK
// Called for every box before it is answered (e.g. to echo it); may be empty.
// The record's answer is still 0; the observer may queue the answer.
PLATFORM_API void setMessageBoxObserver(std::function<void(const MessageBoxRecord&)> observer);

// ---- windows -------------------------------------------------------------
// Top-level windows (host windows, dialogs, foreign windows) have an 8 x 34
// non-client frame: 4 px left, right and bottom, 30 px on top (caption), so
// the client area is the outer size less 8 x 34 and its origin on screen is
// (left + 4, top + 30). Child windows (controls, status bars) have none.
inline constexpr int kFrameLeft = 4;
inline constexpr int kFrameTop = 30;
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 34;
// The outer rectangle a foreign window (a handle the host passes in that was
// not created here) gets when it is first used: shown, enabled, no text.
inline constexpr Rect kForeignWindowRect{0, 0, 800, 600};
// Height of a status bar, docked at the foot of its parent's client area.
inline constexpr int kStatusBarHeight = 20;

// A top-level window as a host would create it (outer rectangle given; the
// client area is the outer size less an 8 x 34 frame). It is shown and
// becomes the active window. Class "HostWindow".
PLATFORM_API Window createHostWindow(const char* title, Rect outer);
PLATFORM_API void setActiveWindow(Window w);

struct WindowInfo {
  bool exists = false;
  bool foreign = false;      // handed in by a host, not created here
  bool visible = false;      // the window's own visibility (not its parent's)
  bool enabled = true;
  Window owner = nullptr;    // owner or parent
  std::string className;     // "#32770" dialogs, "msctls_statusbar32", ...
  std::string text;
  Rect windowRect{};         // screen
  Rect clientRect{};         // client coordinates (left/top 0)
  int controlId = 0;
  std::vector<int> statusParts;          // status bar right edges
  std::vector<std::string> statusTexts;  // status bar part texts
  std::vector<Window> children;
};
// A foreign window that has not been used yet reports exists = false.
PLATFORM_API WindowInfo windowInfo(Window w);
PLATFORM_API Window statusBarOf(Window parent);   // the status bar child, or null

// Every operation the driver performed on a window, in order. Recorded for
// every window (foreign or not) by these calls, with these texts:
//   "showWindow <command>"
//   "setWindowPos <x> <y> <width> <height> flags=0x<hex flags>"
//   "moveWindow <x> <y> <width> <height> repaint=<0|1>"
//   "destroyWindow", "setWindowText <text>", "enableWindow <0|1>"
//   "createStatusBar <id>" (on the parent)
//   "sendMessage 0x<hex message> <wParam> <lParam>" (windows without a dialog procedure)
// e.g. "setWindowPos 0 0 328 274 flags=0x16" or "showWindow 5".
struct WindowOperation {
  Window window = nullptr;
  std::string operation;
};
PLATFORM_API std::vector<WindowOperation> windowOperations();
PLATFORM_API void clearWindowOperations();

// The wait cursor's current state and every setWaitCursor argument in order.
PLATFORM_API bool waitCursorShown();
PLATFORM_API std::vector<bool> waitCursorCalls();

// ---- dialogs -------------------------------------------------------------
// A script runs once a modal dialog of that template id has been initialised
// (after WM_INITDIALOG). It acts as the user through the functions below. If
// the dialog has not ended when the script returns (or there is no script),
// the backend presses OK (WM_COMMAND IDOK); if that does not end it either,
// it sends WM_CLOSE, and failing that ends the dialog with -1.
//
// Dialogs behave as Win32 dialogs do in these respects: a modal dialog is
// shown and active while its script runs and disables its owner meanwhile;
// a modeless one is created hidden. WM_CLOSE that the procedure does not
// handle is turned into a posted WM_COMMAND IDCANCEL as platform.h says;
// the modal run delivers it after the script, and a user's action below
// delivers what it caused to be posted to its dialog before it returns (the
// message loop runs before the next input). Destroying a window destroys
// the windows it owns first, then sends WM_DESTROY, then removes its
// children; its timers and the messages posted to it are dropped.
using DialogScript = std::function<void(Window dialog)>;
PLATFORM_API void setDialogScript(int templateId, DialogScript script);
PLATFORM_API void clearDialogScripts();

struct DialogRecord {
  int templateId = 0;
  Window dialog = nullptr;
  Window owner = nullptr;
  bool modal = false;
  std::intptr_t result = 0;  // modal result once ended (endDialog's for modeless)
  bool ended = false;        // endDialog was called (or the modal run ended)
};
PLATFORM_API std::vector<DialogRecord> dialogsShown();  // every dialog created, in order
PLATFORM_API Window findDialog(int templateId);         // the newest existing one, or null

struct ControlInfo {
  bool exists = false;
  ControlKind kind = ControlKind::Static;
  std::uint32_t style = 0;         // the template's styles
  std::string text;                // caption or edit text
  int checked = 0;                 // check boxes and radio buttons
  std::vector<std::string> items;  // combo items
  int selection = -1;              // combo selection
  int rangeMin = 0, rangeMax = 100; // trackbars 0..100; up-downs start as Win32's 100..0
  int position = 0;                // trackbar / up-down
  bool enabled = true;
  bool visible = true;
  Rect rect{};                     // client pixels of the dialog
};
PLATFORM_API ControlInfo controlInfo(Window dialog, int id);

// User actions. Each changes the control as a user would and notifies the
// dialog procedure the way Win32 does. A user cannot reach a control that is
// disabled or hidden: actions on such a control (or a missing one, or one of
// the wrong kind) do nothing. Send the message with sendMessage instead to
// simulate what reaches a dialog by other paths.
// clickButton: push buttons, check boxes (toggle) and radio buttons (checks
// itself and unchecks the rest of its group, as platform.h says), then
// WM_COMMAND BN_CLICKED.
PLATFORM_API void clickButton(Window dialog, int id);
// EN_SETFOCUS, then the keystrokes: the old text is selected and each
// character replaces it or follows it, each accepted one sending EN_UPDATE
// and EN_CHANGE with the text so far ("" deletes the old text). A
// number-only edit (ES_NUMBER) refuses every non-digit, a read-only edit
// (ES_READONLY) every keystroke. When a handler rewrites the edit
// meanwhile, the caret is at its start afterwards (as after any program
// write) and the remaining characters are inserted there.
PLATFORM_API void typeText(Window dialog, int id, const char* text);
PLATFORM_API void focusEdit(Window dialog, int id);              // EN_SETFOCUS
// Selects an existing item (out of range: nothing), then CBN_SELENDOK and
// CBN_SELCHANGE. A drop-down list's text is the new item during both; a
// drop-down combo's edit still shows its old text then and takes the
// item's text after them (read the item with comboGetLBText).
PLATFORM_API void selectComboItem(Window dialog, int id, int index);
// Types into a drop-down combo's edit (CBS_DROPDOWN; a drop-down list has
// none: nothing happens) as typeText does, each keystroke sending
// CBN_EDITUPDATE and CBN_EDITCHANGE. No item of the list stays selected.
PLATFORM_API void typeComboText(Window dialog, int id, const char* text);
// Sets the position (clamped into range), then WM_HSCROLL (WM_VSCROLL for a
// TBS_VERT trackbar) makeWParam(code, position) with lParam = the trackbar.
PLATFORM_API void moveTrackbar(Window dialog, int id, int position,
                               unsigned code = SB_THUMBPOSITION);
// One click on an up-down control's arrow. The up (or, with UDS_HORZ,
// right) arrow moves toward the range's maximum: with the default range
// 100..0 it lowers the position. First WM_NOTIFY UDN_DELTAPOS (wParam the
// id, lParam an UpDownNotify with the old position and the delta of one
// step; the position moves by the delta the procedure leaves there), then
// the position moves, staying within the range (at its end it stays put),
// then WM_VSCROLL (WM_HSCROLL with UDS_HORZ) makeWParam(SB_THUMBPOSITION,
// new position) and, as the button is released, the same with SB_ENDSCROLL;
// lParam the up-down control. Both are sent also when nothing moved.
enum class UpDownArrow { Up, Down };
PLATFORM_API void pressUpDown(Window dialog, int id, UpDownArrow arrow);
// The close box: WM_CLOSE, then what its default handling posted.
PLATFORM_API void closeDialog(Window dialog);
// WM_ACTIVATEAPP (wParam 1 or 0, lParam = otherThreadId) to every existing
// modeless dialog, in creation order.
PLATFORM_API void activateApp(bool active, std::uint32_t otherThreadId);

// ---- file-open dialog ----------------------------------------------------
// nullopt answers Cancel. Default when the queue is empty: Cancel.
PLATFORM_API void queueOpenFileAnswer(std::optional<std::string> path);
struct OpenFileRecord {
  Window owner = nullptr;
  // The filter's "\0" separators are recorded as '|', without the final
  // terminator: "Bitmaps|*.bmp|All files|*.*".
  std::string filter, title, defaultExtension, initialDirectory;
  unsigned flags = 0;
};
PLATFORM_API std::vector<OpenFileRecord> openFileRequests();

// ---- time ----------------------------------------------------------------
// In virtual time the clock stands still until advanced: sleep() advances it
// by its own duration; waitMessage() advances it to the next due timer; a
// timed wait returns when its event is set or the clock has reached its
// deadline. With autoAdvanceWaits a timed wait on an event that is not set
// advances the clock to its deadline and times out at once. Switch modes
// only while no thread waits; running timers keep their remaining time.
PLATFORM_API void useVirtualTime(bool virtualTime, std::uint32_t startTick = 0);
PLATFORM_API bool virtualTime();
// Virtual time only (no effect in real time); fires nothing by itself.
PLATFORM_API void advanceTime(std::uint32_t milliseconds);
PLATFORM_API void setAutoAdvanceWaits(bool on);
PLATFORM_API std::vector<std::uint32_t> sleeps();  // durations passed to sleep(), in order
PLATFORM_API void clearSleeps();
// Threads blocked in waitForSingleObject right now (lets a test act once
// another thread is really waiting, without timing).
PLATFORM_API std::size_t blockedWaitCount();

struct TimerInfo {
  Window window = nullptr;
  std::uintptr_t id = 0;
  std::uint32_t period = 0;
  std::uint32_t nextDue = 0;  // tick
};
PLATFORM_API std::vector<TimerInfo> activeTimers();
// Every setTimer call with its period, in order.
PLATFORM_API std::vector<TimerInfo> timerStarts();

// Posts a message to the queue that peekMessage reads and wakes waitMessage;
// any thread. A window destroyed here is refused (false); any other window
// value, or null, is accepted.
PLATFORM_API bool postMessage(Window window, unsigned message, std::uintptr_t wParam,
                              std::intptr_t lParam);

// ---- GDI -------------------------------------------------------------------
struct BitmapDraw {
  DeviceContext dc = nullptr;
  int x = 0, y = 0;
  std::uint32_t width = 0, height = 0;
  std::uint32_t scanLines = 0;
  BitmapInfoHeader header{};
  std::vector<std::uint16_t> paletteIndices;  // DIB_PAL_COLORS table
  std::vector<std::uint8_t> bits;             // copied pixel rows, bottom-up
  bool paletteSelected = false;               // a palette was selected and realised
  std::vector<PaletteEntry> palette;          // the selected palette's entries
};
// The most recent draws (at most kMaxBitmapDraws are kept, oldest dropped,
// so that a long preview does not grow memory without bound).
inline constexpr std::size_t kMaxBitmapDraws = 64;
PLATFORM_API std::vector<BitmapDraw> bitmapDraws();
PLATFORM_API std::size_t bitmapDrawCount();  // all draws since the last clear
PLATFORM_API void clearBitmapDraws();
PLATFORM_API std::size_t livePaletteCount();   // palettes created and not deleted

} // namespace platform::headless
