#include "ui/automatic_exposure.h"

#include "camera/preview_stream.h"

namespace vx {

void endCameraAutoExposure(DriverState& state) {
  // Adopts the camera's exposure only while automatic exposure runs.
  applyExposureSwitch(state, 1);
  state.cameraAutoExposureOn = 0;
}

} // namespace vx
