// The camera's own automatic exposure as the exposure panel runs it: it
// lives only while the panel is open, and every way of closing the panel
// ends it.
#pragma once

#include "camera/camera_session.h"

namespace vx {

// What becomes of the preview exposure when automatic exposure ends.
enum class AutoExposureEnd {
  AdoptCameraExposure,  // the exposure the camera reached (Close, the shell's toggle, the check box)
  RestoreStoredExposure // the stored preview exposure (Cancel)
};

// With the camera's automatic exposure running, writes the chosen exposure
// through the exposure controller, which returns the camera to manual
// exposure (the display restarts when that changed the frame rate), and
// clears cameraAutoExposureOn. When the camera's exposure can't be read,
// the stored preview exposure is written instead. Nothing is written when
// automatic exposure was not running.
void endCameraAutoExposure(CameraSession& camera, AutoExposureEnd end);

} // namespace vx
