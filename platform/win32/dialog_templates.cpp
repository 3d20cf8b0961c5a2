// Building DLGTEMPLATEEX data from the template tables.
#include "dialog_templates.h"

#include <commctrl.h>

#include <algorithm>

namespace platform::win32 {
namespace {

// Window class atoms of the predefined dialog control classes.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;

constexpr int kDropDownListHeight = 160;  // pixels of a combo box's dropped list

class TemplateWriter {
public:
  void word(WORD w) { data_.push_back(w); }
  void dword(DWORD d) {
    word(static_cast<WORD>(d & 0xFFFFu));
    word(static_cast<WORD>(d >> 16));
  }
  void shortValue(int v) { word(static_cast<WORD>(static_cast<std::int16_t>(std::clamp(v, -32768, 32767)))); }
  // A text as UTF-16 from the program's code page, terminated.
  void text(const char* s) {
    if (s != nullptr && *s != '\0') {
      const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
      std::vector<wchar_t> wide(static_cast<std::size_t>(std::max(n, 1)));
      MultiByteToWideChar(CP_ACP, 0, s, -1, wide.data(), n);
      for (wchar_t c : wide) {
        if (c == L'\0') break;
        word(static_cast<WORD>(c));
      }
    }
    word(0);
  }
  void ordinal(WORD atom) {
    word(0xFFFF);
    word(atom);
  }
  void alignToDword() {
    if (data_.size() % 2 != 0) word(0);
  }
  std::vector<WORD> take() { return std::move(data_); }

private:
  std::vector<WORD> data_;
};

// Pixels to dialog units, roughly (an 8-point dialog font gives about
// 1.5 pixels per horizontal and 1.6 per vertical unit); the exact layout is
// set in pixels later.
int toUnitsX(int pixels) { return pixels * 2 / 3; }
int toUnitsY(int pixels) { return pixels * 5 / 8; }

DWORD baseStyle(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return SS_LEFT;
    case ControlKind::Button: return BS_PUSHBUTTON | WS_TABSTOP;
    case ControlKind::CheckBox: return BS_AUTOCHECKBOX | WS_TABSTOP;
    case ControlKind::RadioButton: return BS_AUTORADIOBUTTON;
    case ControlKind::Edit: return ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    case ControlKind::ComboBox:
      // Typed drop-down combo unless the template asks for a list.
      return CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;  // the type bits are added below
    case ControlKind::Trackbar: return TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP;
    case ControlKind::UpDown: return 0;  // no buddy: the program writes its edits itself
    case ControlKind::GroupBox: return BS_GROUPBOX;
  }
  return 0;
}

void writeClass(TemplateWriter& out, ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: out.ordinal(kStaticAtom); return;
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox: out.ordinal(kButtonAtom); return;
    case ControlKind::Edit: out.ordinal(kEditAtom); return;
    case ControlKind::ComboBox: out.ordinal(kComboBoxAtom); return;
    case ControlKind::Trackbar: out.text(TRACKBAR_CLASSA); return;
    case ControlKind::UpDown: out.text(UPDOWN_CLASSA); return;
  }
  out.ordinal(kStaticAtom);
}

int width(const Rect& r) { return r.right - r.left; }
int height(const Rect& r) { return r.bottom - r.top; }

} // namespace

std::vector<WORD> buildDialogTemplate(const DialogTemplate& t, bool modal) {
  TemplateWriter out;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_3DLOOK;
  if (modal) style |= DS_MODALFRAME;
  out.word(1);       // dlgVer
  out.word(0xFFFF);  // signature: extended template
  out.dword(0);      // helpID
  out.dword(0);      // exStyle
  out.dword(style);
  out.word(static_cast<WORD>(std::min<std::size_t>(t.controlCount, 0xFFFF)));
  out.shortValue(toUnitsX(t.rect.left));
  out.shortValue(toUnitsY(t.rect.top));
  out.shortValue(toUnitsX(width(t.rect)));
  out.shortValue(toUnitsY(height(t.rect)));
  out.word(0);  // no menu
  out.word(0);  // the predefined dialog class
  out.text(t.title);
  out.word(8);    // point size
  out.word(400);  // weight
  out.word(0);    // italic (low byte) and character set (high byte)
  out.text("MS Shell Dlg");

  for (std::size_t i = 0; i < t.controlCount && i < 0xFFFF; ++i) {
    const ControlTemplate& c = t.controls[i];
    out.alignToDword();
    out.dword(0);  // helpID
    out.dword(0);  // exStyle
    DWORD itemStyle = WS_CHILD | baseStyle(c.kind) | c.style;
    if (c.kind == ControlKind::ComboBox) {
      const bool list = (c.style & CBS_TYPEMASK) == CBS_DROPDOWNLIST;
      itemStyle = (itemStyle & ~static_cast<DWORD>(CBS_TYPEMASK)) |
                  static_cast<DWORD>(list ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    }
    if (c.visible) itemStyle |= WS_VISIBLE;
    if (!c.enabled) itemStyle |= WS_DISABLED;
    out.dword(itemStyle);
    out.shortValue(toUnitsX(c.rect.left));
    out.shortValue(toUnitsY(c.rect.top));
    out.shortValue(toUnitsX(width(c.rect)));
    out.shortValue(toUnitsY(height(c.rect)));
    out.dword(static_cast<DWORD>(c.id));
    writeClass(out, c.kind);
    out.text(c.caption);
    out.word(0);  // no creation data
  }
  return out.take();
}

void placeControls(HWND dialog, const DialogTemplate& t) {
  SetWindowPos(dialog, nullptr, t.rect.left, t.rect.top, width(t.rect), height(t.rect),
               SWP_NOZORDER | SWP_NOACTIVATE);
  HWND control = GetWindow(dialog, GW_CHILD);
  // Controls are created in template order, so the n-th child is the n-th
  // control (ids may repeat, as for labels nothing refers to).
  for (std::size_t i = 0; i < t.controlCount && control != nullptr; ++i) {
    const ControlTemplate& c = t.controls[i];
    const int h = c.kind == ControlKind::ComboBox ? height(c.rect) + kDropDownListHeight : height(c.rect);
    SetWindowPos(control, nullptr, c.rect.left, c.rect.top, width(c.rect), h, SWP_NOZORDER | SWP_NOACTIVATE);
    control = GetWindow(control, GW_HWNDNEXT);
  }
}

} // namespace platform::win32
