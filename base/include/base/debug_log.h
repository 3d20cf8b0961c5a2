// The driver's one facility for diagnostic lines (the debugger output) and
// user-facing message boxes, printf-style. Lines may be written from any
// thread (the engines log from the SDK's streaming thread); message boxes
// belong to the user-interface thread.
#pragma once

#include "platform/platform.h"
#include "platform/printf_format.h"

#include <string>

namespace vx {

// Formats and writes one line to the debugger output.
void logLine(const char* format, ...) VX_PRINTF_FORMAT(1, 2);

// Formats the text and shows a modal message box with an OK button; returns
// the answer. Owner is the window the box belongs to (may be null).
int messageBoxf(platform::Window owner, const char* caption, const char* format, ...)
    VX_PRINTF_FORMAT(3, 4);

// Formats into a std::string (for texts that are both logged and shown).
std::string formatText(const char* format, ...) VX_PRINTF_FORMAT(1, 2);

} // namespace vx
