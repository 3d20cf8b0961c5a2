// The command line of varnex-host: its jobs (subcommands) and options.
// Every subcommand takes its own options after its name and describes them
// in its --help; the options before a subcommand are the main job's and are
// still honoured.
#pragma once

#include "capture_jobs.h"
#include "file_jobs.h"
#include "options_job.h"
#include "property_names.h"

#include <optional>
#include <string>
#include <vector>

namespace host {

enum class Command {
  Demo,  // no subcommand: the main job
  Info,
  Preview,
  Capture,
  Sum,
  Get,
  Set,
  AutoExposure,
  WhiteBalance,
  Control,
  Corrections,
  Overlay,
  Settings,
  TimeLapse,
  PassThrough,
  OptionsWindow,
};

struct Options {
  // The simulated camera and the driver.
  std::string driverPath;
  std::vector<unsigned> cameraIds;
  bool monochrome = false;
  int choose = 1;
  bool echoLog = false;
  bool fast = false;
  // The main job's exposure: the one-shot auto exposure unless one is given.
  bool exposureGiven = false;
  double exposure = 0;
  CaptureOptions capture;
  // get / set
  std::string property;
  double value = 0;
  bool acquisition = false;
  // control
  int code = 0;
  int parameter = 0;
  bool queryFlag = false;
  std::vector<int> intData;
  std::vector<double> doubleData;
  std::string stringData;
  // One-shot region: left, top, right, bottom (empty: the job's default).
  std::vector<int> region;
  std::string bitmap;
  std::string settingsAction;
  std::string settingsPath;
  LapseOptions lapse;
  // options: the steps played in the options window
  OptionsJobOptions panel;
};

struct CommandLine {
  Command command = Command::Demo;
  Options options;
};

// Parses the arguments. Returns the exit status when the program ends here:
// 0 after printing a help text, the usage code after reporting a mistake on
// stderr. Returns nothing when `line` holds a job to run.
std::optional<int> parseCommandLine(int argc, char** argv, CommandLine& line);

} // namespace host
