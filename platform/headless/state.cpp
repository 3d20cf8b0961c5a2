// The backend's shared lock, its wake-up signal and reset().
#include "state.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace platform::headless::detail {
namespace {

struct Core {
  std::mutex mutex;
  std::condition_variable changed;
};

// Never destroyed: threads of the host may still use the platform while the
// process exits.
Core& core() {
  static Core* instance = new Core;
  return *instance;
}

} // namespace

std::mutex& stateMutex() { return core().mutex; }
std::condition_variable& stateChanged() { return core().changed; }

std::string format(const char* pattern, ...) {
  char text[512];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(text, sizeof text, pattern, args);
  va_end(args);
  return text;
}

} // namespace platform::headless::detail

namespace platform::headless {

void reset() {
  using namespace detail;
  {
    Lock lock(stateMutex());
    resetDiagnosticsLocked();
    resetDialogsLocked();
    resetWindowsLocked();
    resetFileDialogLocked();
    resetMessageLoopLocked();
    resetClockLocked();
    resetGdiLocked();
  }
  stateChanged().notify_all();
}

} // namespace platform::headless
