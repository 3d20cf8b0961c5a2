// Timers, the posted-message queue and the message loop (peek, dispatch,
// wait).
#include "state.h"

#include <algorithm>
#include <deque>

namespace platform::headless::detail {
namespace {

struct Timer {
  Window window = nullptr;
  std::uintptr_t id = 0;
  std::uint32_t period = 0;
  std::uint64_t nextDue = 0;
  TimerProc proc = nullptr;
};

// Ids handed out for windowless timers set with id 0; kept clear of the
// small ids a program picks itself.
constexpr std::uintptr_t kFirstFreeTimerId = 0x8000;

struct LoopState {
  std::vector<Timer> timers;  // in the order they were first set
  std::deque<Message> posted;
  std::vector<TimerInfo> starts;
  std::uintptr_t nextFreeId = kFirstFreeTimerId;
};

LoopState& loop() {
  static LoopState* instance = new LoopState;
  return *instance;
}

Timer* timerLocked(Window window, std::uintptr_t id) {
  for (Timer& t : loop().timers) {
    if (t.window == window && t.id == id) return &t;
  }
  return nullptr;
}

std::uintptr_t freeIdLocked() {
  LoopState& l = loop();
  for (;;) {
    const std::uintptr_t id = l.nextFreeId++;
    if (l.nextFreeId == 0) l.nextFreeId = kFirstFreeTimerId;
    if (id != 0 && timerLocked(nullptr, id) == nullptr) return id;
  }
}

// The timer that is due soonest; on equal times the one set first.
Timer* earliestLocked() {
  Timer* best = nullptr;
  for (Timer& t : loop().timers) {
    if (best == nullptr || t.nextDue < best->nextDue) best = &t;
  }
  return best;
}

std::intptr_t procParam(TimerProc proc) { return reinterpret_cast<std::intptr_t>(proc); }

} // namespace

void killWindowTimersLocked(Window w) {
  auto& timers = loop().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [w](const Timer& t) { return t.window == w; }),
               timers.end());
}

void postLocked(const Message& message) { loop().posted.push_back(message); }

bool takePostedLocked(Window w, Message* message) {
  auto& posted = loop().posted;
  const auto it = std::find_if(posted.begin(), posted.end(),
                               [w](const Message& m) { return m.window == w; });
  if (it == posted.end()) return false;
  *message = *it;
  posted.erase(it);
  return true;
}

void dropPostedLocked(Window w) {
  auto& posted = loop().posted;
  posted.erase(std::remove_if(posted.begin(), posted.end(),
                              [w](const Message& m) { return m.window == w; }),
               posted.end());
}

void dispatchPostedTo(Window w) {
  for (;;) {
    Message m;
    {
      Lock lock(stateMutex());
      if (!takePostedLocked(w, &m)) return;
    }
    dispatchMessage(m);
  }
}

void rebaseTimersLocked(std::uint64_t oldNow, std::uint64_t newNow) {
  for (Timer& t : loop().timers) {
    const std::uint64_t remaining = t.nextDue > oldNow ? t.nextDue - oldNow : 0;
    t.nextDue = newNow + remaining;
  }
}

void resetMessageLoopLocked() {
  LoopState& l = loop();
  l.timers.clear();
  l.posted.clear();
  l.starts.clear();
  l.nextFreeId = kFirstFreeTimerId;
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

std::uintptr_t setTimer(Window window, std::uintptr_t id, std::uint32_t milliseconds,
                        TimerProc proc) {
  std::uintptr_t result = 0;
  {
    Lock lock(stateMutex());
    if (window != nullptr && findWindowLocked(window) == nullptr) return 0;
    if (window == nullptr && id == 0) id = freeIdLocked();
    const std::uint64_t due = nowLocked() + milliseconds;
    if (Timer* t = timerLocked(window, id)) {
      // Setting an existing timer restarts it with the new period.
      t->period = milliseconds;
      t->nextDue = due;
      t->proc = proc;
    } else {
      loop().timers.push_back(Timer{window, id, milliseconds, due, proc});
    }
    loop().starts.push_back(
        headless::TimerInfo{window, id, milliseconds, static_cast<std::uint32_t>(due)});
    // A window timer may have id 0; the call still has to report success.
    result = id != 0 ? id : 1;
  }
  stateChanged().notify_all();
  return result;
}

bool killTimer(Window window, std::uintptr_t id) {
  {
    Lock lock(stateMutex());
    auto& timers = loop().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) {
      return t.window == window && t.id == id;
    });
    if (it == timers.end()) return false;
    timers.erase(it);
  }
  stateChanged().notify_all();
  return true;
}

bool peekMessage(Message* message, bool remove) {
  if (message == nullptr) return false;
  Lock lock(stateMutex());
  LoopState& l = loop();
  if (!l.posted.empty()) {
    *message = l.posted.front();
    if (remove) l.posted.pop_front();
    return true;
  }
  // Timers are low priority: a due timer yields one WM_TIMER, and only when
  // nothing else waits. Taking it re-arms the timer, so that a timer that
  // was due several times over still yields only one message.
  const std::uint64_t now = nowLocked();
  Timer* due = earliestLocked();
  if (due == nullptr || due->nextDue > now) return false;
  *message = Message{due->window, WM_TIMER, due->id, procParam(due->proc),
                     static_cast<std::uint32_t>(now)};
  if (remove) due->nextDue = now + due->period;
  return true;
}

std::intptr_t dispatchMessage(const Message& message) {
  if (message.message == WM_TIMER) {
    TimerProc proc = nullptr;
    std::uint32_t time = 0;
    {
      Lock lock(stateMutex());
      Timer* t = timerLocked(message.window, message.wParam);
      // A timer killed after its message was taken does not run.
      if (t == nullptr) return 0;
      const std::uint64_t now = nowLocked();
      t->nextDue = now + t->period;  // re-armed from now, before its procedure runs
      proc = t->proc;
      time = static_cast<std::uint32_t>(now);
    }
    if (proc != nullptr) {
      proc(message.window, WM_TIMER, message.wParam, time);
      return 0;
    }
  }
  return deliverMessage(message.window, message.message, message.wParam, message.lParam);
}

bool waitMessage() {
  Lock lock(stateMutex());
  for (;;) {
    LoopState& l = loop();
    if (!l.posted.empty()) return true;
    const Timer* next = earliestLocked();
    // Nothing posted and no timer: no message can come from this thread's
    // own sources, so waiting would never end.
    if (next == nullptr) return false;
    const std::uint64_t due = next->nextDue;
    if (due <= nowLocked()) return true;
    if (virtualTimeLocked()) {
      advanceClockToLocked(due);
      lock.unlock();
      stateChanged().notify_all();
      return true;
    }
    stateChanged().wait_until(lock, realTimePoint(due));
  }
}

} // namespace platform

namespace platform::headless {

using namespace detail;

bool postMessage(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  {
    Lock lock(stateMutex());
    if (window != nullptr && findWindowLocked(window) == nullptr) return false;
    postLocked(Message{window, message, wParam, lParam, static_cast<std::uint32_t>(nowLocked())});
  }
  stateChanged().notify_all();
  return true;
}

std::vector<TimerInfo> activeTimers() {
  Lock lock(stateMutex());
  std::vector<TimerInfo> result;
  for (const Timer& t : loop().timers) {
    result.push_back(TimerInfo{t.window, t.id, t.period, static_cast<std::uint32_t>(t.nextDue)});
  }
  return result;
}

std::vector<TimerInfo> timerStarts() {
  Lock lock(stateMutex());
  return loop().starts;
}

} // namespace platform::headless
