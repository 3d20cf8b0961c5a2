// The Camera Information panel (template 104): the model name, serial
// number and versions as they were read when the camera was identified.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

std::intptr_t cameraInfoPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
