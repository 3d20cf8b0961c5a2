#include "driver/time_lapse.h"

#include "camera/snapshot.h"
#include "driver/driver_snapshot.h"
#include "base/debug_log.h"
#include "image_geometry.h"
#include "snap_trigger.h"
#include "driver/snapshot_rows.h"
#include "hostlib/host_handles.h"

#include <algorithm>
#include <string>

namespace vx {
namespace {

constexpr std::uintptr_t kLapseTimerId = 4112;

// The timer has no window, so its procedure finds the series through the
// driver it was given with (the export layer's accessor in the library).
bool startLapseTimer(Driver& driver, std::uint32_t milliseconds) {
  if (driver.lapse.timerProc == nullptr) return false;
  driver.lapse.timerId = platform::setTimer(nullptr, kLapseTimerId, milliseconds, driver.lapse.timerProc);
  return driver.lapse.timerId != 0;
}

void stopLapseTimer(Driver& driver) {
  if (driver.lapse.timerId != 0) platform::killTimer(nullptr, driver.lapse.timerId);
}

void notify(const Driver& driver, std::int32_t fileNumber, std::int32_t phase) {
  if (driver.lapse.callback != nullptr) driver.lapse.callback(fileNumber, phase, driver.lapse.user);
}

// Saves one image of the series: a fresh snapshot, then the region's rows,
// its top row first, as prefix + number + ".TIF". Returns 0, or 3 when the
// snapshot or the file failed.
std::int32_t saveImage(Driver& driver, std::int32_t fileNumber) {
  if (takeDriverSnapshot(driver) == 0) return 3;
  const Rect& region = driver.lapse.region;
  const std::int32_t width = region.right - region.left + 1;
  const std::int32_t height = region.bottom - region.top + 1;
  if (width < 1 || height < 1) return 3;
  const RowLayout layout = lineCopierLayout(driver);
  const int samples = layout.samplesPerPixel();

  const std::string path = formatText("%s%d", driver.lapse.prefix, static_cast<int>(fileNumber)) + ".TIF";
  HostFileWriter file({HOST_TIF_FORMAT_MODULE, width, height, samples, 8, 1});
  if (!file.create(path.c_str())) return 3;
  HeapBuffer<std::uint8_t> line;
  if (!line.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(samples))) {
    file.close();
    return 3;
  }
  bool written = true;
  for (std::int32_t y = region.top; y <= region.bottom && written; ++y) {
    const CopiedSpan span = copyImageRow(driver, y, region.left, region.left + width, line.data(), layout);
    clearUncopied(line.data(), width, span, layout);
    written = file.writeLine(line.data());
  }
  line.release();
  const bool closed = file.close();
  return written && closed ? 0 : 3;
}

// Ends the series: no timer is left running and the timer procedure finds
// no series.
std::int32_t endSeries(Driver& driver, std::int32_t result) {
  stopLapseTimer(driver);
  driver.lapse.running = 0;
  return result;
}

} // namespace

std::int32_t timeLapse(Driver& driver, const char* prefix, std::int32_t count, std::int32_t firstIndex,
                       std::uint32_t interval, AcqRect* region, AcqLapseCallback callback, std::int32_t user) {
  if (interval < 2) return 6;
  // One series at a time: its timer is taken.
  if (driver.lapse.running != 0) return 4;
  if (count < 1) return 0;

  driver.lapse.prefix = prefix != nullptr ? prefix : "";
  driver.lapse.remaining = count;
  driver.lapse.index = firstIndex;
  driver.lapse.interval = interval;
  driver.lapse.callback = callback;
  driver.lapse.user = user;
  driver.lapse.busy = 0;

  // The region, cut to the image; one that misses the image has nothing to
  // save.
  const std::int32_t imageRight = imageWidth(driver) - 1;
  const std::int32_t imageBottom = imageHeight(driver) - 1;
  Rect area{0, 0, imageRight, imageBottom};
  if (region != nullptr) area = Rect{region->left, region->top, region->right, region->bottom};
  area.left = std::max(area.left, 0);
  area.top = std::max(area.top, 0);
  area.right = std::min(area.right, imageRight);
  area.bottom = std::min(area.bottom, imageBottom);
  if (area.right < area.left || area.bottom < area.top) return 3;
  driver.lapse.region = area;

  driver.lapse.minutesLeft = static_cast<std::int32_t>(interval / 60);
  driver.lapse.secondsRest = static_cast<std::int32_t>(interval % 60);
  driver.lapse.tick = static_cast<std::uint16_t>(interval / 60 != 0 ? 60 : interval);
  if (!startLapseTimer(driver, std::uint32_t{driver.lapse.tick} * 1000u)) return 4;
  driver.lapse.running = 1;
  driver.lapse.status = 0;

  // The first image, at once. A tick that arrives meanwhile (the trigger
  // prompt runs a message loop of its own) finds the series busy.
  driver.lapse.busy = 1;
  snapTriggerPrompt(driver);
  notify(driver, driver.lapse.index, 0);
  if (saveImage(driver, driver.lapse.index) != 0) {
    driver.lapse.busy = 0;
    return endSeries(driver, 3);
  }
  notify(driver, driver.lapse.index, 1);
  driver.lapse.busy = 0;
  --driver.lapse.remaining;
  ++driver.lapse.index;
  if (count == 1) return endSeries(driver, 0);
  // Stopped from the callback while the first image was saved.
  if (driver.lapse.running == 0) return endSeries(driver, driver.lapse.status);

  while (driver.lapse.running != 0) {
    platform::Message message;
    while (driver.lapse.running != 0 && platform::peekMessage(&message, true)) platform::dispatchMessage(message);
    if (driver.lapse.running == 0) break;
    // Nothing can ever arrive: the series can't go on, and waiting would
    // never end.
    if (!platform::waitMessage()) {
      driver.lapse.status = 7;
      break;
    }
  }
  return endSeries(driver, driver.lapse.status);
}

void timeLapseTick(Driver& driver) {
  if (driver.lapse.busy != 0) return;
  // No series (it ended, or was stopped): a tick left over from it starts
  // nothing again.
  if (driver.lapse.running == 0) {
    stopLapseTimer(driver);
    return;
  }
  const std::int32_t minutesBefore = driver.lapse.minutesLeft--;
  if (minutesBefore >= 2) return;  // a whole minute remains

  driver.lapse.busy = 1;
  stopLapseTimer(driver);
  if (driver.lapse.minutesLeft == 0) {
    // The minutes have run: the remaining seconds follow.
    if (!startLapseTimer(driver, static_cast<std::uint32_t>(driver.lapse.secondsRest) * 1000u)) {
      driver.lapse.running = 0;
      driver.lapse.status = 4;
    }
    driver.lapse.busy = 0;
    return;
  }

  snapTriggerPrompt(driver);
  const std::int32_t fileNumber = driver.lapse.index;
  notify(driver, fileNumber, 0);
  const std::int32_t remembered = driver.lapse.remaining;
  ++driver.lapse.index;
  --driver.lapse.remaining;
  driver.lapse.minutesLeft = static_cast<std::int32_t>(driver.lapse.interval / 60);
  if (remembered <= 1) {
    driver.lapse.running = 0;  // this is the last image
  } else if (!startLapseTimer(driver, std::uint32_t{driver.lapse.tick} * 1000u)) {
    driver.lapse.running = 0;  // no timer: no further image can come
    driver.lapse.status = 4;
  }
  if (saveImage(driver, fileNumber) != 0) {
    driver.lapse.running = 0;
    driver.lapse.status = 3;
    return;  // busy stays set: no later tick of this series saves again
  }
  notify(driver, fileNumber, 1);
  driver.lapse.busy = 0;
}

std::int32_t timeLapseKill(Driver& driver) {
  driver.lapse.running = 0;
  driver.lapse.status = 7;
  if (driver.lapse.timerId == kLapseTimerId) return platform::killTimer(nullptr, kLapseTimerId) ? 1 : 0;
  return 1;
}

} // namespace vx
