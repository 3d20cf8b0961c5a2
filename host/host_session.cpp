#include "host_session.h"

#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <chrono>
#include <string>
#include <thread>

namespace host {

HostSession::~HostSession() { close(); }

bool HostSession::open() {
  mainWindow_ = platform::headless::createHostWindow("Pixora", {0, 0, 1024, 768});
  previewWindow_ = platform::headless::createHostWindow("Live preview", {40, 80, 680, 600});
  platform::headless::setActiveWindow(mainWindow_);
  const std::int32_t result = driver_.open();
  if (result != 0) {
    // A failed open leaves a session that only AcqClose frees.
    driver_.close();
    return outcome_.refused("AcqOpen returned " + std::to_string(result) + ": no camera could be opened");
  }
  open_ = true;
  // A cancelled camera choice still opens the driver, without a camera.
  if (simulatedCamera() == 0) return outcome_.refused("AcqOpen returned 0, but no camera is open (choice cancelled?)");
  if (control(ACQCMD_HOST_WINDOW, 0, mainWindow_) != 0)
    return outcome_.refused("the driver did not take the host window (command 33)");
  return true;
}

int HostSession::simulatedCamera() {
  const int attached = static_cast<int>(vzsim::cameras().size());
  for (int index = 1; index <= attached; ++index)
    if (vzsim::isOpen(index)) return index;
  return 0;
}

void HostSession::close() {
  if (!open_) return;
  open_ = false;
  driver_.close();
}

std::int32_t HostSession::control(std::int32_t code, std::int32_t parameter, void* data) {
  return driver_.control(code, parameter, data);
}

std::int32_t HostSession::query(std::int32_t code, std::int32_t parameter, void* data) {
  return driver_.control(code | ACQ_QUERY, parameter, data);
}

bool HostSession::openDisplay() {
  AcqDisplayRecord record{};
  record.window = previewWindow_;
  const std::int32_t result = control(ACQCMD_DISPLAY_OPEN, 0, &record);
  if (result == 1 && record.done == 1) return true;
  return outcome_.refused("the display did not open (command 39 returned " + std::to_string(result) + ")");
}

void HostSession::pump(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  platform::Message message;
  while (std::chrono::steady_clock::now() < end) {
    while (platform::peekMessage(&message, true)) platform::dispatchMessage(message);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<vzsim::DisplayedFrame> HostSession::displayedFrameAfter(double seconds) {
  const int camera = simulatedCamera();
  if (camera == 0) return std::nullopt;
  const std::uint64_t mark = vzsim::framesDelivered(camera);
  pump(seconds);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (vzsim::framesDelivered(camera) < mark + 2) {
    if (std::chrono::steady_clock::now() > giveUp) return std::nullopt;
    pump(0.02);
  }
  return vzsim::lastDisplayedFrame(camera);
}

std::vector<ModeEntry> HostSession::modes(bool acquisition) {
  const std::int32_t code = acquisition ? ACQCMD_ACQUIRE_RESOLUTION : ACQCMD_PREVIEW_RESOLUTION;
  std::int32_t count = 0;
  control(code, ACQRES_COUNT, &count);
  if (count <= 0 || count > 64) return {};
  std::vector<AcqModeRecord> records(static_cast<std::size_t>(count));
  std::vector<std::vector<char>> names(static_cast<std::size_t>(count), std::vector<char>(ACQ_MODE_NAME_SIZE * 2, '\0'));
  for (std::size_t i = 0; i < records.size(); ++i) records[i].name = names[i].data();
  control(code, ACQRES_LIST, records.data());
  std::vector<ModeEntry> result;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const AcqModeRecord& r = records[i];
    result.push_back({r.index, r.width, r.height, r.factorX, r.factorY, r.partial, names[i].data()});
  }
  return result;
}

std::int32_t HostSession::modeCount(bool acquisition) {
  const std::int32_t code = acquisition ? ACQCMD_ACQUIRE_RESOLUTION : ACQCMD_PREVIEW_RESOLUTION;
  std::int32_t count = 0;
  if (control(code, ACQRES_COUNT, &count) != 0) return -1;
  return count;
}

bool HostSession::selectMode(bool acquisition, std::int32_t index) {
  const char* list = acquisition ? "acquisition" : "preview";
  const std::int32_t count = modeCount(acquisition);
  if (count < 0) return outcome_.refused(std::string("the driver did not count its ") + list + " modes");
  if (index < 0 || index >= count)
    return outcome_.badInput(std::string(acquisition ? "--mode " : "--preview-mode ") + std::to_string(index) +
                             ": this camera has " + std::to_string(count) + " " + list + " modes (0 to " +
                             std::to_string(count - 1) + ")");
  std::int32_t data[1] = {index};
  const std::int32_t code = acquisition ? ACQCMD_ACQUIRE_RESOLUTION : ACQCMD_PREVIEW_RESOLUTION;
  const std::int32_t result = control(code, ACQRES_SELECT, data);
  if (result == 0) return true;
  return outcome_.refused(std::string("the driver refused ") + list + " mode " + std::to_string(index) + " (" +
                          std::to_string(result) + ")");
}

bool HostSession::captureWholeMode() {
  AcqRect limits{};
  if (control(ACQCMD_CAPTRECT_LIMITS, 1, &limits) != 0)
    return outcome_.refused("the driver did not report the capture limits (command 55)");
  if (control(ACQCMD_CAPTRECT, 1, &limits) != 0)
    return outcome_.refused("the driver refused the capture rectangle (command 48)");
  return true;
}

bool HostSession::snap() {
  const std::int32_t started = control(ACQCMD_SNAP, 1, nullptr);
  if (started != 2 && started != 3)
    return outcome_.refused("the driver refused the snapshot (command 50 returned " + std::to_string(started) + ")");
  // The snapshot is taken within command 50; the poll reports and ends it.
  for (int polls = 0; polls < 100; ++polls) {
    const std::int32_t status = control(ACQCMD_SNAP_STATUS, 0, nullptr);
    if (status == 4 || (started == 3 && status == 3)) return true;
    if (status == 3) break;
  }
  return outcome_.refused("the snapshot never became ready (command 51)");
}

double HostSession::exposure(bool acquisition) {
  double value = 0;
  query(ACQCMD_EXPOSURE, acquisition ? 1 : 0, &value);
  return value;
}

double HostSession::gain(bool acquisition) {
  double value = 0;
  query(ACQCMD_GAIN, acquisition ? 1 : 0, &value);
  return value;
}

double HostSession::gamma(bool acquisition) {
  double value = 0;
  query(ACQCMD_GAMMA, acquisition ? 1 : 0, &value);
  return value;
}

std::int32_t HostSession::brightness(bool acquisition) {
  std::int32_t value = 0;
  query(ACQCMD_BRIGHTNESS, acquisition ? 1 : 0, &value);
  return value;
}

} // namespace host
