#include "host/driver_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace host {
namespace {

template <class Function>
bool resolve(void* handle, const char* name, Function& out, std::string& error) {
  void* symbol = ::dlsym(handle, name);
  if (symbol == nullptr) {
    error = std::string("the driver has no export named ") + name;
    return false;
  }
  out = reinterpret_cast<Function>(symbol);
  return true;
}

} // namespace

DriverLibrary::~DriverLibrary() {
  if (handle_ != nullptr) ::dlclose(handle_);
}

bool DriverLibrary::load(const std::string& path) {
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = ::dlerror();
    error_ = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error");
    return false;
  }
  bool ok = resolve(handle_, "AcqOpen", open, error_) && resolve(handle_, "AcqClose", close, error_) &&
            resolve(handle_, "AcqStart", start, error_) && resolve(handle_, "AcqFreeze", freeze, error_) &&
            resolve(handle_, "AcqSetPalette", setPalette, error_) &&
            resolve(handle_, "AcqPutLine", putLine, error_) &&
            resolve(handle_, "AcqClearScreen", clearScreen, error_) &&
            resolve(handle_, "AcqErrorMsg", errorMsg, error_) && resolve(handle_, "AcqSnap", snap, error_) &&
            resolve(handle_, "AcqGetLine", getLine, error_) &&
            resolve(handle_, "AcqGetImage", getImage, error_) && resolve(handle_, "AcqAdd", add, error_) &&
            resolve(handle_, "AcqControl", control, error_) &&
            resolve(handle_, "AcqConfigDlgProc", configDlgProc, error_) &&
            resolve(handle_, "AcqHardPassThruOpen", hardPassThruOpen, error_) &&
            resolve(handle_, "AcqHardPassThruClose", hardPassThruClose, error_) &&
            resolve(handle_, "AcqHardPassThruSetWindow", hardPassThruSetWindow, error_) &&
            resolve(handle_, "AcqHardPassThruPaint", hardPassThruPaint, error_) &&
            resolve(handle_, "AcqSoftPassThruOpen", softPassThruOpen, error_) &&
            resolve(handle_, "AcqSoftPassThru", softPassThru, error_) &&
            resolve(handle_, "AcqSoftPassThruClose", softPassThruClose, error_) &&
            resolve(handle_, "AcqTimeLapse", timeLapse, error_) &&
            resolve(handle_, "AcqTimerCallBack", timerCallBack, error_) &&
            resolve(handle_, "AcqTimeLapseKill", timeLapseKill, error_);
  if (!ok) {
    ::dlclose(handle_);
    handle_ = nullptr;
  }
  return ok;
}

std::string defaultDriverPath() {
  char self[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "libvarnexacq.so";
  std::string path(self, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "libvarnexacq.so";
}

} // namespace host
