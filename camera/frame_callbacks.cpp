// Dark-frame subtraction and background correction of the live preview:
// the two SDK frame callbacks and their switches.
#include "camera/image_correction.h"

#include "base/debug_log.h"

#include <algorithm>
#include <cmath>

namespace vx {

// Streaming thread: subtracts the stored dark frame from each raw frame.
void VARCAM_CALL darkFrameCallback(void* context, std::uint8_t* frame, std::uint32_t byteCount) {
  auto& state = *static_cast<DriverState*>(context);
  if (state.darkSubtractionOn.load(std::memory_order_acquire) == 0) return;
  state.corrections.withDark([&](const DarkFrame* dark) {
    if (dark == nullptr) return;
    subtractDarkFrame(frame, byteCount, dark->bytes.data(), dark->bytes.size());
  });
  logLine("Preview DarkFrame subtraction done!");
}

// Streaming thread: multiplies every displayed pixel by its background factor.
void VARCAM_CALL backgroundCallback(void* context, std::uint8_t* pixels, std::uint32_t byteCount, std::uint32_t) {
  auto& state = *static_cast<DriverState*>(context);
  if (state.backgroundCorrectionOn.load(std::memory_order_acquire) == 0) return;
  const int bytesPerPixel = state.rgbPreviewFormat == VarcamRgb32 ? 4 : 3;
  state.corrections.withBackground([&](const BackgroundFactors* background) {
    if (background == nullptr) return;
    const std::size_t pixelCount =
        std::min<std::size_t>(background->factors.size(), byteCount / static_cast<std::uint32_t>(bytesPerPixel));
    applyBackgroundFactors(pixels, pixelCount, bytesPerPixel, background->factors.data());
  });
}

void enableDarkSubtraction(DriverState& state) {
  // Registering twice would subtract the frame twice.
  if (state.darkSubtractionOn != 0) return;
  if (state.darkFrameStored == 0) grabDarkFrame(state);
  if (state.darkFrameStored == 0) return;
  state.darkCallbackId = VarcamAddStreamingCallback(state.sessionCameraHandle, &darkFrameCallback, &state);
  state.darkSubtractionOn.store(1, std::memory_order_release);
}

void disableDarkSubtraction(DriverState& state) {
  if (state.darkCallbackId != -1) {
    VarcamRemoveStreamingCallback(state.sessionCameraHandle, state.darkCallbackId);
    state.darkCallbackId = -1;
  }
  state.darkSubtractionOn.store(0, std::memory_order_release);
}

void enableBackgroundCorrection(DriverState& state) {
  // Registering twice would apply the factors twice.
  if (state.backgroundCorrectionOn != 0) return;
  if (state.backgroundStored == 0) grabBackground(state);
  if (state.backgroundStored == 0) return;
  int format = 0;
  if (VarcamQueryRgbPreviewPixelFormat(state.sessionCameraHandle, &format) == 0) {
    platform::messageBox(state.optionsParent != nullptr ? state.optionsParent : state.hostWindow,
                         "Could not get pixel format from camera", "VARCAM-ERROR", platform::MB_OK);
    return;
  }
  state.rgbPreviewFormat = format;
  if (format == VarcamRgb24 || format == VarcamRgb32)
    state.backgroundCallbackId =
        VarcamAddRgbPreviewCallback(state.sessionCameraHandle, &backgroundCallback, &state, format);
  state.backgroundCorrectionOn.store(1, std::memory_order_release);
}

void disableBackgroundCorrection(DriverState& state) {
  if (state.backgroundCallbackId != -1) {
    VarcamRemoveRgbPreviewCallback(state.sessionCameraHandle, state.backgroundCallbackId);
    state.backgroundCallbackId = -1;
  }
  state.backgroundCorrectionOn.store(0, std::memory_order_release);
}

} // namespace vx
