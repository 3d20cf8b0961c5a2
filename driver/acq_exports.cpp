// The 24 exported entry points. Each checks the open/closed state first and
// routes its work to the module that owns it; this file holds no logic of
// its own beyond the refusal codes and the log-only entry points.
#include "driver/acq_api.h"

#include "driver/command_dispatcher.h"
#include "driver/config_dialog.h"
#include "base/debug_log.h"
#include "driver/driver_lifecycle.h"
#include "driver/image_transfer.h"
#include "driver/snap_trigger.h"
#include "driver/soft_pass_through.h"
#include "driver/time_lapse.h"

#include <cstring>

using vx::DriverState;
using vx::driverState;
using vx::logLine;

namespace {

// The one gate for the open/closed state: runs `work` while the driver is
// open, otherwise returns the export's refusal code.
template <class Result, class Work>
Result whenOpen(Result refusal, Work&& work) {
  DriverState& state = driverState();
  if (state.driverOpen == 0) return refusal;
  return work(state);
}

// Records the library's own module handle when it is loaded into a process.
__attribute__((constructor)) void recordModuleInstance() {
  driverState().moduleInstance = platform::moduleContaining(reinterpret_cast<const void*>(&AcqOpen));
}

} // namespace

extern "C" {

ACQ_EXPORT int32_t ACQ_CALL AcqOpen(void) { return vx::openDriver(driverState()); }

ACQ_EXPORT int32_t ACQ_CALL AcqClose(void) { return vx::closeDriver(driverState()); }

ACQ_EXPORT void ACQ_CALL AcqStart(void) { logLine("ACQStart..."); }

ACQ_EXPORT void ACQ_CALL AcqFreeze(void) { logLine("AcqFreeze..."); }

ACQ_EXPORT int32_t ACQ_CALL AcqSetPalette(void*) {
  return whenOpen<int32_t>(1, [](DriverState&) {
    logLine("AcqSetPalette...");
    return 0;
  });
}

ACQ_EXPORT void ACQ_CALL AcqPutLine(int32_t, int32_t, int32_t, int32_t) { logLine("AcqPutLine..."); }

ACQ_EXPORT void ACQ_CALL AcqClearScreen(void) {}

ACQ_EXPORT int32_t ACQ_CALL AcqErrorMsg(char* buffer) {
  logLine("AcqErrorMsg...");
  DriverState& state = driverState();
  // The error text is never written, so the copy is a single terminator.
  if (buffer != nullptr) std::memcpy(buffer, state.lastErrorText.c_str(), state.lastErrorText.length() + 1);
  return static_cast<int32_t>(state.lastErrorText.length());
}

ACQ_EXPORT int32_t ACQ_CALL AcqSnap(void) {
  return whenOpen<int32_t>(0, [](DriverState& state) { return vx::snapTriggerPrompt(state); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqGetLine(int32_t x0, int32_t row, int32_t x1, uint8_t* out) {
  return whenOpen<int32_t>(0, [&](DriverState& state) {
    return vx::copySnapshotLine(state, x0, row, x1, out);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqGetImage(int32_t image) {
  return whenOpen<int32_t>(-1, [&](DriverState& state) { return vx::transferImage(state, image); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqAdd(int32_t frameCount, int32_t divisor, AcqProgressRecord* progress) {
  return whenOpen<int32_t>(-1, [&](DriverState& state) {
    return vx::addFrames(state, frameCount, divisor, progress);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqControl(int32_t message, int32_t parameter, void* data) {
  // Takes the closed state itself: one command works while closed.
  return vx::dispatchControl(driverState(), message, parameter, data);
}

ACQ_EXPORT intptr_t ACQ_CALL AcqConfigDlgProc(struct HWND__* dialog, uint32_t message,
                                              uintptr_t wParam, intptr_t lParam) {
  return vx::configDialogProc(driverState(), dialog, message, wParam, lParam);
}

ACQ_EXPORT int32_t ACQ_CALL AcqHardPassThruOpen(int32_t, int32_t) {
  // Hardware pass-through is not supported; 5 tells the host so.
  return whenOpen<int32_t>(1, [](DriverState&) { return 5; });
}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruClose(void) {}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruSetWindow(int32_t, int32_t) {}

ACQ_EXPORT void ACQ_CALL AcqHardPassThruPaint(int32_t, int32_t, int32_t, int32_t, int32_t) {}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruOpen(int32_t x, int32_t y, int32_t* width, int32_t* height) {
  return whenOpen<int32_t>(1, [&](DriverState& state) {
    return vx::passThroughOpen(state, x, y, width, height);
  });
}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThru(struct HDC__* dc) {
  return whenOpen<int32_t>(0, [&](DriverState& state) { return vx::passThroughPaint(state, dc); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruClose(void) {
  return whenOpen<int32_t>(0, [](DriverState& state) { return vx::passThroughClose(state); });
}

ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapse(const char* prefix, int32_t count, int32_t firstIndex,
                                         uint32_t interval, AcqRect* region,
                                         AcqLapseCallback callback, int32_t user) {
  return whenOpen<int32_t>(1, [&](DriverState& state) {
    return vx::timeLapse(state, prefix, count, firstIndex, interval, region, callback, user);
  });
}

ACQ_EXPORT void ACQ_CALL AcqTimerCallBack(struct HWND__*, uint32_t, uintptr_t, uint32_t) {
  vx::timeLapseTick(driverState());
}

ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapseKill(void) {
  return whenOpen<int32_t>(0, [](DriverState& state) { return vx::timeLapseKill(state); });
}

} // extern "C"
