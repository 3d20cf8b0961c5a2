// One-shot auto exposure and white balance: the camera measures a region
// once and sets its exposure or its colour gains; the results are read back
// into the preview values.
//
// Runs on the host's user-interface thread.
#pragma once

#include "driver/driver_state.h"

namespace vx {

void oneShotWhiteBalance(DriverState& state, int top, int bottom, int left, int right);
int whiteBalanceWithReadBack(DriverState& state, int top, int bottom, int left, int right);
// Returns the exposure controller's result; `exposure` receives its reading.
int oneShotAutoExposure(DriverState& state, int top, int bottom, int left, int right,
                        float& exposure);
// The exposure panel's One Shot over the whole preview image. Returns 1.
int panelAutoExposure(DriverState& state);

} // namespace vx
