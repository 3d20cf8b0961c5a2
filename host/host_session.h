// A host's side of a session with the driver: its windows, the driver's
// commands, and the message loop the driver's timers need.
#pragma once

#include "driver/acq_control.h"
#include "host/driver_library.h"
#include "outcome.h"
#include "platform/platform.h"
#include "vividozuz/sim_control.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct ModeEntry {
  std::int32_t index = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t factorX = 1;
  std::int32_t factorY = 1;
  std::int32_t partial = 1;
  std::string name;
};

struct Range {
  double minimum = 0;
  double maximum = 0;
  bool ok = false;
};

class HostSession {
 public:
  HostSession(DriverLibrary& driver, Outcome& outcome) : driver_(driver), outcome_(outcome) {}
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Creates the host's main and preview windows, opens the driver and
  // registers the main window (command 33). Reports why when it fails.
  bool open();
  void close();

  std::int32_t control(std::int32_t code, std::int32_t parameter = 0, void* data = nullptr);
  std::int32_t query(std::int32_t code, std::int32_t parameter = 0, void* data = nullptr);

  // Opens the camera display in the preview window (command 39); reports a
  // refusal.
  bool openDisplay();
  // Runs the host's message loop for `seconds` of real time, so that the
  // driver's timers (status bar, time-lapse) run.
  void pump(double seconds);
  // Runs the message loop for `seconds` while the preview streams, then on
  // until the camera has delivered two frames since the call (for at most
  // 30 s more), so that the frame returned was made after the call however
  // slow the build. Returns the last displayed frame, or nothing when no new
  // frame arrived.
  std::optional<vzsim::DisplayedFrame> displayedFrameAfter(double seconds);

  std::vector<ModeEntry> modes(bool acquisition);
  // The number of modes in a list, or -1 when the driver does not say.
  std::int32_t modeCount(bool acquisition);
  // Selects a mode that exists. The driver would bring an index past the
  // list's end back into it, so such an index is reported as bad input here
  // instead of capturing in a mode nobody asked for.
  bool selectMode(bool acquisition, std::int32_t index);
  // Sets the acquisition capture rectangle to the whole selected mode.
  bool captureWholeMode();
  // Command 50 then 51: starts a snapshot and polls until it is ready;
  // reports a snapshot refused or never ready.
  bool snap();

  double exposure(bool acquisition);
  double gain(bool acquisition);
  double gamma(bool acquisition);
  std::int32_t brightness(bool acquisition);

  DriverLibrary& driver() { return driver_; }
  // Where the jobs report the files they wrote and the steps that failed.
  Outcome& outcome() { return outcome_; }
  platform::Window mainWindow() const { return mainWindow_; }
  platform::Window previewWindow() const { return previewWindow_; }
  bool isOpen() const { return open_; }
  // The index of the simulated camera the driver opened, 0 when none is.
  static int simulatedCamera();

 private:
  DriverLibrary& driver_;
  Outcome& outcome_;
  platform::Window mainWindow_ = nullptr;
  platform::Window previewWindow_ = nullptr;
  bool open_ = false;
};

} // namespace host
