// The dialog templates of the options window and its panels, as data.
#pragma once

#include "state/driver_state.h"

namespace vx {

// Template 9: the column of section buttons and Close.
const platform::DialogTemplate& optionsWindowTemplate();
// The panel template of a section. The sections whose panels are still to
// come have a placeholder with the controls other parts of the driver write
// into, and Close and Cancel.
const platform::DialogTemplate& panelTemplate(Section section);

} // namespace vx
