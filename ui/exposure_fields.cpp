#include "exposure_fields.h"

#include "base/debug_log.h"
#include "panel_numbers.h"

#include <cmath>
#include <cstdio>

namespace vx {
namespace {

// Rounding as the panel does it: add one half and truncate.
double roundHalfUp(double x) { return std::trunc(x + 0.5); }

} // namespace

ExposureParts splitExposure(float x) {
  if (std::isnan(x)) return {};
  ExposureParts parts;
  const double s = std::trunc(static_cast<double>(x) * 0.001);
  const double m = std::trunc(s * 0.016666668);
  const double h = std::trunc(m * 0.016666668);
  parts.hours = truncateToInt(h);
  parts.minutes = truncateToInt(m - 60.0 * h);
  parts.seconds = truncateToInt(s - 60.0 * m);
  const float r = x - 1000.0f * static_cast<float>(s);
  const double whole = std::trunc(static_cast<double>(r));
  parts.milliseconds = truncateToInt(whole);
  parts.microseconds = truncateToInt((static_cast<double>(r) - whole + 0.00001) * 1000.0);
  return parts;
}

float joinExposure(const ExposureParts& p) {
  return static_cast<float>(((static_cast<double>(p.hours) * 60 + p.minutes) * 60 + p.seconds) * 1000 +
                            p.milliseconds + p.microseconds * 0.001);
}

float joinExposureTexts(const char* const (&texts)[5]) {
  double whole[5];
  for (int i = 0; i < 5; ++i) whole[i] = std::trunc(static_cast<double>(parseFloatText(texts[i], 0.0f)));
  return static_cast<float>(((whole[0] * 60 + whole[1]) * 60 + whole[2]) * 1000 + whole[3] + whole[4] * 0.001);
}

int exposureFieldOf(int editId) {
  for (int i = 0; i < 5; ++i) {
    // Hours come first in the id lists; the field numbers count up from
    // the microseconds.
    if (kPreviewExposureFields[i] == editId || kAcquireExposureFields[i] == editId) return 4 - i;
  }
  return -1;
}

float quantiseForFlicker(float x, std::int32_t flickerMode) {
  switch (flickerMode) {
    case 1: return static_cast<float>(roundHalfUp(static_cast<double>(x) * 0.1) * 10.0);
    case 2: return static_cast<float>(roundHalfUp(static_cast<double>(x) * 0.12000048000192001) * 8.3333);
    default: return x;
  }
}

int exposureTrackbarPosition(float x, float displayMin, float displayMax) {
  const float span = displayMax - displayMin;
  if (!(span != 0.0f)) return 0;
  return truncateToInt((x - displayMin) / span * static_cast<float>(kExposureTrackbarSteps));
}

float exposureAtTrackbar(int position, float displayMin, float displayMax, std::int32_t flickerMode) {
  const double span = static_cast<double>(displayMax - displayMin);
  const auto x = static_cast<float>(static_cast<double>(displayMin) + span * (position * 0.00005));
  return quantiseForFlicker(x, flickerMode);
}

SpinStep exposureSpinStep(float x, std::int32_t focusedField, std::int32_t flickerMode) {
  switch (flickerMode) {
    case 1: return {quantiseForFlicker(x, 1), 10.0f};
    case 2: return {quantiseForFlicker(x, 2), 8.3333f};
    default: break;
  }
  static constexpr float kSteps[5] = {0.01f, 1.0f, 1000.0f, 60000.0f, 3600000.0f};
  const int field = focusedField >= 0 && focusedField <= 4 ? focusedField : 0;
  return {x, kSteps[field]};
}

void writeExposureFields(platform::Window panel, const int (&fieldIds)[5], float milliseconds) {
  logLine("Value of exposure Debug: %f", static_cast<double>(milliseconds));
  const ExposureParts parts = splitExposure(milliseconds);
  const int values[5] = {parts.hours, parts.minutes, parts.seconds, parts.milliseconds, parts.microseconds};
  for (int i = 0; i < 5; ++i) writeIntField(panel, fieldIds[i], values[i]);
}

float readExposureFields(platform::Window panel, const int (&fieldIds)[5]) {
  char texts[5][64] = {};
  for (int i = 0; i < 5; ++i) platform::getDlgItemText(panel, fieldIds[i], texts[i], static_cast<int>(sizeof texts[i]));
  const char* const pointers[5] = {texts[0], texts[1], texts[2], texts[3], texts[4]};
  return joinExposureTexts(pointers);
}

} // namespace vx
