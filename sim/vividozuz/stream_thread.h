// The streaming thread of one camera and its pacing: frames at the frame
// rate (Realtime), back to back (Free) or one per released credit (Held),
// none while stalled. Start and stop may come from any thread, including
// the streaming thread itself (from a callback), which is then not joined.
#pragma once

#include "vividozuz/sim_control.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vzsim {

class FrameProducer {
public:
  virtual ~FrameProducer() = default;
  // Makes and delivers one frame; returns its frame period in ms.
  virtual double produceFrame() = 0;
};

// Whether the calling thread is the streaming thread of any camera.
bool onAnyStreamingThread();

class StreamThread {
public:
  explicit StreamThread(FrameProducer& producer);
  ~StreamThread();
  StreamThread(const StreamThread&) = delete;
  StreamThread& operator=(const StreamThread&) = delete;

  // ErrorNone, or ErrorBusy when called from the streaming thread while
  // another thread is stopping it.
  std::uint32_t start();
  // Frames stop; returns after the thread has ended, unless called on it.
  void stop();
  bool onThread() const;

  void setPacing(Pacing pacing);
  void setStalled(bool stalled);
  void release(std::uint64_t count);
  // Number of frames started (passed the pacing gate) when `count` more
  // have started: after those already released (`afterReleased`) or not.
  std::uint64_t target(std::uint64_t count, bool afterReleased) const;
  // Held pacing: releases `count` and returns the frame count they end at.
  std::uint64_t releaseAndTarget(std::uint64_t count);
  void resetCounters();

private:
  using Clock = std::chrono::steady_clock;
  bool waitForTurn(Clock::time_point next);
  void loop();

  FrameProducer& producer_;

  std::mutex controlMutex_;
  std::condition_variable controlCv_;
  int stopsInProgress_ = 0;
  std::thread thread_;
  std::atomic<std::thread::id> threadId_{};

  mutable std::mutex paceMutex_;
  std::condition_variable paceCv_;
  bool run_ = false;
  bool alive_ = false;
  Pacing pacing_ = Pacing::Realtime;
  bool stalled_ = false;
  std::uint64_t credits_ = 0;
  std::uint64_t started_ = 0;
};

} // namespace vzsim
