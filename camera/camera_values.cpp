#include "camera_values.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"

namespace vx {
namespace {

float valueOf(const PropertyPair& p, ValueSet values) {
  return values == ValueSet::Preview ? p.preview : p.acquire;
}

// One property write; false when refused (told in a box when reporting).
bool writeProperty(const CameraSession& camera, int property, float value, const char* failure, WriteFailures failures) {
  if (VarcamSetProperty(camera.handle(), property, value, 0) != 0) return true;
  if (failures == WriteFailures::Report)
    messageBoxf(camera.state().hostWindow, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
  return false;
}

} // namespace

bool writeCameraValues(CameraSession& camera, ValueSet values, WriteFailures failures) {
  const DriverState& state = camera.state();
  bool all = true;
  // Each write runs while every earlier one was taken, or while failures
  // are reported and the sequence goes on.
  const auto write = [&](int property, float value, const char* failure) {
    if (!all && failures == WriteFailures::StopQuietly) return;
    if (!writeProperty(camera, property, value, failure, failures)) all = false;
  };
  write(PropHue, cameraFromUser(state.hue, valueOf(state.hue, values)), "Could not set hue: %d");
  const float saturation = camera.grayscaleRequested != 0
                               ? state.saturation.cameraMin
                               : cameraFromUser(state.saturation, valueOf(state.saturation, values));
  write(PropSaturation, saturation, "Could not set saturation: %d");
  write(PropContrast, contrastCameraFromUser(state.contrast, valueOf(state.contrast, values)),
        "Could not set Contrast: %d");
  write(PropBrightness, cameraFromUser(state.brightness, valueOf(state.brightness, values)),
        "Could not set Brightness: %d");
  if (state.cameraAutoExposureOn == 0 && camera.exposureController() != nullptr &&
      (all || failures == WriteFailures::Report)) {
    const float exposure = cameraFromUser(state.exposure, valueOf(state.exposure, values));
    if (camera.exposureController()->setExposure(exposure, 0) == 2) restartDisplay(camera);
  }
  write(PropGamma, cameraFromUser(state.gamma, valueOf(state.gamma, values)), "Could not set Gamma: %d");
  write(PropGain, cameraFromUser(state.globalGain, valueOf(state.globalGain, values)),
        "Could not set Global Gain: %d");
  if (state.model.redGainAvailable != 0)
    write(PropGainRed, cameraFromUser(state.redGain, valueOf(state.redGain, values)),
          "Could not set red gain: %d");
  if (state.model.greenGainAvailable != 0) {
    const float green = cameraFromUser(state.greenGain, valueOf(state.greenGain, values));
    write(PropGainGreen1, green, "Could not set green gain: %d");
    write(PropGainGreen2, green, "Could not set green gain: %d");
  }
  if (state.model.blueGainAvailable != 0)
    write(PropGainBlue, cameraFromUser(state.blueGain, valueOf(state.blueGain, values)),
          "Could not set blue gain: %d");
  return all;
}

} // namespace vx
