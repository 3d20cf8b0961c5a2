#include "automatic_exposure.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "engines/exposure_controller.h"

namespace vx {

void endCameraAutoExposure(CameraSession& camera, AutoExposureEnd end) {
  DriverState& state = camera.state();
  if (state.cameraAutoExposureOn == 0) return;
  state.cameraAutoExposureOn = 0;
  ExposureController* controller = camera.exposureController();
  if (controller == nullptr) return;
  if (end == AutoExposureEnd::AdoptCameraExposure) {
    // A reading of -1 (the camera did not answer) is not an exposure.
    const float reached = controller->getExposure();
    if (reached >= 0.0f) state.exposure.preview = userFromCamera(state.exposure, reached);
  }
  const float exposure = cameraFromUser(state.exposure, state.exposure.preview);
  if (controller->setExposure(exposure, 0) == 2) restartDisplay(camera);
}

} // namespace vx
