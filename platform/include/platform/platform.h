// The operating-system services the driver uses, behind one narrow interface.
//
// Every call here has a Win32 counterpart with the same meaning (named in the
// comment), so that a Win32 backend can implement this header without any
// change to the driver. The backend built on Linux is the headless one in
// platform/headless: it keeps windows, dialogs and timers as models that tests
// and tools inspect and drive through platform/headless_control.h, which the
// driver never includes.
//
// Threading: debug output, events, sleep and the clock may be used from any
// thread. Everything that touches windows, dialogs, message boxes, timers and
// the message loop belongs to the one user-interface thread, as on Win32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Handle types are declared the way <windows.h> declares them with STRICT, so
// that a Win32 backend passes its HWND/HDC/... values through unchanged.
struct HWND__;
struct HDC__;
struct HINSTANCE__;

// Marks the functions the platform library exports (the project builds with
// hidden visibility by default). On Windows the headless backend is a DLL
// that exports them (VX_PLATFORM_BUILDING while it is built); callers need no
// import marking, since the import library's stubs serve plain calls, so the
// same objects link against either backend. A program that links the DLL
// alone may import directly (VX_PLATFORM_IMPORT), so that the address of a
// function is the DLL's own rather than its stub's in the program.
#ifndef PLATFORM_API
#if defined(_WIN32)
#if defined(VX_PLATFORM_BUILDING)
#define PLATFORM_API __declspec(dllexport)
#elif defined(VX_PLATFORM_IMPORT)
#define PLATFORM_API __declspec(dllimport)
#else
#define PLATFORM_API
#endif
#else
#define PLATFORM_API __attribute__((visibility("default")))
#endif
#endif

namespace platform {

using Window = ::HWND__*;            // HWND; null = none
using DeviceContext = ::HDC__*;      // HDC
using ModuleHandle = ::HINSTANCE__*; // HINSTANCE / HMODULE

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// ---------------------------------------------------------------------------
// Window messages and notification codes (same values as Win32).
// ---------------------------------------------------------------------------
inline constexpr unsigned WM_DESTROY = 0x0002;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_ACTIVATEAPP = 0x001C;
inline constexpr unsigned WM_NOTIFY = 0x004E;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_TIMER = 0x0113;
inline constexpr unsigned WM_HSCROLL = 0x0114;
inline constexpr unsigned WM_VSCROLL = 0x0115;

inline constexpr unsigned BN_CLICKED = 0;
inline constexpr unsigned CBN_SELCHANGE = 1;
inline constexpr unsigned CBN_SELENDOK = 9;
inline constexpr unsigned CBN_EDITCHANGE = 5;
inline constexpr unsigned CBN_EDITUPDATE = 6;
inline constexpr unsigned EN_SETFOCUS = 0x0100;
inline constexpr unsigned EN_CHANGE = 0x0300;
inline constexpr unsigned EN_UPDATE = 0x0400;
inline constexpr unsigned SB_THUMBPOSITION = 4;
inline constexpr unsigned SB_THUMBTRACK = 5;
inline constexpr unsigned SB_ENDSCROLL = 8;

// Up-down notification sent (as WM_NOTIFY) before an arrow press moves the
// position; lParam points at an UpDownNotify.
inline constexpr unsigned UDN_DELTAPOS = 0xFFFFFD2Eu;  // UDN_FIRST - 1

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message box types (MB_*).
inline constexpr unsigned MB_OK = 0x0000;
inline constexpr unsigned MB_OKCANCEL = 0x0001;
inline constexpr unsigned MB_YESNO = 0x0004;
inline constexpr unsigned MB_ICONERROR = 0x0010;
inline constexpr unsigned MB_ICONWARNING = 0x0030;
inline constexpr unsigned MB_ICONINFORMATION = 0x0040;

// ShowWindow commands (SW_*).
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;

// SetWindowPos flags (SWP_*).
inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;
inline constexpr unsigned SWP_NOZORDER = 0x0004;
inline constexpr unsigned SWP_NOACTIVATE = 0x0010;
inline constexpr unsigned SWP_NOOWNERZORDER = 0x0200;

// Check box states (BST_*).
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

inline constexpr std::uint32_t INFINITE_WAIT = 0xFFFFFFFFu;
inline constexpr std::uint32_t WAIT_OBJECT_0 = 0x00000000u;
inline constexpr std::uint32_t WAIT_TIMEOUT = 0x00000102u;
inline constexpr std::uint32_t WAIT_FAILED = 0xFFFFFFFFu;

// Builds the wParam of WM_COMMAND / WM_HSCROLL style messages.
constexpr std::uintptr_t makeWParam(unsigned low, unsigned high) {
  return static_cast<std::uintptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr unsigned loWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned hiWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }

// ---------------------------------------------------------------------------
// Debug output (OutputDebugStringA). Any thread.
// ---------------------------------------------------------------------------
PLATFORM_API void debugOutput(const char* text);

// ---------------------------------------------------------------------------
// Message boxes (MessageBoxA). Modal; returns IDOK, IDCANCEL, ...
// ---------------------------------------------------------------------------
PLATFORM_API int messageBox(Window owner, const char* text, const char* caption, unsigned type);

// ---------------------------------------------------------------------------
// Windows. Any handle value is accepted: windows the driver did not create
// (the host's own) are treated as existing top-level windows.
// ---------------------------------------------------------------------------
PLATFORM_API Window activeWindow();                                      // GetActiveWindow
PLATFORM_API bool isWindow(Window w);                                    // IsWindow
PLATFORM_API bool showWindow(Window w, int command);                     // ShowWindow
PLATFORM_API bool setWindowPos(Window w, Window insertAfter, int x, int y, int width, int height,
                               unsigned flags);                          // SetWindowPos
PLATFORM_API bool moveWindow(Window w, int x, int y, int width, int height, bool repaint); // MoveWindow
PLATFORM_API bool getWindowRect(Window w, Rect* rect);                   // GetWindowRect (screen)
PLATFORM_API bool getClientRect(Window w, Rect* rect);                   // GetClientRect
PLATFORM_API bool destroyWindow(Window w);                               // DestroyWindow
PLATFORM_API bool setWindowText(Window w, const char* text);             // SetWindowTextA
PLATFORM_API int getWindowText(Window w, char* buffer, int size);        // GetWindowTextA
PLATFORM_API bool enableWindow(Window w, bool enable);                   // EnableWindow
PLATFORM_API bool isWindowEnabled(Window w);                             // IsWindowEnabled
PLATFORM_API bool isWindowVisible(Window w);                             // IsWindowVisible

// Window user data (SetWindowLongPtrA / GetWindowLongPtrA with
// GWLP_USERDATA): one pointer-sized value kept with a window for its owner,
// 0 until set and for a window that does not exist. A dialog procedure
// stores its context here at WM_INITDIALOG and finds it again for every
// later message, WM_DESTROY included.
PLATFORM_API std::intptr_t setWindowUserData(Window w, std::intptr_t value);  // returns the previous value
PLATFORM_API std::intptr_t windowUserData(Window w);

// Status bar child window ("msctls_statusbar32", CreateStatusWindow) and its
// SB_SETPARTS / SB_SETTEXT messages.
PLATFORM_API Window createStatusBar(Window parent, int id);
PLATFORM_API bool statusBarSetParts(Window statusBar, int count, const int* rightEdges);
PLATFORM_API bool statusBarSetText(Window statusBar, int part, const char* text);

// ---------------------------------------------------------------------------
// Dialogs. The driver describes its dialog templates as data; the backend
// builds the dialog from it (a Win32 backend with DialogBoxIndirectParam).
// ---------------------------------------------------------------------------
using DialogProc = std::intptr_t (*)(Window dialog, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

enum class ControlKind {
  Static,
  Button,      // push button
  CheckBox,    // auto check box
  RadioButton, // auto radio button
  Edit,
  ComboBox,    // typed drop-down combo, or drop-down list with CBS_DROPDOWNLIST
  Trackbar,    // msctls_trackbar32
  UpDown,      // msctls_updown32, without a buddy
  GroupBox,
};

// Styles a control template may carry, with their Win32 values. The kind
// gives the control's class and base style; these add to it.
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;     // any kind: starts a group
inline constexpr std::uint32_t ES_READONLY = 0x0800u;      // edit: the user cannot type
inline constexpr std::uint32_t ES_NUMBER = 0x2000u;        // edit: typed non-digits are refused
inline constexpr std::uint32_t CBS_DROPDOWN = 0x0002u;     // combo: typed edit above the list (the default)
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003u; // combo: list only, no typing
inline constexpr std::uint32_t CBS_TYPEMASK = 0x0003u;
inline constexpr std::uint32_t UDS_HORZ = 0x0040u;         // up-down: arrows left/right, WM_HSCROLL
inline constexpr std::uint32_t TBS_VERT = 0x0002u;         // trackbar: vertical, WM_VSCROLL

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  const char* caption = "";
  Rect rect{};          // client pixels
  bool visible = true;
  bool enabled = true;
  std::uint32_t style = 0;  // the styles above
};

// NMHDR and NMUPDOWN, the data of WM_NOTIFY from an up-down control.
struct NotifyHeader {
  Window from = nullptr;
  std::uintptr_t idFrom = 0;
  unsigned code = 0;
};
struct UpDownNotify {
  NotifyHeader header;
  int position = 0;  // the position before the press
  int delta = 0;     // the proposed change
};

struct DialogTemplate {
  int id = 0;               // template (resource) id
  const char* title = "";
  Rect rect{};              // window rectangle at creation, screen pixels
  const ControlTemplate* controls = nullptr;
  std::size_t controlCount = 0;
};

// DialogBoxIndirectParamA: modal. Sends WM_INITDIALOG with initParam, runs
// until endDialog and returns its result (-1 when the dialog can't be run).
PLATFORM_API std::intptr_t dialogBox(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                                     std::intptr_t initParam);
// CreateDialogIndirectParamA: modeless; sends WM_INITDIALOG before returning.
PLATFORM_API Window createDialog(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                                 std::intptr_t initParam);
PLATFORM_API bool endDialog(Window dialog, std::intptr_t result);          // EndDialog
PLATFORM_API std::intptr_t sendMessage(Window w, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam);              // SendMessageA to a dialog
PLATFORM_API Window dialogItem(Window dialog, int id);                     // GetDlgItem
PLATFORM_API int dialogControlId(Window control);                          // GetDlgCtrlID (0: none)

// What every backend's dialogs do by default, as Win32's dialog manager:
// - WM_CLOSE that the procedure does not handle (returns 0) posts
//   WM_COMMAND makeWParam(IDCANCEL, BN_CLICKED) to the dialog, lParam the
//   control with id 2 (or null), whatever that control is; nothing is posted
//   when that control is disabled. A dialog whose id 2 is not a Cancel
//   button therefore handles WM_CLOSE itself.
// - A radio button clicked by the user unchecks the other radio buttons of
//   its group (from a control with WS_GROUP to the next one) that are
//   visible and enabled.
//
// Control access by id, each the Win32 call or control message named.
// Writing an edit's text (read-only and number-only ones too, and any
// text) sends EN_UPDATE and EN_CHANGE to the dialog procedure before
// returning, as SetDlgItemTextA on an edit does. A drop-down combo takes a
// text write without notifying; a drop-down list refuses it (false).
PLATFORM_API bool setDlgItemText(Window dialog, int id, const char* text);        // SetDlgItemTextA
PLATFORM_API int getDlgItemText(Window dialog, int id, char* buffer, int size);   // GetDlgItemTextA
PLATFORM_API bool checkDlgButton(Window dialog, int id, int state);               // CheckDlgButton
PLATFORM_API int isDlgButtonChecked(Window dialog, int id);                       // IsDlgButtonChecked
PLATFORM_API bool checkRadioButton(Window dialog, int firstId, int lastId, int checkId); // CheckRadioButton
PLATFORM_API int comboResetContent(Window dialog, int id);                        // CB_RESETCONTENT
PLATFORM_API int comboAddString(Window dialog, int id, const char* text);         // CB_ADDSTRING -> index
PLATFORM_API int comboSetCurSel(Window dialog, int id, int index);                // CB_SETCURSEL
PLATFORM_API int comboGetCurSel(Window dialog, int id);                           // CB_GETCURSEL (-1 none)
PLATFORM_API int comboGetCount(Window dialog, int id);                            // CB_GETCOUNT
// CB_GETLBTEXT: copies item `index` (terminated, cut to size) and returns the
// number of chars copied, or -1 when there is no such item.
PLATFORM_API int comboGetLBText(Window dialog, int id, int index, char* buffer, int size);
PLATFORM_API bool trackbarSetRange(Window dialog, int id, int minimum, int maximum); // TBM_SETRANGE
PLATFORM_API bool trackbarSetPos(Window dialog, int id, int position);            // TBM_SETPOS (redraw)
PLATFORM_API int trackbarGetPos(Window dialog, int id);                           // TBM_GETPOS
PLATFORM_API bool upDownSetRange(Window dialog, int id, int minimum, int maximum); // UDM_SETRANGE32
PLATFORM_API bool upDownSetPos(Window dialog, int id, int position);              // UDM_SETPOS32
PLATFORM_API int upDownGetPos(Window dialog, int id);                             // UDM_GETPOS32

// Wait cursor around long work (SetCursor(LoadCursor(IDC_WAIT))). Returns
// whether the wait cursor was shown before, to restore it afterwards.
PLATFORM_API bool setWaitCursor(bool wait);

// ---------------------------------------------------------------------------
// Common file-open dialog (GetOpenFileNameA).
// ---------------------------------------------------------------------------
struct OpenFileRequest {
  Window owner = nullptr;
  const char* filter = "";          // pairs "description\0pattern\0" ending in "\0\0"
  const char* title = "";
  const char* defaultExtension = "";
  const char* initialDirectory = "";
  unsigned flags = 0;               // OFN_* values
};
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;
// On OK writes the chosen path (terminated, cut to size) and returns true;
// returns false when the user cancels.
PLATFORM_API bool getOpenFileName(const OpenFileRequest& request, char* path, std::size_t pathSize);

// ---------------------------------------------------------------------------
// Timers and the message loop (SetTimer, KillTimer, PeekMessageA,
// DispatchMessageA, WaitMessage). A timer without a window keeps the id it
// was given. Due timers post WM_TIMER; dispatching it calls the procedure.
// ---------------------------------------------------------------------------
using TimerProc = void (*)(Window window, unsigned message, std::uintptr_t id,
                           std::uint32_t time);
// Returns the timer id, or 0 on failure. Setting an existing id restarts it.
PLATFORM_API std::uintptr_t setTimer(Window window, std::uintptr_t id, std::uint32_t milliseconds,
                                     TimerProc proc);
PLATFORM_API bool killTimer(Window window, std::uintptr_t id);

struct Message {
  Window window = nullptr;
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::uint32_t time = 0;
};
// Takes the next waiting message (removing it when remove is set).
PLATFORM_API bool peekMessage(Message* message, bool remove);
PLATFORM_API std::intptr_t dispatchMessage(const Message& message);
// Blocks until a message is waiting. Returns false when none can ever arrive.
PLATFORM_API bool waitMessage();

// ---------------------------------------------------------------------------
// Time (GetTickCount, Sleep) and manual/auto-reset events (CreateEventA,
// SetEvent, ResetEvent, WaitForSingleObject, CloseHandle). Any thread.
// ---------------------------------------------------------------------------
PLATFORM_API std::uint32_t tickCount();
PLATFORM_API void sleep(std::uint32_t milliseconds);

struct EventObject;
using EventHandle = EventObject*;
PLATFORM_API EventHandle createEvent(bool manualReset, bool initiallySet);
PLATFORM_API bool setEvent(EventHandle event);
PLATFORM_API bool resetEvent(EventHandle event);
PLATFORM_API std::uint32_t waitForSingleObject(EventHandle event, std::uint32_t milliseconds);
PLATFORM_API bool closeEvent(EventHandle event);

// ---------------------------------------------------------------------------
// Private-profile (INI) files: GetPrivateProfileStringA,
// GetPrivateProfileIntA, WritePrivateProfileStringA. Sections and keys match
// without regard to case; a write changes only its own key and keeps every
// other line of the file; missing files, sections and keys give the default.
// ---------------------------------------------------------------------------
PLATFORM_API std::uint32_t getPrivateProfileString(const char* section, const char* key,
                                                   const char* defaultValue, char* buffer,
                                                   std::uint32_t size, const char* fileName);
PLATFORM_API std::uint32_t getPrivateProfileInt(const char* section, const char* key, int defaultValue,
                                                const char* fileName);
PLATFORM_API bool writePrivateProfileString(const char* section, const char* key, const char* value,
                                            const char* fileName);

// ---------------------------------------------------------------------------
// Modules (GetModuleHandleEx with an address, GetModuleFileNameA).
// ---------------------------------------------------------------------------
PLATFORM_API ModuleHandle moduleContaining(const void* address);
// Copies the module's file path (terminated, cut to size); returns its length.
PLATFORM_API std::uint32_t moduleFileName(ModuleHandle module, char* buffer, std::uint32_t size);

// ---------------------------------------------------------------------------
// GDI for 8-bit palette bitmaps (CreatePalette, SelectPalette,
// RealizePalette, DeleteObject, SetDIBitsToDevice with DIB_PAL_COLORS).
// ---------------------------------------------------------------------------
struct PaletteObject;
using PaletteHandle = PaletteObject*;
struct PaletteEntry {
  std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
PLATFORM_API PaletteHandle createPalette(std::uint16_t version, const PaletteEntry* entries,
                                         std::uint16_t count);
PLATFORM_API PaletteHandle selectPalette(DeviceContext dc, PaletteHandle palette, bool background);
PLATFORM_API unsigned realizePalette(DeviceContext dc);
PLATFORM_API bool deletePalette(PaletteHandle palette);

// BITMAPINFOHEADER, 40 bytes.
struct BitmapInfoHeader {
  std::uint32_t size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t clrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);
inline constexpr unsigned DIB_RGB_COLORS = 0;
inline constexpr unsigned DIB_PAL_COLORS = 1;

// `info` points at a BitmapInfoHeader followed by its colour table.
PLATFORM_API int setDIBitsToDevice(DeviceContext dc, int x, int y, std::uint32_t width, std::uint32_t height,
                                   int sourceX, int sourceY, std::uint32_t startScan, std::uint32_t scanLines,
                                   const void* bits, const void* info, unsigned colourUse);

} // namespace platform
