#include "image_geometry.h"

namespace vx {

std::int32_t imageWidth(const Driver& driver) {
  const DriverState& state = driver.state;
  if (driver.sessionHeld && state.snapshotUsesPreviewFormat != 0) return state.preview.width;
  return driver.commands.acquireRect.right - driver.commands.acquireRect.left;
}

std::int32_t imageHeight(const Driver& driver) {
  const DriverState& state = driver.state;
  if (driver.sessionHeld && state.snapshotUsesPreviewFormat != 0) return state.preview.height;
  return driver.commands.acquireRect.bottom - driver.commands.acquireRect.top;
}

std::int32_t imageBitDepth(Driver& driver) {
  // A failed read leaves -1, which counts as a colour format.
  float value = -1.0f;
  std::uint32_t flags = 0;
  VarcamGetProperty(driver.camera.handle(), PropColorFormat, &value, &flags);
  if (value == 0.0f) {
    driver.capture.colourCamera = 0;
    return 8;
  }
  if (driver.capture.colourCamera == 1) return 24;
  return driver.capture.mono12Bit != 0 ? 12 : 16;
}

bool colourTransfer(const Driver& driver) { return driver.capture.greyMode == 0 && driver.capture.colourCamera == 1; }

} // namespace vx
