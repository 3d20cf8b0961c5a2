// Control and inspection interface of the headless platform backend.
//
// Tests and tools (the host program) use this to script the user's answers,
// read what the driver showed and did, and run time virtually. The driver
// never includes this header.
//
// All functions are thread-safe unless stated. Answers are consumed in FIFO
// order; when a queue is empty the documented default applies.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// Restores the initial state: empty logs and queues, no windows, no timers,
// real time, default answers. Call between tests.
void reset();

// ---- debug output --------------------------------------------------------
std::vector<std::string> debugLines();   // every line written, in order
void clearDebugLines();
// Called (on the writing thread) for every line; empty function = none.
void setDebugEcho(std::function<void(const std::string&)> echo);

// ---- message boxes -------------------------------------------------------
struct MessageBoxRecord {
  Window owner = nullptr;
  std::string text;
  std::string caption;
  unsigned type = 0;
  int answer = 0;
};
std::vector<MessageBoxRecord> messageBoxes();
void clearMessageBoxes();
void queueMessageBoxAnswer(int answer);       // IDOK, IDCANCEL, ...
void setDefaultMessageBoxAnswer(int answer);  // initially IDOK
// Called for every box before it is answered (e.g. to echo it); may be empty.
void setMessageBoxObserver(std::function<void(const MessageBoxRecord&)> observer);

// ---- windows -------------------------------------------------------------
// A top-level window as a host would create it (outer rectangle given; the
// client area is the outer size less an 8 x 34 frame).
Window createHostWindow(const char* title, Rect outer);
void setActiveWindow(Window w);

struct WindowInfo {
  bool exists = false;
  bool foreign = false;      // handed in by a host, not created here
  bool visible = false;
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
WindowInfo windowInfo(Window w);
Window statusBarOf(Window parent);   // the status bar child, or null

// Every operation the driver performed on a window, in order, e.g.
// "setWindowPos 0 0 328 274 flags=0x16" or "showWindow 5".
struct WindowOperation {
  Window window = nullptr;
  std::string operation;
};
std::vector<WindowOperation> windowOperations();
void clearWindowOperations();

// ---- dialogs -------------------------------------------------------------
// A script runs once a modal dialog of that template id has been initialised
// (after WM_INITDIALOG). It acts as the user through the functions below. If
// the dialog has not ended when the script returns (or there is no script),
// the backend presses OK (WM_COMMAND IDOK); if that does not end it either,
// it sends WM_CLOSE, and failing that ends the dialog with -1.
using DialogScript = std::function<void(Window dialog)>;
void setDialogScript(int templateId, DialogScript script);
void clearDialogScripts();

struct DialogRecord {
  int templateId = 0;
  Window dialog = nullptr;
  Window owner = nullptr;
  bool modal = false;
  std::intptr_t result = 0;  // modal result once ended
};
std::vector<DialogRecord> dialogsShown();  // every dialog created, in order
Window findDialog(int templateId);         // an existing dialog, or null

struct ControlInfo {
  bool exists = false;
  ControlKind kind = ControlKind::Static;
  std::string text;                // caption or edit text
  int checked = 0;                 // check boxes and radio buttons
  std::vector<std::string> items;  // combo items
  int selection = -1;              // combo selection
  int rangeMin = 0, rangeMax = 100;
  int position = 0;                // trackbar / up-down
  bool enabled = true;
  bool visible = true;
  Rect rect{};
};
ControlInfo controlInfo(Window dialog, int id);

// User actions. Each changes the control as a user would and notifies the
// dialog procedure the way Win32 does.
void clickButton(Window dialog, int id);            // toggles check/radio state, BN_CLICKED
void typeText(Window dialog, int id, const char* text); // EN_SETFOCUS, set text (EN_UPDATE, EN_CHANGE)
void focusEdit(Window dialog, int id);              // EN_SETFOCUS
void selectComboItem(Window dialog, int id, int index); // CBN_SELCHANGE
void typeComboText(Window dialog, int id, const char* text);
void moveTrackbar(Window dialog, int id, int position, unsigned code = SB_THUMBPOSITION);
void pressUpDown(Window dialog, int id, int newPosition); // WM_VSCROLL SB_THUMBPOSITION
void closeDialog(Window dialog);                    // WM_CLOSE
void activateApp(bool active, std::uint32_t otherThreadId); // WM_ACTIVATEAPP to every top-level dialog

// ---- file-open dialog ----------------------------------------------------
// nullopt answers Cancel. Default when the queue is empty: Cancel.
void queueOpenFileAnswer(std::optional<std::string> path);
struct OpenFileRecord {
  Window owner = nullptr;
  std::string filter, title, defaultExtension, initialDirectory;
  unsigned flags = 0;
};
std::vector<OpenFileRecord> openFileRequests();

// ---- time ----------------------------------------------------------------
// In virtual time the clock stands still until advanced: sleep() advances it
// by its own duration; waitMessage() advances it to the next due timer; a
// timed wait returns when its event is set or the clock has reached its
// deadline. With autoAdvanceWaits a timed wait on an event that is not set
// advances the clock to its deadline and times out at once.
void useVirtualTime(bool virtualTime, std::uint32_t startTick = 0);
bool virtualTime();
void advanceTime(std::uint32_t milliseconds);   // fires nothing by itself
void setAutoAdvanceWaits(bool on);
std::vector<std::uint32_t> sleeps();            // durations passed to sleep(), in order
void clearSleeps();

struct TimerInfo {
  Window window = nullptr;
  std::uintptr_t id = 0;
  std::uint32_t period = 0;
  std::uint32_t nextDue = 0;  // tick
};
std::vector<TimerInfo> activeTimers();
// Every setTimer call with its period, in order.
std::vector<TimerInfo> timerStarts();

// ---- modules -------------------------------------------------------------
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
std::vector<BitmapDraw> bitmapDraws();
void clearBitmapDraws();
std::size_t livePaletteCount();   // palettes created and not deleted

} // namespace platform::headless
