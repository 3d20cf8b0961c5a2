#include "panel_numbers.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vx {

int parseIntText(const char* text, int fallback) {
  if (text == nullptr) return fallback;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text) return fallback;
  constexpr long long kMin = std::numeric_limits<int>::min();
  constexpr long long kMax = std::numeric_limits<int>::max();
  if (value < kMin) return std::numeric_limits<int>::min();
  if (value > kMax) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

float parseFloatText(const char* text, float fallback) {
  if (text == nullptr) return fallback;
  char* end = nullptr;
  errno = 0;
  const float value = std::strtof(text, &end);
  if (end == text || std::isnan(value)) return fallback;
  if (std::isinf(value)) {
    // Only an overflowing number is kept (as the largest float); a typed
    // "inf" is not a number of the panels.
    if (errno != ERANGE) return fallback;
    return value > 0 ? FLT_MAX : -FLT_MAX;
  }
  return value;
}

ValueText formatValue(float value, bool integer) {
  ValueText text{};
  if (integer)
    std::snprintf(text.data(), text.size(), "%d", truncateToInt(value));
  else
    std::snprintf(text.data(), text.size(), "%.2f", static_cast<double>(value));
  return text;
}

int readIntField(platform::Window dialog, int id, int fallback) {
  char text[64] = {};
  platform::getDlgItemText(dialog, id, text, static_cast<int>(sizeof text));
  return parseIntText(text, fallback);
}

float readFloatField(platform::Window dialog, int id, float fallback) {
  char text[64] = {};
  platform::getDlgItemText(dialog, id, text, static_cast<int>(sizeof text));
  return parseFloatText(text, fallback);
}

void writeIntField(platform::Window dialog, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  platform::setDlgItemText(dialog, id, text);
}

} // namespace vx
