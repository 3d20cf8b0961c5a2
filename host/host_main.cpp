// varnex-host: a small host that loads the capture driver by path and drives
// it against the simulated camera, as an imaging application would. It is
// meant to be scripted: every job names the files it writes on stdout,
// reports problems on stderr and ends with an exit status that says what
// went wrong (see exit_codes.h).
#include "camera_summary.h"
#include "capture_jobs.h"
#include "command_jobs.h"
#include "command_line.h"
#include "host/driver_library.h"
#include "file_jobs.h"
#include "host_session.h"
#include "input_checks.h"
#include "options_job.h"
#include "outcome.h"
#include "panel_jobs.h"

#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using host::Command;
using host::Options;

void configureSimulator(const Options& options) {
  std::vector<vzsim::CameraModel> cameras;
  for (unsigned id : options.cameraIds) {
    auto model = vzsim::defaultModel(id);
    cameras.push_back(options.monochrome ? vzsim::asMonochrome(model) : model);
  }
  if (cameras.empty() && options.monochrome) cameras.push_back(vzsim::asMonochrome(vzsim::defaultModel(160)));
  if (!cameras.empty()) vzsim::setCameras(cameras);
  // The camera streams at its own frame rate unless asked to go flat out.
  vzsim::setPacing(options.fast ? vzsim::Pacing::Free : vzsim::Pacing::Realtime);
}

// What the program says besides its results goes to stdout, unless stdout
// carries a JSON document.
std::FILE* chatter(const Options& options) { return options.panel.json ? stderr : stdout; }

void configurePlatform(const Options& options) {
  std::FILE* out = chatter(options);
  if (options.echoLog)
    platform::headless::setDebugEcho([out](const std::string& line) { std::fprintf(out, "  [driver] %s\n", line.c_str()); });
  platform::headless::setMessageBoxObserver([out](const platform::headless::MessageBoxRecord& box) {
    std::fprintf(out, "  [message box \"%s\"] %s\n", box.caption.c_str(), box.text.c_str());
  });
  // The camera-choice dialog (template 106, list 1109): pick the requested entry.
  const int choose = options.choose;
  platform::headless::setDialogScript(106, [choose](platform::Window dialog) {
    if (choose <= 0) {
      platform::headless::clickButton(dialog, platform::IDCANCEL);
      return;
    }
    platform::headless::selectComboItem(dialog, 1109, choose - 1);
    platform::headless::clickButton(dialog, platform::IDOK);
  });
}

// Patches of the simulated camera's test chart, as fractions of the preview
// image, so that every mode that shows the whole sensor (binned or
// subsampled ones too) finds them. Metering on the light grey patch keeps
// the white patch below saturation; the mid grey patch is the neutral one to
// balance on.
AcqRect lightGreyPatch(std::int32_t width, std::int32_t height) {
  return {width * 22 / 100, height * 69 / 100, width * 32 / 100, height * 81 / 100};
}

AcqRect midGreyPatch(std::int32_t width, std::int32_t height) {
  return {width * 36 / 100, height * 69 / 100, width * 46 / 100, height * 81 / 100};
}

bool isColourCamera(host::HostSession& session) { return session.control(ACQCMD_BIT_DEPTH) != 8; }

// Exposure and white balance come first, so that every picture, the live
// preview's included, is taken at the settings they find.
bool adjustBeforePictures(host::HostSession& session, const Options& options) {
  if (!host::selectPreviewMode(session, options.capture) || !session.openDisplay()) return false;
  AcqRect limits{};
  if (session.control(ACQCMD_CAPTRECT_LIMITS, 0, &limits) != 0)
    return session.outcome().refused("the driver did not report the preview size (command 55)");
  const std::int32_t width = limits.right + 1;
  const std::int32_t height = limits.bottom + 1;
  if (options.exposureGiven) {
    std::printf("== Exposure %.1f ms\n", options.exposure);
    for (int selector : {0, 1}) {
      double exposure = options.exposure;
      if (const std::int32_t result = session.control(ACQCMD_EXPOSURE, selector, &exposure); result != 0)
        return session.outcome().refused("the driver refused the exposure (" + std::to_string(result) + ")");
    }
  } else {
    std::printf("== One-shot auto exposure on a light grey patch\n");
    if (!host::runAutoExposure(session, lightGreyPatch(width, height), true)) return false;
  }
  if (!isColourCamera(session)) {
    std::printf("== No white balance: the camera is monochrome\n");
    return true;
  }
  std::printf("== One-shot white balance on a mid grey patch\n");
  return host::runWhiteBalance(session, midGreyPatch(width, height));
}

int runDemo(host::HostSession& session, const Options& options) {
  host::Outcome& outcome = session.outcome();
  std::printf("== The camera\n");
  host::printCameraSummary(session);
  if (!host::prepareOutputFolder(session, options.capture)) return outcome.exitCode();
  adjustBeforePictures(session, options);
  // The preview mode is selected; later steps keep it.
  host::CaptureOptions capture = options.capture;
  capture.previewMode = -1;
  std::printf("== Live preview for %.1f s\n", capture.previewSeconds);
  host::runPreview(session, capture);
  std::printf("== Capture at acquisition mode %d\n", capture.acquisitionMode);
  host::runCapture(session, capture);
  std::printf("== Sum of %d frames divided by %d\n", capture.sumFrames, capture.sumDivisor);
  host::runSum(session, capture);
  std::printf("== Dark frame and background correction of the live preview\n");
  host::runCorrections(session, capture);
  std::printf("== Bitmap overlay on the preview and on a capture\n");
  host::runOverlay(session, capture, options.bitmap);
  std::printf("== Reduced grey pass-through of a snapshot\n");
  host::runPassThrough(session, capture);
  std::printf("== Time-lapse series\n");
  host::LapseOptions lapse = options.lapse;
  lapse.count = 2;
  host::runTimeLapse(session, capture, lapse);
  std::printf("== Settings\n");
  host::saveSettings(session, host::inFolder(capture.outputFolder, "settings.ini"));
  std::printf("== Files written\n");
  for (const auto& path : outcome.written()) std::printf("  %s\n", path.c_str());
  return outcome.exitCode();
}

// Runs the chosen job on an open session.
void runJob(host::HostSession& session, const host::CommandLine& line) {
  const Options& options = line.options;
  switch (line.command) {
    case Command::Demo: runDemo(session, options); return;
    case Command::Info: host::printCameraSummary(session); return;
    case Command::Get: host::runProperty(session, options, false); return;
    case Command::Set: host::runProperty(session, options, true); return;
    case Command::Control: host::runRawControl(session, options); return;
    case Command::OptionsWindow: host::runOptionsJob(session, options.panel, options.capture); return;
    case Command::AutoExposure:
      if (host::selectPreviewMode(session, options.capture))
        host::runAutoExposure(session, host::regionOf(options, {0, 0, 320, 240}), false);
      return;
    case Command::WhiteBalance:
      if (host::selectPreviewMode(session, options.capture))
        host::runWhiteBalance(session, host::regionOf(options, {0, 0, 320, 240}));
      return;
    case Command::Settings: {
      const bool save = options.settingsAction == "save";
      const bool ok = save ? host::saveSettings(session, options.settingsPath)
                           : host::loadSettings(session, options.settingsPath);
      std::printf("%s %s: %s\n", save ? "saved" : "loaded", options.settingsPath.c_str(), ok ? "ok" : "failed");
      return;
    }
    default: break;
  }
  // The jobs that write pictures.
  if (!host::prepareOutputFolder(session, options.capture)) return;
  switch (line.command) {
    case Command::Preview: host::runPreview(session, options.capture); return;
    case Command::Capture: host::runCapture(session, options.capture); return;
    case Command::Sum: host::runSum(session, options.capture); return;
    case Command::Corrections: host::runCorrections(session, options.capture); return;
    case Command::Overlay: host::runOverlay(session, options.capture, options.bitmap); return;
    case Command::TimeLapse: host::runTimeLapse(session, options.capture, options.lapse); return;
    case Command::PassThrough: host::runPassThrough(session, options.capture); return;
    default: return;
  }
}

} // namespace

int main(int argc, char** argv) {
  host::CommandLine line;
  if (const auto status = host::parseCommandLine(argc, argv, line)) return *status;
  // Nothing is loaded until the input is known to be good.
  if (const auto problem = host::checkInput(line)) {
    std::fprintf(stderr, "varnex-host: %s\n", problem->message.c_str());
    if (problem->code == host::ExitCode::Usage) std::fprintf(stderr, "Run with --help for more information.\n");
    return host::toInt(problem->code);
  }

  configureSimulator(line.options);
  configurePlatform(line.options);

  host::DriverLibrary driver;
  const std::string path = line.options.driverPath.empty() ? host::defaultDriverPath() : line.options.driverPath;
  if (!driver.load(path)) {
    std::fprintf(stderr, "varnex-host: %s\n", driver.error().c_str());
    return host::toInt(host::ExitCode::NoDriver);
  }
  std::fprintf(chatter(line.options), "Driver: %s\n", path.c_str());

  host::Outcome outcome;
  {
    host::HostSession session(driver, outcome);
    if (session.open()) runJob(session, line);
    session.close();
  }
  std::fflush(stdout);
  return outcome.exitCode();
}
