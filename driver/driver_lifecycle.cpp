#include "driver/driver_lifecycle.h"

#include "camera/camera_session.h"
#include "base/debug_log.h"
#include "driver/soft_pass_through.h"

#include <memory>

namespace vx {

std::int32_t openDriver(DriverState& state) {
  logLine("Opening ZAV Digital Driver...");
  logLine("ACQOpen...");
  state.driverOpen = 0;
  state.greyMode = 0;
  state.hostValue74 = 0;
  // A session left by an earlier failed open is replaced.
  state.session = std::make_unique<CameraSession>();
  if (state.session->open(state) == 0) return 2;
  state.cameraHandle = state.sessionCameraHandle;
  state.driverOpen = 1;
  return 0;
}

std::int32_t closeDriver(DriverState& state) {
  logLine("Closing camera...");
  logLine("ACQClose...");
  if (state.session) {
    state.session->close(state);
    state.snapRawBuffer.release();
    state.snapRgbBuffer.release();
    state.snapWidth = state.snapHeight = 0;
    state.lineCursor = -1;
    // A pass-through the host left open holds a bitmap and a palette.
    passThroughClose(state);
    state.session.reset();
  }
  const std::int32_t wasOpen = state.driverOpen;
  state.driverOpen = 0;
  return wasOpen;
}

} // namespace vx
