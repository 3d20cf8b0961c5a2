// Modal and modeless dialogs built in memory from the template tables, and
// the bridge between Win32's dialog procedures and the platform's.
#include "dialog_templates.h"

#include <memory>

namespace platform {
namespace {

using namespace win32;

// What a dialog needs from its creation to its end. Owned by the dialog
// from WM_INITDIALOG (kept in DWLP_USER, so that GWLP_USERDATA stays the
// program's) and freed at WM_NCDESTROY.
struct DialogRecord {
  DialogProc proc = nullptr;
  std::intptr_t initParam = 0;
  const DialogTemplate* layout = nullptr;  // valid during creation only
  bool* adopted = nullptr;                 // the creator's flag: the dialog owns the record now
};

// Win32's dialog procedure for every dialog: passes each message on to the
// platform procedure. Its result also becomes the message's result
// (DWLP_MSGRESULT), so that sendMessage returns what the procedure returned
// as it does everywhere; not for WM_NOTIFY, whose result would veto an
// up-down control's step.
INT_PTR CALLBACK dialogBridge(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* record = reinterpret_cast<DialogRecord*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    *record->adopted = true;
    record->adopted = nullptr;
    placeControls(dialog, *record->layout);
    record->layout = nullptr;
    if (record->proc == nullptr) return TRUE;
    return record->proc(dialog, message, wParam, record->initParam);
  }
  auto* record = reinterpret_cast<DialogRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (record == nullptr) return FALSE;
  const std::intptr_t result = record->proc != nullptr ? record->proc(dialog, message, wParam, lParam) : 0;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    delete record;
    return FALSE;
  }
  if (message != WM_NOTIFY && result != 0) SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return result;
}

bool usable(const DialogTemplate& t) { return t.controls != nullptr || t.controlCount == 0; }

} // namespace

std::intptr_t dialogBox(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                        std::intptr_t initParam) {
  // Without a procedure nothing could ever end the dialog.
  if (!usable(dialogTemplate) || proc == nullptr) return -1;
  if (owner != nullptr && !isWindow(owner)) return -1;
  ensureCommonControls();
  const std::vector<WORD> data = buildDialogTemplate(dialogTemplate, true);
  // The dialog frees the record at its end once WM_INITDIALOG has given it
  // to the dialog (and may have done so already when the call returns); until
  // then it is ours.
  bool adopted = false;
  auto record = std::make_unique<DialogRecord>(DialogRecord{proc, initParam, &dialogTemplate, &adopted});
  const INT_PTR result = DialogBoxIndirectParamA(thisModule(), reinterpret_cast<LPCDLGTEMPLATEA>(data.data()),
                                                 owner, dialogBridge, reinterpret_cast<LPARAM>(record.get()));
  if (adopted) static_cast<void>(record.release());
  return result;
}

Window createDialog(const DialogTemplate& dialogTemplate, Window owner, DialogProc proc,
                    std::intptr_t initParam) {
  if (!usable(dialogTemplate)) return nullptr;
  if (owner != nullptr && !isWindow(owner)) return nullptr;
  ensureCommonControls();
  const std::vector<WORD> data = buildDialogTemplate(dialogTemplate, false);
  bool adopted = false;
  auto record = std::make_unique<DialogRecord>(DialogRecord{proc, initParam, &dialogTemplate, &adopted});
  HWND dialog = CreateDialogIndirectParamA(thisModule(), reinterpret_cast<LPCDLGTEMPLATEA>(data.data()), owner,
                                           dialogBridge, reinterpret_cast<LPARAM>(record.get()));
  if (adopted) static_cast<void>(record.release());
  // A dialog that destroyed itself while initialising is not returned.
  return dialog != nullptr && IsWindow(dialog) ? dialog : nullptr;
}

bool endDialog(Window dialog, std::intptr_t result) { return EndDialog(dialog, result) != 0; }

std::intptr_t sendMessage(Window w, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return SendMessageA(w, message, wParam, lParam);
}

Window dialogItem(Window dialog, int id) { return dialog != nullptr ? GetDlgItem(dialog, id) : nullptr; }

int dialogControlId(Window control) { return control != nullptr ? GetDlgCtrlID(control) : 0; }

} // namespace platform
