// What loading the driver means on every system: the 24 entry points
// resolved by name, and the library's default file name. Opening and
// closing the library are the system's (driver_library_<system>.cpp).
#include "host/driver_library.h"

#include <cstring>
#include <type_traits>

namespace host {
namespace {

// An export's address as the function pointer type it has (a data pointer
// and a function pointer are the same size on every system the host runs on).
template <class Function>
Function asFunction(void* address) {
  static_assert(sizeof(Function) == sizeof(void*));
  Function function;
  std::memcpy(&function, &address, sizeof function);
  return function;
}

} // namespace

bool DriverLibrary::resolveExports() {
  const auto resolve = [this](const char* name, auto& out) {
    void* address = symbol(name);
    if (address == nullptr) {
      error_ = std::string("the driver has no export named ") + name;
      return false;
    }
    out = asFunction<std::remove_reference_t<decltype(out)>>(address);
    return true;
  };
  return resolve("AcqOpen", open) && resolve("AcqClose", close) && resolve("AcqStart", start) &&
         resolve("AcqFreeze", freeze) && resolve("AcqSetPalette", setPalette) &&
         resolve("AcqPutLine", putLine) && resolve("AcqClearScreen", clearScreen) &&
         resolve("AcqErrorMsg", errorMsg) && resolve("AcqSnap", snap) && resolve("AcqGetLine", getLine) &&
         resolve("AcqGetImage", getImage) && resolve("AcqAdd", add) && resolve("AcqControl", control) &&
         resolve("AcqConfigDlgProc", configDlgProc) && resolve("AcqHardPassThruOpen", hardPassThruOpen) &&
         resolve("AcqHardPassThruClose", hardPassThruClose) &&
         resolve("AcqHardPassThruSetWindow", hardPassThruSetWindow) &&
         resolve("AcqHardPassThruPaint", hardPassThruPaint) &&
         resolve("AcqSoftPassThruOpen", softPassThruOpen) && resolve("AcqSoftPassThru", softPassThru) &&
         resolve("AcqSoftPassThruClose", softPassThruClose) && resolve("AcqTimeLapse", timeLapse) &&
         resolve("AcqTimerCallBack", timerCallBack) && resolve("AcqTimeLapseKill", timeLapseKill);
}

DriverLibrary::~DriverLibrary() {
  if (handle_ != nullptr) unload();
}

const char* driverFileName() { return VX_DRIVER_FILE_NAME; }

} // namespace host
