// Time and events.
#include "win32_backend.h"

namespace platform {
namespace {

HANDLE handleOf(EventHandle event) { return reinterpret_cast<HANDLE>(event); }

} // namespace

std::uint32_t tickCount() { return GetTickCount(); }
void sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

EventHandle createEvent(bool manualReset, bool initiallySet) {
  return reinterpret_cast<EventHandle>(
      CreateEventA(nullptr, manualReset ? TRUE : FALSE, initiallySet ? TRUE : FALSE, nullptr));
}

bool setEvent(EventHandle event) { return event != nullptr && SetEvent(handleOf(event)) != 0; }
bool resetEvent(EventHandle event) { return event != nullptr && ResetEvent(handleOf(event)) != 0; }

std::uint32_t waitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
  if (event == nullptr) return WAIT_FAILED;
  return WaitForSingleObject(handleOf(event), milliseconds);
}

bool closeEvent(EventHandle event) { return event != nullptr && CloseHandle(handleOf(event)) != 0; }

} // namespace platform
