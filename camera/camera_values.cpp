#include "camera/camera_values.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"

namespace vx {
namespace {

float valueOf(const PropertyPair& p, ValueSet values) {
  return values == ValueSet::Preview ? p.preview : p.acquire;
}

void write(DriverState& state, int property, float camera, const char* failure) {
  if (VarcamSetProperty(state.sessionCameraHandle, property, camera, 0) == 0)
    messageBoxf(state.hostWindow, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
}

} // namespace

void writeCameraValues(DriverState& state, ValueSet values) {
  write(state, PropHue, cameraFromUser(state.hue, valueOf(state.hue, values)), "Could not set hue: %d");
  const float saturation = state.grayscaleRequested != 0
                               ? state.saturation.cameraMin
                               : cameraFromUser(state.saturation, valueOf(state.saturation, values));
  write(state, PropSaturation, saturation, "Could not set saturation: %d");
  write(state, PropContrast, contrastCameraFromUser(state.contrast, valueOf(state.contrast, values)),
        "Could not set Contrast: %d");
  write(state, PropBrightness, cameraFromUser(state.brightness, valueOf(state.brightness, values)),
        "Could not set Brightness: %d");
  if (state.cameraAutoExposureOn == 0 && state.exposureController != nullptr) {
    const float exposure = cameraFromUser(state.exposure, valueOf(state.exposure, values));
    if (state.exposureController->setExposure(exposure, 0) == 2) restartDisplay(state);
  }
  write(state, PropGamma, cameraFromUser(state.gamma, valueOf(state.gamma, values)), "Could not set Gamma: %d");
  write(state, PropGain, cameraFromUser(state.globalGain, valueOf(state.globalGain, values)),
        "Could not set Global Gain: %d");
  if (state.redGainAvailable != 0)
    write(state, PropGainRed, cameraFromUser(state.redGain, valueOf(state.redGain, values)),
          "Could not set red gain: %d");
  if (state.greenGainAvailable != 0) {
    const float green = cameraFromUser(state.greenGain, valueOf(state.greenGain, values));
    write(state, PropGainGreen1, green, "Could not set green gain: %d");
    write(state, PropGainGreen2, green, "Could not set green gain: %d");
  }
  if (state.blueGainAvailable != 0)
    write(state, PropGainBlue, cameraFromUser(state.blueGain, valueOf(state.blueGain, values)),
          "Could not set blue gain: %d");
}

} // namespace vx
