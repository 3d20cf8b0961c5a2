// varnex-host: a small host that loads the capture driver by path and drives
// it against the simulated camera, as an imaging application would.
#include "host/driver_library.h"

#include "platform/headless_control.h"
#include "sim/vividozuz/sim_control.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string driverPath;
  std::vector<unsigned> cameraIds;
  int choose = 1;
  bool echoLog = false;
};

void configureSimulator(const Options& options) {
  if (options.cameraIds.empty()) return;
  std::vector<vzsim::CameraModel> cameras;
  for (unsigned id : options.cameraIds) cameras.push_back(vzsim::defaultModel(id));
  vzsim::setCameras(cameras);
}

void configurePlatform(const Options& options) {
  if (options.echoLog)
    platform::headless::setDebugEcho([](const std::string& line) { std::printf("  [driver] %s\n", line.c_str()); });
  platform::headless::setMessageBoxObserver([](const platform::headless::MessageBoxRecord& box) {
    std::printf("  [message box] %s: %s\n", box.caption.c_str(), box.text.c_str());
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

int runInfo(host::DriverLibrary& driver) {
  std::printf("Opening the driver...\n");
  const int opened = driver.open();
  if (opened != 0) {
    std::printf("AcqOpen failed with %d\n", opened);
    driver.close();
    return 1;
  }
  std::printf("AcqOpen: 0 (camera open)\n");
  const int closed = driver.close();
  std::printf("AcqClose: %d\n", closed);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  Options options;
  CLI::App app{"Try the Varnex capture driver against the simulated camera."};
  app.add_option("--driver", options.driverPath, "Path of the driver library")->default_str("next to this program");
  app.add_option("--cameras", options.cameraIds, "Camera ids of the simulated cameras (default: one camera, id 160)")
      ->delimiter(',');
  app.add_option("--choose", options.choose, "Entry to pick in the camera-choice dialog (1-based; 0 cancels)");
  app.add_flag("--log", options.echoLog, "Echo the driver's debug output");
  CLI11_PARSE(app, argc, argv);

  configureSimulator(options);
  configurePlatform(options);

  host::DriverLibrary driver;
  const std::string path = options.driverPath.empty() ? host::defaultDriverPath() : options.driverPath;
  if (!driver.load(path)) {
    std::fprintf(stderr, "varnex-host: %s\n", driver.error().c_str());
    return 2;
  }
  return runInfo(driver);
}
