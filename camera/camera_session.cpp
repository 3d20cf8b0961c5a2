#include "camera/camera_session.h"

#include "base/debug_log.h"
#include "camera/model_identification.h"
#include "engines/exposure_controller.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"

#include <memory>

namespace vx {

bool hasAuxiliarySwitches(std::uint32_t cameraId) { return cameraId == 421 || cameraId == 346; }

CameraSession::CameraSession(DriverState& state, PanelView& view) : state_(state), view_(view) {}

// A session is closed before it goes (AcqClose, or the driver's owner):
// closing kills the status-bar timer whose context it is. Nothing is done
// here, because a driver destroyed with its library may outlive the
// platform's own state at process exit.
CameraSession::~CameraSession() = default;

// The engines built at open, destroyed in the order overlay, exposure
// controller, resolution table.
void CameraSession::releaseEngines() {
  previewOverlay_.reset();
  if (exposureController_) {
    exposureController_->releaseTables();
    exposureController_.reset();
  }
  resolutionTable_.reset();
}

// Opens the camera and builds what depends on it. Returns 1 when a camera
// was opened, 0 when none is attached.
int CameraSession::openCamera() {
  DriverState& state = state_;
  logLine("Opening Camera Controller...");
  releaseEngines();
  state.previewRunning = 0;

  cameraCount = VarcamNumCameras();
  if (cameraCount <= 0) {
    platform::messageBox(state.hostWindow, "There are no Varnex cameras attached to the computer.",
                         "ERROR", platform::MB_OK);
    return 0;
  }
  if (cameraCount == 1) {
    logLine("PIXORA DRIVER: Varnex camera found.!/n");
    handle_ = VarcamCameraOpen(1);
  } else {
    chosenCameraIndex = -1;
    runCameraChoiceDialog(*this);
    logLine("index: %d", chosenCameraIndex);
    // A declined choice still proceeds: the open fails and every later step
    // reports its own SDK failure.
    handle_ = VarcamCameraOpen(chosenCameraIndex);
  }

  state.display.width = 320;
  state.display.height = 240;
  state.preview.width = 320;
  state.preview.height = 240;
  state.preview.selectedWidth = 320;
  state.preview.selectedHeight = 240;
  state.preview.offsetX = 0;
  state.preview.offsetY = 0;
  state.preview.factorX = 1;
  state.preview.factorY = 1;

  exposureController_ = std::make_unique<engines::ExposureController>(handle_);
  resolutionTable_ = std::make_unique<engines::ResolutionTable>(handle_);
  identifyModel(*this);  // its result does not change the open result
  previewOverlay_ = std::make_unique<engines::PreviewOverlay>(handle_);
  return 1;
}

int CameraSession::open() {
  const int result = openCamera();
  if (result == 0) return 0;
  if (hasAuxiliarySwitches(state_.model.cameraId)) {
    if (VarcamSetProperty(handle_, PropAuxSwitch1, 0.0f, VARCAM_FLAG_AUX_SWITCH_ON) == 0 ||
        VarcamSetProperty(handle_, PropAuxSwitch2, 0.0f, VARCAM_FLAG_AUX_SWITCH_ON) == 0) {
      logLine("Error %d", VarcamGetLastError());
    }
  }
  return result;
}

int CameraSession::close() {
  DriverState& state = state_;
  if (hasAuxiliarySwitches(state.model.cameraId) && handle_ != nullptr) {
    VarcamSetProperty(handle_, PropAuxSwitch1, 0.0f, 0);
    VarcamSetProperty(handle_, PropAuxSwitch2, 0.0f, 0);
  }
  logLine("Closing camera Controller...");

  // The status-bar timer calls into this library; it must not outlive the
  // camera (nor the library, which the host may unload after closing).
  if (previewTimerId != 0) {
    platform::killTimer(state.previewWindow, previewTimerId);
    previewTimerId = 0;
  }
  releaseEngines();

  if (handle_ != nullptr) {
    if (VarcamCameraClose(handle_) == 0) {
      const std::string text = formatText("Could not close camera: %d", VarcamGetLastError());
      logLine("%s", text.c_str());
      platform::messageBox(state.hostWindow, text.c_str(), "ERROR", platform::MB_OK);
      return 0;
    }
    handle_ = nullptr;
  }
  state.previewRunning = 0;

  view_.closeOptionsWindow();

  corrections.replaceDark(nullptr);
  corrections.replaceBackground(nullptr);
  state.darkFrameStored = 0;
  state.backgroundStored = 0;
  return 1;
}

} // namespace vx
