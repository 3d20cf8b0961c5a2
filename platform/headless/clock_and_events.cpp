// The clock (real or virtual), sleep, and manual/auto-reset events.
#include "state.h"

#include <thread>
#include <unordered_map>

struct platform::EventObject {
  bool manualReset = false;
  bool signaled = false;
};

namespace platform::headless::detail {
namespace {

struct ClockState {
  const std::chrono::steady_clock::time_point realBase = std::chrono::steady_clock::now();
  bool virtualTime = false;
  std::uint64_t virtualNow = 0;
  bool autoAdvanceWaits = false;
  std::vector<std::uint32_t> sleeps;
  std::size_t blockedWaits = 0;
  std::unordered_map<EventObject*, std::unique_ptr<EventObject>> events;
};

ClockState& clockState() {
  static ClockState* instance = new ClockState;
  return *instance;
}

std::uint64_t realNow() {
  const auto elapsed = std::chrono::steady_clock::now() - clockState().realBase;
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

EventObject* liveEventLocked(EventHandle event) {
  auto& events = clockState().events;
  auto it = events.find(event);
  return it == events.end() ? nullptr : it->second.get();
}

// Takes a signaled event: an auto-reset event is reset by a successful wait.
bool consumeLocked(EventObject& event) {
  if (!event.signaled) return false;
  if (!event.manualReset) event.signaled = false;
  return true;
}

} // namespace

std::uint64_t nowLocked() {
  return clockState().virtualTime ? clockState().virtualNow : realNow();
}

bool virtualTimeLocked() { return clockState().virtualTime; }

void advanceClockToLocked(std::uint64_t tick) {
  if (clockState().virtualTime && tick > clockState().virtualNow) clockState().virtualNow = tick;
}

std::chrono::steady_clock::time_point realTimePoint(std::uint64_t tick) {
  return clockState().realBase + std::chrono::milliseconds(tick);
}

void resetClockLocked() {
  ClockState& c = clockState();
  c.virtualTime = false;
  c.virtualNow = 0;
  c.autoAdvanceWaits = false;
  c.sleeps.clear();
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

std::uint32_t tickCount() {
  Lock lock(stateMutex());
  return static_cast<std::uint32_t>(nowLocked());
}

void sleep(std::uint32_t milliseconds) {
  {
    Lock lock(stateMutex());
    clockState().sleeps.push_back(milliseconds);
    if (clockState().virtualTime) {
      clockState().virtualNow += milliseconds;
      lock.unlock();
      stateChanged().notify_all();
      return;
    }
  }
  if (milliseconds == 0) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

EventHandle createEvent(bool manualReset, bool initiallySet) {
  auto event = std::make_unique<EventObject>();
  event->manualReset = manualReset;
  event->signaled = initiallySet;
  EventHandle handle = event.get();
  Lock lock(stateMutex());
  clockState().events.emplace(handle, std::move(event));
  return handle;
}

bool setEvent(EventHandle event) {
  {
    Lock lock(stateMutex());
    EventObject* e = liveEventLocked(event);
    if (e == nullptr) return false;
    e->signaled = true;
  }
  stateChanged().notify_all();
  return true;
}

bool resetEvent(EventHandle event) {
  Lock lock(stateMutex());
  EventObject* e = liveEventLocked(event);
  if (e == nullptr) return false;
  e->signaled = false;
  return true;
}

bool closeEvent(EventHandle event) {
  {
    Lock lock(stateMutex());
    if (clockState().events.erase(event) == 0) return false;
  }
  // A thread still waiting on it finds it gone and fails its wait.
  stateChanged().notify_all();
  return true;
}

std::uint32_t waitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
  Lock lock(stateMutex());
  EventObject* e = liveEventLocked(event);
  if (e == nullptr) return WAIT_FAILED;
  if (consumeLocked(*e)) return WAIT_OBJECT_0;
  if (milliseconds == 0) return WAIT_TIMEOUT;

  const bool infinite = milliseconds == INFINITE_WAIT;
  const std::uint64_t deadline = nowLocked() + milliseconds;
  if (!infinite && clockState().virtualTime && clockState().autoAdvanceWaits) {
    advanceClockToLocked(deadline);
    lock.unlock();
    stateChanged().notify_all();
    return WAIT_TIMEOUT;
  }

  ++clockState().blockedWaits;
  std::uint32_t result = WAIT_FAILED;
  for (;;) {
    // The event is looked up again after every wake-up: it may have been
    // closed meanwhile.
    e = liveEventLocked(event);
    if (e == nullptr) break;
    if (consumeLocked(*e)) {
      result = WAIT_OBJECT_0;
      break;
    }
    if (!infinite && nowLocked() >= deadline) {
      result = WAIT_TIMEOUT;
      break;
    }
    if (infinite || clockState().virtualTime) {
      stateChanged().wait(lock);
    } else {
      stateChanged().wait_until(lock, realTimePoint(deadline));
    }
  }
  --clockState().blockedWaits;
  return result;
}

} // namespace platform

namespace platform::headless {

using namespace detail;

void useVirtualTime(bool virtualTime, std::uint32_t startTick) {
  {
    Lock lock(stateMutex());
    const std::uint64_t oldNow = nowLocked();
    clockState().virtualTime = virtualTime;
    if (virtualTime) clockState().virtualNow = startTick;
    rebaseTimersLocked(oldNow, nowLocked());
  }
  stateChanged().notify_all();
}

bool virtualTime() {
  Lock lock(stateMutex());
  return clockState().virtualTime;
}

void advanceTime(std::uint32_t milliseconds) {
  {
    Lock lock(stateMutex());
    if (!clockState().virtualTime) return;
    clockState().virtualNow += milliseconds;
  }
  stateChanged().notify_all();
}

void setAutoAdvanceWaits(bool on) {
  Lock lock(stateMutex());
  clockState().autoAdvanceWaits = on;
}

std::vector<std::uint32_t> sleeps() {
  Lock lock(stateMutex());
  return clockState().sleeps;
}

void clearSleeps() {
  Lock lock(stateMutex());
  clockState().sleeps.clear();
}

std::size_t blockedWaitCount() {
  Lock lock(stateMutex());
  return clockState().blockedWaits;
}

} // namespace platform::headless
