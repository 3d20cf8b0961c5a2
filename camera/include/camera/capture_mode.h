// A resolution-list entry taken into a capture region.
#pragma once

#include "engines/resolution_table.h"
#include "state/driver_state.h"

namespace vx {

// Takes an entry's image size (as both the delivered and the selected size),
// its sampling factors and its binning flags into `region`. The index and
// the offsets are the caller's: a mode picked by a command also moves the
// sensor window to the mode's offsets, one picked in the panel or restored
// at identification keeps the window where it is.
inline void adoptModeSize(CaptureRegion& region, const engines::ResolutionMode& mode) {
  region.width = region.selectedWidth = mode.width;
  region.height = region.selectedHeight = mode.height;
  region.factorX = mode.factorX;
  region.factorY = mode.factorY;
  region.binningX = mode.binningX;
  region.binningY = mode.binningY;
}

} // namespace vx
