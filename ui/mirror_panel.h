// The Mirror panel (template 107): flips the image horizontally and
// vertically in the camera itself.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t mirrorPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
