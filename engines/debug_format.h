// printf-style lines to the debugger output (platform::debugOutput).
#pragma once

namespace engines {

// Formats into a bounded buffer (longer lines are cut) and writes the text as
// one debugger output line. Safe from any thread.
void debugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace engines
