// Ending the camera's own automatic exposure when the exposure panel goes
// away (closed by the options window's toggle, and later by the panel's own
// Close).
#pragma once

#include "camera/camera_session.h"

namespace vx {

// With the camera's automatic exposure running, the exposure the camera
// reached becomes the preview exposure and is written back, which returns
// the camera to manual exposure (the display restarts when that changed the
// frame rate). Then cameraAutoExposureOn is cleared. Nothing is written when
// automatic exposure was not running.
void endCameraAutoExposure(CameraSession& camera);

} // namespace vx
