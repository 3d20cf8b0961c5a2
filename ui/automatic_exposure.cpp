#include "automatic_exposure.h"

#include "camera/preview_stream.h"

namespace vx {

void endCameraAutoExposure(CameraSession& camera) {
  // Adopts the camera's exposure only while automatic exposure runs.
  applyExposureSwitch(camera, 1);
  camera.state().cameraAutoExposureOn = 0;
}

} // namespace vx
