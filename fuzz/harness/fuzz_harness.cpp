#include "fuzz_harness.h"

#include "driver/command_dispatcher.h"
#include "driver/config_dialog.h"
#include "driver/driver_lifecycle.h"
#include "driver/image_transfer.h"
#include "driver/soft_pass_through.h"
#include "driver/time_lapse.h"
#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"
#include "snap_trigger.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vxfuzz {
namespace {

namespace hl = platform::headless;

// ---- scratch folder -------------------------------------------------------------

struct Scratch {
  std::string path;
  Scratch() {
    // In memory where the machine has it: the settings file alone is
    // rewritten once per key.
    const char* base = std::getenv("TMPDIR");
    std::string folder = base != nullptr && base[0] != '\0' ? base : "/tmp";
    if (base == nullptr && ::access("/dev/shm", W_OK) == 0) folder = "/dev/shm";
    std::string pattern = folder + "/vxfuzz-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
      std::perror("vxfuzz: mkdtemp");
      std::abort();
    }
    path = buffer.data();
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// ---- watchdog -------------------------------------------------------------------

std::uint32_t limitFromEnvironment(const char* name, std::uint32_t fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr) return fallback;
  const long value = std::strtol(text, nullptr, 10);
  return value > 0 ? static_cast<std::uint32_t>(value) : fallback;
}

class Watchdog {
 public:
  static Watchdog& instance() {
    // Never destroyed: the thread runs until the process ends.
    static Watchdog* watchdog = new Watchdog;
    return *watchdog;
  }

  void enter(std::string name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (calls_.empty()) {
      started_ = std::chrono::steady_clock::now();
      startedCpu_ = std::clock();
      hl::clearSleeps();
    }
    calls_.push_back(std::move(name));
  }

  void leave() {
    std::string names;
    std::uint64_t slept = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (calls_.size() == 1) {
        const std::vector<std::uint32_t> sleeps = hl::sleeps();
        slept = std::accumulate(sleeps.begin(), sleeps.end(), std::uint64_t{0});
        names = namesLocked();
      }
      calls_.pop_back();
    }
    if (slept > std::uint64_t{virtualLimitSeconds_} * 1000u) {
      std::fprintf(stderr, "\n==vxfuzz== HANG: %s slept %llu ms of virtual time (limit %u s)\n", names.c_str(),
                   static_cast<unsigned long long>(slept), virtualLimitSeconds_);
      std::abort();
    }
  }

 private:
  Watchdog()
      : realLimitSeconds_(limitFromEnvironment("VX_FUZZ_CALL_SECONDS", 10)),
        virtualLimitSeconds_(limitFromEnvironment("VX_FUZZ_CALL_VIRTUAL_SECONDS", 10)) {
    std::thread([this] { watch(); }).detach();
  }

  std::string namesLocked() const {
    std::string names;
    for (const std::string& name : calls_) names += (names.empty() ? "" : " > ") + name;
    return names;
  }

  // A call past the real-time limit is a hang when the process has mostly
  // waited meanwhile (less than half a core busy: a deadlock, or a wait for
  // something that never comes). A call that keeps the processor busy is
  // work (several snapshots of the largest mode take tens of seconds in a
  // sanitizer build) and is let run up to kWorkingFactor times the limit.
  static constexpr int kWorkingFactor = 12;
  void watch() {
    const auto limit = std::chrono::seconds(realLimitSeconds_);
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      std::lock_guard<std::mutex> lock(mutex_);
      if (calls_.empty()) continue;
      const auto elapsed = std::chrono::steady_clock::now() - started_;
      if (elapsed < limit) continue;
      const double wall = std::chrono::duration<double>(elapsed).count();
      const double cpu = static_cast<double>(std::clock() - startedCpu_) / CLOCKS_PER_SEC;
      const bool working = cpu >= 0.5 * wall;
      if (working && elapsed < kWorkingFactor * limit) continue;
      std::fprintf(stderr, "\n==vxfuzz== HANG: %s has %s for more than %.0f s of real time (%.1f s of processor time)\n",
                   namesLocked().c_str(), working ? "run" : "blocked", wall, cpu);
      std::abort();
    }
  }

  std::mutex mutex_;
  std::vector<std::string> calls_;
  std::chrono::steady_clock::time_point started_{};
  std::clock_t startedCpu_ = 0;
  const std::uint32_t realLimitSeconds_;
  const std::uint32_t virtualLimitSeconds_;
};

// The driver whose series the time-lapse timer serves (the library's timer
// procedure is its AcqTimerCallBack export, which finds the process's one
// driver the same way).
vx::Driver* runningDriver = nullptr;

void lapseTimerProc(platform::Window, unsigned, std::uintptr_t, std::uint32_t) {
  if (runningDriver == nullptr) return;
  GuardedCall call("AcqTimerCallBack");
  vx::timeLapseTick(*runningDriver);
}

// The exports' gate: while the driver is closed, `refusal`.
template <class Result, class Work>
Result whenOpen(vx::Driver& driver, Result refusal, Work&& work) {
  if (driver.driverOpen == 0) return refusal;
  return work();
}

} // namespace

// ---- world ------------------------------------------------------------------------

void resetWorld(const vzsim::CameraModel& model) {
  hl::reset();
  hl::useVirtualTime(true, 0);
  vzsim::reset();
  if (!vzsim::setCameras({model})) {
    std::fprintf(stderr, "vxfuzz: the simulator refused camera model %u\n", model.cameraId);
    std::abort();
  }
  vzsim::setPacing(vzsim::Pacing::Free);
  vzsim::setJournalFrames(false);
  vzsim::setTakeVideoTimeout(3000);
  hostimg::reset();
  hostimg::setCallLogging(false);
}

void resetWorld() { resetWorld(vzsim::defaultModel(160)); }

const std::string& scratchFolder() {
  static Scratch scratch;
  return scratch.path;
}

std::string scratchPath(std::string name) {
  for (char& c : name)
    if (c == '/' || c == '\0') c = '_';
  return scratchFolder() + "/" + name;
}

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// ---- guarded calls ----------------------------------------------------------------

GuardedCall::GuardedCall(std::string name) { Watchdog::instance().enter(std::move(name)); }
GuardedCall::~GuardedCall() { Watchdog::instance().leave(); }

// ---- driver host --------------------------------------------------------------------

DriverHost::DriverHost() : driver_(std::make_unique<vx::Driver>(&lapseTimerProc)) {
  driver_->moduleInstance = platform::moduleContaining(reinterpret_cast<const void*>(&lapseTimerProc));
  runningDriver = driver_.get();
}

DriverHost::~DriverHost() {
  close();
  runningDriver = nullptr;
}

std::int32_t DriverHost::open() {
  GuardedCall call("AcqOpen");
  return vx::openDriver(*driver_);
}

std::int32_t DriverHost::close() {
  GuardedCall call("AcqClose");
  return vx::closeDriver(*driver_);
}

std::int32_t DriverHost::control(std::int32_t message, std::int32_t parameter, void* data) {
  // Named with its message and parameter, so that a hang says which command.
  GuardedCall call("AcqControl(" + std::to_string(message) + ", " + std::to_string(parameter) + ")");
  return vx::dispatchControl(*driver_, message, parameter, data);
}

std::int32_t DriverHost::getLine(std::int32_t x0, std::int32_t row, std::int32_t x1, std::uint8_t* out) {
  GuardedCall call("AcqGetLine");
  return whenOpen<std::int32_t>(*driver_, 0, [&] { return vx::copySnapshotLine(*driver_, x0, row, x1, out); });
}

std::int32_t DriverHost::getImage(std::int32_t image) {
  GuardedCall call("AcqGetImage");
  return whenOpen<std::int32_t>(*driver_, -1, [&] { return vx::transferImage(*driver_, image); });
}

std::int32_t DriverHost::add(std::int32_t frameCount, std::int32_t divisor, AcqProgressRecord* progress) {
  GuardedCall call("AcqAdd");
  return whenOpen<std::int32_t>(*driver_, -1,
                                [&] { return vx::addFrames(*driver_, frameCount, divisor, progress); });
}

std::int32_t DriverHost::snap() {
  GuardedCall call("AcqSnap");
  return whenOpen<std::int32_t>(*driver_, 0, [&] { return vx::snapTriggerPrompt(*driver_); });
}

std::int32_t DriverHost::timeLapse(const char* prefix, std::int32_t count, std::int32_t firstIndex,
                                   std::uint32_t interval, AcqRect* region, AcqLapseCallback callback,
                                   std::int32_t user) {
  GuardedCall call("AcqTimeLapse");
  return whenOpen<std::int32_t>(*driver_, 1, [&] {
    return vx::timeLapse(*driver_, prefix, count, firstIndex, interval, region, callback, user);
  });
}

std::int32_t DriverHost::timeLapseKill() {
  GuardedCall call("AcqTimeLapseKill");
  return whenOpen<std::int32_t>(*driver_, 0, [&] { return vx::timeLapseKill(*driver_); });
}

std::int32_t DriverHost::passThroughOpen(std::int32_t x, std::int32_t y, std::int32_t* width,
                                         std::int32_t* height) {
  GuardedCall call("AcqSoftPassThruOpen");
  return whenOpen<std::int32_t>(*driver_, 1, [&] { return vx::passThroughOpen(*driver_, x, y, width, height); });
}

std::int32_t DriverHost::passThroughPaint(platform::DeviceContext dc) {
  GuardedCall call("AcqSoftPassThru");
  return whenOpen<std::int32_t>(*driver_, 0, [&] { return vx::passThroughPaint(*driver_, dc); });
}

std::int32_t DriverHost::passThroughClose() {
  GuardedCall call("AcqSoftPassThruClose");
  return whenOpen<std::int32_t>(*driver_, 0, [&] { return vx::passThroughClose(*driver_); });
}

std::intptr_t DriverHost::configDialog(platform::Window dialog, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  GuardedCall call("AcqConfigDlgProc");
  return vx::configDialogProc(*driver_, dialog, message, wParam, lParam);
}

void DriverHost::pumpMessages() {
  GuardedCall call("message loop");
  platform::Message message;
  // Bounded: a timer that is due again at once must not keep the host here.
  for (int i = 0; i < 64 && platform::peekMessage(&message, true); ++i) platform::dispatchMessage(message);
}

} // namespace vxfuzz
