// Debug output and message boxes.
#include "win32_backend.h"

namespace platform {

void debugOutput(const char* text) { OutputDebugStringA(text != nullptr ? text : ""); }

int messageBox(Window owner, const char* text, const char* caption, unsigned type) {
  return MessageBoxA(owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type);
}

} // namespace platform
