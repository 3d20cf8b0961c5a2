#include "camera/one_shot.h"

#include "camera/preview_stream.h"
#include "camera/property_scale.h"
#include "driver/debug_log.h"
#include "engines/exposure_controller.h"
#include "ui/exposure_fields.h"
#include "ui/panel_ids.h"

#include <cmath>
#include <cstdio>

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

} // namespace

void oneShotWhiteBalance(DriverState& state, int top, int bottom, int left, int right) {
  if (state.redGainAvailable == 0 || state.blueGainAvailable == 0) {
    platform::messageBox(state.hostWindow, "AutoWhiteBalance is not supported on this camera", "ERROR",
                         platform::MB_OK);
    return;
  }
  showProgress(state, "Performing White Balance...");
  // Each pass lets the camera settle over several exposures before the next.
  const auto wait = static_cast<std::uint32_t>(std::trunc(static_cast<double>(state.exposure.preview) * 6 + 10));
  for (int pass = 0; pass < 4; ++pass) {
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
    result = controller->autoExposeRegionAndRead(static_cast<int>(state.autoExposureTarget), left, top,
                                                 right - left, bottom - top, exposure);
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
  if (VarcamOneShotAutoExposure(state.sessionCameraHandle, static_cast<int>(state.autoExposureTarget), 0, 0,
                                width, height) != 0) {
    logLine("Getting the exposure...");
    if (state.exposureController != nullptr)
      state.exposure.preview = userFromCamera(state.exposure, state.exposureController->getExposure());
  }
  return 1;
}

} // namespace vx
