// One-shot auto exposure and white balance: the camera measures a region
// once and sets its exposure or its colour gains; the results are read back
// into the preview values.
//
// Runs on the host's user-interface thread.
#pragma once

#include "camera/camera_session.h"

#include <cstdint>

namespace vx {

// The wait after each of the four white-balance passes, in milliseconds:
// six preview exposures and 10 ms, truncated; 0 for an exposure that gives
// no positive wait.
std::uint32_t whiteBalanceWait(float previewExposure);

// The camera balances its colour gains on the region, in four passes. A
// camera without red or blue gain is told not to support it.
void oneShotWhiteBalance(CameraSession& camera, int top, int bottom, int left, int right);
// The one-shot white balance, then the gains read back into the preview
// values (and shown in the open white balance panel). Returns 1.
int whiteBalanceWithReadBack(CameraSession& camera, int top, int bottom, int left, int right);
// The exposure controller measures the region and sets the exposure; a
// reading that is not negative becomes the preview exposure. Returns the
// controller's result; `exposure` receives its reading.
int oneShotAutoExposure(CameraSession& camera, int top, int bottom, int left, int right,
                        float& exposure);
// The exposure panel's One Shot over the whole preview image: the camera's
// own one-shot auto exposure, whose result becomes the preview exposure.
// Returns 1 when the camera ran it (the panel then shows the new preview
// exposure), 0 when it refused (nothing changed).
int panelAutoExposure(CameraSession& camera);

} // namespace vx
