#include "command_line.h"

#include "exit_codes.h"
#include "host/driver_library.h"
#include "panel_steps.h"

#include <CLI/CLI.hpp>

#include <iterator>
#include <utility>

namespace host {
namespace {

// Options of every job: the simulated camera and the driver to load.
void addSetupOptions(CLI::App& app, Options& o) {
  app.add_option("--driver", o.driverPath,
                 "Path of the driver library (default: " + std::string(driverFileName()) + " next to this program)");
  app.add_option("--cameras", o.cameraIds, "Camera ids of the simulated cameras, comma separated (default: 160)")
      ->delimiter(',');
  app.add_flag("--mono", o.monochrome, "Make the simulated cameras monochrome");
  app.add_option("--choose", o.choose,
                 "Entry to pick in the camera-choice dialog when several cameras are attached (1-based; 0 cancels)");
  app.add_flag("--log", o.echoLog, "Echo the driver's debug output");
  app.add_flag("--fast", o.fast, "Let the simulated camera deliver frames as fast as it can make them");
}

void addOutputOption(CLI::App& app, Options& o) {
  app.add_option("--out", o.capture.outputFolder, "Folder for the files written (created if needed)")
      ->capture_default_str();
}

void addAcquisitionModeOption(CLI::App& app, Options& o) {
  app.add_option("--mode", o.capture.acquisitionMode, "Acquisition mode index (see `info`)")->capture_default_str();
}

void addPreviewModeOption(CLI::App& app, Options& o) {
  app.add_option("--preview-mode", o.capture.previewMode, "Preview mode index (see `info`; default: the driver's choice)");
}

void addGreyOption(CLI::App& app, Options& o) {
  app.add_flag("--grey", o.capture.grey, "Transfer images as 8-bit grey");
}

void addSecondsOption(CLI::App& app, Options& o) {
  app.add_option("--seconds", o.capture.previewSeconds, "Length of the live preview in seconds (0 to 3600)")
      ->capture_default_str();
}

void addSumOptions(CLI::App& app, Options& o) {
  app.add_option("--frames", o.capture.sumFrames, "Frames to sum (1 to 256)")->capture_default_str();
  app.add_option("--divisor", o.capture.sumDivisor, "Divisor of the frame sum (1 or more)")->capture_default_str();
}

void addBitmapOption(CLI::App& app, Options& o) {
  app.add_option("--bitmap", o.bitmap,
                 "Overlay: a 24-bit BMP (width a multiple of 4); default: a demonstration overlay written to --out");
}

void addRegionOption(CLI::App& app, Options& o, const char* job) {
  app.add_option("--region", o.region,
                 std::string("left,top,right,bottom of the ") + job +
                     " region in preview pixels (left < right, top < bottom, none negative; default: 0,0,320,240)")
      ->delimiter(',');
}

CLI::App* addJob(CLI::App& app, const char* name, const char* description, Options& o) {
  CLI::App* job = app.add_subcommand(name, description);
  addSetupOptions(*job, o);
  return job;
}

} // namespace

std::optional<int> parseCommandLine(int argc, char** argv, CommandLine& line) {
  Options& o = line.options;
  CLI::App app{"varnex-host: try the Varnex capture driver against the simulated camera.\n"
               "Without a command it shows the camera, runs the one-shot auto exposure and white balance,\n"
               "runs the live preview, captures, sums frames, corrects, overlays, draws the pass-through,\n"
               "saves a time-lapse series and the settings, and names every file it wrote.\n"
               "Each command takes its options after its name; `varnex-host <command> --help` lists them.",
               "varnex-host"};
  // Set before the subcommands are added, which inherit it. The help text
  // ends the footer with a line break of its own.
  std::string footer = kExitCodeHelp;
  footer.pop_back();
  app.footer(footer);
  addSetupOptions(app, o);
  addOutputOption(app, o);
  addAcquisitionModeOption(app, o);
  addPreviewModeOption(app, o);
  addSecondsOption(app, o);
  CLI::Option* exposure =
      app.add_option("--exposure", o.exposure,
                     "Exposure (ms) of the main job's pictures, instead of the one-shot auto exposure");
  addSumOptions(app, o);
  addGreyOption(app, o);
  addBitmapOption(app, o);

  const std::vector<std::string> properties(std::begin(kPropertyNames), std::end(kPropertyNames));
  std::vector<std::pair<CLI::App*, Command>> jobs;

  CLI::App* info = addJob(app, "info", "Open the camera, show what the driver reports, close", o);
  jobs.emplace_back(info, Command::Info);

  CLI::App* preview = addJob(app, "preview", "Run the live preview and save the last displayed frame (preview.png)", o);
  addOutputOption(*preview, o);
  addPreviewModeOption(*preview, o);
  addSecondsOption(*preview, o);
  jobs.emplace_back(preview, Command::Preview);

  CLI::App* capture = addJob(app, "capture", "Capture one image (capture.tif and capture.png)", o);
  addOutputOption(*capture, o);
  addAcquisitionModeOption(*capture, o);
  addPreviewModeOption(*capture, o);
  addGreyOption(*capture, o);
  jobs.emplace_back(capture, Command::Capture);

  CLI::App* sum = addJob(app, "sum", "Sum frames with AcqAdd and divide them (sum.png)", o);
  addOutputOption(*sum, o);
  addAcquisitionModeOption(*sum, o);
  addPreviewModeOption(*sum, o);
  addGreyOption(*sum, o);
  addSumOptions(*sum, o);
  jobs.emplace_back(sum, Command::Sum);

  CLI::App* get = addJob(app, "get", "Read a property", o);
  get->add_option("name", o.property, "exposure, gain, gamma, brightness, red, green or blue")
      ->required()
      ->check(CLI::IsMember(properties));
  get->add_flag("--acquisition", o.acquisition, "The acquisition value instead of the preview value");
  jobs.emplace_back(get, Command::Get);

  CLI::App* set = addJob(app, "set", "Set a property, then read it back", o);
  set->add_option("name", o.property, "exposure, gain, gamma, brightness, red, green or blue")
      ->required()
      ->check(CLI::IsMember(properties));
  set->add_option("value", o.value, "The new value (brightness: a whole number)")->required();
  set->add_flag("--acquisition", o.acquisition, "The acquisition value instead of the preview value");
  jobs.emplace_back(set, Command::Set);

  CLI::App* autoExposure = addJob(app, "auto-exposure", "One-shot auto exposure over a region", o);
  addRegionOption(*autoExposure, o, "measured");
  addPreviewModeOption(*autoExposure, o);
  jobs.emplace_back(autoExposure, Command::AutoExposure);

  CLI::App* whiteBalance = addJob(app, "white-balance", "One-shot white balance over a region (colour cameras)", o);
  addRegionOption(*whiteBalance, o, "balanced");
  addPreviewModeOption(*whiteBalance, o);
  jobs.emplace_back(whiteBalance, Command::WhiteBalance);

  CLI::App* control = addJob(app, "control", "A raw AcqControl call with a zeroed 4096-byte data buffer", o);
  control->add_option("code", o.code, "Command code (0 to 32767)")->required();
  control->add_option("parameter", o.parameter, "Parameter (16 bits: -32768 to 65535; default 0)");
  control->add_flag("--query", o.queryFlag, "Set the query flag");
  CLI::Option* ints = control->add_option("--int", o.intData, "Data: up to 1024 32-bit integers")->delimiter(',');
  CLI::Option* doubles = control->add_option("--double", o.doubleData, "Data: up to 512 doubles")->delimiter(',');
  CLI::Option* text = control->add_option("--string", o.stringData, "Data: a text (paths: at most 259 bytes)");
  ints->excludes(doubles)->excludes(text);
  doubles->excludes(text);
  jobs.emplace_back(control, Command::Control);

  CLI::App* corrections = addJob(app, "corrections",
                                 "Grab a dark frame and a background and save the preview before and after correction",
                                 o);
  addOutputOption(*corrections, o);
  jobs.emplace_back(corrections, Command::Corrections);

  CLI::App* overlay = addJob(app, "overlay", "Blend a bitmap overlay into the preview and a capture", o);
  addOutputOption(*overlay, o);
  addBitmapOption(*overlay, o);
  addAcquisitionModeOption(*overlay, o);
  addPreviewModeOption(*overlay, o);
  addGreyOption(*overlay, o);
  jobs.emplace_back(overlay, Command::Overlay);

  CLI::App* settings = addJob(app, "settings", "Save or load the driver's setup", o);
  settings->add_option("action", o.settingsAction, "save or load")->required()->check(CLI::IsMember({"save", "load"}));
  settings->add_option("path", o.settingsPath, "Settings (INI) file, at most 259 bytes")->required();
  jobs.emplace_back(settings, Command::Settings);

  CLI::App* timelapse = addJob(app, "timelapse", "Save a timed series of TIF files", o);
  addOutputOption(*timelapse, o);
  addAcquisitionModeOption(*timelapse, o);
  timelapse->add_option("--count", o.lapse.count, "Number of images (1 to 100000)")->capture_default_str();
  timelapse->add_option("--interval", o.lapse.interval, "Seconds between images (2 to 86400)")->capture_default_str();
  timelapse->add_option("--first", o.lapse.firstIndex, "Number of the first file (0 or more)")->capture_default_str();
  timelapse->add_option("--prefix", o.lapse.prefix,
                        "Path prefix of the files, named <prefix><n>.TIF, at most 259 bytes (default <out>/lapse)");
  jobs.emplace_back(timelapse, Command::TimeLapse);

  CLI::App* passThrough =
      addJob(app, "pass-through", "Draw the reduced grey preview of a snapshot and save it (pass-through.png)", o);
  addOutputOption(*passThrough, o);
  addAcquisitionModeOption(*passThrough, o);
  jobs.emplace_back(passThrough, Command::PassThrough);

  CLI::App* optionsWindow = addJob(
      app, "options",
      "Open the options window over the live preview, play steps in its panels as a user would, and show\n"
      "what each step sent to the camera and what the panels show",
      o);
  addPreviewModeOption(*optionsWindow, o);
  optionsWindow->add_option("--step", o.panel.steps, "One step (repeat for more; see the step language below)")
      ->expected(1)
      ->take_all();
  optionsWindow->add_option("--script", o.panel.scriptPath,
                            "A file of steps, one per line (run before the --step steps)");
  optionsWindow->add_flag("--json", o.panel.json, "Print one JSON document instead of the text report");
  optionsWindow
      ->add_option("--answer", o.panel.answer,
                   "Answer to the message boxes no `answer` step answers: ok, cancel, yes, no, abort, retry, ignore")
      ->capture_default_str()
      ->check(CLI::IsMember({"ok", "cancel", "yes", "no", "abort", "retry", "ignore"}, CLI::ignore_case));
  optionsWindow->add_flag("--debug-lines", o.panel.debugLines, "Report the driver's debug lines of each step");
  optionsWindow->add_flag("--all-calls", o.panel.allCalls,
                          "Report every SDK call of each step, not only those that change the camera");
  optionsWindow->footer(std::string(stepLanguageHelp()) + "\n" + footer);
  jobs.emplace_back(optionsWindow, Command::OptionsWindow);

  app.require_subcommand(0, 1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help requests end with 0; every other parse error is a usage error.
    const int status = app.exit(error);
    return status == 0 ? 0 : toInt(ExitCode::Usage);
  }
  o.exposureGiven = exposure->count() > 0;
  for (const auto& [job, command] : jobs)
    if (job->parsed()) line.command = command;
  return std::nullopt;
}

} // namespace host
