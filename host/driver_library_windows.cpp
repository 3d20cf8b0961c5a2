// Loading the driver on Windows: LoadLibraryA by path, GetProcAddress by
// name, as a host application does.
#include "host/driver_library.h"

#include <windows.h>

#include <vector>

namespace host {
namespace {

std::string systemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message;
}

} // namespace

bool DriverLibrary::load(const std::string& path) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error_ = "cannot load " + path + ": " + systemMessage(GetLastError());
    return false;
  }
  handle_ = module;
  if (resolveExports()) return true;
  unload();
  return false;
}

void* DriverLibrary::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void DriverLibrary::unload() {
  FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

bool DriverLibrary::mapped(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

std::string defaultDriverPath() {
  std::vector<char> self(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (n == 0) return driverFileName();
    if (n < self.size()) {
      std::string path(self.data(), n);
      const auto slash = path.find_last_of("\\/");
      return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + driverFileName();
    }
    if (self.size() >= 32768) return driverFileName();
    self.resize(self.size() * 2);
  }
}

} // namespace host
