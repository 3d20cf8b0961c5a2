// Loading the driver with the dynamic loader of systems with shared objects.
#include "host/driver_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace host {

bool DriverLibrary::load(const std::string& path) {
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = ::dlerror();
    error_ = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error");
    return false;
  }
  if (resolveExports()) return true;
  unload();
  return false;
}

void* DriverLibrary::symbol(const char* name) const { return ::dlsym(handle_, name); }

void DriverLibrary::unload() {
  ::dlclose(handle_);
  handle_ = nullptr;
}

bool DriverLibrary::mapped(const std::string& path) {
  // RTLD_NOLOAD asks without loading; the reference a positive answer
  // takes is given back at once.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  ::dlclose(handle);
  return true;
}

std::string defaultDriverPath() {
  char self[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return driverFileName();
  std::string path(self, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + driverFileName();
}

} // namespace host
