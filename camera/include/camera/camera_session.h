// CameraSession: the open camera and everything only the camera layer keeps
// about it. It finds, opens and closes the camera, builds and tears down the
// per-camera engines, and holds the SDK handle, the engines, the streaming
// and snapshot bookkeeping and the stored correction frames. The camera's
// free functions (preview stream, snapshots, corrections, one-shots, the
// property accessors) all work on a session.
//
// The session lives as long as the driver; open and close may run many
// times. It shares the driver state with the other layers and shows values
// in the options window's panels only through the panel view.
//
// Runs on the host's user-interface thread, except where a member says the
// SDK's streaming thread reads it.
#pragma once

#include "camera/correction_frames.h"
#include "sdk/varcam_sdk.h"
#include "state/driver_state.h"
#include "state/panel_view.h"

#include <cstdint>
#include <memory>

namespace engines {
class ExposureController;
class ResolutionTable;
class PreviewOverlay;
struct ResolutionMode;
} // namespace engines

namespace vx {

using engines::ExposureController;
using engines::PreviewOverlay;
using engines::ResolutionMode;
using engines::ResolutionTable;

class CameraSession {
 public:
  CameraSession(DriverState& state, PanelView& view);
  ~CameraSession();
  CameraSession(const CameraSession&) = delete;
  CameraSession& operator=(const CameraSession&) = delete;

  // Counts the cameras, lets the user choose one when several are attached,
  // opens it, sets the starting geometry, builds the exposure controller and
  // the resolution table, identifies the model and builds the overlay.
  // Returns 1 when a camera was opened (even one the user declined to
  // choose, whose later steps then report their own failures), 0 when no
  // camera is attached (the user has been told).
  int open();

  // Releases the engines and closes the camera. Returns 1 after a clean
  // close, 0 when the SDK refused to close the camera (the user has been
  // told; the options window and the correction frames are kept then).
  int close();

  DriverState& state() const { return state_; }
  PanelView& view() const { return view_; }

  // The open camera's SDK handle (`sessionCameraHandle`), null when none.
  VarcamHandle handle() const { return handle_; }
  // The engines built at open; null when absent.
  ExposureController* exposureController() const { return exposureController_.get(); }
  ResolutionTable* resolutionTable() const { return resolutionTable_.get(); }
  PreviewOverlay* previewOverlay() const { return previewOverlay_.get(); }

  // ---- discovery --------------------------------------------------------------------------
  std::int32_t cameraCount = 0;          // from the last enumeration
  std::int32_t chosenCameraIndex = -1;   // 1-based; -1 when no choice was made

  // ---- streaming and the preview window ---------------------------------------------------
  std::int32_t sensorMaxWidth = 0;       // from the resolution table
  std::int32_t sensorMaxHeight = 0;
  std::uintptr_t previewTimerId = 0;     // the status bar's timer
  Window statusBar = nullptr;
  std::int32_t grayscaleRequested = 0;   // saturation always written as its minimum

  // ---- snapshots ----------------------------------------------------------------------------
  FrameFormatRecord savedFormat{};       // the preview format restored after a snapshot
  float savedFrameRate = 0.0f;
  std::int32_t snapshotWarmupPending = 0;

  // ---- correction frames and their frame callbacks (streaming thread reads) --------------
  CorrectionFrames corrections;
  std::int32_t darkCallbackId = -1;
  std::int32_t backgroundCallbackId = -1;
  std::int32_t rgbPreviewFormat = 0;

 private:
  void releaseEngines();
  int openCamera();

  DriverState& state_;
  PanelView& view_;
  VarcamHandle handle_ = nullptr;
  std::unique_ptr<ExposureController> exposureController_;
  std::unique_ptr<ResolutionTable> resolutionTable_;
  std::unique_ptr<PreviewOverlay> previewOverlay_;
};

// Camera ids with the two auxiliary switches.
bool hasAuxiliarySwitches(std::uint32_t cameraId);

// Shows the camera-choice dialog (template 106) listing the serial numbers
// of the attached cameras and stores the choice in chosenCameraIndex
// (1-based; -1 when cancelled).
void runCameraChoiceDialog(CameraSession& camera);

} // namespace vx
