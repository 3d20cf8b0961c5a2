#include "number_text.h"

#include <cstdio>

namespace vx {

ValueText formatValue(float value, bool integer) {
  ValueText text{};
  if (integer)
    std::snprintf(text.data(), text.size(), "%d", truncateToInt(static_cast<double>(value)));
  else
    std::snprintf(text.data(), text.size(), "%.2f", static_cast<double>(value));
  return text;
}

float parseValue(const char* text) {
  float value = 0.0f;
  if (text == nullptr || std::sscanf(text, "%f", &value) != 1) return 0.0f;
  return value;
}

} // namespace vx
