// Loading into a process on systems with shared objects: a constructor of
// the library records the module that holds it.
#include "module_instance.h"

namespace {

__attribute__((constructor)) void onLibraryLoad() {
  vx::recordModuleInstance(platform::moduleContaining(reinterpret_cast<const void*>(&onLibraryLoad)));
}

} // namespace
