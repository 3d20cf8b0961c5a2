// A float or double as a whole number, the way every integer the driver
// shows or reports is taken from a value: truncated toward zero.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vx {

// Truncated toward zero to an int32, saturating where it does not fit; NaN
// gives 0. No value from a host, a file or the camera makes the conversion
// undefined.
inline std::int32_t truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) return std::numeric_limits<std::int32_t>::max();
  if (value <= kMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

} // namespace vx
