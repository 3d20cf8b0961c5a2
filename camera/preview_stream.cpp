#include "camera/preview_stream.h"

#include "camera/camera_values.h"
#include "camera/image_correction.h"
#include "camera/property_scale.h"
#include "camera/sensor_window.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"
#include "engines/resolution_table.h"
#include "ui/exposure_fields.h"
#include "ui/panel_ids.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vx {
namespace {

constexpr std::uintptr_t kStatusTimerId = 0x5600;  // the status bar's 100 ms timer
constexpr std::uint32_t kStatusTimerPeriod = 100;
constexpr int kStatusBarId = 0x5601;
constexpr unsigned kNoMoveNoActivateNoOrder =
    platform::SWP_NOMOVE | platform::SWP_NOACTIVATE | platform::SWP_NOZORDER;

// The state the status-bar timer refreshes. The timer runs on the
// user-interface thread, like everything else here.
DriverState* g_timerState = nullptr;

const char* const kFormatFailure = "Unable to get camera video format. Snapshot mode disabled.";

void formatFailure(const DriverState& state) {
  platform::messageBox(state.hostWindow, kFormatFailure, "ERROR", platform::MB_OK);
}

bool readFormat(const DriverState& state, FrameFormatRecord& format, float& rate) {
  return VarcamGetFormat(state.sessionCameraHandle, &format, &rate) != 0;
}

void writeNumber(Window panel, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  platform::setDlgItemText(panel, id, text);
}

// Offsets that keep the preview window on the sensor. A changed offset is
// shown in the open resolution panel.
void clampOffsets(DriverState& state) {
  const auto clampOne = [](std::int32_t& offset, std::int32_t sensor, std::int32_t extent) {
    std::int32_t value = std::max(offset, 0);
    if (sensor - extent < value) value = sensor - extent;
    // A window wider than the sensor can't be placed: start it at the edge
    // rather than handing the camera a negative offset.
    value = std::max(value, 0);
    const bool changed = value != offset;
    offset = value;
    return changed;
  };
  const bool xChanged =
      clampOne(state.previewOffsetX, state.sensorMaxWidth, state.previewFactorX * state.previewWidth);
  const bool yChanged =
      clampOne(state.previewOffsetY, state.sensorMaxHeight, state.previewFactorY * state.previewHeight);
  if (Window panel = state.openPanel(Section::Resolution)) {
    if (xChanged) writeNumber(panel, kResolutionOffsetX, state.previewOffsetX);
    if (yChanged) writeNumber(panel, kResolutionOffsetY, state.previewOffsetY);
  }
}

FrameFormatRecord previewFormat(const DriverState& state) {
  const SensorWindow window{state.previewOffsetX, state.previewOffsetY, state.previewWidth,
                            state.previewHeight,  state.previewFactorX, state.previewFactorY,
                            state.previewBinningX, state.previewBinningY};
  return sensorWindowFormat(window, state.sensorMaxWidth, state.sensorMaxHeight);
}

void resizeWindow(DriverState& state, int extraHeight) {
  platform::setWindowPos(state.previewWindow, nullptr, 0, 0, state.displayWidth + 8,
                         state.displayHeight + extraHeight, kNoMoveNoActivateNoOrder);
}

void resizeToDisplay(DriverState& state) {
  resizeWindow(state, 34);
  logLine("WINDOW SIZE: Width: %d, Height: %d\n", state.displayWidth + 8, state.displayHeight + 34);
}

void startDisplay(DriverState& state) {
  if (state.previewRunning == 0) return;
  if (VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamDisplayGdi, state.previewWindow) != 0)
    logLine("PIXORA/VARNEX DRIVER: Display started.");
  else
    platform::messageBox(state.hostWindow, "Unable to display.", "VARCAM - Good", platform::MB_OK);
}

void stopStream(DriverState& state) {
  if (state.previewRunning != 0) VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamStop, nullptr);
}

void refreshStatusTexts(DriverState& state) {
  if (state.statusBar == nullptr) return;
  FrameFormatRecord format{};
  float rate = 0;
  char text[64];
  if (readFormat(state, format, rate))
    std::snprintf(text, sizeof text, " Camera fps: %.2f", static_cast<double>(rate));
  else
    std::snprintf(text, sizeof text, " Camera fps: ERR");
  platform::statusBarSetText(state.statusBar, 1, text);
  float displayRate = 0;
  VarcamQueryDisplayFrameRate(state.sessionCameraHandle, &displayRate);
  std::snprintf(text, sizeof text, " Display fps: %.2f", static_cast<double>(displayRate));
  platform::statusBarSetText(state.statusBar, 2, text);
}

void statusTimerProc(Window, unsigned, std::uintptr_t, std::uint32_t) {
  if (g_timerState != nullptr) refreshStatusTexts(*g_timerState);
}

// Rebuilds the status bar at the foot of the preview window: three parts
// whose right edges are client width - 200, - 100 and the client width.
void buildStatusBar(DriverState& state) {
  resizeWindow(state, 54);
  if (state.statusBar != nullptr) {
    platform::destroyWindow(state.statusBar);
    state.statusBar = nullptr;
  }
  state.statusBar = platform::createStatusBar(state.previewWindow, kStatusBarId);
  platform::showWindow(state.statusBar, platform::SW_SHOW);
  platform::Rect client{};
  platform::getClientRect(state.previewWindow, &client);
  const int width = client.right - client.left;
  const int edges[3] = {width - 200, width - 100, width};
  platform::statusBarSetParts(state.statusBar, 3, edges);
}

void startStatusTimer(DriverState& state) {
  g_timerState = &state;
  state.previewTimerId = platform::setTimer(state.previewWindow, kStatusTimerId, kStatusTimerPeriod,
                                            &statusTimerProc);
}

// The exposure panel's frame-rate list: the current rate as its text and the
// rates the camera offers now.
void refreshFrameRateList(DriverState& state) {
  Window panel = state.openPanel(Section::Exposure);
  if (panel == nullptr) return;
  platform::comboResetContent(panel, kExposureFrameRate);
  FrameFormatRecord format{};
  float rate = 0;
  if (!readFormat(state, format, rate)) rate = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(rate));
  platform::setDlgItemText(panel, kExposureFrameRate, text);
  const int count = VarcamEnumAvailableFrameRates(state.sessionCameraHandle, 0, nullptr);
  if (count <= 0) return;
  std::vector<float> rates(static_cast<std::size_t>(count));
  const int filled = VarcamEnumAvailableFrameRates(state.sessionCameraHandle, count, rates.data());
  for (int i = 0; i < std::min(count, filled); ++i) {
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(rates[static_cast<std::size_t>(i)]));
    platform::comboAddString(panel, kExposureFrameRate, text);
  }
}

void finishRestart(DriverState& state) {
  buildStatusBar(state);
  startStatusTimer(state);
  refreshFrameRateList(state);
}

// The preview values shown in an open resolution panel.
void showPreviewGeometry(DriverState& state) {
  Window panel = state.openPanel(Section::Resolution);
  if (panel == nullptr) return;
  platform::comboSetCurSel(panel, kResolutionPreviewList, state.previewIndex);
  writeNumber(panel, kResolutionWidth, state.previewWidth);
  writeNumber(panel, kResolutionHeight, state.previewHeight);
  writeNumber(panel, kResolutionOffsetX, state.previewOffsetX);
  writeNumber(panel, kResolutionOffsetY, state.previewOffsetY);
}

void showDisplaySize(DriverState& state) {
  Window panel = state.openPanel(Section::Resolution);
  if (panel == nullptr) return;
  platform::comboSetCurSel(panel, kResolutionWindowList, state.displayIndex);
  writeNumber(panel, kResolutionWindowWidth, state.displayWidth);
  writeNumber(panel, kResolutionWindowHeight, state.displayHeight);
}

// Discards the correction frames when the preview size or factors change.
void noteGeometryChange(DriverState& state, int width, int height, int factorX, int factorY) {
  if (width != state.previewWidth || height != state.previewHeight ||
      factorX != state.previewFactorX || factorY != state.previewFactorY)
    discardStoredFrames(state);
}

const ResolutionTable* table(const DriverState& state) { return state.resolutionTable.get(); }

} // namespace

namespace {

// After the format is set: checks it can be read, sizes the window and
// starts the display, the status bar and its timer.
int redisplay(DriverState& state) {
  FrameFormatRecord format{};
  float rate = 0;
  if (!readFormat(state, format, rate)) {
    formatFailure(state);
    return 0;
  }
  resizeToDisplay(state);
  startDisplay(state);
  finishRestart(state);
  return 1;
}

} // namespace

int startPreview(DriverState& state, Window window) {
  // The status-bar timer belongs to the window it was set on.
  if (state.previewTimerId != 0 && window != state.previewWindow) {
    platform::killTimer(state.previewWindow, state.previewTimerId);
    state.previewTimerId = 0;
  }
  state.previewWindow = window;
  logLine("Open streaming of camera...");
  state.previewRunning = 1;
  restartPreview(state);
  return 1;
}

int restartPreview(DriverState& state) {
  stopStream(state);
  FrameFormatRecord current{};
  float rate = 0;
  if (!readFormat(state, current, rate)) {
    formatFailure(state);
    return 0;
  }
  clampOffsets(state);
  logLine("PREVIEW START RES: Width: %d, Height: %d\n", state.previewWidth, state.previewHeight);
  logLine("PREVIEW START RES SELECTED: Width: %d, Height: %d\n", state.selectedWidth, state.selectedHeight);

  const FrameFormatRecord format = previewFormat(state);
  ExposureController* controller = state.exposureController.get();
  float exposure = controller != nullptr ? controller->getExposure() : 0.0f;
  if (VarcamSetFormat(state.sessionCameraHandle, &format, 200.0f) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  if (controller != nullptr) {
    controller->getFrameRateLimits();
    if (exposure > controller->maxExposure) exposure = controller->maxExposure;
    controller->setExposure(exposure, 0);
  }
  return redisplay(state);
}

int restartDisplay(DriverState& state) {
  stopStream(state);
  return redisplay(state);
}

int resizeDisplay(DriverState& state) {
  if (state.previewRunning != 0) {
    VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamStop, nullptr);
    VarcamDestroyDisplayWindow(state.sessionCameraHandle);
  }
  resizeToDisplay(state);
  startDisplay(state);
  buildStatusBar(state);
  startStatusTimer(state);
  return 1;
}

int stopPreview(DriverState& state) {
  logLine("Closing streaming...");
  if (state.previewTimerId != 0) {
    platform::killTimer(state.previewWindow, state.previewTimerId);
    state.previewTimerId = 0;
  }
  platform::showWindow(state.previewWindow, platform::SW_HIDE);
  if (state.previewRunning != 0) {
    VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamStop, nullptr);
    VarcamDestroyDisplayWindow(state.sessionCameraHandle);
    state.previewRunning = 0;
  }
  return 1;
}

int setPreviewMode(DriverState& state, int index) {
  const ResolutionTable* modes = table(state);
  if (modes == nullptr || modes->previewCount <= 0) return 0;
  index = std::clamp(index, 0, modes->previewCount - 1);
  const ResolutionMode& mode = modes->previewModes[static_cast<std::size_t>(index)];
  noteGeometryChange(state, mode.width, mode.height, mode.factorX, mode.factorY);
  state.previewIndex = index;
  state.previewWidth = state.selectedWidth = mode.width;
  state.previewHeight = state.selectedHeight = mode.height;
  state.previewFactorX = mode.factorX;
  state.previewFactorY = mode.factorY;
  state.previewBinningX = mode.binningX;
  state.previewBinningY = mode.binningY;
  state.previewOffsetX = mode.offsetX;
  state.previewOffsetY = mode.offsetY;
  logLine("SET RESOLUTION PVW: Width: %d, Height: %d\n", state.previewWidth, state.previewHeight);
  logLine("SET RESOLUTION PVW SELECTED: Width: %d, Height: %d\n", state.selectedWidth, state.selectedHeight);
  showPreviewGeometry(state);
  return restartPreview(state);
}

int setDisplaySize(DriverState& state, int index) {
  const ResolutionTable* modes = table(state);
  if (modes == nullptr || modes->previewCount <= 0) return 0;
  index = std::clamp(index, 0, modes->previewCount - 1);
  const ResolutionMode& mode = modes->previewModes[static_cast<std::size_t>(index)];
  state.displayIndex = index;
  state.displayWidth = mode.width;
  state.displayHeight = mode.height;
  logLine("IN SET WINDOW SIZE: Width: %d, Height: %d Index: %d\n", state.displayWidth,
          state.displayHeight, index);
  showDisplaySize(state);
  return resizeDisplay(state);
}

int setPreviewGeometry(DriverState& state, int index, int width, int height, int offsetX, int offsetY,
                       int factorX, int factorY, int binningX, int binningY) {
  const ResolutionTable* modes = table(state);
  const int count = modes != nullptr ? modes->previewCount : 1;
  noteGeometryChange(state, width, height, factorX, factorY);
  state.previewIndex = std::clamp(index, 0, std::max(count - 1, 0));
  state.previewWidth = width;
  state.previewHeight = height;
  state.previewOffsetX = offsetX;
  state.previewOffsetY = offsetY;
  state.previewFactorX = factorX;
  state.previewFactorY = factorY;
  state.previewBinningX = binningX;
  state.previewBinningY = binningY;
  state.displayWidth = width;
  state.displayHeight = height;
  showPreviewGeometry(state);
  showDisplaySize(state);
  return restartPreview(state);
}

int setPreviewSize(DriverState& state, int width, int height, int offsetX, int offsetY) {
  noteGeometryChange(state, width, height, state.previewFactorX, state.previewFactorY);
  state.previewWidth = width;
  state.previewHeight = height;
  state.previewOffsetX = offsetX;
  state.previewOffsetY = offsetY;
  state.displayWidth = width;
  state.displayHeight = height;
  if (state.openPanel(Section::Resolution) == nullptr) return 1;
  showPreviewGeometry(state);
  showDisplaySize(state);
  return restartPreview(state);
}

int setDisplaySizeExplicit(DriverState& state, int index, int width, int height) {
  state.displayIndex = index;
  state.displayWidth = width;
  state.displayHeight = height;
  if (state.openPanel(Section::Resolution) == nullptr) return 1;
  showDisplaySize(state);
  return resizeDisplay(state);
}

int setSnapshotMode(DriverState& state, int on) {
  state.snapshotUsesPreviewFormat = on;
  if (on != 0) {
    if (!readFormat(state, state.savedFormat, state.savedFrameRate)) {
      formatFailure(state);
      return 0;
    }
    state.snapshotWarmupPending = 1;
    return 1;
  }
  if (VarcamStreamVideoControl(state.sessionCameraHandle, VarcamStreamStop, nullptr) == 0)
    platform::messageBox(state.hostWindow, "Unable to stop streaming.", "VARCAM - Good", platform::MB_OK);
  if (VarcamSetFormat(state.sessionCameraHandle, &state.savedFormat, state.savedFrameRate) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  writeCameraValues(state, ValueSet::Preview);
  restartPreview(state);
  return 1;
}

int setPreviewExposure(DriverState& state, float exposure) {
  state.exposure.preview = exposure;
  if (Window panel = state.openPanel(Section::Exposure)) {
    writeExposureFields(panel, kPreviewExposureFields, state.exposure.preview);
    writeExposureFields(panel, kAcquireExposureFields, state.exposure.acquire);
    return 1;
  }
  ExposureController* controller = state.exposureController.get();
  if (controller == nullptr) return 0;
  const int result = controller->setExposure(cameraFromUser(state.exposure, exposure), 0);
  if (result == 2) restartDisplay(state);
  if (result == 0) {
    logLine("Could not set Exposure: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  return 1;
}

int applyExposureSwitch(DriverState& state, int flag) {
  if (state.cameraAutoExposureOn == 0) return 1;
  ExposureController* controller = state.exposureController.get();
  if (controller == nullptr) return 0;
  float camera = 0;
  if (flag == 1) {
    camera = controller->getExposure();
    state.exposure.preview = userFromCamera(state.exposure, camera);
  } else {
    camera = cameraFromUser(state.exposure, state.exposure.preview);
  }
  const int result = controller->setExposure(camera, 0);
  if (result == 2) restartDisplay(state);
  return result != 0 ? 1 : 0;
}

int setGrayscale(DriverState& state, int on) {
  state.grayscaleRequested = on;
  float camera = 0;
  if (on != 0) {
    camera = state.saturation.cameraMin;
  } else {
    if (Window panel = state.openPanel(Section::Saturation)) {
      writeNumber(panel, kNumericPreviewEdit, static_cast<int>(state.saturation.preview));
      return 1;
    }
    camera = cameraFromUser(state.saturation, state.saturation.preview);
  }
  if (VarcamSetProperty(state.sessionCameraHandle, PropSaturation, camera, 0) == 0) {
    logLine("Could not set Saturation: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: saturation has been changed in camera.");
  if (on != 0) logLine("Value Saturation: %f", static_cast<double>(camera));
  return 1;
}

void showProgress(DriverState& state, const char* message) {
  if (state.statusBar == nullptr) return;
  const std::string text = std::string("  ") + message;
  platform::statusBarSetText(state.statusBar, 0, text.c_str());
}

} // namespace vx
