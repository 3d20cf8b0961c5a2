// What a user does in a dialog: clicks, typing, selections, scrolling,
// closing, and switching applications. Each action changes the control and
// then notifies the dialog procedure as Win32 does.
#include "state.h"

#include <algorithm>

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

// Checks a radio button and unchecks the others of its group: the run of
// consecutive radio buttons around it in template order.
void checkInGroupLocked(const WindowData& dialog, Window radio) {
  const auto& controls = dialog.dialog->controls;
  const auto at = std::find(controls.begin(), controls.end(), radio);
  if (at == controls.end()) return;
  const auto isRadio = [](Window w) {
    const WindowData* c = peekWindowLocked(w);
    return c != nullptr && c->control && c->control->kind == ControlKind::RadioButton;
  };
  auto first = at;
  while (first != controls.begin() && isRadio(*(first - 1))) --first;
  auto last = at;
  while (last + 1 != controls.end() && isRadio(*(last + 1))) ++last;
  for (auto it = first; it <= last; ++it) {
    peekWindowLocked(*it)->control->checked = *it == radio ? BST_CHECKED : BST_UNCHECKED;
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
}

void typeText(Window dialog, int id, const char* text) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    const WindowData* c = reachableLocked(dialog, id, {ControlKind::Edit});
    if (c == nullptr) return;
    control = c->handle;
  }
  deliverMessage(dialog, WM_COMMAND, command(id, EN_SETFOCUS), handleParam(control));
  setControlText(control, text);  // does nothing if the focus handler removed it
}

void selectComboItem(Window dialog, int id, int index) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(dialog, id, {ControlKind::ComboBox});
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->control->items.size()) {
      return;
    }
    control = c->handle;
    c->control->selection = index;
    c->text = c->control->items[static_cast<std::size_t>(index)];
  }
  deliverMessage(dialog, WM_COMMAND, command(id, CBN_SELCHANGE), handleParam(control));
}

void typeComboText(Window dialog, int id, const char* text) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    WindowData* c = reachableLocked(dialog, id, {ControlKind::ComboBox});
    if (c == nullptr) return;
    control = c->handle;
    c->text = text != nullptr ? text : "";
  }
  deliverMessage(dialog, WM_COMMAND, command(id, CBN_EDITUPDATE), handleParam(control));
  bool stillThere = false;
  {
    Lock lock(stateMutex());
    stillThere = peekWindowLocked(control) != nullptr;
  }
  if (stillThere) {
    deliverMessage(dialog, WM_COMMAND, command(id, CBN_EDITCHANGE), handleParam(control));
  }
}

namespace {

// Moves a trackbar or up-down control and returns its handle and the
// position it took, or null.
Window scrollControl(Window dialog, int id, ControlKind kind, int position, int* taken) {
  Lock lock(stateMutex());
  WindowData* c = reachableLocked(dialog, id, {kind});
  if (c == nullptr) return nullptr;
  ControlState& s = *c->control;
  s.position = std::clamp(position, std::min(s.rangeMin, s.rangeMax), std::max(s.rangeMin, s.rangeMax));
  *taken = s.position;
  return c->handle;
}

} // namespace

void moveTrackbar(Window dialog, int id, int position, unsigned code) {
  int taken = 0;
  Window control = scrollControl(dialog, id, ControlKind::Trackbar, position, &taken);
  if (control == nullptr) return;
  deliverMessage(dialog, WM_HSCROLL, makeWParam(code, static_cast<unsigned>(taken)),
                 handleParam(control));
}

void pressUpDown(Window dialog, int id, int newPosition) {
  int taken = 0;
  Window control = scrollControl(dialog, id, ControlKind::UpDown, newPosition, &taken);
  if (control == nullptr) return;
  deliverMessage(dialog, WM_VSCROLL, makeWParam(SB_THUMBPOSITION, static_cast<unsigned>(taken)),
                 handleParam(control));
}

void closeDialog(Window dialog) {
  {
    Lock lock(stateMutex());
    const WindowData* d = peekWindowLocked(dialog);
    if (d == nullptr || !d->dialog) return;
  }
  deliverMessage(dialog, WM_CLOSE, 0, 0);
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
