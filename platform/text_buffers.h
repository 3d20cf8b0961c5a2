// Text handed back to a caller's buffer, the way the system's text
// functions do it; shared by both backends.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace platform::shared {

// Copies `text` into a caller's buffer of `size` chars: at most size - 1
// chars and a terminator. Returns the number of chars copied; a null buffer
// or a size of 0 gets nothing.
inline std::size_t copyTerminated(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::size_t count = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return count;
}

} // namespace platform::shared
