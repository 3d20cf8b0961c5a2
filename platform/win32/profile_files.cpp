// Private-profile (INI) files, the system's own.
#include "win32_backend.h"

namespace platform {

std::uint32_t getPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                      char* buffer, std::uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0 || fileName == nullptr) return 0;
  return GetPrivateProfileStringA(section, key, defaultValue != nullptr ? defaultValue : "", buffer, size,
                                  fileName);
}

std::uint32_t getPrivateProfileInt(const char* section, const char* key, int defaultValue,
                                   const char* fileName) {
  if (fileName == nullptr) return static_cast<std::uint32_t>(defaultValue);
  return GetPrivateProfileIntA(section, key, defaultValue, fileName);
}

bool writePrivateProfileString(const char* section, const char* key, const char* value, const char* fileName) {
  if (fileName == nullptr) return false;
  return WritePrivateProfileStringA(section, key, value, fileName) != 0;
}

} // namespace platform
