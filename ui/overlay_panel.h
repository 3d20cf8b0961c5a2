// The Overlay panel (template 117): the overlay bitmap, whether it is drawn
// on the preview and on captures, its place on a 3 x 3 grid, and alpha
// blending with a constant value or an alpha bitmap.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t overlayPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
