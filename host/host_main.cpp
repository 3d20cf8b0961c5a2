// varnex-host: a small host that loads the capture driver by path and drives
// it against the simulated camera, as an imaging application would.
#include "camera_summary.h"
#include "capture_jobs.h"
#include "host/driver_library.h"
#include "file_jobs.h"
#include "host_session.h"
#include "panel_jobs.h"
#include "pictures.h"

#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string driverPath;
  std::vector<unsigned> cameraIds;
  bool monochrome = false;
  int choose = 1;
  bool echoLog = false;
  bool fast = false;
  double demoExposure = 40.0;
  host::CaptureOptions capture;
  // property get/set
  std::string property;
  double value = 0;
  bool acquisition = false;
  // raw control
  int code = 0;
  int parameter = 0;
  bool queryFlag = false;
  std::vector<int> intData;
  std::vector<double> doubleData;
  std::string stringData;
  // one-shot regions: left, top, right, bottom
  std::vector<int> region;
  std::string bitmap;
  std::string settingsAction;
  std::string settingsPath;
  host::LapseOptions lapse;
};

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

void configurePlatform(const Options& options) {
  if (options.echoLog)
    platform::headless::setDebugEcho([](const std::string& line) { std::printf("  [driver] %s\n", line.c_str()); });
  platform::headless::setMessageBoxObserver([](const platform::headless::MessageBoxRecord& box) {
    std::printf("  [message box \"%s\"] %s\n", box.caption.c_str(), box.text.c_str());
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

void listWritten(const std::vector<std::string>& paths) {
  for (const auto& path : paths) std::printf("  wrote %s\n", path.c_str());
}

int withSession(host::DriverLibrary& driver, const std::function<int(host::HostSession&)>& job) {
  host::HostSession session(driver);
  if (!session.open()) return 1;
  const int result = job(session);
  session.close();
  return result;
}

int oneShot(host::HostSession& session, const Options& options, bool whiteBalance);

int runDemo(host::HostSession& session, const Options& options) {
  std::printf("== The camera\n");
  host::printCameraSummary(session);
  host::ensureFolder(options.capture.outputFolder);
  std::printf("== Live preview for %.1f s\n", options.capture.previewSeconds);
  const std::string preview = host::runPreview(session, options.capture);
  std::vector<std::string> written;
  if (!preview.empty()) written.push_back(preview);
  std::printf("== Exposure %.0f ms, then a one-shot white balance on a grey patch\n",
              options.demoExposure);
  double exposure = options.demoExposure;
  session.control(ACQCMD_EXPOSURE, 0, &exposure);
  session.control(ACQCMD_EXPOSURE, 1, &exposure);
  Options centre = options;
  centre.region = {460, 710, 590, 830};  // a grey patch of the chart
  oneShot(session, centre, true);
  std::printf("== Capture at acquisition mode %d\n", options.capture.acquisitionMode);
  for (const auto& path : host::runCapture(session, options.capture)) written.push_back(path);
  std::printf("== Sum of %d frames divided by %d\n", options.capture.sumFrames, options.capture.sumDivisor);
  for (const auto& path : host::runSum(session, options.capture)) written.push_back(path);
  std::printf("== Dark frame and background correction of the live preview\n");
  for (const auto& path : host::runCorrections(session, options.capture)) written.push_back(path);
  std::printf("== Bitmap overlay on the preview and on a capture\n");
  for (const auto& path : host::runOverlay(session, options.capture, options.bitmap)) written.push_back(path);
  std::printf("== Reduced grey pass-through of a snapshot\n");
  for (const auto& path : host::runPassThrough(session, options.capture)) written.push_back(path);
  std::printf("== Time-lapse series\n");
  host::LapseOptions lapse = options.lapse;
  lapse.count = 2;
  for (const auto& path : host::runTimeLapse(session, options.capture, lapse)) written.push_back(path);
  std::printf("== Settings\n");
  const std::string settings = options.capture.outputFolder + "/settings.ini";
  if (host::saveSettings(session, settings)) written.push_back(settings);
  std::printf("== Pictures written\n");
  listWritten(written);
  return written.empty() ? 1 : 0;
}

int propertyCommand(host::HostSession& session, const Options& options, bool set) {
  const int selector = options.acquisition ? 1 : 0;
  const std::string& name = options.property;
  if (name == "red" || name == "green" || name == "blue") {
    AcqWhiteBalanceRequest request{};
    request.flags = ACQWB_GAINS;
    session.query(ACQCMD_WHITE_BALANCE, 0, &request);
    if (set) {
      (name == "red" ? request.red : name == "green" ? request.green : request.blue) = options.value;
      const int result = session.control(ACQCMD_WHITE_BALANCE, 0, &request);
      std::printf("set %s gain: %s\n", name.c_str(), result == 0 ? "ok" : "refused");
      session.query(ACQCMD_WHITE_BALANCE, 0, &request);
    }
    std::printf("red %.2f, green %.2f, blue %.2f\n", request.red, request.green, request.blue);
    return 0;
  }
  struct DoubleProperty {
    const char* name;
    int code;
  };
  const DoubleProperty doubles[] = {{"exposure", ACQCMD_EXPOSURE}, {"gain", ACQCMD_GAIN}, {"gamma", ACQCMD_GAMMA}};
  for (const auto& p : doubles) {
    if (name != p.name) continue;
    if (set) {
      double value = options.value;
      const int result = session.control(p.code, selector, &value);
      std::printf("set %s: %s\n", p.name, result == 0 ? "ok" : "refused");
    }
    double value = 0;
    session.query(p.code, selector, &value);
    std::printf("%s (%s) = %.3f\n", p.name, options.acquisition ? "acquisition" : "preview", value);
    return 0;
  }
  if (name == "brightness") {
    if (set) {
      std::int32_t value = static_cast<std::int32_t>(options.value);
      std::printf("set brightness: %s\n", session.control(ACQCMD_BRIGHTNESS, selector, &value) == 0 ? "ok" : "refused");
    }
    std::int32_t value = 0;
    session.query(ACQCMD_BRIGHTNESS, selector, &value);
    std::printf("brightness (%s) = %d\n", options.acquisition ? "acquisition" : "preview", value);
    return 0;
  }
  std::fprintf(stderr, "unknown property %s (exposure, gain, gamma, brightness, red, green, blue)\n", name.c_str());
  return 2;
}

int rawControl(host::HostSession& session, const Options& options) {
  std::vector<std::uint8_t> buffer(4096, 0);
  void* data = nullptr;
  if (!options.intData.empty()) {
    std::memcpy(buffer.data(), options.intData.data(), options.intData.size() * sizeof(int));
    data = buffer.data();
  } else if (!options.doubleData.empty()) {
    std::memcpy(buffer.data(), options.doubleData.data(), options.doubleData.size() * sizeof(double));
    data = buffer.data();
  } else if (!options.stringData.empty()) {
    std::memcpy(buffer.data(), options.stringData.c_str(), std::min(options.stringData.size() + 1, buffer.size() - 1));
    data = buffer.data();
  }
  const int message = options.code | (options.queryFlag ? ACQ_QUERY : 0);
  const int result = session.control(message, options.parameter, data);
  std::printf("AcqControl(%d, %d) = %d\n", message, options.parameter, result);
  if (data != nullptr) {
    const auto* words = reinterpret_cast<const std::int32_t*>(buffer.data());
    std::printf("data as int32: %d %d %d %d\n", words[0], words[1], words[2], words[3]);
    const auto* reals = reinterpret_cast<const double*>(buffer.data());
    std::printf("data as double: %g %g %g\n", reals[0], reals[1], reals[2]);
  }
  return 0;
}

int oneShot(host::HostSession& session, const Options& options, bool whiteBalance) {
  AcqRect region{0, 0, 320, 240};
  if (options.region.size() == 4) region = {options.region[0], options.region[1], options.region[2], options.region[3]};
  session.openDisplay();
  if (whiteBalance) {
    AcqWhiteBalanceRequest request{};
    request.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
    request.region = region;
    session.control(ACQCMD_WHITE_BALANCE, 0, &request);
    std::printf("white balance %s: red %.2f, green %.2f, blue %.2f\n", request.failed ? "failed" : "done", request.red,
                request.green, request.blue);
    // The camera balanced the preview; captures use the acquisition gains,
    // so hand the same gains to both.
    if (!request.failed) {
      request.flags = ACQWB_GAINS;
      session.control(ACQCMD_WHITE_BALANCE, 0, &request);
    }
  } else {
    AcqAutoExposureRequest request{};
    request.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
    request.region = region;
    session.control(ACQCMD_AUTO_EXPOSURE, 0, &request);
    std::printf("auto exposure %s: exposure %.3f ms\n", request.failed ? "failed" : "done", request.exposure);
  }
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  Options options;
  CLI::App app{"varnex-host: try the Varnex capture driver against the simulated camera.\n"
               "Without a command it shows the camera, runs the live preview, captures a picture\n"
               "and sums frames, and names the pictures it wrote."};
  app.add_option("--driver", options.driverPath, "Path of the driver library (default: next to this program)");
  app.add_option("--cameras", options.cameraIds, "Camera ids of the simulated cameras, comma separated (default: 160)")
      ->delimiter(',');
  app.add_flag("--mono", options.monochrome, "Make the simulated cameras monochrome");
  app.add_option("--choose", options.choose, "Entry to pick in the camera-choice dialog (1-based; 0 cancels)");
  app.add_flag("--log", options.echoLog, "Echo the driver's debug output");
  app.add_flag("--fast", options.fast, "Let the simulated camera deliver frames as fast as it can make them");
  app.add_option("--out", options.capture.outputFolder, "Folder for the pictures written");
  app.add_option("--mode", options.capture.acquisitionMode, "Acquisition mode index");
  app.add_option("--preview-mode", options.capture.previewMode, "Preview mode index");
  app.add_option("--seconds", options.capture.previewSeconds, "Length of the live preview");
  app.add_option("--exposure", options.demoExposure, "Exposure (ms) of the demonstration's captures");
  app.add_option("--frames", options.capture.sumFrames, "Frames to sum");
  app.add_option("--divisor", options.capture.sumDivisor, "Divisor of the frame sum");
  app.add_flag("--grey", options.capture.grey, "Transfer images as 8-bit grey");

  auto* info = app.add_subcommand("info", "Open the camera, show what the driver reports, close");
  auto* preview = app.add_subcommand("preview", "Run the live preview and save the last displayed frame");
  auto* capture = app.add_subcommand("capture", "Capture one image (TIFF and PNG)");
  auto* sum = app.add_subcommand("sum", "Sum frames with AcqAdd (PNG)");
  auto* get = app.add_subcommand("get", "Read a property (exposure, gain, gamma, brightness, red, green, blue)");
  get->add_option("name", options.property)->required();
  get->add_flag("--acquisition", options.acquisition, "The acquisition value instead of the preview value");
  auto* set = app.add_subcommand("set", "Set a property");
  set->add_option("name", options.property)->required();
  set->add_option("value", options.value)->required();
  set->add_flag("--acquisition", options.acquisition, "The acquisition value instead of the preview value");
  auto* autoExposure = app.add_subcommand("auto-exposure", "One-shot auto exposure over a region");
  autoExposure->add_option("--region", options.region, "left,top,right,bottom")->delimiter(',');
  auto* whiteBalance = app.add_subcommand("white-balance", "One-shot white balance over a region");
  whiteBalance->add_option("--region", options.region, "left,top,right,bottom")->delimiter(',');
  auto* control = app.add_subcommand("control", "A raw AcqControl call");
  control->add_option("code", options.code)->required();
  control->add_option("parameter", options.parameter);
  control->add_flag("--query", options.queryFlag, "Set the query flag");
  control->add_option("--int", options.intData, "data: 32-bit integers")->delimiter(',');
  control->add_option("--double", options.doubleData, "data: doubles")->delimiter(',');
  control->add_option("--string", options.stringData, "data: a text");
  auto* corrections = app.add_subcommand("corrections", "Grab a dark frame and a background and show the corrected preview");
  auto* overlay = app.add_subcommand("overlay", "Blend a bitmap overlay into the preview and a capture");
  overlay->add_option("--bitmap", options.bitmap, "24-bit BMP (width a multiple of 4); default: a demonstration overlay");
  auto* settings = app.add_subcommand("settings", "Save or load the driver's setup");
  settings->add_option("action", options.settingsAction, "save or load")->required()->check(CLI::IsMember({"save", "load"}));
  settings->add_option("path", options.settingsPath, "Settings (INI) file")->required();
  auto* timelapse = app.add_subcommand("timelapse", "Save a timed series of TIF files");
  timelapse->add_option("--count", options.lapse.count, "Number of images");
  timelapse->add_option("--interval", options.lapse.interval, "Seconds between images (at least 2)");
  timelapse->add_option("--first", options.lapse.firstIndex, "Number of the first file");
  timelapse->add_option("--prefix", options.lapse.prefix, "Path prefix of the files (default <out>/lapse)");
  auto* passThrough = app.add_subcommand("pass-through", "Draw the reduced grey preview of a snapshot and save it");
  app.require_subcommand(0, 1);
  CLI11_PARSE(app, argc, argv);

  configureSimulator(options);
  configurePlatform(options);

  host::DriverLibrary driver;
  const std::string path = options.driverPath.empty() ? host::defaultDriverPath() : options.driverPath;
  if (!driver.load(path)) {
    std::fprintf(stderr, "varnex-host: %s\n", driver.error().c_str());
    return 2;
  }
  std::printf("Driver: %s\n", path.c_str());

  return withSession(driver, [&](host::HostSession& session) {
    if (*info) {
      host::printCameraSummary(session);
      return 0;
    }
    if (*preview) {
      host::ensureFolder(options.capture.outputFolder);
      const std::string written = host::runPreview(session, options.capture);
      if (!written.empty()) std::printf("  wrote %s\n", written.c_str());
      return written.empty() ? 1 : 0;
    }
    if (*capture) {
      host::ensureFolder(options.capture.outputFolder);
      const auto written = host::runCapture(session, options.capture);
      listWritten(written);
      return written.empty() ? 1 : 0;
    }
    if (*sum) {
      host::ensureFolder(options.capture.outputFolder);
      const auto written = host::runSum(session, options.capture);
      listWritten(written);
      return written.empty() ? 1 : 0;
    }
    if (*get) return propertyCommand(session, options, false);
    if (*set) return propertyCommand(session, options, true);
    if (*autoExposure) return oneShot(session, options, false);
    if (*whiteBalance) return oneShot(session, options, true);
    if (*control) return rawControl(session, options);
    if (*corrections || *overlay || *timelapse || *passThrough) {
      host::ensureFolder(options.capture.outputFolder);
      std::vector<std::string> written;
      if (*corrections) written = host::runCorrections(session, options.capture);
      if (*overlay) written = host::runOverlay(session, options.capture, options.bitmap);
      if (*timelapse) written = host::runTimeLapse(session, options.capture, options.lapse);
      if (*passThrough) written = host::runPassThrough(session, options.capture);
      listWritten(written);
      return written.empty() ? 1 : 0;
    }
    if (*settings) {
      const bool ok = options.settingsAction == "save" ? host::saveSettings(session, options.settingsPath)
                                                       : host::loadSettings(session, options.settingsPath);
      std::printf("%s %s: %s\n", options.settingsAction == "save" ? "saved" : "loaded", options.settingsPath.c_str(),
                  ok ? "ok" : "refused");
      return ok ? 0 : 1;
    }
    return runDemo(session, options);
  });
}
