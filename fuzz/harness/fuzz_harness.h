// What every fuzz target shares: a world reset before each input (the
// headless platform in virtual time, the camera simulator, the host imaging
// stand-in), a scratch folder for the files the driver writes, a watchdog
// that treats a call that blocks as a failure, and a driver host that drives
// a fresh driver per input through the same functions the exports forward
// to.
//
// Everything here runs on the fuzzer's thread, which plays the host's
// user-interface thread; the watchdog has a thread of its own.
#pragma once

#include "driver/acq_api.h"
#include "driver/driver.h"
#include "vividozuz/sim_control.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vxfuzz {

// ---- the world ---------------------------------------------------------------
// Resets the platform (virtual time from tick 0, so sleeps and timers cost no
// real time), the simulator (attached: `model`; frames back to back, no
// frame journal, a grab that gets no frame fails after a few seconds) and the
// host imaging stand-in (no call log).
void resetWorld(const vzsim::CameraModel& model);
void resetWorld();  // the default camera

// The world for one input: reset when it starts and again when it ends, so
// that nothing an input made outlives it (the fuzzer counts allocations
// that do as leaks to check).
class World {
 public:
  explicit World(const vzsim::CameraModel& model) { resetWorld(model); }
  World() { resetWorld(); }
  ~World() { resetWorld(); }
  World(const World&) = delete;
  World& operator=(const World&) = delete;
};

// A folder of this process's own for the files the targets write; created
// on first use and removed at exit. Paths from fuzz data are always made
// inside it.
const std::string& scratchFolder();
// `name` made safe as one file name inside the scratch folder: separators
// and terminators become '_'.
std::string scratchPath(std::string name);
// Writes `size` bytes to `path`; false when that failed.
bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// ---- the watchdog ---------------------------------------------------------------
// Marks one call from the host into the driver. While one is running, a
// watchdog thread aborts the process (a crash to the fuzzer, with the input
// kept) when it has blocked for longer than the real-time limit (10 s, or
// VX_FUZZ_CALL_SECONDS), or has kept the processor busy for twelve times
// that (a sanitizer build's snapshots of the largest mode are slow, not
// stuck); when it returns, the virtual time it slept is
// checked against the virtual limit (10 s, or VX_FUZZ_CALL_VIRTUAL_SECONDS).
// Calls may nest (a host callback that calls the driver again): the
// outermost one is timed, and the message names them all.
class GuardedCall {
 public:
  explicit GuardedCall(std::string name);
  ~GuardedCall();
  GuardedCall(const GuardedCall&) = delete;
  GuardedCall& operator=(const GuardedCall&) = delete;
};

// ---- the driver -----------------------------------------------------------------
// One driver, as a host holds the library: constructed fresh per input so
// that every input starts from the state of a freshly loaded library, and
// driven through the functions the 24 exports forward to, with the exports'
// own refusals while closed. Each call is guarded.
class DriverHost {
 public:
  DriverHost();
  ~DriverHost();  // closes the driver if open (as a host's AcqClose)
  DriverHost(const DriverHost&) = delete;
  DriverHost& operator=(const DriverHost&) = delete;

  std::int32_t open();
  std::int32_t close();
  std::int32_t control(std::int32_t message, std::int32_t parameter, void* data);
  std::int32_t getLine(std::int32_t x0, std::int32_t row, std::int32_t x1, std::uint8_t* out);
  std::int32_t getImage(std::int32_t image);
  std::int32_t add(std::int32_t frameCount, std::int32_t divisor, AcqProgressRecord* progress);
  std::int32_t snap();
  std::int32_t timeLapse(const char* prefix, std::int32_t count, std::int32_t firstIndex,
                         std::uint32_t interval, AcqRect* region, AcqLapseCallback callback,
                         std::int32_t user);
  std::int32_t timeLapseKill();
  std::int32_t passThroughOpen(std::int32_t x, std::int32_t y, std::int32_t* width,
                               std::int32_t* height);
  std::int32_t passThroughPaint(platform::DeviceContext dc);
  std::int32_t passThroughClose();
  std::intptr_t configDialog(platform::Window dialog, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam);
  // The host's message loop: dispatches what is waiting (timers due, posted
  // messages) without blocking.
  void pumpMessages();

  vx::Driver& driver() { return *driver_; }
  bool isOpen() const { return driver_->driverOpen != 0; }

 private:
  std::unique_ptr<vx::Driver> driver_;
};

} // namespace vxfuzz
