// Loaded modules: which module holds an address, and its file path.
#include "win32_backend.h"

#include <algorithm>
#include <vector>

namespace platform {

ModuleHandle moduleContaining(const void* address) {
  if (address == nullptr) return nullptr;
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module) == 0) return nullptr;
  return module;
}

std::uint32_t moduleFileName(ModuleHandle module, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  // Read the whole path first (a cut path from the system may lack its
  // terminator), then hand out as much as fits.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      buffer[0] = '\0';
      return 0;
    }
    if (length < path.size()) {
      const std::size_t count = std::min<std::size_t>(length, size - 1);
      std::copy_n(path.data(), count, buffer);
      buffer[count] = '\0';
      return static_cast<std::uint32_t>(count);
    }
    if (path.size() >= 32768) return 0;
    path.resize(path.size() * 2);
  }
}

} // namespace platform
