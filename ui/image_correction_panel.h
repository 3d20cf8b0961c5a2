// The Image Correction panel (template 111): light source and mains
// frequency, background correction and dark-frame subtraction with the grabs
// of their reference frames.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t imageCorrectionPanelProc(Window panel, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam);

} // namespace vx
