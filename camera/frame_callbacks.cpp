// Dark-frame subtraction and background correction of the live preview:
// the two SDK frame callbacks and their switches.
#include "camera/image_correction.h"

#include "base/debug_log.h"

#include <algorithm>
#include <cmath>

namespace vx {

// Streaming thread: subtracts the stored dark frame from each raw frame.
void VARCAM_CALL darkFrameCallback(void* context, std::uint8_t* frame, std::uint32_t byteCount) {
  auto& camera = *static_cast<CameraSession*>(context);
  if (camera.state().darkSubtractionOn.load(std::memory_order_acquire) == 0) return;
  camera.corrections.withDark([&](const DarkFrame* dark) {
    if (dark == nullptr) return;
    subtractDarkFrame(frame, byteCount, dark->bytes.data(), dark->bytes.size());
  });
  logLine("Preview DarkFrame subtraction done!");
}

// Streaming thread: multiplies every displayed pixel by its background factor.
void VARCAM_CALL backgroundCallback(void* context, std::uint8_t* pixels, std::uint32_t byteCount, std::uint32_t) {
  auto& camera = *static_cast<CameraSession*>(context);
  if (camera.state().backgroundCorrectionOn.load(std::memory_order_acquire) == 0) return;
  const int bytesPerPixel = camera.rgbPreviewFormat == VarcamRgb32 ? 4 : 3;
  camera.corrections.withBackground([&](const BackgroundFactors* background) {
    if (background == nullptr) return;
    const std::size_t pixelCount =
        std::min<std::size_t>(background->factors.size(), byteCount / static_cast<std::uint32_t>(bytesPerPixel));
    applyBackgroundFactors(pixels, pixelCount, bytesPerPixel, background->factors.data());
  });
}

namespace {

// The SDK may refuse to remove a callback; it is asked once more. A callback
// still registered after that keeps its id, so that switching the correction
// on again reuses it instead of adding a second one (which would correct
// every frame twice), and switching off tries the removal again.
bool removeStreaming(CameraSession& camera, std::int32_t id) {
  return VarcamRemoveStreamingCallback(camera.handle(), id) != 0 ||
         VarcamRemoveStreamingCallback(camera.handle(), id) != 0;
}

bool removeRgbPreview(CameraSession& camera, std::int32_t id) {
  return VarcamRemoveRgbPreviewCallback(camera.handle(), id) != 0 ||
         VarcamRemoveRgbPreviewCallback(camera.handle(), id) != 0;
}

} // namespace

int enableDarkSubtraction(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  // Registering twice would subtract the frame twice.
  if (state.darkSubtractionOn != 0) return 1;
  if (state.darkFrameStored == 0) grabDarkFrame(camera, owner);
  if (state.darkFrameStored == 0) return 0;
  if (camera.darkCallbackId == -1) {
    const int id = VarcamAddStreamingCallback(camera.handle(), &darkFrameCallback, &camera);
    // Nothing would subtract the frame: the switch stays off.
    if (id == -1) return 0;
    camera.darkCallbackId = id;
  }
  state.darkSubtractionOn.store(1, std::memory_order_release);
  return 1;
}

void disableDarkSubtraction(CameraSession& camera) {
  DriverState& state = camera.state();
  state.darkSubtractionOn.store(0, std::memory_order_release);
  if (camera.darkCallbackId != -1 && removeStreaming(camera, camera.darkCallbackId)) camera.darkCallbackId = -1;
}

int enableBackgroundCorrection(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  // Registering twice would apply the factors twice.
  if (state.backgroundCorrectionOn != 0) return 1;
  if (state.backgroundStored == 0) grabBackground(camera, owner);
  if (state.backgroundStored == 0) return 0;
  int format = 0;
  if (VarcamQueryRgbPreviewPixelFormat(camera.handle(), &format) == 0) {
    platform::messageBox(correctionBoxOwner(camera, owner), "Could not get pixel format from camera", "VARCAM-ERROR",
                         platform::MB_OK);
    return -1;
  }
  // A callback left registered by a refused removal was made for the
  // format of its time: it goes before the format changes under it.
  if (camera.backgroundCallbackId != -1 && camera.rgbPreviewFormat != format) {
    if (!removeRgbPreview(camera, camera.backgroundCallbackId)) return 0;
    camera.backgroundCallbackId = -1;
  }
  // Read by the callback: written only while none of ours is registered.
  if (camera.rgbPreviewFormat != format) camera.rgbPreviewFormat = format;
  if ((format == VarcamRgb24 || format == VarcamRgb32) && camera.backgroundCallbackId == -1) {
    const int id = VarcamAddRgbPreviewCallback(camera.handle(), &backgroundCallback, &camera, format);
    // Nothing would correct the preview: the switch stays off.
    if (id == -1) return 0;
    camera.backgroundCallbackId = id;
  }
  state.backgroundCorrectionOn.store(1, std::memory_order_release);
  return 1;
}

void disableBackgroundCorrection(CameraSession& camera) {
  DriverState& state = camera.state();
  state.backgroundCorrectionOn.store(0, std::memory_order_release);
  if (camera.backgroundCallbackId != -1 && removeRgbPreview(camera, camera.backgroundCallbackId))
    camera.backgroundCallbackId = -1;
}

} // namespace vx
