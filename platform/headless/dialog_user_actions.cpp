// What a user does in a dialog: clicks, typing, selections, scrolling,
// closing, and switching applications. Each action changes the control and
// then notifies the dialog procedure as Win32 does; the message loop then
// delivers what was posted to the dialog meanwhile, before the next action.
#include "state.h"

#include <algorithm>
#include <cctype>

namespace platform::headless {
namespace {

using namespace detail;

std::intptr_t handleParam(Window w) { return reinterpret_cast<std::intptr_t>(w); }

std::uintptr_t command(int id, unsigned code) {
  return makeWParam(static_cast<unsigned>(id), code);
}

// The control a user can reach: it exists, is of one of the given kinds, and
// is enabled and visible.
WindowData* reachableLocked(Window dialog, int id, std::initializer_list<ControlKind> kinds) {
  WindowData* c = controlLocked(dialog, id);
  if (c == nullptr || !c->enabled || !c->visible) return nullptr;
  if (std::find(kinds.begin(), kinds.end(), c->control->kind) == kinds.end()) return nullptr;
  return c;
}

bool startsGroup(Window w) {
  const WindowData* c = peekWindowLocked(w);
  return c != nullptr && c->control && (c->control->style & WS_GROUP) != 0;
}

// Checks an auto radio button and unchecks the other auto radio buttons of
// its group that are visible and enabled (hidden or disabled ones keep their
// state). A group starts at a control with WS_GROUP (or the first control)
// and runs up to the next control with WS_GROUP, whatever lies between.
void checkInGroupLocked(const WindowData& dialog, Window radio) {
  const auto& controls = dialog.dialog->controls;
  const auto at = std::find(controls.begin(), controls.end(), radio);
  if (at == controls.end()) return;
  auto first = at;
  while (first != controls.begin() && !startsGroup(*first)) --first;
  auto end = at + 1;
  while (end != controls.end() && !startsGroup(*end)) ++end;
  for (auto it = first; it != end; ++it) {
    WindowData* c = peekWindowLocked(*it);
    if (c == nullptr || !c->control || c->control->kind != ControlKind::RadioButton) continue;
    if (*it == radio) {
      c->control->checked = BST_CHECKED;
    } else if (c->visible && c->enabled) {
      c->control->checked = BST_UNCHECKED;
    }
  }
}

// Types `text` into an edit or a drop-down combo's edit as a user does: the
// whole old text is selected, then each character is one keystroke. A
// number-only edit refuses non-digits (the selection stays until a digit
// replaces it). Every accepted keystroke changes the text and notifies
// (update, then change). When a handler rewrites the text meanwhile, the
// caret is at its start afterwards, as after any program write, and the
// remaining keystrokes go there. An empty text deletes the selection.
void typeInto(Window dialog, Window control, int id, const char* text, bool numberOnly,
              unsigned update, unsigned change) {
  const std::string typed = text != nullptr ? text : "";
  bool selectAll = true;
  std::size_t caret = 0;
  const auto keystroke = [&](const std::string& current, char key) -> std::string {
    if (selectAll) return key == '\0' ? std::string() : std::string(1, key);
    std::string next = current;
    next.insert(caret, 1, key);
    return next;
  };
  const auto apply = [&](char key) -> bool {
    std::string expected;
    {
      Lock lock(stateMutex());
      WindowData* c = peekWindowLocked(control);
      if (c == nullptr) return false;
      if (key == '\0' && c->text.empty()) return true;  // nothing to delete
      expected = keystroke(c->text, key);
      c->text = expected;
    }
    caret = selectAll ? expected.size() : caret + 1;
    selectAll = false;
    notifyTextChanged(dialog, control, id, update, change);
    Lock lock(stateMutex());
    const WindowData* c = peekWindowLocked(control);
    if (c == nullptr) return false;
    if (c->text != expected) caret = 0;  // rewritten by the program
    return true;
  };
  if (typed.empty()) {
    apply('\0');
    return;
  }
  for (char key : typed) {
    if (numberOnly && std::isdigit(static_cast<unsigned char>(key)) == 0) continue;
    if (!apply(key)) return;
  }
}

} // namespace

void clickButton(Window dialog, int id) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(
        dialog, id, {ControlKind::Button, ControlKind::CheckBox, ControlKind::RadioButton});
    if (c == nullptr) return;
    control = c->handle;
    if (c->control->kind == ControlKind::CheckBox) {
      c->control->checked = c->control->checked == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
    } else if (c->control->kind == ControlKind::RadioButton) {
      checkInGroupLocked(*peekWindowLocked(dialog), control);
    }
  }
  deliverMessage(dialog, WM_COMMAND, command(id, BN_CLICKED), handleParam(control));
  dispatchPostedTo(dialog);
}

void focusEdit(Window dialog, int id) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    const WindowData* c = reachableLocked(dialog, id, {ControlKind::Edit});
    if (c == nullptr) return;
    control = c->handle;
  }
  deliverMessage(dialog, WM_COMMAND, command(id, EN_SETFOCUS), handleParam(control));
  dispatchPostedTo(dialog);
}

void typeText(Window dialog, int id, const char* text) {
  Window control = nullptr;
  std::uint32_t style = 0;
  {
    Lock lock(stateMutex());
    const WindowData* c = reachableLocked(dialog, id, {ControlKind::Edit});
    if (c == nullptr) return;
    control = c->handle;
    style = c->control->style;
  }
  deliverMessage(dialog, WM_COMMAND, command(id, EN_SETFOCUS), handleParam(control));
  // A read-only edit takes the focus but no keystroke.
  if ((style & ES_READONLY) == 0) {
    typeInto(dialog, control, id, text, (style & ES_NUMBER) != 0, EN_UPDATE, EN_CHANGE);
  }
  dispatchPostedTo(dialog);
}

void selectComboItem(Window dialog, int id, int index) {
  Window control = nullptr;
  bool hasEdit = false;
  std::string item;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(dialog, id, {ControlKind::ComboBox});
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->control->items.size()) {
      return;
    }
    control = c->handle;
    hasEdit = !isDropDownList(*c->control);
    item = c->control->items[static_cast<std::size_t>(index)];
    c->control->selection = index;
    // A list shows its selection at once; a combo's edit follows only after
    // the notifications, so that they still see the old text there.
    if (!hasEdit) c->text = item;
  }
  deliverMessage(dialog, WM_COMMAND, command(id, CBN_SELENDOK), handleParam(control));
  deliverMessage(dialog, WM_COMMAND, command(id, CBN_SELCHANGE), handleParam(control));
  if (hasEdit) {
    Lock lock(stateMutex());
    if (WindowData* c = peekWindowLocked(control)) c->text = item;
  }
  dispatchPostedTo(dialog);
}

void typeComboText(Window dialog, int id, const char* text) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(dialog, id, {ControlKind::ComboBox});
    if (c == nullptr || isDropDownList(*c->control)) return;
    control = c->handle;
    // What the user types is no item of the list: none is selected.
    if (text != nullptr && *text != '\0') c->control->selection = -1;
  }
  typeInto(dialog, control, id, text, false, CBN_EDITUPDATE, CBN_EDITCHANGE);
  dispatchPostedTo(dialog);
}

void moveTrackbar(Window dialog, int id, int position, unsigned code) {
  Window control = nullptr;
  int taken = 0;
  bool vertical = false;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(dialog, id, {ControlKind::Trackbar});
    if (c == nullptr) return;
    ControlState& s = *c->control;
    s.position = std::clamp(position, std::min(s.rangeMin, s.rangeMax), std::max(s.rangeMin, s.rangeMax));
    taken = s.position;
    vertical = (s.style & TBS_VERT) != 0;
    control = c->handle;
  }
  deliverMessage(dialog, vertical ? WM_VSCROLL : WM_HSCROLL,
                 makeWParam(code, static_cast<unsigned>(taken)), handleParam(control));
  dispatchPostedTo(dialog);
}

void pressUpDown(Window dialog, int id, UpDownArrow arrow) {
  Window control = nullptr;
  UpDownNotify notify;
  {
    Lock lock(stateMutex());
    const WindowData* c = reachableLocked(dialog, id, {ControlKind::UpDown});
    if (c == nullptr) return;
    const ControlState& s = *c->control;
    control = c->handle;
    // The up (or right) arrow moves toward the range's maximum: with the
    // default range 100..0 that lowers the position.
    const int towardMaximum = s.rangeMax < s.rangeMin ? -1 : 1;
    notify.header = NotifyHeader{control, static_cast<std::uintptr_t>(c->controlId), UDN_DELTAPOS};
    notify.position = s.position;
    notify.delta = arrow == UpDownArrow::Up ? towardMaximum : -towardMaximum;
  }
  deliverMessage(dialog, WM_NOTIFY, static_cast<std::uintptr_t>(id),
                 reinterpret_cast<std::intptr_t>(&notify));
  int position = 0;
  unsigned scroll = WM_VSCROLL;
  {
    Lock lock(stateMutex());
    WindowData* c = peekWindowLocked(control);
    if (c == nullptr) return;
    ControlState& s = *c->control;
    // Within the range only: at its end the position stays, and the
    // notifications below still carry it.
    s.position = std::clamp(s.position + notify.delta, std::min(s.rangeMin, s.rangeMax),
                            std::max(s.rangeMin, s.rangeMax));
    position = s.position;
    if ((s.style & UDS_HORZ) != 0) scroll = WM_HSCROLL;
  }
  const auto pos = static_cast<unsigned>(position);
  deliverMessage(dialog, scroll, makeWParam(SB_THUMBPOSITION, pos), handleParam(control));
  deliverMessage(dialog, scroll, makeWParam(SB_ENDSCROLL, pos), handleParam(control));  // released
  dispatchPostedTo(dialog);
}

void closeDialog(Window dialog) {
  {
    Lock lock(stateMutex());
    const WindowData* d = peekWindowLocked(dialog);
    if (d == nullptr || !d->dialog) return;
  }
  deliverMessage(dialog, WM_CLOSE, 0, 0);
  dispatchPostedTo(dialog);
}

void activateApp(bool active, std::uint32_t otherThreadId) {
  std::vector<Window> targets;
  {
    Lock lock(stateMutex());
    for (Window w : topLevelWindowsLocked()) {
      const WindowData* d = peekWindowLocked(w);
      if (d->dialog && !d->dialog->modal) targets.push_back(w);
    }
  }
  for (Window w : targets) {
    // A handler may have destroyed a later dialog; it is skipped then.
    deliverMessage(w, WM_ACTIVATEAPP, active ? 1u : 0u, static_cast<std::intptr_t>(otherThreadId));
  }
}

} // namespace platform::headless
