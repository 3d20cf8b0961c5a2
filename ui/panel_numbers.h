// Numbers in the panels' edits: texts read the way "%d" and "%f" read them,
// and values truncated to whole numbers for "%d". The panels get texts from
// the user, from the host (through the accessors) and from their own
// writes, so every text and every float has a defined result here.
//
// Pure functions; any thread.
#pragma once

#include "base/whole_number.h"
#include "platform/platform.h"

#include <array>

namespace vx {

// The number at the start of `text` (after white space; an optional sign,
// then digits), as "%d" reads it. A text that does not start with a number
// gives `fallback`; a number beyond the int range gives the nearest int.
int parseIntText(const char* text, int fallback);

// The number at the start of `text` as "%f" reads it. A text without a
// finite number at its start ("", "-", "nan") gives `fallback`; a number
// beyond the float range gives the largest float of its sign.
float parseFloatText(const char* text, float fallback);

// An edit's text for a value: "%d" of the value truncated toward zero
// (`truncateToInt`), or "%.2f".
using ValueText = std::array<char, 64>;
ValueText formatValue(float value, bool integer);

// An edit's text (up to 63 characters) read as above.
int readIntField(platform::Window dialog, int id, int fallback);
float readFloatField(platform::Window dialog, int id, float fallback);
// Writes "%d" of a whole number into a control.
void writeIntField(platform::Window dialog, int id, int value);

} // namespace vx
