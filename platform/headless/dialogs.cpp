// Dialogs built from templates, modal runs with scripts, and the program's
// access to their controls.
#include "state.h"

#include <algorithm>
#include <map>

namespace platform::headless::detail {
namespace {

struct DialogRegistry {
  std::vector<DialogRecord> records;
  std::map<int, DialogScript> scripts;
};

DialogRegistry& dialogs() {
  static DialogRegistry* instance = new DialogRegistry;
  return *instance;
}

const char* classOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "Static";
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox: return "Button";
    case ControlKind::Edit: return "Edit";
    case ControlKind::ComboBox: return "ComboBox";
    case ControlKind::Trackbar: return "msctls_trackbar32";
    case ControlKind::UpDown: return "msctls_updown32";
  }
  return "Static";
}

std::intptr_t handleParam(Window w) { return reinterpret_cast<std::intptr_t>(w); }

int clampInto(int value, int a, int b) {
  return std::clamp(value, std::min(a, b), std::max(a, b));
}

// The top-level window that owns a new dialog: a child given as owner
// stands for its top-level ancestor, as on Win32. False when a non-null
// owner is not a window.
bool resolveOwnerLocked(Window owner, Window* resolved) {
  *resolved = nullptr;
  if (owner == nullptr) return true;
  const WindowData* w = findWindowLocked(owner);
  while (w != nullptr && w->child) w = peekWindowLocked(w->owner);
  if (w == nullptr) return false;
  *resolved = w->handle;
  return true;
}

// Builds the dialog and its controls, hidden. Returns null for a template
// whose control list is missing.
WindowData* buildDialogLocked(const DialogTemplate& t, Window owner, DialogProc proc, bool modal) {
  if (t.controls == nullptr && t.controlCount != 0) return nullptr;
  WindowData& dialog =
      createWindowLocked(kDialogClass, t.title != nullptr ? t.title : "", t.rect, owner, false);
  dialog.dialog = DialogState{};
  dialog.dialog->templateId = t.id;
  dialog.dialog->proc = proc;
  dialog.dialog->modal = modal;
  const Window handle = dialog.handle;
  for (std::size_t i = 0; i < t.controlCount; ++i) {
    const ControlTemplate& c = t.controls[i];
    WindowData& control = createWindowLocked(classOf(c.kind), c.caption != nullptr ? c.caption : "",
                                             c.rect, handle, true);
    control.controlId = c.id;
    control.visible = c.visible;
    control.enabled = c.enabled;
    control.control = ControlState{};
    control.control->kind = c.kind;
    control.control->style = c.style;
    if (c.kind == ControlKind::UpDown) {
      // An up-down control starts with Win32's range: minimum 100, maximum 0.
      control.control->rangeMin = 100;
      control.control->rangeMax = 0;
    }
    // `dialog` is still valid: windows are held by pointer.
    dialog.dialog->controls.push_back(control.handle);
  }
  dialogs().records.push_back(DialogRecord{t.id, handle, owner, modal, 0, false});
  return &dialog;
}

Window firstControlLocked(Window dialog) {
  const WindowData* d = peekWindowLocked(dialog);
  if (d == nullptr || !d->dialog || d->dialog->controls.empty()) return nullptr;
  return d->dialog->controls.front();
}

bool modalRunOver(Window dialog) {
  Lock lock(stateMutex());
  const WindowData* d = peekWindowLocked(dialog);
  return d == nullptr || d->dialog->ended;
}

ControlState* controlOfKindLocked(Window dialog, int id, ControlKind kind) {
  WindowData* c = controlLocked(dialog, id);
  if (c == nullptr || c->control->kind != kind) return nullptr;
  return &*c->control;
}

} // namespace

WindowData* controlLocked(Window dialog, int id) {
  const WindowData* d = peekWindowLocked(dialog);
  if (d == nullptr) return nullptr;
  WindowData* c = childByIdLocked(*d, id);
  return (c != nullptr && c->control) ? c : nullptr;
}

std::intptr_t callProcedure(Window w, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  DialogProc proc = nullptr;
  {
    Lock lock(stateMutex());
    const WindowData* d = peekWindowLocked(w);
    if (d == nullptr || !d->dialog) return 0;
    proc = d->dialog->proc;
  }
  return proc != nullptr ? proc(w, message, wParam, lParam) : 0;
}

std::intptr_t deliverMessage(Window w, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  const std::intptr_t result = callProcedure(w, message, wParam, lParam);
  if (message != WM_CLOSE || result != 0) return result;
  // Unhandled WM_CLOSE: the dialog's default handling posts a press of the
  // control with id 2 (IDCANCEL), whatever that control is, with the
  // control's handle (null when there is none); nothing when it is disabled.
  {
    Lock lock(stateMutex());
    const WindowData* d = peekWindowLocked(w);
    if (d == nullptr || !d->dialog) return result;
    Window cancel = nullptr;
    if (const WindowData* c = childByIdLocked(*d, IDCANCEL)) {
      if (!c->enabled) return result;
      cancel = c->handle;
    }
    postLocked(Message{w, WM_COMMAND, makeWParam(IDCANCEL, BN_CLICKED), handleParam(cancel),
                       static_cast<std::uint32_t>(nowLocked())});
  }
  stateChanged().notify_all();
  return result;
}

bool setControlText(Window control, const char* text) {
  Window dialog = nullptr;
  int id = 0;
  {
    Lock lock(stateMutex());
    WindowData* c = peekWindowLocked(control);
    if (c == nullptr || !c->control) return false;
    // A drop-down list has no edit: its text is its selected item's.
    if (isDropDownList(*c->control)) return false;
    c->text = text != nullptr ? text : "";
    // Only an edit notifies; a drop-down combo's edit takes the text quietly.
    if (c->control->kind != ControlKind::Edit) return true;
    dialog = c->owner;
    id = c->controlId;
  }
  notifyTextChanged(dialog, control, id, EN_UPDATE, EN_CHANGE);
  return true;
}

void notifyTextChanged(Window dialog, Window control, int id, unsigned update, unsigned change) {
  // The control notifies its dialog while its text is being set, before
  // the call returns; the handler may write the control again (re-entrantly).
  deliverMessage(dialog, WM_COMMAND, makeWParam(static_cast<unsigned>(id), update),
                 handleParam(control));
  bool stillThere = false;
  {
    Lock lock(stateMutex());
    stillThere = peekWindowLocked(control) != nullptr;
  }
  if (stillThere) {
    deliverMessage(dialog, WM_COMMAND, makeWParam(static_cast<unsigned>(id), change),
                   handleParam(control));
  }
}

void recordDialogEndLocked(Window dialog, std::intptr_t result) {
  auto& records = dialogs().records;
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    if (it->dialog == dialog) {
      it->ended = true;
      it->result = result;
      return;
    }
  }
}

void resetDialogsLocked() {
  dialogs().records.clear();
  dialogs().scripts.clear();
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

std::intptr_t dialogBox(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                        std::intptr_t initParam) {
  Window dialog = nullptr;
  Window resolvedOwner = nullptr;
  Window first = nullptr;
  {
    Lock lock(stateMutex());
    if (!resolveOwnerLocked(owner, &resolvedOwner)) return -1;
    const WindowData* d = buildDialogLocked(dialogTemplate, resolvedOwner, proc, true);
    if (d == nullptr) return -1;
    dialog = d->handle;
    first = firstControlLocked(dialog);
  }
  callProcedure(dialog, WM_INITDIALOG, reinterpret_cast<std::uintptr_t>(first), initParam);

  // Shown and active while the user works in it; the owner is disabled.
  bool ownerDisabled = false;
  headless::DialogScript script;
  {
    Lock lock(stateMutex());
    WindowData* d = peekWindowLocked(dialog);
    if (d != nullptr && !d->dialog->ended) {
      d->visible = true;
      activateLocked(dialog);
      WindowData* o = peekWindowLocked(resolvedOwner);
      if (o != nullptr && o->enabled) {
        o->enabled = false;
        ownerDisabled = true;
      }
      auto it = headless::detail::dialogs().scripts.find(dialogTemplate.id);
      if (it != headless::detail::dialogs().scripts.end()) script = it->second;
    }
  }
  if (script && !modalRunOver(dialog)) script(dialog);
  // The modal loop delivers what was posted to the dialog meanwhile.
  if (!modalRunOver(dialog)) dispatchPostedTo(dialog);
  if (!modalRunOver(dialog)) {
    Window ok = nullptr;
    {
      Lock lock(stateMutex());
      if (const WindowData* c = controlLocked(dialog, IDOK)) ok = c->handle;
    }
    deliverMessage(dialog, WM_COMMAND, makeWParam(IDOK, BN_CLICKED), handleParam(ok));
  }
  if (!modalRunOver(dialog)) dispatchPostedTo(dialog);
  if (!modalRunOver(dialog)) {
    deliverMessage(dialog, WM_CLOSE, 0, 0);
    dispatchPostedTo(dialog);
  }
  if (!modalRunOver(dialog)) endDialog(dialog, -1);

  std::intptr_t result = -1;
  {
    Lock lock(stateMutex());
    // A dialog that its procedure destroyed without ending it failed.
    for (const auto& r : headless::detail::dialogs().records) {
      if (r.dialog == dialog) result = r.ended ? r.result : -1;
    }
  }
  destroyWindowTree(dialog);
  {
    Lock lock(stateMutex());
    WindowData* o = peekWindowLocked(resolvedOwner);
    if (o != nullptr) {
      if (ownerDisabled) o->enabled = true;
      if (activeWindowLocked() == nullptr || activeWindowLocked() == dialog) {
        activateLocked(resolvedOwner);
      }
    }
    recordDialogEndLocked(dialog, result);
  }
  return result;
}

Window createDialog(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                    std::intptr_t initParam) {
  Window dialog = nullptr;
  Window first = nullptr;
  {
    Lock lock(stateMutex());
    Window resolvedOwner = nullptr;
    if (!resolveOwnerLocked(owner, &resolvedOwner)) return nullptr;
    const WindowData* d = buildDialogLocked(dialogTemplate, resolvedOwner, proc, false);
    if (d == nullptr) return nullptr;
    dialog = d->handle;
    first = firstControlLocked(dialog);
  }
  callProcedure(dialog, WM_INITDIALOG, reinterpret_cast<std::uintptr_t>(first), initParam);
  Lock lock(stateMutex());
  // A dialog that destroyed itself while initialising is not returned.
  return peekWindowLocked(dialog) != nullptr ? dialog : nullptr;
}

bool endDialog(Window dialog, std::intptr_t result) {
  Lock lock(stateMutex());
  WindowData* d = peekWindowLocked(dialog);
  if (d == nullptr || !d->dialog) return false;
  d->dialog->ended = true;
  d->dialog->result = result;
  // Ending hides the dialog; a modal run then destroys it, a modeless one
  // is left to its owner to destroy.
  d->visible = false;
  if (activeWindowLocked() == dialog) activateLocked(d->owner);
  recordDialogEndLocked(dialog, result);
  return true;
}

std::intptr_t sendMessage(Window w, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
  {
    Lock lock(stateMutex());
    const WindowData* d = findWindowLocked(w);
    if (d == nullptr) return 0;
    if (!d->dialog) {
      recordOperationLocked(w, format("sendMessage 0x%04x %zu %zd", message, wParam,
                                      static_cast<std::ptrdiff_t>(lParam)));
      return 0;
    }
  }
  return deliverMessage(w, message, wParam, lParam);
}

Window dialogItem(Window dialog, int id) {
  Lock lock(stateMutex());
  const WindowData* d = peekWindowLocked(dialog);
  if (d == nullptr) return nullptr;
  const WindowData* c = childByIdLocked(*d, id);
  return c != nullptr ? c->handle : nullptr;
}

int dialogControlId(Window control) {
  Lock lock(stateMutex());
  const WindowData* c = peekWindowLocked(control);
  return (c != nullptr && c->child) ? c->controlId : 0;
}

bool setDlgItemText(Window dialog, int id, const char* text) {
  Window control = nullptr;
  {
    Lock lock(stateMutex());
    const WindowData* c = controlLocked(dialog, id);
    if (c == nullptr) return false;
    control = c->handle;
  }
  return setControlText(control, text);
}

int getDlgItemText(Window dialog, int id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  Lock lock(stateMutex());
  const WindowData* c = controlLocked(dialog, id);
  if (c == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<int>(copyTerminated(c->text, buffer, static_cast<std::size_t>(size)));
}

bool checkDlgButton(Window dialog, int id, int state) {
  Lock lock(stateMutex());
  WindowData* c = controlLocked(dialog, id);
  if (c == nullptr) return false;
  const ControlKind kind = c->control->kind;
  if (kind == ControlKind::CheckBox || kind == ControlKind::RadioButton) c->control->checked = state;
  return true;
}

int isDlgButtonChecked(Window dialog, int id) {
  Lock lock(stateMutex());
  const WindowData* c = controlLocked(dialog, id);
  return c != nullptr ? c->control->checked : 0;
}

bool checkRadioButton(Window dialog, int firstId, int lastId, int checkId) {
  Lock lock(stateMutex());
  if (peekWindowLocked(dialog) == nullptr) return false;
  // Every button with an id in the range is set, checkId checked, the rest
  // unchecked.
  for (int id = firstId; id <= lastId; ++id) {
    WindowData* c = controlLocked(dialog, id);
    if (c == nullptr) continue;
    const ControlKind kind = c->control->kind;
    if (kind == ControlKind::CheckBox || kind == ControlKind::RadioButton) {
      c->control->checked = id == checkId ? BST_CHECKED : BST_UNCHECKED;
    }
    if (id == lastId) break;  // lastId may be INT_MAX
  }
  return true;
}

int comboResetContent(Window dialog, int id) {
  Lock lock(stateMutex());
  WindowData* c = controlLocked(dialog, id);
  if (c == nullptr || c->control->kind != ControlKind::ComboBox) return -1;
  c->control->items.clear();
  c->control->selection = -1;
  c->text.clear();
  return 0;
}

int comboAddString(Window dialog, int id, const char* text) {
  Lock lock(stateMutex());
  ControlState* c = controlOfKindLocked(dialog, id, ControlKind::ComboBox);
  if (c == nullptr) return -1;
  c->items.emplace_back(text != nullptr ? text : "");
  return static_cast<int>(c->items.size() - 1);
}

int comboSetCurSel(Window dialog, int id, int index) {
  Lock lock(stateMutex());
  WindowData* c = controlLocked(dialog, id);
  if (c == nullptr || c->control->kind != ControlKind::ComboBox) return -1;
  ControlState& combo = *c->control;
  if (index < 0 || static_cast<std::size_t>(index) >= combo.items.size()) {
    // -1 or out of range: the selection and the edit text are cleared.
    combo.selection = -1;
    c->text.clear();
    return -1;
  }
  combo.selection = index;
  c->text = combo.items[static_cast<std::size_t>(index)];
  return index;
}

int comboGetCurSel(Window dialog, int id) {
  Lock lock(stateMutex());
  const ControlState* c = controlOfKindLocked(dialog, id, ControlKind::ComboBox);
  return c != nullptr ? c->selection : -1;
}

int comboGetCount(Window dialog, int id) {
  Lock lock(stateMutex());
  const ControlState* c = controlOfKindLocked(dialog, id, ControlKind::ComboBox);
  return c != nullptr ? static_cast<int>(c->items.size()) : -1;
}

int comboGetLBText(Window dialog, int id, int index, char* buffer, int size) {
  Lock lock(stateMutex());
  const ControlState* c = controlOfKindLocked(dialog, id, ControlKind::ComboBox);
  if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->items.size()) return -1;
  if (buffer == nullptr || size <= 0) return 0;
  return static_cast<int>(copyTerminated(c->items[static_cast<std::size_t>(index)], buffer,
                                         static_cast<std::size_t>(size)));
}

bool trackbarSetRange(Window dialog, int id, int minimum, int maximum) {
  Lock lock(stateMutex());
  ControlState* c = controlOfKindLocked(dialog, id, ControlKind::Trackbar);
  if (c == nullptr) return false;
  c->rangeMin = minimum;
  c->rangeMax = maximum;
  c->position = clampInto(c->position, minimum, maximum);
  return true;
}

bool trackbarSetPos(Window dialog, int id, int position) {
  Lock lock(stateMutex());
  ControlState* c = controlOfKindLocked(dialog, id, ControlKind::Trackbar);
  if (c == nullptr) return false;
  c->position = clampInto(position, c->rangeMin, c->rangeMax);
  return true;
}

int trackbarGetPos(Window dialog, int id) {
  Lock lock(stateMutex());
  const ControlState* c = controlOfKindLocked(dialog, id, ControlKind::Trackbar);
  return c != nullptr ? c->position : 0;
}

bool upDownSetRange(Window dialog, int id, int minimum, int maximum) {
  Lock lock(stateMutex());
  ControlState* c = controlOfKindLocked(dialog, id, ControlKind::UpDown);
  if (c == nullptr) return false;
  c->rangeMin = minimum;
  c->rangeMax = maximum;
  c->position = clampInto(c->position, minimum, maximum);
  return true;
}

bool upDownSetPos(Window dialog, int id, int position) {
  Lock lock(stateMutex());
  ControlState* c = controlOfKindLocked(dialog, id, ControlKind::UpDown);
  if (c == nullptr) return false;
  c->position = clampInto(position, c->rangeMin, c->rangeMax);
  return true;
}

int upDownGetPos(Window dialog, int id) {
  Lock lock(stateMutex());
  const ControlState* c = controlOfKindLocked(dialog, id, ControlKind::UpDown);
  return c != nullptr ? c->position : 0;
}

} // namespace platform

namespace platform::headless {

using namespace detail;

void setDialogScript(int templateId, DialogScript script) {
  Lock lock(stateMutex());
  if (script) {
    dialogs().scripts[templateId] = std::move(script);
  } else {
    dialogs().scripts.erase(templateId);
  }
}

void clearDialogScripts() {
  Lock lock(stateMutex());
  dialogs().scripts.clear();
}

std::vector<DialogRecord> dialogsShown() {
  Lock lock(stateMutex());
  return dialogs().records;
}

Window findDialog(int templateId) {
  Lock lock(stateMutex());
  const auto& records = dialogs().records;
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    if (it->templateId == templateId && peekWindowLocked(it->dialog) != nullptr) return it->dialog;
  }
  return nullptr;
}

ControlInfo controlInfo(Window dialog, int id) {
  Lock lock(stateMutex());
  ControlInfo info;
  const WindowData* c = controlLocked(dialog, id);
  if (c == nullptr) return info;
  const ControlState& s = *c->control;
  info.exists = true;
  info.kind = s.kind;
  info.style = s.style;
  info.text = c->text;
  info.checked = s.checked;
  info.items = s.items;
  info.selection = s.selection;
  info.rangeMin = s.rangeMin;
  info.rangeMax = s.rangeMax;
  info.position = s.position;
  info.enabled = c->enabled;
  info.visible = c->visible;
  info.rect = c->rect;
  return info;
}

} // namespace platform::headless
