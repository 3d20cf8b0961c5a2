// Which driver state a dialog of the options window works on. Each dialog
// receives its state with WM_INITDIALOG and looks it up for every later
// message (the role of the window's user data on Win32).
//
// User-interface thread only.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

void bindDialog(Window dialog, DriverState* state);
void unbindDialog(Window dialog);
// The state bound to the dialog, or null.
DriverState* boundState(Window dialog);

// The state a WM_INITDIALOG carries in its lParam.
inline DriverState* stateFromInitParam(std::intptr_t initParam) {
  return reinterpret_cast<DriverState*>(initParam);
}
inline std::intptr_t initParamFor(DriverState& state) { return reinterpret_cast<std::intptr_t>(&state); }

} // namespace vx
