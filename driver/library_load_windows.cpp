// Loading into a process on Windows: the DLL's entry point records the
// module handle the system passes at the process-attach notification and
// ignores the others (thread attach and detach, process detach). It always
// reports success.
#include "module_instance.h"

namespace {

constexpr unsigned long kProcessAttach = 1;  // DLL_PROCESS_ATTACH

} // namespace

// BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID), in the types the platform
// header gives (HINSTANCE is the platform's module handle, BOOL an int).
extern "C" int __stdcall DllMain(platform::ModuleHandle module, unsigned long reason, void*) {
  if (reason == kProcessAttach) vx::recordModuleInstance(module);
  return 1;
}
