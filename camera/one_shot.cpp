#include "camera/one_shot.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vx {
namespace {

void readGain(CameraSession& camera, int property, PropertyPair& pair, const char* failure) {
  DriverState& state = camera.state();
  float value = 0;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(camera.handle(), property, &value, &flags) != 0)
    pair.preview = userFromCamera(pair, value);
  else
    messageBoxf(state.hostWindow, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
}

constexpr int kWhiteBalancePasses = 4;

// The auto-exposure target as the camera takes it: a level 0..255, truncated.
int exposureTarget(const CameraSession& camera) {
  const DriverState& state = camera.state();
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

void oneShotWhiteBalance(CameraSession& camera, int top, int bottom, int left, int right) {
  DriverState& state = camera.state();
  if (state.model.redGainAvailable == 0 || state.model.blueGainAvailable == 0) {
    platform::messageBox(state.hostWindow, "AutoWhiteBalance is not supported on this camera", "ERROR",
                         platform::MB_OK);
    return;
  }
  showProgress(camera, "Performing White Balance...");
  const std::uint32_t wait = whiteBalanceWait(state.exposure.preview);
  for (int pass = 0; pass < kWhiteBalancePasses; ++pass) {
    VarcamOneShotAutoWhiteBalance(camera.handle(), left, top, right - left, bottom - top);
    platform::sleep(wait);
  }
  showProgress(camera, "White Balance Done.");
}

int whiteBalanceWithReadBack(CameraSession& camera, int top, int bottom, int left, int right) {
  DriverState& state = camera.state();
  oneShotWhiteBalance(camera, top, bottom, left, right);
  readGain(camera, PropGainRed, state.redGain, "Could not get red gain: %d");
  if (state.model.greenGainAvailable != 0)
    readGain(camera, PropGainGreen1, state.greenGain, "Could not get green gain: %d");
  readGain(camera, PropGainBlue, state.blueGain, "Could not get blue gain: %d");
  camera.view().showWhiteBalanceGains(state.redGain.preview, state.greenGain.preview, state.blueGain.preview);
  return 1;
}

int oneShotAutoExposure(CameraSession& camera, int top, int bottom, int left, int right, float& exposure) {
  DriverState& state = camera.state();
  showProgress(camera, "Performing AutoExposure...");
  ExposureController* controller = camera.exposureController();
  int result = 0;
  if (controller != nullptr) {
    result = controller->autoExposeRegionAndRead(exposureTarget(camera), left, top, right - left, bottom - top,
                                                 exposure);
    const float reached = controller->getExposure();
    if (reached >= 0.0f) {
      state.exposure.preview = userFromCamera(state.exposure, reached);
      camera.view().showPreviewExposure(state.exposure.preview);
    }
  }
  showProgress(camera, "AutoExposure Done.");
  return result;
}

int panelAutoExposure(CameraSession& camera) {
  DriverState& state = camera.state();
  const int width = state.preview.width / (state.preview.factorX != 0 ? state.preview.factorX : 1);
  const int height = state.preview.height / (state.preview.factorY != 0 ? state.preview.factorY : 1);
  if (VarcamOneShotAutoExposure(camera.handle(), exposureTarget(camera), 0, 0, width, height) == 0) return 0;
  logLine("Getting the exposure...");
  // An exposure that could not be read back (-1) is not a new value.
  const float reached = camera.exposureController() != nullptr ? camera.exposureController()->getExposure() : -1.0f;
  if (reached >= 0.0f) state.exposure.preview = userFromCamera(state.exposure, reached);
  return 1;
}

} // namespace vx
