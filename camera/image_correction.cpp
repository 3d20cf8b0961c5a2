// Capturing and discarding the dark frame and the background.
#include "camera/image_correction.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "base/debug_log.h"

#include <cmath>
#include <memory>

namespace vx {
namespace {

const char* const kDarkPrompt =
    "                       Please close all lights to the camera and press OK.\n\nNOTE: If you "
    "change your preview or capture size, the dark frame will be deleted.";
const char* const kBackgroundPrompt =
    "                  Please place the camera towards the background and press OK. \n\nNOTE: If "
    "you change your preview or capture size, the background frame will be deleted.";

// Size of the frames the camera delivers in its current format. The stored
// frames are taken at this size so that the camera never writes past them.
bool deliveredFrameSize(const CameraSession& camera, std::int32_t& width, std::int32_t& height) {
  FrameFormatRecord format{};
  float rate = 0;
  if (VarcamGetFormat(camera.handle(), &format, &rate) == 0) {
    platform::messageBox(camera.state().hostWindow, "Unable to get camera video format. Snapshot mode disabled.",
                         "ERROR", platform::MB_OK);
    return false;
  }
  width = static_cast<std::int32_t>(format.width / (format.factorX != 0 ? format.factorX : 1u));
  height = static_cast<std::int32_t>(format.height / (format.factorY != 0 ? format.factorY : 1u));
  return width > 0 && height > 0;
}

void allocationFailure(const DriverState& state) {
  platform::messageBox(state.hostWindow, "Failed to allocate memory for frame buffer.", "ERROR",
                       platform::MB_OK);
}

void snapshotFailure(const DriverState& state) {
  messageBoxf(state.hostWindow, "ERROR", "Could not get video snapshot: %d",
              static_cast<int>(VarcamGetLastError()));
}

} // namespace

Window correctionBoxOwner(const CameraSession& camera, Window owner) {
  const DriverState& state = camera.state();
  if (owner != nullptr) return owner;
  return state.optionsParent != nullptr ? state.optionsParent : state.hostWindow;
}

int captureDarkFrame(CameraSession& camera) {
  const DriverState& state = camera.state();
  showProgress(camera, "Taking dark frame image...");
  logLine("PIXORA DRIVER: Taking dark frame image...");
  auto frame = std::make_unique<DarkFrame>();
  if (!deliveredFrameSize(camera, frame->width, frame->height)) return 0;
  const auto bytes = static_cast<std::size_t>(frame->width) * static_cast<std::size_t>(frame->height);
  if (!frame->bytes.allocate(bytes)) {
    allocationFailure(state);
    return 0;
  }
  if (VarcamTakeVideo(camera.handle(), 1, frame->bytes.data()) == 0) {
    snapshotFailure(state);
    return 0;
  }
  logLine("PIXORA/VARNEX DRIVER: Video taken.");
  camera.corrections.replaceDark(std::move(frame));
  return 1;
}

int captureBackground(CameraSession& camera) {
  const DriverState& state = camera.state();
  showProgress(camera, "Taking background image...");
  logLine("PIXORA DRIVER: Taking background image...");
  auto background = std::make_unique<BackgroundFactors>();
  if (!deliveredFrameSize(camera, background->width, background->height)) return 0;
  const auto n = static_cast<std::size_t>(background->width) * static_cast<std::size_t>(background->height);
  HeapBuffer<std::uint8_t> rgb;
  HeapBuffer<std::uint8_t> raw;
  if (!background->factors.allocate(n) || !rgb.allocate(3 * n) || !raw.allocate(4 * n)) {
    allocationFailure(state);
    return 0;
  }
  if (VarcamTakeVideo(camera.handle(), 4, raw.data()) == 0) {
    snapshotFailure(state);
    return 0;
  }
  logLine("PIXORA/VARNEX DRIVER: Video taken.");

  averageFourFrames(raw.data(), n);
  const ConversionRecord conversion{1, correctionCodeWithWarning(camera, state.lightSource)};
  if (VarcamConvertFrameToRgb24(camera.handle(), rgb.data(), raw.data(), background->width,
                                background->height, 0, &conversion) == 0) {
    platform::messageBox(state.hostWindow, "Could not convert snapshot to rgb.", "ERROR", platform::MB_OK);
    return 0;
  }

  backgroundFactorsFromRgb(rgb.data(), static_cast<std::size_t>(background->width),
                           static_cast<std::size_t>(background->height), background->factors.data());

  camera.corrections.replaceBackground(std::move(background));
  showProgress(camera, "Background image taken...");
  return 1;
}

void averageFourFrames(std::uint8_t* frames, std::size_t n) {
  std::uint8_t* f0 = frames;
  const std::uint8_t* f1 = f0 + n;
  const std::uint8_t* f2 = f1 + n;
  const std::uint8_t* f3 = f2 + n;
  for (std::size_t i = 0; i < n; ++i) f0[i] = static_cast<std::uint8_t>((f0[i] + f1[i] + f2[i] + f3[i]) / 4);
}

std::uint8_t greyLevel(const std::uint8_t* pixel) {
  return static_cast<std::uint8_t>(std::trunc((2.0 * pixel[1] + pixel[2] + pixel[0]) * 0.25 + 0.5));
}

void backgroundFactorsFromRgb(std::uint8_t* rgb, std::size_t width, std::size_t height, double* factors) {
  // Grey level of each pixel, written over the front of the RGB buffer:
  // pixel k's grey lands at or before its own bytes.
  const std::size_t n = width * height;
  double sum = 0.0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint8_t g = greyLevel(rgb + 3 * k);
    rgb[k] = g;
    sum += g;
  }
  const double mean = sum / static_cast<double>(width) / static_cast<double>(height);
  for (std::size_t k = 0; k < n; ++k) factors[k] = rgb[k] == 0 ? 999999.0 : mean / rgb[k];
}

int grabDarkFrame(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  owner = correctionBoxOwner(camera, owner);
  if (state.previewRunning == 0) {
    platform::messageBox(owner, "In order to take the dark frame, the preview needs to be running.",
                         "VARCAM - Dark Frame Subtraction", platform::MB_OK);
    return 0;
  }
  if (platform::messageBox(owner, kDarkPrompt, "Dark Frame Subtraction", platform::MB_OKCANCEL) !=
      platform::IDOK)
    return 0;
  if (captureDarkFrame(camera) == 0) return 0;
  state.darkFrameStored = 1;
  camera.view().showFrameStored(CorrectionFrame::Dark);
  return 1;
}

int grabBackground(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  owner = correctionBoxOwner(camera, owner);
  if (state.previewRunning == 0) {
    platform::messageBox(owner, "In order to take the background, the preview needs to be running.",
                         "VARCAM - Background Correction", platform::MB_OK);
    return 0;
  }
  if (platform::messageBox(owner, kBackgroundPrompt, "Background Correction",
                           platform::MB_OKCANCEL) != platform::IDOK)
    return 0;
  if (captureBackground(camera) == 0) return 0;
  state.backgroundStored = 1;
  camera.view().showFrameStored(CorrectionFrame::Background);
  return 1;
}

void discardStoredFrames(CameraSession& camera) {
  DriverState& state = camera.state();
  if (state.backgroundCorrectionOn != 0) disableBackgroundCorrection(camera);
  if (state.backgroundStored != 0) {
    camera.view().showFrameDiscarded(CorrectionFrame::Background);
    state.backgroundStored = 0;
  }
  if (state.darkSubtractionOn != 0) disableDarkSubtraction(camera);
  if (state.darkFrameStored != 0) {
    camera.view().showFrameDiscarded(CorrectionFrame::Dark);
    state.darkFrameStored = 0;
  }
  camera.corrections.replaceBackground(nullptr);
  camera.corrections.replaceDark(nullptr);
}

} // namespace vx
