// Saving and loading the whole setup in a settings (INI) file.
#pragma once

#include "driver/driver_state.h"

namespace vx {

void saveSettings(DriverState& state);
// Loads from settingsPath, checking the camera model first.
void loadSettings(DriverState& state);

} // namespace vx
