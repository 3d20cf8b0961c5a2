#include "vividozuz/stream_thread.h"

namespace vzsim {

namespace {
thread_local bool tStreamingThread = false;
}

bool onAnyStreamingThread() { return tStreamingThread; }

StreamThread::StreamThread(FrameProducer& producer) : producer_(producer) {}

StreamThread::~StreamThread() { stop(); }

bool StreamThread::onThread() const { return threadId_.load() == std::this_thread::get_id(); }

std::uint32_t StreamThread::start() {
  std::unique_lock control(controlMutex_);
  if (stopsInProgress_ > 0) {
    if (onThread()) return ErrorBusy;
    controlCv_.wait(control, [&] { return stopsInProgress_ == 0; });
  }
  {
    std::lock_guard pace(paceMutex_);
    if (alive_) {
      run_ = true;
      paceCv_.notify_all();
      return ErrorNone;
    }
  }
  // A thread that stopped itself has left its loop; collect it.
  if (thread_.joinable()) thread_.join();
  {
    std::lock_guard pace(paceMutex_);
    run_ = true;
    alive_ = true;
  }
  thread_ = std::thread([this] { loop(); });
  return ErrorNone;
}

void StreamThread::stop() {
  std::unique_lock control(controlMutex_);
  {
    std::lock_guard pace(paceMutex_);
    run_ = false;
    paceCv_.notify_all();
  }
  if (onThread()) return;  // leaves its loop when the current frame is done
  if (stopsInProgress_ > 0) {
    controlCv_.wait(control, [&] { return stopsInProgress_ == 0; });
    return;
  }
  if (!thread_.joinable()) return;
  std::thread finishing = std::move(thread_);
  ++stopsInProgress_;
  control.unlock();
  finishing.join();
  control.lock();
  --stopsInProgress_;
  controlCv_.notify_all();
}

void StreamThread::setPacing(Pacing pacing) {
  std::lock_guard pace(paceMutex_);
  pacing_ = pacing;
  paceCv_.notify_all();
}

void StreamThread::setStalled(bool stalled) {
  std::lock_guard pace(paceMutex_);
  stalled_ = stalled;
  paceCv_.notify_all();
}

void StreamThread::release(std::uint64_t count) {
  std::lock_guard pace(paceMutex_);
  credits_ += count;
  paceCv_.notify_all();
}

std::uint64_t StreamThread::target(std::uint64_t count, bool afterReleased) const {
  std::lock_guard pace(paceMutex_);
  return started_ + (afterReleased && pacing_ == Pacing::Held ? credits_ : 0) + count;
}

std::uint64_t StreamThread::releaseAndTarget(std::uint64_t count) {
  std::lock_guard pace(paceMutex_);
  if (pacing_ != Pacing::Held) return started_ + count;
  const std::uint64_t end = started_ + credits_ + count;
  credits_ += count;
  paceCv_.notify_all();
  return end;
}

void StreamThread::resetCounters() {
  std::lock_guard pace(paceMutex_);
  started_ = 0;
}

bool StreamThread::waitForTurn(Clock::time_point next) {
  std::unique_lock pace(paceMutex_);
  for (;;) {
    if (!run_) {
      alive_ = false;
      return false;
    }
    if (stalled_) {
      paceCv_.wait(pace);
      continue;
    }
    switch (pacing_) {
    case Pacing::Free:
      ++started_;
      return true;
    case Pacing::Held:
      if (credits_ > 0) {
        --credits_;
        ++started_;
        return true;
      }
      paceCv_.wait(pace);
      continue;
    case Pacing::Realtime:
      if (Clock::now() >= next) {
        ++started_;
        return true;
      }
      paceCv_.wait_until(pace, next);
      continue;
    }
  }
}

void StreamThread::loop() {
  tStreamingThread = true;
  threadId_.store(std::this_thread::get_id());
  Clock::time_point next = Clock::now();
  while (waitForTurn(next)) {
    const Clock::time_point began = Clock::now();
    const double periodMs = producer_.produceFrame();
    next = began + std::chrono::duration_cast<Clock::duration>(
                       std::chrono::duration<double, std::milli>(periodMs));
    // After a stall or a pause the stream resumes at its rate, not in a burst.
    const Clock::time_point now = Clock::now();
    if (next < now - std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double, std::milli>(periodMs))) {
      next = now;
    }
  }
  threadId_.store(std::thread::id{});
  tStreamingThread = false;
}

} // namespace vzsim
