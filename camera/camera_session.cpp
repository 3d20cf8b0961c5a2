#include "camera/camera_session.h"

#include "camera/model_identification.h"
#include "base/debug_log.h"
#include "engines/exposure_controller.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"
#include "ui/options_window.h"

#include <memory>

using vx::DriverState;
using vx::logLine;

namespace vx {

bool hasAuxiliarySwitches(std::uint32_t cameraId) { return cameraId == 421 || cameraId == 346; }

} // namespace vx

namespace {

// The engines built at open, destroyed in the order overlay, exposure
// controller, resolution table.
void releaseEngines(DriverState& state) {
  state.previewOverlay.reset();
  if (state.exposureController) {
    state.exposureController->releaseTables();
    state.exposureController.reset();
  }
  state.resolutionTable.reset();
}

// Opens the camera and builds what depends on it. Returns 1 when a camera
// was opened, 0 when none is attached.
int openCamera(DriverState& state) {
  logLine("Opening Camera Controller...");
  releaseEngines(state);
  state.previewRunning = 0;

  state.cameraCount = VarcamNumCameras();
  if (state.cameraCount <= 0) {
    platform::messageBox(state.hostWindow, "There are no Varnex cameras attached to the computer.",
                         "ERROR", platform::MB_OK);
    return 0;
  }
  if (state.cameraCount == 1) {
    logLine("PIXORA DRIVER: Varnex camera found.!/n");
    state.sessionCameraHandle = VarcamCameraOpen(1);
  } else {
    state.chosenCameraIndex = -1;
    vx::runCameraChoiceDialog(state);
    logLine("index: %d", state.chosenCameraIndex);
    // A declined choice still proceeds: the open fails and every later step
    // reports its own SDK failure.
    state.sessionCameraHandle = VarcamCameraOpen(state.chosenCameraIndex);
  }

  state.displayWidth = 320;
  state.displayHeight = 240;
  state.previewWidth = 320;
  state.previewHeight = 240;
  state.selectedWidth = 320;
  state.selectedHeight = 240;
  state.previewOffsetX = 0;
  state.previewOffsetY = 0;
  state.previewFactorX = 1;
  state.previewFactorY = 1;

  state.exposureController = std::make_unique<engines::ExposureController>(state.sessionCameraHandle);
  state.resolutionTable = std::make_unique<engines::ResolutionTable>(state.sessionCameraHandle);
  vx::identifyModel(state);  // its result does not change the open result
  state.previewOverlay = std::make_unique<engines::PreviewOverlay>(state.sessionCameraHandle);
  return 1;
}

} // namespace

int CameraSession::open(DriverState& state) {
  const int result = openCamera(state);
  if (result == 0) return 0;
  resolutionTable_ = state.resolutionTable.get();
  if (vx::hasAuxiliarySwitches(state.cameraId)) {
    if (VarcamSetProperty(state.sessionCameraHandle, PropAuxSwitch1, 0.0f,
                          VARCAM_FLAG_AUX_SWITCH_ON) == 0 ||
        VarcamSetProperty(state.sessionCameraHandle, PropAuxSwitch2, 0.0f,
                          VARCAM_FLAG_AUX_SWITCH_ON) == 0) {
      logLine("Error %d", VarcamGetLastError());
    }
  }
  return result;
}

int CameraSession::close(DriverState& state) {
  resolutionTable_ = nullptr;
  if (vx::hasAuxiliarySwitches(state.cameraId) && state.sessionCameraHandle != nullptr) {
    VarcamSetProperty(state.sessionCameraHandle, PropAuxSwitch1, 0.0f, 0);
    VarcamSetProperty(state.sessionCameraHandle, PropAuxSwitch2, 0.0f, 0);
  }
  logLine("Closing camera Controller...");

  // The status-bar timer calls into this library; it must not outlive the
  // camera (nor the library, which the host may unload after closing).
  if (state.previewTimerId != 0) {
    platform::killTimer(state.previewWindow, state.previewTimerId);
    state.previewTimerId = 0;
  }
  releaseEngines(state);

  if (state.sessionCameraHandle != nullptr) {
    if (VarcamCameraClose(state.sessionCameraHandle) == 0) {
      const std::string text = vx::formatText("Could not close camera: %d", VarcamGetLastError());
      logLine("%s", text.c_str());
      platform::messageBox(state.hostWindow, text.c_str(), "ERROR", platform::MB_OK);
      return 0;
    }
    state.sessionCameraHandle = nullptr;
  }
  state.previewRunning = 0;

  if (state.optionsOpen != 0) vx::destroyOptionsWindow(state);

  state.corrections.replaceDark(nullptr);
  state.corrections.replaceBackground(nullptr);
  state.darkFrameStored = 0;
  state.backgroundStored = 0;
  return 1;
}
