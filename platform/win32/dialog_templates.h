// In-memory dialog templates (DLGTEMPLATEEX) built from the platform's
// template tables, and the exact pixel layout applied once the dialog and
// its controls exist.
#pragma once

#include "win32_backend.h"

#include <vector>

namespace platform::win32 {

// The bytes of a DLGTEMPLATEEX with one item per control, DWORD-aligned as
// Win32 wants them. Positions in it are only approximate (dialog units);
// placeControls() sets the exact pixels afterwards.
std::vector<WORD> buildDialogTemplate(const DialogTemplate& dialogTemplate, bool modal);

// Moves the dialog to its template rectangle (screen pixels, outer) and
// every control to its rectangle (client pixels). A combo box's window also
// holds its drop-down list, so it is made taller than the field it shows.
void placeControls(HWND dialog, const DialogTemplate& dialogTemplate);

} // namespace platform::win32
