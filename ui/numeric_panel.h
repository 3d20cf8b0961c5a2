// The six numeric property panels: Brightness (template 103), Contrast
// (108), Hue (110), Saturation (109), Global Gain (115) and Gamma (112). One
// implementation, driven by a table of what differs between them: the
// conversion to camera units, the edit format and the trackbar's scale,
// the range messages and fallbacks, the texts of the camera writes and the
// default that Initialize applies.
#pragma once

#include "state/driver_state.h"

#include <cstdint>

namespace vx {

// The dialog procedure of a numeric section's panel; null for any other
// section.
platform::DialogProc numericPanelProc(Section section);

} // namespace vx
