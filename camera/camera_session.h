// CameraSession: finding, opening and closing the camera, and building and
// tearing down the per-camera engines. All other session state lives in
// DriverState; the session itself holds only a reference to the open
// camera's resolution table.
//
// Runs on the host's user-interface thread.
#pragma once

#include "driver/driver_state.h"

class CameraSession {
 public:
  // Counts the cameras, lets the user choose one when several are attached,
  // opens it, sets the starting geometry, builds the exposure controller and
  // the resolution table, identifies the model and builds the overlay.
  // Returns 1 when a camera was opened (even one the user declined to
  // choose, whose later steps then report their own failures), 0 when no
  // camera is attached (the user has been told).
  int open(vx::DriverState& state);

  // Releases the engines and closes the camera. Returns 1 after a clean
  // close, 0 when the SDK refused to close the camera (the user has been
  // told; the options window and the correction frames are kept then).
  int close(vx::DriverState& state);

  engines::ResolutionTable* resolutionTable() const { return resolutionTable_; }

 private:
  engines::ResolutionTable* resolutionTable_ = nullptr;
};

namespace vx {

// Camera ids with the two auxiliary switches.
bool hasAuxiliarySwitches(std::uint32_t cameraId);

// Shows the camera-choice dialog (template 106) listing the serial numbers
// of the attached cameras and stores the choice in chosenCameraIndex
// (1-based; -1 when cancelled).
void runCameraChoiceDialog(DriverState& state);

} // namespace vx
