#include "engines/debug_format.h"

#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>

namespace engines {

void debugPrintf(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  platform::debugOutput(text);
}

}  // namespace engines
