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

void write(const CameraSession& camera, int property, float value, const char* failure) {
  if (VarcamSetProperty(camera.handle(), property, value, 0) == 0)
    messageBoxf(camera.state().hostWindow, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
}

} // namespace

void writeCameraValues(CameraSession& camera, ValueSet values) {
  const DriverState& state = camera.state();
  write(camera, PropHue, cameraFromUser(state.hue, valueOf(state.hue, values)), "Could not set hue: %d");
  const float saturation = camera.grayscaleRequested != 0
                               ? state.saturation.cameraMin
                               : cameraFromUser(state.saturation, valueOf(state.saturation, values));
  write(camera, PropSaturation, saturation, "Could not set saturation: %d");
  write(camera, PropContrast, contrastCameraFromUser(state.contrast, valueOf(state.contrast, values)),
        "Could not set Contrast: %d");
  write(camera, PropBrightness, cameraFromUser(state.brightness, valueOf(state.brightness, values)),
        "Could not set Brightness: %d");
  if (state.cameraAutoExposureOn == 0 && camera.exposureController() != nullptr) {
    const float exposure = cameraFromUser(state.exposure, valueOf(state.exposure, values));
    if (camera.exposureController()->setExposure(exposure, 0) == 2) restartDisplay(camera);
  }
  write(camera, PropGamma, cameraFromUser(state.gamma, valueOf(state.gamma, values)), "Could not set Gamma: %d");
  write(camera, PropGain, cameraFromUser(state.globalGain, valueOf(state.globalGain, values)),
        "Could not set Global Gain: %d");
  if (state.model.redGainAvailable != 0)
    write(camera, PropGainRed, cameraFromUser(state.redGain, valueOf(state.redGain, values)),
          "Could not set red gain: %d");
  if (state.model.greenGainAvailable != 0) {
    const float green = cameraFromUser(state.greenGain, valueOf(state.greenGain, values));
    write(camera, PropGainGreen1, green, "Could not set green gain: %d");
    write(camera, PropGainGreen2, green, "Could not set green gain: %d");
  }
  if (state.model.blueGainAvailable != 0)
    write(camera, PropGainBlue, cameraFromUser(state.blueGain, valueOf(state.blueGain, values)),
          "Could not set blue gain: %d");
}

} // namespace vx
