#include "exposure_fields.h"

#include "base/debug_log.h"

#include <cmath>
#include <cstdio>

namespace vx {

ExposureParts splitExposure(float x) {
  ExposureParts parts;
  const int s = static_cast<int>(std::trunc(static_cast<double>(x) * 0.001));
  const int m = static_cast<int>(std::trunc(static_cast<float>(s) * 0.016666668f));
  const int h = static_cast<int>(std::trunc(static_cast<float>(m) * 0.016666668f));
  parts.hours = h;
  parts.minutes = m - 60 * h;
  parts.seconds = s - 60 * m;
  const float r = x - 1000.0f * static_cast<float>(s);
  parts.milliseconds = static_cast<int>(std::trunc(r));
  parts.microseconds =
      static_cast<int>(std::trunc((static_cast<double>(r) - std::trunc(static_cast<double>(r)) + 0.00001) * 1000.0));
  return parts;
}

float joinExposure(const ExposureParts& p) {
  return static_cast<float>(((static_cast<double>(p.hours) * 60 + p.minutes) * 60 + p.seconds) * 1000 +
                            p.milliseconds + p.microseconds * 0.001);
}

void writeExposureFields(platform::Window panel, const int (&fieldIds)[5], float milliseconds) {
  logLine("Value of exposure Debug: %f", static_cast<double>(milliseconds));
  const ExposureParts parts = splitExposure(milliseconds);
  const int values[5] = {parts.hours, parts.minutes, parts.seconds, parts.milliseconds,
                         parts.microseconds};
  for (int i = 0; i < 5; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", values[i]);
    platform::setDlgItemText(panel, fieldIds[i], text);
  }
}

} // namespace vx
