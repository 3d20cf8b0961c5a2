#include "camera/one_shot.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"
#include "ui/exposure_fields.h"
#include "ui/panel_ids.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vx {
namespace {

void readGain(DriverState& state, int property, PropertyPair& pair, const char* failure) {
  float value = 0;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(state.sessionCameraHandle, property, &value, &flags) != 0)
    pair.preview = userFromCamera(pair, value);
  else
    messageBoxf(state.hostWindow, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
}

void showGain(Window panel, int id, float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  platform::setDlgItemText(panel, id, text);
}

constexpr int kWhiteBalancePasses = 4;

// The auto-exposure target as the camera takes it: a level 0..255, truncated.
int exposureTarget(const DriverState& state) {
  const float target = state.autoExposureTarget;
  if (!(target > 0.0f)) return 0;
  if (target >= 255.0f) return 255;
  return static_cast<int>(target);
}

} // namespace

std::uint32_t whiteBalanceWait(float previewExposure) {
  // Each pass lets the camera settle over six exposures and a little more.
  // An exposure that gives no sensible wait (negative, NaN, beyond the
  // clock's range) waits nothing or the longest wait rather than a
  // wrapped-around one.
  const double wait = std::trunc(static_cast<double>(previewExposure) * 6 + 10);
  if (!(wait > 0.0)) return 0;
  constexpr double kLongest = std::numeric_limits<std::uint32_t>::max();
  if (wait >= kLongest) return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(wait);
}

void oneShotWhiteBalance(DriverState& state, int top, int bottom, int left, int right) {
  if (state.redGainAvailable == 0 || state.blueGainAvailable == 0) {
    platform::messageBox(state.hostWindow, "AutoWhiteBalance is not supported on this camera", "ERROR",
                         platform::MB_OK);
    return;
  }
  showProgress(state, "Performing White Balance...");
  const std::uint32_t wait = whiteBalanceWait(state.exposure.preview);
  for (int pass = 0; pass < kWhiteBalancePasses; ++pass) {
    VarcamOneShotAutoWhiteBalance(state.sessionCameraHandle, left, top, right - left, bottom - top);
    platform::sleep(wait);
  }
  showProgress(state, "White Balance Done.");
}

int whiteBalanceWithReadBack(DriverState& state, int top, int bottom, int left, int right) {
  oneShotWhiteBalance(state, top, bottom, left, right);
  readGain(state, PropGainRed, state.redGain, "Could not get red gain: %d");
  if (state.greenGainAvailable != 0)
    readGain(state, PropGainGreen1, state.greenGain, "Could not get green gain: %d");
  readGain(state, PropGainBlue, state.blueGain, "Could not get blue gain: %d");
  if (Window panel = state.openPanel(Section::WhiteBalance)) {
    showGain(panel, kWhiteBalanceRedPreview, state.redGain.preview);
    showGain(panel, kWhiteBalanceGreenPreview, state.greenGain.preview);
    showGain(panel, kWhiteBalanceBluePreview, state.blueGain.preview);
  }
  return 1;
}

int oneShotAutoExposure(DriverState& state, int top, int bottom, int left, int right, float& exposure) {
  showProgress(state, "Performing AutoExposure...");
  ExposureController* controller = state.exposureController.get();
  int result = 0;
  if (controller != nullptr) {
    result = controller->autoExposeRegionAndRead(exposureTarget(state), left, top, right - left, bottom - top,
                                                 exposure);
    const float reached = controller->getExposure();
    if (reached >= 0.0f) {
      state.exposure.preview = userFromCamera(state.exposure, reached);
      if (Window panel = state.openPanel(Section::Exposure))
        writeExposureFields(panel, kPreviewExposureFields, state.exposure.preview);
    }
  }
  showProgress(state, "AutoExposure Done.");
  return result;
}

int panelAutoExposure(DriverState& state) {
  const int width = state.previewWidth / (state.previewFactorX != 0 ? state.previewFactorX : 1);
  const int height = state.previewHeight / (state.previewFactorY != 0 ? state.previewFactorY : 1);
  if (VarcamOneShotAutoExposure(state.sessionCameraHandle, exposureTarget(state), 0, 0, width, height) != 0) {
    logLine("Getting the exposure...");
    // An exposure that could not be read back (-1) is not a new value.
    const float reached = state.exposureController != nullptr ? state.exposureController->getExposure() : -1.0f;
    if (reached >= 0.0f) state.exposure.preview = userFromCamera(state.exposure, reached);
  }
  return 1;
}

} // namespace vx
