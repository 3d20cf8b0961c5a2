// Numbers as the panels show them in their edits and read them back.
#pragma once

#include "base/whole_number.h"

#include <array>

namespace vx {

// An edit's text for a value: "%d" of the truncated value, or "%.2f".
using ValueText = std::array<char, 64>;
ValueText formatValue(float value, bool integer);

// Reads a number the way sscanf's "%f" does: the leading number, the rest
// ignored. A text that does not begin with a number (an empty edit, a lone
// sign) reads as 0, the value a cleared field stands for. (Not the value the
// edit held before: a locked pair copies the text itself between its two
// edits, and a text that meant each edit's own old value would bounce
// between them for ever.)
float parseValue(const char* text);

} // namespace vx
