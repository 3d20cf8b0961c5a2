// The program's access to dialog controls by id: texts, buttons, combo
// boxes, trackbars and up-down controls.
#include "win32_backend.h"

#include <commctrl.h>

#include <string>

namespace platform {
namespace {

using namespace win32;

constexpr const char* kComboClass = "ComboBox";

LRESULT sendTo(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(control, message, wParam, lParam);
}

int asIndex(LRESULT r) { return r < 0 ? -1 : static_cast<int>(r); }

} // namespace

bool setDlgItemText(Window dialog, int id, const char* text) {
  HWND control = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
  if (control == nullptr) return false;
  // WM_SETTEXT answers TRUE when the text was taken; a drop-down list,
  // which has no edit, answers CB_ERR.
  return sendTo(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) == TRUE;
}

int getDlgItemText(Window dialog, int id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (dialog == nullptr || GetDlgItem(dialog, id) == nullptr) return 0;
  return static_cast<int>(GetDlgItemTextA(dialog, id, buffer, size));
}

bool checkDlgButton(Window dialog, int id, int state) {
  HWND control = dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
  if (control == nullptr) return false;
  sendTo(control, BM_SETCHECK, static_cast<WPARAM>(state));
  return true;
}

int isDlgButtonChecked(Window dialog, int id) {
  if (dialog == nullptr || GetDlgItem(dialog, id) == nullptr) return 0;
  return static_cast<int>(IsDlgButtonChecked(dialog, id));
}

bool checkRadioButton(Window dialog, int firstId, int lastId, int checkId) {
  if (!isWindow(dialog)) return false;
  CheckRadioButton(dialog, firstId, lastId, checkId);
  return true;
}

int comboResetContent(Window dialog, int id) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  if (combo == nullptr) return -1;
  return sendTo(combo, CB_RESETCONTENT) < 0 ? -1 : 0;  // CB_OKAY
}

int comboAddString(Window dialog, int id, const char* text) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  if (combo == nullptr) return -1;
  return asIndex(sendTo(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")));
}

int comboSetCurSel(Window dialog, int id, int index) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  if (combo == nullptr) return -1;
  return asIndex(sendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int comboGetCurSel(Window dialog, int id) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  return combo != nullptr ? asIndex(sendTo(combo, CB_GETCURSEL)) : -1;
}

int comboGetCount(Window dialog, int id) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  return combo != nullptr ? asIndex(sendTo(combo, CB_GETCOUNT)) : -1;
}

int comboGetLBText(Window dialog, int id, int index, char* buffer, int size) {
  HWND combo = controlOfClass(dialog, id, kComboClass);
  if (combo == nullptr || index < 0) return -1;
  // CB_GETLBTEXT knows no buffer size: read the item whole, then cut it.
  const LRESULT length = sendTo(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) return -1;
  std::string item(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = sendTo(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
  if (got < 0) return -1;
  item.resize(static_cast<std::size_t>(got));
  if (buffer == nullptr || size <= 0) return 0;
  return static_cast<int>(copyTerminated(item, buffer, static_cast<std::size_t>(size)));
}

bool trackbarSetRange(Window dialog, int id, int minimum, int maximum) {
  HWND bar = controlOfClass(dialog, id, TRACKBAR_CLASSA);
  if (bar == nullptr) return false;
  sendTo(bar, TBM_SETRANGEMIN, FALSE, minimum);
  sendTo(bar, TBM_SETRANGEMAX, TRUE, maximum);
  return true;
}

bool trackbarSetPos(Window dialog, int id, int position) {
  HWND bar = controlOfClass(dialog, id, TRACKBAR_CLASSA);
  if (bar == nullptr) return false;
  sendTo(bar, TBM_SETPOS, TRUE, position);
  return true;
}

int trackbarGetPos(Window dialog, int id) {
  HWND bar = controlOfClass(dialog, id, TRACKBAR_CLASSA);
  return bar != nullptr ? static_cast<int>(sendTo(bar, TBM_GETPOS)) : 0;
}

bool upDownSetRange(Window dialog, int id, int minimum, int maximum) {
  HWND spin = controlOfClass(dialog, id, UPDOWN_CLASSA);
  if (spin == nullptr) return false;
  sendTo(spin, UDM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
  return true;
}

bool upDownSetPos(Window dialog, int id, int position) {
  HWND spin = controlOfClass(dialog, id, UPDOWN_CLASSA);
  if (spin == nullptr) return false;
  sendTo(spin, UDM_SETPOS32, 0, position);
  return true;
}

int upDownGetPos(Window dialog, int id) {
  HWND spin = controlOfClass(dialog, id, UPDOWN_CLASSA);
  return spin != nullptr ? static_cast<int>(sendTo(spin, UDM_GETPOS32)) : 0;
}

} // namespace platform
