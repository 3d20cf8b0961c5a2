// The panels of the sections whose own panels are still to come
// (resolution, exposure, the numeric properties and white balance): an
// empty dialog of the section's template that is opened and closed like a
// real panel, so that the options window and the property accessors' route
// into an open panel work for every section.
#pragma once

#include "state/driver_state.h"

namespace vx {

// The placeholder's dialog procedure for a section.
platform::DialogProc placeholderPanelProc(Section section);

} // namespace vx
