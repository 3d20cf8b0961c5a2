// The White Balance panel (template 114): the red, green and blue channel
// gains, each a preview/acquire pair with its own lock, and the camera's
// one-shot white balance ("Global WB") with the gains it reached read back.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t whiteBalancePanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
