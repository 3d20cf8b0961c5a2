// The 24 exported entry points. Each checks the open/closed state first and
// routes its work to the module that owns it; this file holds no logic of
// its own beyond the refusal codes and the log-only entry points.
#include "driver/acq_api.h"

#include "base/debug_log.h"
#include "driver/command_dispatcher.h"
#include "driver/config_dialog.h"
#include "driver/driver.h"
#include "driver/driver_lifecycle.h"
#include "driver/image_transfer.h"
#include "driver/soft_pass_through.h"
#include "driver/time_lapse.h"
#include "module_instance.h"
#include "snap_trigger.h"

#include <cstring>

using vx::Driver;
using vx::logLine;

namespace {

// The time-lapse timer's procedure in the platform's calling convention
// (the export's is stdcall on 32-bit Windows): runs the AcqTimerCallBack
// export, which finds the driver below again. Runs on the user-interface
// thread, from its message loop.
void lapseTimerProc(platform::Window window, unsigned message, std::uintptr_t id, std::uint32_t time) {
  AcqTimerCallBack(window, message, id, time);
}

// The driver of this process, for the exports alone: it lives from the
// library's load to its unload.
Driver& driver() {
  static Driver instance(&lapseTimerProc);
  return instance;
}

// The one gate for the open/closed state: runs `work` while the driver is
// open, otherwise returns the export's refusal code.
template <class Result, class Work>
Result whenOpen(Result refusal, Work&& work) {
  Driver& d = driver();
  if (d.driverOpen == 0) return refusal;
  return work(d);
}

} // namespace

void vx::recordModuleInstance(platform::ModuleHandle module) { driver().moduleInstance = module; }

extern "C" {

ACQ_EXPORT int32_t ACQ_CALL AcqOpen(void) { return vx::openDriver(driver()); }

ACQ_EXPORT int32_t ACQ_CALL AcqClose(void) { return vx::closeDriver(driver()); }

ACQ_EXPORT void ACQ_CALL AcqStart(void) { logLine("ACQStart..."); }

ACQ_EXPORT void ACQ_CALL AcqFreeze(void) { logLine("AcqFreeze..."); }

ACQ_EXPORT int32_t ACQ_CALL AcqSetPalette(void*) {
  return whenOpen<int32_t>(1, [](Driver&) {
    logLine("AcqSetPalette...");
    return 0;
  });
}

ACQ_EXPORT void ACQ_CALL AcqPutLine(int32_t, int32_t, int32_t, int32_t) { logLine("AcqPutLine..."); }

ACQ_EXPORT void ACQ_CALL AcqClearScreen(void) {}

ACQ_EXPORT int32_t ACQ_CALL AcqErrorMsg(char* buffer) {
  logLine("AcqErrorMsg...");
  const Driver& d = driver();
  // The error text is never written, so the copy is a single terminator.
  if (buffer != nullptr) std::memcpy(buffer, d.lastErrorText.c_str(), d.lastErrorText.length() + 1);
  return static_cast<int32_t>(d.lastErrorText.length());
}

ACQ_EXPORT int32_t ACQ_CALL AcqSnap(void) {
  return whenOpen<int32_t>(0, [](Driver& d) { return vx::snapTriggerPrompt(d); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqGetLine(int32_t x0, int32_t row, int32_t x1, uint8_t* out) {
  return whenOpen<int32_t>(0, [&](Driver& d) {
    return vx::copySnapshotLine(d, x0, row, x1, out);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqGetImage(int32_t image) {
  return whenOpen<int32_t>(-1, [&](Driver& d) { return vx::transferImage(d, image); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqAdd(int32_t frameCount, int32_t divisor, AcqProgressRecord* progress) {
  return whenOpen<int32_t>(-1, [&](Driver& d) {
    return vx::addFrames(d, frameCount, divisor, progress);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqControl(int32_t message, int32_t parameter, void* data) {
  // Takes the closed state itself: one command works while closed.
  return vx::dispatchControl(driver(), message, parameter, data);
}

ACQ_EXPORT intptr_t ACQ_CALL AcqConfigDlgProc(struct HWND__* dialog, uint32_t message,
                                              uintptr_t wParam, intptr_t lParam) {
  return vx::configDialogProc(driver(), dialog, message, wParam, lParam);
}

ACQ_EXPORT int32_t ACQ_CALL AcqHardPassThruOpen(int32_t, int32_t) {
  // Hardware pass-through is not supported; 5 tells the host so.
  return whenOpen<int32_t>(1, [](Driver&) { return 5; });
}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruClose(void) {}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruSetWindow(int32_t, int32_t) {}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruPaint(int32_t, int32_t, int32_t, int32_t, int32_t) {}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruOpen(int32_t x, int32_t y, int32_t* width, int32_t* height) {
  return whenOpen<int32_t>(1, [&](Driver& d) {
    return vx::passThroughOpen(d, x, y, width, height);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThru(struct HDC__* dc) {
  return whenOpen<int32_t>(0, [&](Driver& d) { return vx::passThroughPaint(d, dc); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruClose(void) {
  return whenOpen<int32_t>(0, [](Driver& d) { return vx::passThroughClose(d); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapse(const char* prefix, int32_t count, int32_t firstIndex,
                                         uint32_t interval, AcqRect* region,
                                         AcqLapseCallback callback, int32_t user) {
  return whenOpen<int32_t>(1, [&](Driver& d) {
    return vx::timeLapse(d, prefix, count, firstIndex, interval, region, callback, user);
  });
}

ACQ_EXPORT void ACQ_CALL AcqTimerCallBack(struct HWND__*, uint32_t, uintptr_t, uint32_t) {
  vx::timeLapseTick(driver());
}

ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapseKill(void) {
  return whenOpen<int32_t>(0, [](Driver& d) { return vx::timeLapseKill(d); });
}

} // extern "C"
