// The driver configuration dialog's procedure, run by the host with its own
// dialog template.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t configDialogProc(DriverState& state, platform::Window dialog, unsigned message,
                               std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
