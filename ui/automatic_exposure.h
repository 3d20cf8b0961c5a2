// Ending the camera's own automatic exposure when the exposure panel goes
// away (closed by the options window's toggle, and later by the panel's own
// Close).
#pragma once

#include "driver/driver_state.h"

namespace vx {

// With the camera's automatic exposure running, the exposure the camera
// reached becomes the preview exposure and is written back, which returns
// the camera to manual exposure (the display restarts when that changed the
// frame rate). Then cameraAutoExposureOn is cleared. Nothing is written when
// automatic exposure was not running.
void endCameraAutoExposure(DriverState& state);

} // namespace vx
