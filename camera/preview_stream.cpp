#include "camera/preview_stream.h"

#include "base/debug_log.h"
#include "camera/image_correction.h"
#include "camera/property_scale.h"
#include "camera_values.h"
#include "engines/exposure_controller.h"
#include "engines/resolution_table.h"
#include "sensor_window.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vx {
namespace {

constexpr std::uint32_t kStatusTimerPeriod = 100;  // the status bar's timer, ms
constexpr int kStatusBarId = 0x5601;
constexpr unsigned kNoMoveNoActivateNoOrder =
    platform::SWP_NOMOVE | platform::SWP_NOACTIVATE | platform::SWP_NOZORDER;

const char* const kFormatFailure = "Unable to get camera video format. Snapshot mode disabled.";

void formatFailure(const CameraSession& camera) {
  const DriverState& state = camera.state();
  platform::messageBox(state.hostWindow, kFormatFailure, "ERROR", platform::MB_OK);
}

void setFormatFailure(Window owner) {
  messageBoxf(owner, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
}

bool readFormat(const CameraSession& camera, FrameFormatRecord& format, float& rate) {
  return VarcamGetFormat(camera.handle(), &format, &rate) != 0;
}

// Offsets that keep the preview window on the sensor. A changed offset is
// shown in the open resolution panel.
void clampOffsets(CameraSession& camera) {
  DriverState& state = camera.state();
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
      clampOne(state.preview.offsetX, camera.sensorMaxWidth, state.preview.factorX * state.preview.width);
  const bool yChanged =
      clampOne(state.preview.offsetY, camera.sensorMaxHeight, state.preview.factorY * state.preview.height);
  if (xChanged || yChanged)
    camera.view().showPreviewOffsets(xChanged ? std::optional(state.preview.offsetX) : std::nullopt,
                                     yChanged ? std::optional(state.preview.offsetY) : std::nullopt);
}

FrameFormatRecord previewFormat(const CameraSession& camera) {
  return sensorWindowFormat(camera.state().preview, camera.sensorMaxWidth, camera.sensorMaxHeight);
}

void resizeWindow(CameraSession& camera, int extraHeight) {
  DriverState& state = camera.state();
  platform::setWindowPos(state.previewWindow, nullptr, 0, 0, state.display.width + 8,
                         state.display.height + extraHeight, kNoMoveNoActivateNoOrder);
}

void resizeToDisplay(CameraSession& camera) {
  DriverState& state = camera.state();
  resizeWindow(camera, 34);
  logLine("WINDOW SIZE: Width: %d, Height: %d\n", state.display.width + 8, state.display.height + 34);
}

// Starts the display while the preview runs; a failure is told in a box
// owned by `owner`.
void startDisplay(CameraSession& camera, Window owner) {
  DriverState& state = camera.state();
  if (state.previewRunning == 0) return;
  if (VarcamStreamVideoControl(camera.handle(), VarcamStreamDisplayGdi, state.previewWindow) != 0)
    logLine("PIXORA/VARNEX DRIVER: Display started.");
  else
    platform::messageBox(owner, "Unable to display.", "VARCAM - Good", platform::MB_OK);
}

void startDisplay(CameraSession& camera) { startDisplay(camera, camera.state().hostWindow); }

void stopStream(CameraSession& camera) {
  DriverState& state = camera.state();
  if (state.previewRunning != 0) VarcamStreamVideoControl(camera.handle(), VarcamStreamStop, nullptr);
}

void refreshStatusTexts(CameraSession& camera) {
  if (camera.statusBar == nullptr) return;
  FrameFormatRecord format{};
  float rate = 0;
  char text[64];
  if (readFormat(camera, format, rate))
    std::snprintf(text, sizeof text, " Camera fps: %.2f", static_cast<double>(rate));
  else
    std::snprintf(text, sizeof text, " Camera fps: ERR");
  platform::statusBarSetText(camera.statusBar, 1, text);
  float displayRate = 0;
  VarcamQueryDisplayFrameRate(camera.handle(), &displayRate);
  std::snprintf(text, sizeof text, " Display fps: %.2f", static_cast<double>(displayRate));
  platform::statusBarSetText(camera.statusBar, 2, text);
}

// The timer's id is the session it refreshes: a timer set on a window keeps
// the id it was given.
void statusTimerProc(Window, unsigned, std::uintptr_t id, std::uint32_t) {
  if (auto* camera = reinterpret_cast<CameraSession*>(id)) refreshStatusTexts(*camera);
}

// Rebuilds the status bar at the foot of the preview window: three parts
// whose right edges are client width - 200, - 100 and the client width.
void buildStatusBar(CameraSession& camera) {
  DriverState& state = camera.state();
  resizeWindow(camera, 54);
  if (camera.statusBar != nullptr) {
    platform::destroyWindow(camera.statusBar);
    camera.statusBar = nullptr;
  }
  camera.statusBar = platform::createStatusBar(state.previewWindow, kStatusBarId);
  platform::showWindow(camera.statusBar, platform::SW_SHOW);
  platform::Rect client{};
  platform::getClientRect(state.previewWindow, &client);
  const int width = client.right - client.left;
  const int edges[3] = {width - 200, width - 100, width};
  platform::statusBarSetParts(camera.statusBar, 3, edges);
}

void startStatusTimer(CameraSession& camera) {
  DriverState& state = camera.state();
  camera.previewTimerId = platform::setTimer(state.previewWindow, reinterpret_cast<std::uintptr_t>(&camera),
                                             kStatusTimerPeriod, &statusTimerProc);
}

void finishRestart(CameraSession& camera) {
  buildStatusBar(camera);
  startStatusTimer(camera);
  refreshFrameRates(camera);
}

// The preview values and the display size shown in an open resolution panel.
bool showPreviewGeometry(const CameraSession& camera) {
  return camera.view().showPreviewGeometry(camera.state().preview);
}

bool showDisplaySize(const CameraSession& camera) { return camera.view().showDisplaySize(camera.state().display); }

// Discards the correction frames when the preview size or factors change.
void noteGeometryChange(CameraSession& camera, int width, int height, int factorX, int factorY) {
  DriverState& state = camera.state();
  if (width != state.preview.width || height != state.preview.height ||
      factorX != state.preview.factorX || factorY != state.preview.factorY)
    discardStoredFrames(camera);
}

const ResolutionTable* table(const CameraSession& camera) { return camera.resolutionTable(); }

} // namespace

void refreshFrameRates(CameraSession& camera) {
  if (!camera.state().panelOpen(Section::Exposure)) return;
  FrameFormatRecord format{};
  float rate = 0;
  if (!readFormat(camera, format, rate)) rate = 0;
  std::vector<float> rates;
  const int count = VarcamEnumAvailableFrameRates(camera.handle(), 0, nullptr);
  if (count > 0) {
    rates.resize(static_cast<std::size_t>(count));
    const int filled = VarcamEnumAvailableFrameRates(camera.handle(), count, rates.data());
    rates.resize(static_cast<std::size_t>(std::clamp(filled, 0, count)));
  }
  camera.view().showFrameRates(rate, rates);
}

namespace {

// After the format is set: checks it can be read, sizes the window and
// starts the display, the status bar and its timer.
// Quietly, a failure is not told and a display that does not start is
// left stopped.
int redisplay(CameraSession& camera, bool report) {
  FrameFormatRecord format{};
  float rate = 0;
  if (!readFormat(camera, format, rate)) {
    if (report) formatFailure(camera);
    return 0;
  }
  resizeToDisplay(camera);
  if (report) {
    startDisplay(camera);
  } else if (camera.state().previewRunning != 0 &&
             VarcamStreamVideoControl(camera.handle(), VarcamStreamDisplayGdi, camera.state().previewWindow) != 0) {
    logLine("PIXORA/VARNEX DRIVER: Display started.");
  }
  finishRestart(camera);
  return 1;
}

int restart(CameraSession& camera, bool report) {
  DriverState& state = camera.state();
  stopStream(camera);
  FrameFormatRecord current{};
  float rate = 0;
  if (!readFormat(camera, current, rate)) {
    if (report) formatFailure(camera);
    return 0;
  }
  clampOffsets(camera);
  logLine("PREVIEW START RES: Width: %d, Height: %d\n", state.preview.width, state.preview.height);
  logLine("PREVIEW START RES SELECTED: Width: %d, Height: %d\n", state.preview.selectedWidth, state.preview.selectedHeight);

  const FrameFormatRecord format = previewFormat(camera);
  ExposureController* controller = camera.exposureController();
  float exposure = controller != nullptr ? controller->getExposure() : 0.0f;
  if (VarcamSetFormat(camera.handle(), &format, 200.0f) == 0) {
    if (report) setFormatFailure(state.hostWindow);
    return 0;
  }
  if (controller != nullptr) {
    controller->getFrameRateLimits();
    if (exposure > controller->maxExposure) exposure = controller->maxExposure;
    controller->setExposure(exposure, 0);
  }
  return redisplay(camera, report);
}

} // namespace

int startPreview(CameraSession& camera, Window window) {
  DriverState& state = camera.state();
  // The status-bar timer belongs to the window it was set on.
  if (camera.previewTimerId != 0 && window != state.previewWindow) {
    platform::killTimer(state.previewWindow, camera.previewTimerId);
    camera.previewTimerId = 0;
  }
  state.previewWindow = window;
  logLine("Open streaming of camera...");
  state.previewRunning = 1;
  restartPreview(camera);
  return 1;
}

int restartPreview(CameraSession& camera) { return restart(camera, true); }

int restartPreviewQuietly(CameraSession& camera) { return restart(camera, false); }

int restartDisplay(CameraSession& camera) {
  stopStream(camera);
  return redisplay(camera, true);
}

int resizeDisplay(CameraSession& camera) {
  DriverState& state = camera.state();
  if (state.previewRunning != 0) {
    VarcamStreamVideoControl(camera.handle(), VarcamStreamStop, nullptr);
    VarcamDestroyDisplayWindow(camera.handle());
  }
  resizeToDisplay(camera);
  startDisplay(camera);
  buildStatusBar(camera);
  startStatusTimer(camera);
  return 1;
}

int stopPreview(CameraSession& camera) {
  DriverState& state = camera.state();
  logLine("Closing streaming...");
  if (camera.previewTimerId != 0) {
    platform::killTimer(state.previewWindow, camera.previewTimerId);
    camera.previewTimerId = 0;
  }
  platform::showWindow(state.previewWindow, platform::SW_HIDE);
  if (state.previewRunning != 0) {
    VarcamStreamVideoControl(camera.handle(), VarcamStreamStop, nullptr);
    VarcamDestroyDisplayWindow(camera.handle());
    state.previewRunning = 0;
  }
  return 1;
}

int setPreviewMode(CameraSession& camera, int index) {
  DriverState& state = camera.state();
  const ResolutionTable* modes = table(camera);
  if (modes == nullptr || modes->previewCount <= 0) return 0;
  index = std::clamp(index, 0, modes->previewCount - 1);
  const ResolutionMode& mode = modes->previewModes[static_cast<std::size_t>(index)];
  noteGeometryChange(camera, mode.width, mode.height, mode.factorX, mode.factorY);
  state.preview.index = index;
  state.preview.width = state.preview.selectedWidth = mode.width;
  state.preview.height = state.preview.selectedHeight = mode.height;
  state.preview.factorX = mode.factorX;
  state.preview.factorY = mode.factorY;
  state.preview.binningX = mode.binningX;
  state.preview.binningY = mode.binningY;
  state.preview.offsetX = mode.offsetX;
  state.preview.offsetY = mode.offsetY;
  logLine("SET RESOLUTION PVW: Width: %d, Height: %d\n", state.preview.width, state.preview.height);
  logLine("SET RESOLUTION PVW SELECTED: Width: %d, Height: %d\n", state.preview.selectedWidth, state.preview.selectedHeight);
  showPreviewGeometry(camera);
  return restartPreview(camera);
}

int setDisplaySize(CameraSession& camera, int index) {
  DriverState& state = camera.state();
  const ResolutionTable* modes = table(camera);
  if (modes == nullptr || modes->previewCount <= 0) return 0;
  index = std::clamp(index, 0, modes->previewCount - 1);
  const ResolutionMode& mode = modes->previewModes[static_cast<std::size_t>(index)];
  state.display.index = index;
  state.display.width = mode.width;
  state.display.height = mode.height;
  logLine("IN SET WINDOW SIZE: Width: %d, Height: %d Index: %d\n", state.display.width,
          state.display.height, index);
  showDisplaySize(camera);
  return resizeDisplay(camera);
}

int setPreviewGeometry(CameraSession& camera, int index, int width, int height, int offsetX, int offsetY,
                       int factorX, int factorY, int binningX, int binningY) {
  DriverState& state = camera.state();
  const ResolutionTable* modes = table(camera);
  const int count = modes != nullptr ? modes->previewCount : 1;
  noteGeometryChange(camera, width, height, factorX, factorY);
  state.preview.index = std::clamp(index, 0, std::max(count - 1, 0));
  state.preview.width = width;
  state.preview.height = height;
  state.preview.offsetX = offsetX;
  state.preview.offsetY = offsetY;
  state.preview.factorX = factorX;
  state.preview.factorY = factorY;
  state.preview.binningX = binningX;
  state.preview.binningY = binningY;
  state.display.width = width;
  state.display.height = height;
  showPreviewGeometry(camera);
  showDisplaySize(camera);
  return restartPreview(camera);
}

int setPreviewSize(CameraSession& camera, int width, int height, int offsetX, int offsetY) {
  DriverState& state = camera.state();
  noteGeometryChange(camera, width, height, state.preview.factorX, state.preview.factorY);
  state.preview.width = width;
  state.preview.height = height;
  state.preview.offsetX = offsetX;
  state.preview.offsetY = offsetY;
  state.display.width = width;
  state.display.height = height;
  if (!showPreviewGeometry(camera)) return 1;
  showDisplaySize(camera);
  return restartPreview(camera);
}

int setDisplaySizeExplicit(CameraSession& camera, int index, int width, int height) {
  DriverState& state = camera.state();
  state.display.index = index;
  state.display.width = width;
  state.display.height = height;
  if (!showDisplaySize(camera)) return 1;
  return resizeDisplay(camera);
}

int setSnapshotMode(CameraSession& camera, int on) {
  DriverState& state = camera.state();
  state.snapshotUsesPreviewFormat = on;
  if (on != 0) {
    if (!readFormat(camera, camera.savedFormat, camera.savedFrameRate)) {
      formatFailure(camera);
      return 0;
    }
    camera.snapshotWarmupPending = 1;
    return 1;
  }
  if (VarcamStreamVideoControl(camera.handle(), VarcamStreamStop, nullptr) == 0)
    platform::messageBox(state.hostWindow, "Unable to stop streaming.", "VARCAM - Good", platform::MB_OK);
  if (VarcamSetFormat(camera.handle(), &camera.savedFormat, camera.savedFrameRate) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set format: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  writeCameraValues(camera, ValueSet::Preview);
  restartPreview(camera);
  return 1;
}

int setPreviewExposure(CameraSession& camera, float exposure) {
  DriverState& state = camera.state();
  state.exposure.preview = exposure;
  if (camera.view().showExposures(state.exposure.preview, state.exposure.acquire)) return 1;
  ExposureController* controller = camera.exposureController();
  if (controller == nullptr) return 0;
  const int result = controller->setExposure(cameraFromUser(state.exposure, exposure), 0);
  if (result == 2) restartDisplay(camera);
  if (result == 0) {
    logLine("Could not set Exposure: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  return 1;
}

int applyExposureSwitch(CameraSession& camera, int flag) {
  DriverState& state = camera.state();
  if (state.cameraAutoExposureOn == 0) return 1;
  ExposureController* controller = camera.exposureController();
  if (controller == nullptr) return 0;
  float value = 0;
  if (flag == 1) {
    value = controller->getExposure();
    state.exposure.preview = userFromCamera(state.exposure, value);
  } else {
    value = cameraFromUser(state.exposure, state.exposure.preview);
  }
  const int result = controller->setExposure(value, 0);
  if (result == 2) restartDisplay(camera);
  return result != 0 ? 1 : 0;
}

int setGrayscale(CameraSession& camera, int on) {
  DriverState& state = camera.state();
  camera.grayscaleRequested = on;
  float value = 0;
  if (on != 0) {
    value = state.saturation.cameraMin;
  } else {
    if (camera.view().showSaturation(state.saturation.preview)) return 1;
    value = cameraFromUser(state.saturation, state.saturation.preview);
  }
  if (VarcamSetProperty(camera.handle(), PropSaturation, value, 0) == 0) {
    logLine("Could not set Saturation: %d", static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: saturation has been changed in camera.");
  if (on != 0) logLine("Value Saturation: %f", static_cast<double>(value));
  return 1;
}

float setPreviewFrameRate(CameraSession& camera, float rate, Window owner) {
  stopStream(camera);
  FrameFormatRecord format{};
  float current = 0;
  if (!readFormat(camera, format, current)) {
    platform::messageBox(owner, kFormatFailure, "ERROR", platform::MB_OK);
    return -1.0f;
  }
  if (VarcamSetFormat(camera.handle(), &format, rate) == 0) {
    setFormatFailure(owner);
    return -1.0f;
  }
  resizeWindow(camera, 34);
  startDisplay(camera, owner);
  if (!readFormat(camera, format, current)) {
    platform::messageBox(owner, kFormatFailure, "ERROR", platform::MB_OK);
    return -1.0f;
  }
  buildStatusBar(camera);
  startStatusTimer(camera);
  return current;
}

void showProgress(CameraSession& camera, const char* message) {
  if (camera.statusBar == nullptr) return;
  const std::string text = std::string("  ") + message;
  platform::statusBarSetText(camera.statusBar, 0, text.c_str());
}

} // namespace vx
