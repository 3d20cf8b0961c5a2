// The exposure panel's arithmetic: an exposure in milliseconds split into
// hours, minutes, seconds, milliseconds and microseconds and joined back,
// the exposure trackbars' positions, the quantisation against mains
// flicker, and the spin steps.
//
// Pure functions except the field writer; user-interface thread.
#pragma once

#include "platform/platform.h"

#include <cstdint>

namespace vx {

// Edit ids of the preview and the acquisition fields (hours first).
inline constexpr int kPreviewExposureFields[5] = {1063, 1064, 1065, 1066, 1067};
inline constexpr int kAcquireExposureFields[5] = {1068, 1070, 1071, 1072, 1073};

struct ExposureParts {
  int hours = 0, minutes = 0, seconds = 0, milliseconds = 0, microseconds = 0;
};

// s = trunc(x * 0.001), m = trunc(s * 0.016666668), h = trunc(m *
// 0.016666668); the milliseconds within the second as a 32-bit float r,
// whose whole part is the milliseconds and whose fraction, nudged up by
// 0.00001 against float error, gives the microseconds. Parts beyond the int
// range are held at its ends; NaN splits into zeros.
ExposureParts splitExposure(float milliseconds);
// ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds +
// microseconds * 0.001.
float joinExposure(const ExposureParts& parts);
// The same from the fields' texts: each read as "%f" and truncated; a field
// without a number counts 0.
float joinExposureTexts(const char* const (&texts)[5]);

// Which field a spin steps (the focused one of its side).
enum class ExposureField { Microseconds = 0, Milliseconds = 1, Seconds = 2, Minutes = 3, Hours = 4 };
// The field of an edit id of either side, or -1.
int exposureFieldOf(int editId);

// The mains frequency the exposure snaps to (the image correction panel's
// choice): 0 none, 1 50 Hz (multiples of 10 ms), 2 60 Hz (of 8.3333 ms).
float quantiseForFlicker(float milliseconds, std::int32_t flickerMode);

// The exposure trackbars run over 0..20000 across the display range.
inline constexpr int kExposureTrackbarSteps = 20000;
int exposureTrackbarPosition(float milliseconds, float displayMin, float displayMax);
// A position back to an exposure, quantised for flicker.
float exposureAtTrackbar(int position, float displayMin, float displayMax, std::int32_t flickerMode);

// One spin press: the exposure before the step (rounded onto the flicker
// grid in the flicker modes) and the step itself.
struct SpinStep {
  float base = 0.0f;
  float step = 0.0f;
};
SpinStep exposureSpinStep(float milliseconds, std::int32_t focusedField, std::int32_t flickerMode);

// Writes the five fields of one side ("%d" each, hours first), preceded by
// the debug line "Value of exposure Debug: %f".
void writeExposureFields(platform::Window panel, const int (&fieldIds)[5], float milliseconds);
// Reads the five fields of one side and joins them.
float readExposureFields(platform::Window panel, const int (&fieldIds)[5]);

} // namespace vx
