// The driver configuration dialog's procedure, run by the host with its own
// dialog template. The template holds check box 101 (36-bit colour or
// 12-bit monochrome, by camera kind), check box 104 (synchronous snapshot),
// button 107 (choose a simulation image file) and the OK and Cancel buttons.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

inline constexpr int kConfigBitDepthBox = 101;
inline constexpr int kConfigSyncSnapBox = 104;
inline constexpr int kConfigSimulationImageButton = 107;

// Returns 1 (TRUE) for the messages it handles, 0 (FALSE) for all others.
std::intptr_t configDialogProc(Driver& driver, platform::Window dialog, unsigned message,
                               std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
