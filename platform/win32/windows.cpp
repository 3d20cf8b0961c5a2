// Windows: activation, placement, texts, status bars, the wait cursor and
// user data; and the helpers the other files of the backend share.
#include "win32_backend.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace platform::win32 {

void ensureCommonControls() {
  static std::once_flag once;
  std::call_once(once, [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
  });
}

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

bool hasClass(HWND w, const char* className) {
  if (w == nullptr) return false;
  char name[64] = "";
  GetClassNameA(w, name, sizeof name);
  return lstrcmpiA(name, className) == 0;
}

HWND controlOfClass(Window dialog, int id, const char* className) {
  if (dialog == nullptr) return nullptr;
  HWND control = GetDlgItem(dialog, id);
  return hasClass(control, className) ? control : nullptr;
}

} // namespace platform::win32

namespace platform {

using namespace win32;

Window activeWindow() { return GetActiveWindow(); }
bool isWindow(Window w) { return w != nullptr && IsWindow(w) != 0; }
bool showWindow(Window w, int command) { return ShowWindow(w, command) != 0; }

bool setWindowPos(Window w, Window insertAfter, int x, int y, int width, int height, unsigned flags) {
  return SetWindowPos(w, insertAfter, x, y, width, height, flags) != 0;
}

bool moveWindow(Window w, int x, int y, int width, int height, bool repaint) {
  return MoveWindow(w, x, y, width, height, repaint ? TRUE : FALSE) != 0;
}

bool getWindowRect(Window w, Rect* rect) {
  RECT r{};
  if (rect == nullptr || GetWindowRect(w, &r) == 0) return false;
  *rect = fromRect(r);
  return true;
}

bool getClientRect(Window w, Rect* rect) {
  RECT r{};
  if (rect == nullptr || GetClientRect(w, &r) == 0) return false;
  *rect = fromRect(r);
  return true;
}

bool destroyWindow(Window w) { return DestroyWindow(w) != 0; }
bool setWindowText(Window w, const char* text) { return SetWindowTextA(w, text != nullptr ? text : "") != 0; }

int getWindowText(Window w, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return GetWindowTextA(w, buffer, size);
}

bool enableWindow(Window w, bool enable) { return EnableWindow(w, enable ? TRUE : FALSE) != 0; }
bool isWindowEnabled(Window w) { return IsWindowEnabled(w) != 0; }
bool isWindowVisible(Window w) { return IsWindowVisible(w) != 0; }

std::intptr_t setWindowUserData(Window w, std::intptr_t value) {
  if (!isWindow(w)) return 0;
  return SetWindowLongPtrA(w, GWLP_USERDATA, value);
}

std::intptr_t windowUserData(Window w) {
  if (!isWindow(w)) return 0;
  return GetWindowLongPtrA(w, GWLP_USERDATA);
}

Window createStatusBar(Window parent, int id) {
  if (!isWindow(parent)) return nullptr;
  ensureCommonControls();
  return CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, idParam(id),
                         thisModule(), nullptr);
}

bool statusBarSetParts(Window statusBar, int count, const int* rightEdges) {
  if (count < 1 || count > 256 || rightEdges == nullptr) return false;
  if (!hasClass(statusBar, STATUSCLASSNAMEA)) return false;
  return SendMessageA(statusBar, SB_SETPARTS, static_cast<WPARAM>(count),
                      reinterpret_cast<LPARAM>(rightEdges)) != 0;
}

bool statusBarSetText(Window statusBar, int part, const char* text) {
  if (part < 0 || part > 255) return false;
  if (!hasClass(statusBar, STATUSCLASSNAMEA)) return false;
  const auto parts = SendMessageA(statusBar, SB_GETPARTS, 0, 0);
  if (part >= parts) return false;
  return SendMessageA(statusBar, SB_SETTEXTA, static_cast<WPARAM>(part),
                      reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

bool setWaitCursor(bool wait) {
  static std::atomic<bool> shown{false};
  SetCursor(LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW));
  return shown.exchange(wait);
}

} // namespace platform
