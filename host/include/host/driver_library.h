// Loads the capture driver the way a host does: by path, resolving each of
// its 24 entry points by name.
#pragma once

#include "driver/acq_api.h"

#include <string>

namespace host {

class DriverLibrary {
 public:
  DriverLibrary() = default;
  ~DriverLibrary();
  DriverLibrary(const DriverLibrary&) = delete;
  DriverLibrary& operator=(const DriverLibrary&) = delete;

  // Loads the library and resolves every export. Returns false (with the
  // reason in error()) when the library or any export is missing.
  bool load(const std::string& path);
  const std::string& error() const { return error_; }
  bool loaded() const { return handle_ != nullptr; }
  // Whether the library at `path` is mapped into the process right now (by
  // this object or any other). Asks without loading it.
  static bool mapped(const std::string& path);

  decltype(&::AcqOpen) open = nullptr;
  decltype(&::AcqClose) close = nullptr;
  decltype(&::AcqStart) start = nullptr;
  decltype(&::AcqFreeze) freeze = nullptr;
  decltype(&::AcqSetPalette) setPalette = nullptr;
  decltype(&::AcqPutLine) putLine = nullptr;
  decltype(&::AcqClearScreen) clearScreen = nullptr;
  decltype(&::AcqErrorMsg) errorMsg = nullptr;
  decltype(&::AcqSnap) snap = nullptr;
  decltype(&::AcqGetLine) getLine = nullptr;
  decltype(&::AcqGetImage) getImage = nullptr;
  decltype(&::AcqAdd) add = nullptr;
  decltype(&::AcqControl) control = nullptr;
  decltype(&::AcqConfigDlgProc) configDlgProc = nullptr;
  decltype(&::AcqHardPassThruOpen) hardPassThruOpen = nullptr;
  decltype(&::AcqHardPassThruClose) hardPassThruClose = nullptr;
  decltype(&::AcqHardPassThruSetWindow) hardPassThruSetWindow = nullptr;
  decltype(&::AcqHardPassThruPaint) hardPassThruPaint = nullptr;
  decltype(&::AcqSoftPassThruOpen) softPassThruOpen = nullptr;
  decltype(&::AcqSoftPassThru) softPassThru = nullptr;
  decltype(&::AcqSoftPassThruClose) softPassThruClose = nullptr;
  decltype(&::AcqTimeLapse) timeLapse = nullptr;
  decltype(&::AcqTimerCallBack) timerCallBack = nullptr;
  decltype(&::AcqTimeLapseKill) timeLapseKill = nullptr;

 private:
  // Per system (driver_library_posix.cpp, driver_library_windows.cpp): the
  // library's address of an export, null when it has none; and unloading.
  void* symbol(const char* name) const;
  void unload();
  // Resolves all 24 entry points; false (with the reason) at the first
  // that is missing.
  bool resolveExports();

  void* handle_ = nullptr;
  std::string error_;
};

// The file name of the driver library this program loads by default: the
// driver built against the headless platform (libvarnexacq.so;
// varnexacq-headless.dll on Windows).
const char* driverFileName();
// The driver library next to the running program.
std::string defaultDriverPath();

} // namespace host
