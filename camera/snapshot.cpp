#include "camera/snapshot.h"

#include "camera_values.h"
#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "sensor_window.h"
#include "base/debug_log.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"

#include <algorithm>
#include <cstdio>

namespace vx {
namespace {

const char* const kFormatFailure = "Unable to get camera video format. Snapshot mode disabled.";

void releaseBoth(HeapBuffer<std::uint8_t>& raw, HeapBuffer<std::uint8_t>& rgb) {
  raw.release();
  rgb.release();
}

void setFormatFailure(const CameraSession& camera) {
  const DriverState& state = camera.state();
  messageBoxf(state.hostWindow, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
}

void snapshotFailure(const CameraSession& camera) {
  const DriverState& state = camera.state();
  messageBoxf(state.hostWindow, "ERROR", "Could not get video snapshot: %d",
              static_cast<int>(VarcamGetLastError()));
}

FrameFormatRecord acquisitionFormat(const CameraSession& camera) {
  return sensorWindowFormat(camera.state().acquisition, camera.sensorMaxWidth, camera.sensorMaxHeight);
}

// Bytes of one frame in the camera's current format (0 when unknown).
std::size_t deliveredFrameBytes(const CameraSession& camera) {
  FrameFormatRecord format{};
  float rate = 0;
  if (VarcamGetFormat(camera.handle(), &format, &rate) == 0) return 0;
  const std::size_t w = format.width / std::max<std::uint32_t>(format.factorX, 1u);
  const std::size_t h = format.height / std::max<std::uint32_t>(format.factorY, 1u);
  return w * h * (format.pixelFormat == 1 ? 2u : 1u);
}

// After a failure in the middle of an acquisition-format snapshot the camera
// is put back into the preview format with the preview values, so that the
// live preview does not stay stopped. The failure has been told already:
// the restore says nothing more and ends at the first step the camera
// refuses (a camera that has gone refuses them all, and would otherwise
// answer each with a modal box).
void restorePreview(CameraSession& camera) {
  VarcamStreamVideoControl(camera.handle(), VarcamStreamStop, nullptr);
  if (VarcamSetFormat(camera.handle(), &camera.savedFormat, camera.savedFrameRate) == 0) return;
  if (!writeCameraValues(camera, ValueSet::Preview, WriteFailures::StopQuietly)) return;
  restartPreviewQuietly(camera);
}

} // namespace

int snapshotWidth(const CameraSession& camera) {
  const DriverState& state = camera.state();
  return state.snapshotUsesPreviewFormat != 0 ? state.preview.width : state.acquisition.width;
}

int snapshotHeight(const CameraSession& camera) {
  const DriverState& state = camera.state();
  return state.snapshotUsesPreviewFormat != 0 ? state.preview.height : state.acquisition.height;
}

int takeSnapshot(CameraSession& camera, HeapBuffer<std::uint8_t>& raw, HeapBuffer<std::uint8_t>& rgb) {
  DriverState& state = camera.state();
  VarcamHandle handle = camera.handle();
  const bool acquisitionFormatSnapshot = state.snapshotUsesPreviewFormat == 0;

  if (acquisitionFormatSnapshot) {
    float rate = 0;
    if (VarcamGetFormat(handle, &camera.savedFormat, &rate) == 0) {
      platform::messageBox(state.hostWindow, kFormatFailure, "ERROR", platform::MB_OK);
      return 0;
    }
    camera.savedFrameRate = 200.0f;
    const FrameFormatRecord format = acquisitionFormat(camera);
    if (state.previewRunning != 0) VarcamStreamVideoControl(handle, VarcamStreamStop, nullptr);
    if (VarcamSetFormat(handle, &format, 200.0f) == 0) {
      setFormatFailure(camera);
      releaseBoth(raw, rgb);
      // Nothing was changed yet but the stopped stream: start it again,
      // without a word more than the failure's.
      restartPreviewQuietly(camera);
      return 0;
    }
    writeCameraValues(camera, ValueSet::Acquisition);
  }

  const auto failAfterCapture = [&]() {
    releaseBoth(raw, rgb);
    if (acquisitionFormatSnapshot) restorePreview(camera);
    return 0;
  };

  const int width = snapshotWidth(camera);
  const int height = snapshotHeight(camera);
  const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
  // The camera writes a whole frame of its current format: never less room
  // than that, even when the stored preview size no longer matches it.
  const std::size_t rawBytes = std::max(pixels, deliveredFrameBytes(camera));
  // Buffers of the previous snapshot are reused when the size is the same.
  if (!raw.resize(rawBytes) || !rgb.resize(3 * pixels)) {
    releaseBoth(raw, rgb);
    platform::messageBox(state.hostWindow, "Failed to allocate memory for frame buffer.", "ERROR",
                         platform::MB_OK);
    return failAfterCapture();
  }

  if (acquisitionFormatSnapshot || camera.snapshotWarmupPending != 0) {
    // In preview-format mode a stream that already runs (the live preview)
    // delivers the frames as it is: switching it to streaming without
    // display would leave the preview window frozen after the snapshot.
    const bool streaming = !acquisitionFormatSnapshot && VarcamGetStreamState(handle, 0) != VarcamStateStopped;
    if (!streaming && VarcamStreamVideoControl(handle, VarcamStreamNoDisplay, nullptr) == 0)
      platform::messageBox(state.hostWindow, "Unable to start streaming.", "VARCAM - Good", platform::MB_OK);
    if (VarcamTakeVideo(handle, 2, nullptr) == 0) {
      snapshotFailure(camera);
      return failAfterCapture();
    }
  }
  if (VarcamTakeVideo(handle, 1, raw.data()) == 0) {
    snapshotFailure(camera);
    return failAfterCapture();
  }

  if (acquisitionFormatSnapshot) {
    if (VarcamStreamVideoControl(handle, VarcamStreamStop, nullptr) == 0)
      platform::messageBox(state.hostWindow, "Unable to stop streaming.", "VARCAM - Good", platform::MB_OK);
    if (VarcamSetFormat(handle, &camera.savedFormat, camera.savedFrameRate) == 0) {
      setFormatFailure(camera);
      return failAfterCapture();
    }
  }

  // The dark frame was taken from the preview: it lines up with the
  // snapshot's pixels only when both have the same size. Subtracted from an
  // image of another size it would darken the wrong pixels.
  if (state.darkSubtractionOn != 0) {
    camera.corrections.withDark([&](const DarkFrame* dark) {
      if (dark == nullptr) return;
      if (dark->width == width && dark->height == height)
        subtractDarkFrame(raw.data(), pixels, dark->bytes.data(), dark->bytes.size());
      else
        logLine("PIXORA DRIVER: Dark frame of %d x %d not subtracted from a %d x %d snapshot.", dark->width,
                dark->height, width, height);
    });
  }

  const ConversionRecord conversion{1, correctionCodeWithWarning(camera, state.lightSource)};
  if (VarcamConvertFrameToRgb24(handle, rgb.data(), raw.data(), width, height, 0, &conversion) == 0) {
    platform::messageBox(state.hostWindow, "Could not convert snapshot to rgb.", "ERROR", platform::MB_OK);
    return failAfterCapture();
  }

  PreviewOverlay* overlay = camera.previewOverlay();
  if (overlay != nullptr && state.overlayOn != 0 && state.overlayOnCapture != 0 && overlay->overlayLoaded())
    overlay->blend(rgb.data(), 3 * pixels, width, height, VarcamRgb24);

  if (acquisitionFormatSnapshot) {
    writeCameraValues(camera, ValueSet::Preview);
    restartPreview(camera);
  }
  camera.snapshotWarmupPending = 0;
  return 1;
}

int setAcquisitionMode(CameraSession& camera, int index) {
  DriverState& state = camera.state();
  const ResolutionTable* table = camera.resolutionTable();
  if (table == nullptr || table->acquireCount <= 0) return 0;
  index = std::clamp(index, 0, table->acquireCount - 1);
  const ResolutionMode& mode = table->acquireModes[static_cast<std::size_t>(index)];
  if (mode.width != state.acquisition.width || mode.height != state.acquisition.height) discardStoredFrames(camera);
  state.acquisition.index = index;
  state.acquisition.width = state.acquisition.selectedWidth = mode.width;
  state.acquisition.height = state.acquisition.selectedHeight = mode.height;
  state.acquisition.offsetX = mode.offsetX;
  state.acquisition.offsetY = mode.offsetY;
  state.acquisition.factorX = mode.factorX;
  state.acquisition.factorY = mode.factorY;
  state.acquisition.binningX = mode.binningX;
  state.acquisition.binningY = mode.binningY;
  logLine("SET RESOLUTION ACQ: Width: %d, Height: %d\n", state.acquisition.width, state.acquisition.height);
  logLine("SET RESOLUTION ACQ SELECTED: Width: %d, Height: %d\n", state.acquisition.selectedWidth,
          state.acquisition.selectedHeight);
  camera.view().showAcquisitionMode(state.acquisition);
  return 1;
}

int setAcquisitionGeometry(CameraSession& camera, int index, int width, int height, int offsetX,
                           int offsetY, int factorX, int factorY, int binningX, int binningY) {
  DriverState& state = camera.state();
  const ResolutionTable* table = camera.resolutionTable();
  const int count = table != nullptr ? table->acquireCount : 1;
  if (width != state.acquisition.width || height != state.acquisition.height) discardStoredFrames(camera);
  state.acquisition.index = std::clamp(index, 0, std::max(count - 1, 0));
  state.acquisition.width = width;
  state.acquisition.height = height;
  state.acquisition.offsetX = offsetX;
  state.acquisition.offsetY = offsetY;
  state.acquisition.factorX = factorX;
  state.acquisition.factorY = factorY;
  state.acquisition.binningX = binningX;
  state.acquisition.binningY = binningY;
  if (camera.view().refreshPreviewFields(state.preview)) restartPreview(camera);
  return 1;
}

int snapshotModeQuery(const CameraSession& camera) { return camera.state().snapshotUsesPreviewFormat; }

} // namespace vx
