// The live preview: streaming into a window the host hands over, with a
// status bar of camera and display frame rates, the preview geometry, and
// the switch between snapshot and streaming modes.
//
// Runs on the host's user-interface thread (the status-bar timer too).
#pragma once

#include "camera/camera_session.h"

namespace vx {

// previewWindow = window; previewRunning = 1; restart preview. Returns 1.
int startPreview(CameraSession& camera, Window window);
// Full restart with a new format built from the preview geometry. Returns 1,
// or 0 after a message.
int restartPreview(CameraSession& camera);
// The same without any message: it stops at the first failure and returns
// 0 then (after a failed snapshot, when the camera may have gone).
int restartPreviewQuietly(CameraSession& camera);
// Restarts the display in the current format (after a frame-rate change).
int restartDisplay(CameraSession& camera);
// Restarts the display at a new window size.
int resizeDisplay(CameraSession& camera);
// Stops the stream and the status-bar timer and hides the window. Returns 1.
int stopPreview(CameraSession& camera);

// Geometry setters. Each that changes the preview size or factors first
// discards the stored correction frames.
int setPreviewMode(CameraSession& camera, int index);
int setDisplaySize(CameraSession& camera, int index);
int setPreviewGeometry(CameraSession& camera, int index, int width, int height, int offsetX,
                       int offsetY, int factorX, int factorY, int binningX, int binningY);
int setPreviewSize(CameraSession& camera, int width, int height, int offsetX, int offsetY);
int setDisplaySizeExplicit(CameraSession& camera, int index, int width, int height);

// 1: snapshots use the preview format (the camera stays as it is); 0: back to
// acquisition-format snapshots, writing the preview values and restarting.
int setSnapshotMode(CameraSession& camera, int on);
// The preview exposure from the host or a panel (user scale).
int setPreviewExposure(CameraSession& camera, float exposure);
// While the camera's own auto exposure runs: 1 takes the camera's exposure as
// the preview value, 0 writes the stored preview value.
int applyExposureSwitch(CameraSession& camera, int flag);
// The exposure panel's frame-rate choice: the stream stops, the current
// format is set again at `rate`, the window takes the display size, the
// display starts again when the preview runs, and the status bar and its
// timer are renewed. Failures are told in boxes owned by `owner`. Returns
// the frame rate the camera reports afterwards, or -1 after a failure.
float setPreviewFrameRate(CameraSession& camera, float rate, Window owner);
// Fills the open exposure panel's frame-rate list: the rates the camera
// offers now, and the current rate as its text. Nothing while it is closed.
void refreshFrameRates(CameraSession& camera);
// Grey rendering: saturation held at its camera minimum while on.
int setGrayscale(CameraSession& camera, int on);

// Status bar part 0: two blanks and the message.
void showProgress(CameraSession& camera, const char* message);

} // namespace vx
