#include "driver/time_lapse.h"

#include "camera/snapshot.h"
#include "base/debug_log.h"
#include "driver/image_geometry.h"
#include "driver/snap_trigger.h"
#include "driver/snapshot_rows.h"
#include "hostlib/host_handles.h"

#include <algorithm>
#include <string>

namespace vx {
namespace {

constexpr std::uintptr_t kLapseTimerId = 4112;

// The state whose series the timer serves. A series runs modally, so there
// is at most one.
DriverState* seriesState = nullptr;

void lapseTimerProc(platform::Window, unsigned, std::uintptr_t, std::uint32_t) {
  if (seriesState != nullptr) timeLapseTick(*seriesState);
}

bool startLapseTimer(DriverState& state, std::uint32_t milliseconds) {
  state.lapseTimerId = platform::setTimer(nullptr, kLapseTimerId, milliseconds, lapseTimerProc);
  return state.lapseTimerId != 0;
}

void stopLapseTimer(DriverState& state) {
  if (state.lapseTimerId != 0) platform::killTimer(nullptr, state.lapseTimerId);
}

void notify(const DriverState& state, std::int32_t fileNumber, std::int32_t phase) {
  if (state.lapseCallback != nullptr) state.lapseCallback(fileNumber, phase, state.lapseUser);
}

// Saves one image of the series: a fresh snapshot, then the region's rows,
// its top row first, as prefix + number + ".TIF". Returns 0, or 3 when the
// snapshot or the file failed.
std::int32_t saveImage(DriverState& state, std::int32_t fileNumber) {
  if (takeDriverSnapshot(state) == 0) return 3;
  const Rect& region = state.lapseRegion;
  const std::int32_t width = region.right - region.left + 1;
  const std::int32_t height = region.bottom - region.top + 1;
  if (width < 1 || height < 1) return 3;
  const RowLayout layout = lineCopierLayout(state);
  const int samples = layout.samplesPerPixel();

  const std::string path = formatText("%s%d", state.lapsePrefix, static_cast<int>(fileNumber)) + ".TIF";
  HostFileWriter file({HOST_TIF_FORMAT_MODULE, width, height, samples, 8, 1});
  if (!file.create(path.c_str())) return 3;
  HeapBuffer<std::uint8_t> line;
  if (!line.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(samples))) {
    file.close();
    return 3;
  }
  bool written = true;
  for (std::int32_t y = region.top; y <= region.bottom && written; ++y) {
    const CopiedSpan span = copyImageRow(state, y, region.left, region.left + width, line.data(), layout);
    clearUncopied(line.data(), width, span, layout);
    written = file.writeLine(line.data());
  }
  line.release();
  const bool closed = file.close();
  return written && closed ? 0 : 3;
}

// Ends the series: no timer is left running and the timer procedure finds
// no series.
std::int32_t endSeries(DriverState& state, std::int32_t result) {
  stopLapseTimer(state);
  state.lapseRunning = 0;
  seriesState = nullptr;
  return result;
}

} // namespace

std::int32_t timeLapse(DriverState& state, const char* prefix, std::int32_t count, std::int32_t firstIndex,
                       std::uint32_t interval, AcqRect* region, AcqLapseCallback callback, std::int32_t user) {
  if (interval < 2) return 6;
  // One series at a time: its timer is taken.
  if (state.lapseRunning != 0) return 4;
  if (count < 1) return 0;

  state.lapsePrefix = prefix != nullptr ? prefix : "";
  state.lapseRemaining = count;
  state.lapseIndex = firstIndex;
  state.lapseInterval = interval;
  state.lapseCallback = callback;
  state.lapseUser = user;
  state.lapseBusy = 0;

  // The region, cut to the image; one that misses the image has nothing to
  // save.
  const std::int32_t imageRight = imageWidth(state) - 1;
  const std::int32_t imageBottom = imageHeight(state) - 1;
  Rect area{0, 0, imageRight, imageBottom};
  if (region != nullptr) area = Rect{region->left, region->top, region->right, region->bottom};
  area.left = std::max(area.left, 0);
  area.top = std::max(area.top, 0);
  area.right = std::min(area.right, imageRight);
  area.bottom = std::min(area.bottom, imageBottom);
  if (area.right < area.left || area.bottom < area.top) return 3;
  state.lapseRegion = area;

  state.lapseMinutesLeft = static_cast<std::int32_t>(interval / 60);
  state.lapseSecondsRest = static_cast<std::int32_t>(interval % 60);
  state.lapseTick = static_cast<std::uint16_t>(interval / 60 != 0 ? 60 : interval);
  if (!startLapseTimer(state, std::uint32_t{state.lapseTick} * 1000u)) return 4;
  seriesState = &state;
  state.lapseRunning = 1;
  state.lapseStatus = 0;

  // The first image, at once. A tick that arrives meanwhile (the trigger
  // prompt runs a message loop of its own) finds the series busy.
  state.lapseBusy = 1;
  snapTriggerPrompt(state);
  notify(state, state.lapseIndex, 0);
  if (saveImage(state, state.lapseIndex) != 0) {
    state.lapseBusy = 0;
    return endSeries(state, 3);
  }
  notify(state, state.lapseIndex, 1);
  state.lapseBusy = 0;
  --state.lapseRemaining;
  ++state.lapseIndex;
  if (count == 1) return endSeries(state, 0);
  // Stopped from the callback while the first image was saved.
  if (state.lapseRunning == 0) return endSeries(state, state.lapseStatus);

  while (state.lapseRunning != 0) {
    platform::Message message;
    while (state.lapseRunning != 0 && platform::peekMessage(&message, true)) platform::dispatchMessage(message);
    if (state.lapseRunning == 0) break;
    // Nothing can ever arrive: the series can't go on, and waiting would
    // never end.
    if (!platform::waitMessage()) {
      state.lapseStatus = 7;
      break;
    }
  }
  return endSeries(state, state.lapseStatus);
}

void timeLapseTick(DriverState& state) {
  if (state.lapseBusy != 0) return;
  // No series (it ended, or was stopped): a tick left over from it starts
  // nothing again.
  if (state.lapseRunning == 0) {
    stopLapseTimer(state);
    return;
  }
  const std::int32_t minutesBefore = state.lapseMinutesLeft--;
  if (minutesBefore >= 2) return;  // a whole minute remains

  state.lapseBusy = 1;
  stopLapseTimer(state);
  if (state.lapseMinutesLeft == 0) {
    // The minutes have run: the remaining seconds follow.
    if (!startLapseTimer(state, static_cast<std::uint32_t>(state.lapseSecondsRest) * 1000u)) {
      state.lapseRunning = 0;
      state.lapseStatus = 4;
    }
    state.lapseBusy = 0;
    return;
  }

  snapTriggerPrompt(state);
  const std::int32_t fileNumber = state.lapseIndex;
  notify(state, fileNumber, 0);
  const std::int32_t remembered = state.lapseRemaining;
  ++state.lapseIndex;
  --state.lapseRemaining;
  state.lapseMinutesLeft = static_cast<std::int32_t>(state.lapseInterval / 60);
  if (remembered <= 1) {
    state.lapseRunning = 0;  // this is the last image
  } else if (!startLapseTimer(state, std::uint32_t{state.lapseTick} * 1000u)) {
    state.lapseRunning = 0;  // no timer: no further image can come
    state.lapseStatus = 4;
  }
  if (saveImage(state, fileNumber) != 0) {
    state.lapseRunning = 0;
    state.lapseStatus = 3;
    return;  // busy stays set: no later tick of this series saves again
  }
  notify(state, fileNumber, 1);
  state.lapseBusy = 0;
}

std::int32_t timeLapseKill(DriverState& state) {
  state.lapseRunning = 0;
  state.lapseStatus = 7;
  if (state.lapseTimerId == kLapseTimerId) return platform::killTimer(nullptr, kLapseTimerId) ? 1 : 0;
  return 1;
}

} // namespace vx
