#include "driver/image_geometry.h"

namespace vx {

std::int32_t imageWidth(const DriverState& state) {
  if (state.session && state.snapshotUsesPreviewFormat != 0) return state.previewWidth;
  return state.acquireRect.right - state.acquireRect.left;
}

std::int32_t imageHeight(const DriverState& state) {
  if (state.session && state.snapshotUsesPreviewFormat != 0) return state.previewHeight;
  return state.acquireRect.bottom - state.acquireRect.top;
}

std::int32_t imageBitDepth(DriverState& state) {
  // A failed read leaves -1, which counts as a colour format.
  float value = -1.0f;
  std::uint32_t flags = 0;
  VarcamGetProperty(state.sessionCameraHandle, PropColorFormat, &value, &flags);
  if (value == 0.0f) {
    state.colourCamera = 0;
    return 8;
  }
  if (state.colourCamera == 1) return 24;
  return state.mono12Bit != 0 ? 12 : 16;
}

bool colourTransfer(const DriverState& state) { return state.greyMode == 0 && state.colourCamera == 1; }

} // namespace vx
