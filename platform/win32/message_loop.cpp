// Timers and the message loop.
//
// The platform's timer procedures use the C calling convention and keep the
// id they were given even without a window, while Win32's TIMERPROC is
// stdcall and picks its own ids for windowless timers. One bridge procedure
// serves every timer, and a table maps each timer to its procedure and, for
// windowless timers, the id the program chose to the id Win32 chose.
#include "win32_backend.h"

#include <map>
#include <mutex>
#include <utility>

namespace platform {
namespace {

struct TimerEntry {
  UINT_PTR systemId = 0;
  TimerProc proc = nullptr;
};

struct TimerTable {
  std::mutex mutex;
  std::map<std::pair<HWND, UINT_PTR>, TimerEntry> byProgramId;  // (window, the program's id)
  UINT_PTR nextFreeId = 0x8000;  // windowless timers set with id 0
};

TimerTable& timers() {
  static TimerTable* table = new TimerTable;  // timers may outlive static destruction
  return *table;
}

// The program's id of a windowless timer from Win32's, or 0.
UINT_PTR programIdOf(HWND window, UINT_PTR systemId) {
  if (window != nullptr) return systemId;
  TimerTable& t = timers();
  std::lock_guard lock(t.mutex);
  for (const auto& [key, entry] : t.byProgramId) {
    if (key.first == nullptr && entry.systemId == systemId) return key.second;
  }
  return 0;
}

UINT_PTR systemIdOf(HWND window, UINT_PTR programId) {
  if (window != nullptr) return programId;
  TimerTable& t = timers();
  std::lock_guard lock(t.mutex);
  const auto it = t.byProgramId.find({nullptr, programId});
  return it != t.byProgramId.end() ? it->second.systemId : 0;
}

void CALLBACK timerBridge(HWND window, UINT message, UINT_PTR systemId, DWORD time) {
  TimerProc proc = nullptr;
  UINT_PTR programId = 0;
  {
    TimerTable& t = timers();
    std::lock_guard lock(t.mutex);
    for (const auto& [key, entry] : t.byProgramId) {
      if (key.first == window && entry.systemId == systemId) {
        proc = entry.proc;
        programId = key.second;
        break;
      }
    }
  }
  if (proc != nullptr) proc(window, message, programId, time);
}

} // namespace

std::uintptr_t setTimer(Window window, std::uintptr_t id, std::uint32_t milliseconds, TimerProc proc) {
  if (window != nullptr && !isWindow(window)) return 0;
  TimerTable& t = timers();
  std::lock_guard lock(t.mutex);
  if (window != nullptr) {
    // A window timer keeps its id; without a procedure WM_TIMER goes to the
    // window itself.
    if (SetTimer(window, id, milliseconds, proc != nullptr ? timerBridge : nullptr) == 0) return 0;
    t.byProgramId[{window, id}] = TimerEntry{id, proc};
    return id != 0 ? id : 1;
  }
  if (id == 0) {
    do {
      id = t.nextFreeId++;
    } while (id == 0 || t.byProgramId.count({nullptr, id}) != 0);
  }
  const auto it = t.byProgramId.find({nullptr, id});
  // Setting an existing timer again restarts it under the same system id.
  const UINT_PTR existing = it != t.byProgramId.end() ? it->second.systemId : 0;
  const UINT_PTR systemId = SetTimer(nullptr, existing, milliseconds, timerBridge);
  if (systemId == 0) return 0;
  t.byProgramId[{nullptr, id}] = TimerEntry{systemId, proc};
  return id;
}

bool killTimer(Window window, std::uintptr_t id) {
  TimerTable& t = timers();
  std::lock_guard lock(t.mutex);
  const auto it = t.byProgramId.find({window, id});
  const UINT_PTR systemId = it != t.byProgramId.end() ? it->second.systemId : (window != nullptr ? id : 0);
  if (it != t.byProgramId.end()) t.byProgramId.erase(it);
  if (window == nullptr && systemId == 0) return false;
  return KillTimer(window, systemId) != 0;
}

bool peekMessage(Message* message, bool remove) {
  if (message == nullptr) return false;
  MSG msg{};
  if (PeekMessageA(&msg, nullptr, 0, 0, remove ? PM_REMOVE : PM_NOREMOVE) == 0) return false;
  std::uintptr_t wParam = msg.wParam;
  if (msg.message == WM_TIMER && msg.hwnd == nullptr) wParam = programIdOf(nullptr, msg.wParam);
  *message = Message{msg.hwnd, msg.message, wParam, msg.lParam, msg.time};
  return true;
}

std::intptr_t dispatchMessage(const Message& message) {
  MSG msg{};
  msg.hwnd = message.window;
  msg.message = message.message;
  msg.wParam = message.wParam;
  msg.lParam = message.lParam;
  msg.time = message.time;
  if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
    msg.wParam = systemIdOf(nullptr, message.wParam);
    // A timer killed after its message was taken does not run.
    if (msg.wParam == 0) return 0;
  }
  TranslateMessage(&msg);
  return DispatchMessageA(&msg);
}

bool waitMessage() { return WaitMessage() != 0; }

} // namespace platform
