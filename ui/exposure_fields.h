// The exposure panel's time fields: an exposure in milliseconds split into
// hours, minutes, seconds, milliseconds and microseconds edits, and joined
// back.
#pragma once

#include "platform/platform.h"

namespace vx {

// Edit ids of the preview and the acquisition fields (hours first).
inline constexpr int kPreviewExposureFields[5] = {1063, 1064, 1065, 1066, 1067};
inline constexpr int kAcquireExposureFields[5] = {1068, 1070, 1071, 1072, 1073};

struct ExposureParts {
  int hours = 0, minutes = 0, seconds = 0, milliseconds = 0, microseconds = 0;
};

ExposureParts splitExposure(float milliseconds);
float joinExposure(const ExposureParts& parts);

// Writes the five fields of one side ("%d" each, hours first), preceded by
// the debug line "Value of exposure Debug: %f".
void writeExposureFields(platform::Window panel, const int (&fieldIds)[5], float milliseconds);

} // namespace vx
