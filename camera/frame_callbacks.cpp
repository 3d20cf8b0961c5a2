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

void enableDarkSubtraction(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  // Registering twice would subtract the frame twice.
  if (state.darkSubtractionOn != 0) return;
  if (state.darkFrameStored == 0) grabDarkFrame(camera, owner);
  if (state.darkFrameStored == 0) return;
  camera.darkCallbackId = VarcamAddStreamingCallback(camera.handle(), &darkFrameCallback, &camera);
  state.darkSubtractionOn.store(1, std::memory_order_release);
}

void disableDarkSubtraction(CameraSession& camera) {
  DriverState& state = camera.state();
  if (camera.darkCallbackId != -1) {
    VarcamRemoveStreamingCallback(camera.handle(), camera.darkCallbackId);
    camera.darkCallbackId = -1;
  }
  state.darkSubtractionOn.store(0, std::memory_order_release);
}

void enableBackgroundCorrection(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  // Registering twice would apply the factors twice.
  if (state.backgroundCorrectionOn != 0) return;
  if (state.backgroundStored == 0) grabBackground(camera, owner);
  if (state.backgroundStored == 0) return;
  int format = 0;
  if (VarcamQueryRgbPreviewPixelFormat(camera.handle(), &format) == 0) {
    platform::messageBox(correctionBoxOwner(camera, owner), "Could not get pixel format from camera", "VARCAM-ERROR",
                         platform::MB_OK);
    return;
  }
  camera.rgbPreviewFormat = format;
  if (format == VarcamRgb24 || format == VarcamRgb32)
    camera.backgroundCallbackId =
        VarcamAddRgbPreviewCallback(camera.handle(), &backgroundCallback, &camera, format);
  state.backgroundCorrectionOn.store(1, std::memory_order_release);
}

void disableBackgroundCorrection(CameraSession& camera) {
  DriverState& state = camera.state();
  if (camera.backgroundCallbackId != -1) {
    VarcamRemoveRgbPreviewCallback(camera.handle(), camera.backgroundCallbackId);
    camera.backgroundCallbackId = -1;
  }
  state.backgroundCorrectionOn.store(0, std::memory_order_release);
}

} // namespace vx
