#include "camera/snapshot.h"

#include "camera/camera_values.h"
#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "camera/sensor_window.h"
#include "base/debug_log.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"
#include "ui/panel_ids.h"

#include <algorithm>
#include <cstdio>

namespace vx {
namespace {

const char* const kFormatFailure = "Unable to get camera video format. Snapshot mode disabled.";

void releaseBoth(HeapBuffer<std::uint8_t>& raw, HeapBuffer<std::uint8_t>& rgb) {
  raw.release();
  rgb.release();
}

void setFormatFailure(const DriverState& state) {
  messageBoxf(state.hostWindow, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
}

void snapshotFailure(const DriverState& state) {
  messageBoxf(state.hostWindow, "ERROR", "Could not get video snapshot: %d",
              static_cast<int>(VarcamGetLastError()));
}

FrameFormatRecord acquisitionFormat(const DriverState& state) {
  const SensorWindow window{state.acqOffsetX, state.acqOffsetY, state.acqWidth,   state.acqHeight,
                            state.acqFactorX, state.acqFactorY, state.acqBinningX, state.acqBinningY};
  return sensorWindowFormat(window, state.sensorMaxWidth, state.sensorMaxHeight);
}

// Bytes of one frame in the camera's current format (0 when unknown).
std::size_t deliveredFrameBytes(const DriverState& state) {
  FrameFormatRecord format{};
  float rate = 0;
  if (VarcamGetFormat(state.sessionCameraHandle, &format, &rate) == 0) return 0;
  const std::size_t w = format.width / std::max<std::uint32_t>(format.factorX, 1u);
  const std::size_t h = format.height / std::max<std::uint32_t>(format.factorY, 1u);
  return w * h * (format.pixelFormat == 1 ? 2u : 1u);
}

// After a failure in the middle of an acquisition-format snapshot the camera
// is put back into the preview format with the preview values, so that the
// live preview does not stay stopped.
void restorePreview(DriverState& state) {
  VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamStop, nullptr);
  VarcamSetFormat(state.sessionCameraHandle, &state.savedFormat, state.savedFrameRate);
  writeCameraValues(state, ValueSet::Preview);
  restartPreview(state);
}

void writeNumber(Window panel, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  platform::setDlgItemText(panel, id, text);
}

} // namespace

int snapshotWidth(const DriverState& state) {
  return state.snapshotUsesPreviewFormat != 0 ? state.previewWidth : state.acqWidth;
}

int snapshotHeight(const DriverState& state) {
  return state.snapshotUsesPreviewFormat != 0 ? state.previewHeight : state.acqHeight;
}

int takeSnapshot(DriverState& state, HeapBuffer<std::uint8_t>& raw, HeapBuffer<std::uint8_t>& rgb) {
  VarcamHandle camera = state.sessionCameraHandle;
  const bool acquisitionFormatSnapshot = state.snapshotUsesPreviewFormat == 0;

  if (acquisitionFormatSnapshot) {
    float rate = 0;
    if (VarcamGetFormat(camera, &state.savedFormat, &rate) == 0) {
      platform::messageBox(state.hostWindow, kFormatFailure, "ERROR", platform::MB_OK);
      return 0;
    }
    state.savedFrameRate = 200.0f;
    const FrameFormatRecord format = acquisitionFormat(state);
    if (state.previewRunning != 0) VarcamStreamVideoControl(camera, VarcamStreamStop, nullptr);
    if (VarcamSetFormat(camera, &format, 200.0f) == 0) {
      setFormatFailure(state);
      releaseBoth(raw, rgb);
      // Nothing was changed yet but the stopped stream: start it again.
      restartPreview(state);
      return 0;
    }
    writeCameraValues(state, ValueSet::Acquisition);
  }

  const auto failAfterCapture = [&]() {
    releaseBoth(raw, rgb);
    if (acquisitionFormatSnapshot) restorePreview(state);
    return 0;
  };

  const int width = snapshotWidth(state);
  const int height = snapshotHeight(state);
  const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
  // The camera writes a whole frame of its current format: never less room
  // than that, even when the stored preview size no longer matches it.
  const std::size_t rawBytes = std::max(pixels, deliveredFrameBytes(state));
  // Buffers of the previous snapshot are reused when the size is the same.
  if (!raw.resize(rawBytes) || !rgb.resize(3 * pixels)) {
    releaseBoth(raw, rgb);
    platform::messageBox(state.hostWindow, "Failed to allocate memory for frame buffer.", "ERROR",
                         platform::MB_OK);
    return failAfterCapture();
  }

  if (acquisitionFormatSnapshot || state.snapshotWarmupPending != 0) {
    // In preview-format mode a stream that already runs (the live preview)
    // delivers the frames as it is: switching it to streaming without
    // display would leave the preview window frozen after the snapshot.
    const bool streaming = !acquisitionFormatSnapshot && VarcamGetStreamState(camera, 0) != VarcamStateStopped;
    if (!streaming && VarcamStreamVideoControl(camera, VarcamStreamNoDisplay, nullptr) == 0)
      platform::messageBox(state.hostWindow, "Unable to start streaming.", "VARCAM - Good", platform::MB_OK);
    if (VarcamTakeVideo(camera, 2, nullptr) == 0) {
      snapshotFailure(state);
      return failAfterCapture();
    }
  }
  if (VarcamTakeVideo(camera, 1, raw.data()) == 0) {
    snapshotFailure(state);
    return failAfterCapture();
  }

  if (acquisitionFormatSnapshot) {
    if (VarcamStreamVideoControl(camera, VarcamStreamStop, nullptr) == 0)
      platform::messageBox(state.hostWindow, "Unable to stop streaming.", "VARCAM - Good", platform::MB_OK);
    if (VarcamSetFormat(camera, &state.savedFormat, state.savedFrameRate) == 0) {
      setFormatFailure(state);
      return failAfterCapture();
    }
  }

  // The dark frame was taken from the preview: it lines up with the
  // snapshot's pixels only when both have the same size. Subtracted from an
  // image of another size it would darken the wrong pixels.
  if (state.darkSubtractionOn != 0) {
    state.corrections.withDark([&](const DarkFrame* dark) {
      if (dark == nullptr) return;
      if (dark->width == width && dark->height == height)
        subtractDarkFrame(raw.data(), pixels, dark->bytes.data(), dark->bytes.size());
      else
        logLine("PIXORA DRIVER: Dark frame of %d x %d not subtracted from a %d x %d snapshot.", dark->width,
                dark->height, width, height);
    });
  }

  const ConversionRecord conversion{1, correctionCodeWithWarning(state, state.lightSource)};
  if (VarcamConvertFrameToRgb24(camera, rgb.data(), raw.data(), width, height, 0, &conversion) == 0) {
    platform::messageBox(state.hostWindow, "Could not convert snapshot to rgb.", "ERROR", platform::MB_OK);
    return failAfterCapture();
  }

  PreviewOverlay* overlay = state.previewOverlay.get();
  if (overlay != nullptr && state.overlayOn != 0 && state.overlayOnCapture != 0 && overlay->overlayLoaded())
    overlay->blend(rgb.data(), 3 * pixels, width, height, VarcamRgb24);

  if (acquisitionFormatSnapshot) {
    writeCameraValues(state, ValueSet::Preview);
    restartPreview(state);
  }
  state.snapshotWarmupPending = 0;
  return 1;
}

int takeDriverSnapshot(DriverState& state) {
  const int result = takeSnapshot(state, state.snapRawBuffer, state.snapRgbBuffer);
  if (result != 0) {
    state.snapWidth = snapshotWidth(state);
    state.snapHeight = snapshotHeight(state);
    state.lineCursor = state.snapHeight - 1;
  } else {
    state.snapWidth = state.snapHeight = 0;
    state.lineCursor = -1;
  }
  return result;
}

int setAcquisitionMode(DriverState& state, int index) {
  const ResolutionTable* table = state.resolutionTable.get();
  if (table == nullptr || table->acquireCount <= 0) return 0;
  index = std::clamp(index, 0, table->acquireCount - 1);
  const ResolutionMode& mode = table->acquireModes[static_cast<std::size_t>(index)];
  if (mode.width != state.acqWidth || mode.height != state.acqHeight) discardStoredFrames(state);
  state.acqIndex = index;
  state.acqWidth = state.acqSelectedWidth = mode.width;
  state.acqHeight = state.acqSelectedHeight = mode.height;
  state.acqOffsetX = mode.offsetX;
  state.acqOffsetY = mode.offsetY;
  state.acqFactorX = mode.factorX;
  state.acqFactorY = mode.factorY;
  state.acqBinningX = mode.binningX;
  state.acqBinningY = mode.binningY;
  logLine("SET RESOLUTION ACQ: Width: %d, Height: %d\n", state.acqWidth, state.acqHeight);
  logLine("SET RESOLUTION ACQ SELECTED: Width: %d, Height: %d\n", state.acqSelectedWidth,
          state.acqSelectedHeight);
  if (Window panel = state.openPanel(Section::Resolution))
    platform::comboSetCurSel(panel, kResolutionCaptureList, index);
  return 1;
}

int setAcquisitionGeometry(DriverState& state, int index, int width, int height, int offsetX,
                           int offsetY, int factorX, int factorY, int binningX, int binningY) {
  const ResolutionTable* table = state.resolutionTable.get();
  const int count = table != nullptr ? table->acquireCount : 1;
  if (width != state.acqWidth || height != state.acqHeight) discardStoredFrames(state);
  state.acqIndex = std::clamp(index, 0, std::max(count - 1, 0));
  state.acqWidth = width;
  state.acqHeight = height;
  state.acqOffsetX = offsetX;
  state.acqOffsetY = offsetY;
  state.acqFactorX = factorX;
  state.acqFactorY = factorY;
  state.acqBinningX = binningX;
  state.acqBinningY = binningY;
  if (Window panel = state.openPanel(Section::Resolution)) {
    writeNumber(panel, kResolutionWidth, state.previewWidth);
    writeNumber(panel, kResolutionHeight, state.previewHeight);
    writeNumber(panel, kResolutionOffsetX, state.previewOffsetX);
    writeNumber(panel, kResolutionOffsetY, state.previewOffsetY);
    restartPreview(state);
  }
  return 1;
}

int snapshotModeQuery(const DriverState& state) { return state.snapshotUsesPreviewFormat; }

} // namespace vx
