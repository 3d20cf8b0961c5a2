// Writing a whole set of property values to the camera: the acquisition
// values before a snapshot, the preview values after it and when snapshot
// mode ends.
#pragma once

#include "camera/camera_session.h"

namespace vx {

enum class ValueSet { Preview, Acquisition };

// What a refused write does: a message box and the next value, or an end
// of the sequence without a word.
enum class WriteFailures { Report, StopQuietly };

// Writes, in order: hue, saturation (its camera minimum while grey is
// requested), contrast, brightness, exposure through the exposure
// controller (unless the camera's own auto exposure runs; a frame-rate
// change restarts the display), gamma, global gain, and the red, green
// (PropGainGreen1 then PropGainGreen2) and blue gains that are available.
// A refused write is reported in a message box naming the property and
// the sequence goes on; quietly, the first refused write ends it. Returns
// whether every property write was taken.
bool writeCameraValues(CameraSession& camera, ValueSet values, WriteFailures failures = WriteFailures::Report);

} // namespace vx
