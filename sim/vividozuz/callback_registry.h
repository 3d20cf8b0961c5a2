// Registered frame callbacks of one kind. The streaming thread calls them
// without holding the registry's lock, so callbacks may add and remove
// registrations; a removal made on any other thread returns only after an
// in-flight call of that callback has finished.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vzsim {

template <class Fn>
class CallbackRegistry {
public:
  struct Entry {
    int id = -1;
    Fn function = nullptr;
    void* context = nullptr;
    int format = 0;
    std::uint64_t firstFrame = 0;  // frames before this one are not delivered to it
    bool active = false;
  };

  int add(Fn function, void* context, int format, std::uint64_t firstFrame) {
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    Entry entry{id, function, context, format, firstFrame, true};
    for (Entry& slot : entries_) {
      if (!slot.active && slot.id != inFlight_) {
        slot = entry;
        return id;
      }
    }
    entries_.push_back(entry);
    return id;
  }

  // False when no active registration has this id. `onStreamingThread`:
  // the caller is the thread that runs the callbacks and must not wait.
  bool remove(int id, bool onStreamingThread) {
    std::unique_lock lock(mutex_);
    for (Entry& slot : entries_) {
      if (slot.active && slot.id == id) {
        slot.active = false;
        if (!onStreamingThread) idle_.wait(lock, [&] { return inFlight_ != id; });
        return true;
      }
    }
    return false;
  }

  void clear() {
    std::unique_lock lock(mutex_);
    for (Entry& slot : entries_) slot.active = false;
    idle_.wait(lock, [&] { return inFlight_ < 0; });
  }

  std::size_t activeCount() const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const Entry& slot : entries_) n += slot.active ? 1u : 0u;
    return n;
  }

  // Calls `invoke(entry)` for every registration made before `frame` that
  // `accept(entry)` takes; returns how many were called.
  template <class Accept, class Invoke>
  int forEach(std::uint64_t frame, Accept&& accept, Invoke&& invoke) {
    int called = 0;
    std::unique_lock lock(mutex_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const Entry entry = entries_[i];
      if (!entry.active || entry.firstFrame > frame || !accept(entry)) continue;
      inFlight_ = entry.id;
      lock.unlock();
      invoke(entry);
      lock.lock();
      inFlight_ = -1;
      idle_.notify_all();
      ++called;
    }
    return called;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::vector<Entry> entries_;
  int nextId_ = 1;
  int inFlight_ = -1;
};

} // namespace vzsim
