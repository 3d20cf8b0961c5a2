// The driver library's own module handle, recorded when the operating
// system loads the library into a process (library_load_*.cpp) and handed
// to the camera session and the configuration dialog from there.
#pragma once

#include "platform/platform.h"

namespace vx {

// Stores the handle in the process's driver. Runs on the thread that loads
// the library, before any export is called.
void recordModuleInstance(platform::ModuleHandle module);

} // namespace vx
