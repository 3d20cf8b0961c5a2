#include "scripted_session.h"

#include "driver/acq_control.h"
#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace sweep {
namespace {

namespace hl = platform::headless;

constexpr int kCamera = 1;
constexpr std::int32_t kPreviewMode = 5;      // 320 x 240 on the default camera
constexpr std::int32_t kAcquisitionMode = 1;  // a whole-sensor mode, cut down below
constexpr AcqRect kAcquisitionRect{0, 0, 319, 239};

constexpr int kOptionsTemplate = 9;
constexpr int kOptionsClose = 8;
constexpr int kImageCorrectionSection = 1050;
constexpr int kImageCorrectionTemplate = 111;
constexpr int kPanelClose = 1045;
constexpr int kGrabDark = 1106;
constexpr int kGrabBackground = 1107;
constexpr int kUseDark = 1066;
constexpr int kUseBackground = 1065;

bool checked(platform::Window panel, int id) { return hl::controlInfo(panel, id).checked != 0; }

// Frames through the callbacks while the corrections are on; a stream that
// a failure left stopped delivers none, and is not waited for.
void letFramesThrough() {
  if (vzsim::streamMode(kCamera) != 0) vzsim::waitForFrames(kCamera, 2, 2000);
}

void ACQ_CALL lapseCallback(std::int32_t, std::int32_t, std::int32_t) {}

// An image id stands for itself only within one run: any id is an image.
std::int64_t imageResult(std::int32_t image) { return image >= 0 ? kAnImage : image; }

} // namespace

std::map<std::string, int> callCounts() {
  std::map<std::string, int> counts;
  for (const auto& entry : vzsim::journal())
    if (entry.function != "frame") ++counts[entry.function];
  return counts;
}

std::size_t sdkCallCount() {
  const auto all = vzsim::journal();
  return static_cast<std::size_t>(
      std::count_if(all.begin(), all.end(), [](const auto& e) { return e.function != "frame"; }));
}

std::string SessionRecord::stepOfCall(std::size_t call) const {
  std::string step;
  for (const auto& [name, first] : stepStarts)
    if (first <= call) step = name;
  return step;
}

void ScriptedSession::begin(const std::string& step) {
  step_ = step;
  record_.stepStarts.emplace_back(step, sdkCallCount());
}

std::int64_t ScriptedSession::note(const std::string& what, std::int64_t value) {
  record_.results.push_back({step_, what, value});
  return value;
}

std::int32_t ScriptedSession::control(const char* what, std::int32_t code, std::int32_t parameter, void* data) {
  return static_cast<std::int32_t>(note(what, acq_.control(code, parameter, data)));
}

void ScriptedSession::run() {
  hl::setMessageBoxObserver([this](const hl::MessageBoxRecord& box) {
    record_.boxes.push_back({step_, box.text, box.caption, sdkCallCount()});
  });
  open();
  preview();
  record_.acquisitionImage = acquisitionSnapshot();
  previewFormatSnapshot();
  corrections();
  oneShots();
  settingsFile();
  timeLapse();
  close();
  hl::setMessageBoxObserver({});
}

void ScriptedSession::open() {
  begin("open");
  note("AcqOpen", acq_.open());
  hostWindow_ = hl::createHostWindow("Pixora", {0, 0, 1024, 768});
  control("host window", ACQCMD_HOST_WINDOW, 0, hostWindow_);
  double exposure = 0;
  control("exposure query", ACQCMD_EXPOSURE | ACQ_QUERY, 0, &exposure);
  note("preview exposure in us", std::llround(exposure * 1000.0));
}

void ScriptedSession::preview() {
  begin("preview");
  std::int32_t mode = kPreviewMode;
  control("preview mode", ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &mode);
  displayWindow_ = hl::createHostWindow("Live", {0, 0, 400, 320});
  AcqDisplayRecord display{};
  display.window = displayWindow_;
  control("display open", ACQCMD_DISPLAY_OPEN, 0, &display);
}

std::vector<std::uint8_t> ScriptedSession::acquisitionSnapshot() {
  begin("acquisition snapshot");
  std::int32_t mode = kAcquisitionMode;
  control("acquisition mode", ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &mode);
  AcqRect rect = kAcquisitionRect;
  control("acquisition rectangle", ACQCMD_CAPTRECT, 1, &rect);
  control("snap", ACQCMD_SNAP, 1, nullptr);
  control("snap status", ACQCMD_SNAP_STATUS, 0, nullptr);
  const std::int32_t image = acq_.getImage(-1);
  note("AcqGetImage", imageResult(image));
  return image >= 0 ? hostimg::imageBytes(image) : std::vector<std::uint8_t>{};
}

void ScriptedSession::previewFormatSnapshot() {
  begin("preview-format snapshot");
  control("snapshot mode", ACQCMD_STREAM_CONTROL, ACQSTREAM_SNAPSHOT_MODE, nullptr);
  control("snap", ACQCMD_SNAP, 1, nullptr);
  control("snap status", ACQCMD_SNAP_STATUS, 0, nullptr);
  note("AcqGetImage", imageResult(acq_.getImage(-1)));
  control("streaming mode", ACQCMD_STREAM_CONTROL, ACQSTREAM_STREAMING_MODE, nullptr);
}

void ScriptedSession::corrections() {
  begin("corrections");
  control("options window", ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  platform::Window options = hl::findDialog(kOptionsTemplate);
  note("options window shown", options != nullptr);
  if (options == nullptr) return;
  // The section's button is hidden; its command reaches the window all the same.
  platform::sendMessage(options, platform::WM_COMMAND,
                        platform::makeWParam(static_cast<unsigned>(kImageCorrectionSection), platform::BN_CLICKED), 0);
  platform::Window panel = hl::findDialog(kImageCorrectionTemplate);
  note("panel shown", panel != nullptr);
  if (panel != nullptr) {
    vzsim::setScene(kCamera, vzsim::Scene::Covered);
    hl::clickButton(panel, kGrabDark);
    vzsim::setScene(kCamera, vzsim::Scene::Flat);
    hl::clickButton(panel, kGrabBackground);
    vzsim::setScene(kCamera, vzsim::Scene::Chart);
    if (!checked(panel, kUseDark)) hl::clickButton(panel, kUseDark);
    if (!checked(panel, kUseBackground)) hl::clickButton(panel, kUseBackground);
    note("dark subtraction on", checked(panel, kUseDark));
    note("background correction on", checked(panel, kUseBackground));
    const vzsim::RegisteredCallbacks callbacks = vzsim::registeredCallbacks(kCamera);
    note("streaming callbacks", static_cast<std::int64_t>(callbacks.streaming));
    note("RGB preview callbacks", static_cast<std::int64_t>(callbacks.rgbPreview));
    letFramesThrough();
    if (checked(panel, kUseDark)) hl::clickButton(panel, kUseDark);
    if (checked(panel, kUseBackground)) hl::clickButton(panel, kUseBackground);
    note("dark subtraction off", !checked(panel, kUseDark));
    note("background correction off", !checked(panel, kUseBackground));
    hl::clickButton(panel, kPanelClose);
  }
  if (platform::Window window = hl::findDialog(kOptionsTemplate)) hl::clickButton(window, kOptionsClose);
}

void ScriptedSession::oneShots() {
  begin("auto exposure");
  AcqAutoExposureRequest exposure{};
  exposure.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
  exposure.region = {100, 50, 300, 200};
  control("auto exposure", ACQCMD_AUTO_EXPOSURE, 0, &exposure);
  note("auto exposure failed", exposure.failed);

  begin("white balance");
  AcqWhiteBalanceRequest balance{};
  balance.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
  balance.region = {100, 50, 300, 200};
  control("white balance", ACQCMD_WHITE_BALANCE, 0, &balance);
  note("white balance failed", balance.failed);
}

void ScriptedSession::settingsFile() {
  begin("settings file");
  std::string path = folder_.file("settings.ini");
  control("save settings", ACQCMD_SETTINGS_FILE, 0, path.data());
  control("load settings", ACQCMD_SETTINGS_FILE, 1, path.data());
}

void ScriptedSession::timeLapse() {
  begin("time-lapse");
  const std::string prefix = folder_.file("lapse");
  note("AcqTimeLapse", acq_.timeLapse(prefix.c_str(), 2, 1, 2, nullptr, &lapseCallback, 0));
  std::int64_t files = 0;
  for (const char* name : {"lapse1.TIF", "lapse2.TIF"}) files += std::filesystem::exists(folder_.file(name)) ? 1 : 0;
  note("files written", files);
}

void ScriptedSession::close() {
  begin("close");
  record_.callbacksBeforeClose = vzsim::registeredCallbacks(kCamera).total();
  note("AcqClose", acq_.close());
}

std::vector<std::uint8_t> ScriptedSession::reopenAndCapture() {
  begin("reopen");
  std::vector<std::uint8_t> bytes;
  if (note("AcqOpen", acq_.open()) == 0) {
    if (hostWindow_ == nullptr) hostWindow_ = hl::createHostWindow("Pixora", {0, 0, 1024, 768});
    control("host window", ACQCMD_HOST_WINDOW, 0, hostWindow_);
    std::int32_t mode = kAcquisitionMode;
    control("acquisition mode", ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &mode);
    AcqRect rect = kAcquisitionRect;
    control("acquisition rectangle", ACQCMD_CAPTRECT, 1, &rect);
    control("snap", ACQCMD_SNAP, 1, nullptr);
    control("snap status", ACQCMD_SNAP_STATUS, 0, nullptr);
    const std::int32_t image = acq_.getImage(-1);
    if (image >= 0) bytes = hostimg::imageBytes(image);
  }
  note("AcqClose", acq_.close());
  return bytes;
}

} // namespace sweep
