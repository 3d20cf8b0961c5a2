// The camera options window: a column of section buttons, each toggling a
// modeless panel. Runs on the host's user-interface thread.
#pragma once

#include "driver/driver_state.h"

namespace vx {

// Opens the options window owned by `parent` with its top-left at (x, y),
// screen pixels; a second open only logs. Returns 1.
int openOptionsWindow(DriverState& state, Window parent, int x, int y);

// Destroys the options window and every panel that exists, clearing each
// panel's open flag and optionsOpen. No lock check box is read and no
// position recorded.
void destroyOptionsWindow(DriverState& state);

// A section's button pressed. An open panel is closed: its lock check boxes
// become the lock flags, automatic exposure ends (exposure), its position is
// remembered. A closed one is opened beside the window the first time, and
// where it was left afterwards. Returns 1.
int toggleSection(DriverState& state, Section section);

} // namespace vx
