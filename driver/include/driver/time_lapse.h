// Timed series of captures written to numbered TIF files. Called only while
// the driver is open, except the timer procedure.
#pragma once

#include "driver/acq_api.h"
#include "platform/platform.h"

#include <cstdint>

namespace vx {

class Driver;

// One series at a time: its files, its timer and how it ended.
struct LapseSeries {
  // The series' timer procedure: in the library, one that runs the AcqTimerCallBack
  // export, which finds the driver and calls timeLapseTick.
  explicit LapseSeries(platform::TimerProc procedure) : timerProc(procedure) {}

  platform::TimerProc timerProc;
  const char* prefix = nullptr;           // `lapsePrefix`: the host's text, not copied
  std::int32_t remaining = 0;             // images still to save, the next one included
  std::int32_t index = 0;                 // number of the next file
  std::uint32_t interval = 0;             // seconds
  std::int32_t minutesLeft = 0;           // whole minutes of the interval still to wait
  std::int32_t secondsRest = 0;           // interval % 60
  std::uint16_t tick = 0;                 // timer period, seconds: 60, or the interval
  platform::Rect region{};                // the part of the image saved
  AcqLapseCallback callback = nullptr;
  std::int32_t user = 0;
  std::uintptr_t timerId = 0;
  std::int32_t busy = 0;                  // a tick is being handled
  std::int32_t running = 0;               // the series is active
  std::int32_t status = 0;                // 0 completed, 3 a save failed, 7 stopped
};

std::int32_t timeLapse(Driver& driver, const char* prefix, std::int32_t count, std::int32_t firstIndex,
                       std::uint32_t interval, AcqRect* region, AcqLapseCallback callback, std::int32_t user);
// One tick of the series' timer (the timer procedure's work).
void timeLapseTick(Driver& driver);
std::int32_t timeLapseKill(Driver& driver);

} // namespace vx
