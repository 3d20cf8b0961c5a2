#include "input_checks.h"

#include "driver/acq_control.h"
#include "panel_steps.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>

namespace host {
namespace {

// Simulated cameras that may be attached at once.
constexpr std::size_t kMostCameras = 16;
// The host reads at most this many entries of a mode list.
constexpr int kMostModes = 64;
// AcqAdd sums at most 256 frames (fewer at depths above 8 bits per sample).
constexpr int kMostFrames = 256;
constexpr int kMostLapseImages = 100000;
constexpr unsigned kShortestInterval = 2;
constexpr unsigned kLongestInterval = 86400;
// Region corners: the largest image a camera delivers fits well inside.
constexpr int kLargestCoordinate = 65535;
// Values handed to the driver as doubles are stored as 32-bit floats.
constexpr double kLargestValue = 1e9;

std::optional<InputProblem> usage(std::string message) { return InputProblem{ExitCode::Usage, std::move(message)}; }

std::optional<InputProblem> checkPath(const std::string& what, const std::string& path) {
  if (path.empty()) return usage(what + " is empty");
  if (path.size() > kLongestPath)
    return usage(what + " is " + std::to_string(path.size()) + " bytes long; the driver takes at most " +
                 std::to_string(kLongestPath));
  return std::nullopt;
}

std::optional<InputProblem> checkReadable(const std::string& what, const std::string& path) {
  if (auto problem = checkPath(what, path)) return problem;
  std::ifstream file(path, std::ios::binary);
  if (!file) return InputProblem{ExitCode::FileFailed, what + " " + path + " cannot be read"};
  return std::nullopt;
}

bool finiteWithin(double value, double low, double high) { return std::isfinite(value) && value >= low && value <= high; }

std::optional<InputProblem> checkSetup(const Options& o) {
  if (o.cameraIds.size() > kMostCameras)
    return usage("--cameras: at most " + std::to_string(kMostCameras) + " cameras");
  const std::size_t attached = o.cameraIds.empty() ? 1 : o.cameraIds.size();
  if (o.choose < 0 || static_cast<std::size_t>(o.choose) > attached)
    return usage("--choose " + std::to_string(o.choose) + ": pick 1 to " + std::to_string(attached) +
                 " (the cameras attached), or 0 to cancel");
  return std::nullopt;
}

std::optional<InputProblem> checkCapture(const CaptureOptions& c) {
  if (c.outputFolder.empty()) return usage("--out is empty");
  if (c.acquisitionMode < 0 || c.acquisitionMode >= kMostModes)
    return usage("--mode " + std::to_string(c.acquisitionMode) + ": a mode index from 0 to " +
                 std::to_string(kMostModes - 1));
  if (c.previewMode < -1 || c.previewMode >= kMostModes)
    return usage("--preview-mode " + std::to_string(c.previewMode) + ": a mode index from 0 to " +
                 std::to_string(kMostModes - 1));
  if (!finiteWithin(c.previewSeconds, 0, 3600)) return usage("--seconds: from 0 to 3600");
  if (c.sumFrames < 1 || c.sumFrames > kMostFrames)
    return usage("--frames " + std::to_string(c.sumFrames) + ": from 1 to " + std::to_string(kMostFrames));
  if (c.sumDivisor < 1) return usage("--divisor " + std::to_string(c.sumDivisor) + ": 1 or more");
  return std::nullopt;
}

std::optional<InputProblem> checkRegion(const std::vector<int>& region) {
  if (region.empty()) return std::nullopt;
  if (region.size() != 4) return usage("--region: four numbers, left,top,right,bottom");
  for (int value : region)
    if (value < 0 || value > kLargestCoordinate)
      return usage("--region: corners from 0 to " + std::to_string(kLargestCoordinate));
  if (region[0] >= region[2]) return usage("--region: left must be below right");
  if (region[1] >= region[3]) return usage("--region: top must be below bottom");
  return std::nullopt;
}

std::optional<InputProblem> checkPropertyValue(const Options& o) {
  if (o.property == "brightness") {
    if (!std::isfinite(o.value) || o.value != std::trunc(o.value) ||
        o.value < std::numeric_limits<std::int32_t>::min() || o.value > std::numeric_limits<std::int32_t>::max())
      return usage("brightness takes a whole number");
    return std::nullopt;
  }
  if (!finiteWithin(o.value, -kLargestValue, kLargestValue))
    return usage(o.property + " takes a number from -1e9 to 1e9");
  return std::nullopt;
}

std::optional<InputProblem> checkControl(const Options& o) {
  if (o.code < 0 || o.code > 0x7FFF) return usage("code " + std::to_string(o.code) + ": from 0 to 32767");
  if (o.parameter < -32768 || o.parameter > 65535)
    return usage("parameter " + std::to_string(o.parameter) + ": 16 bits, from -32768 to 65535");
  if (o.intData.size() * sizeof(std::int32_t) > kControlBufferBytes) return usage("--int: at most 1024 numbers");
  if (o.doubleData.size() * sizeof(double) > kControlBufferBytes) return usage("--double: at most 512 numbers");
  if (o.stringData.size() >= kControlBufferBytes) return usage("--string: at most 4095 bytes");
  const bool takesPath = o.code == ACQCMD_SETTINGS_FILE || o.code == ACQCMD_HOST_SETTINGS_PATH;
  if (takesPath && o.stringData.size() > kLongestPath)
    return usage("--string: command " + std::to_string(o.code) + " takes a path of at most 259 bytes");
  // Element 0 of the supported-commands list is its length: the driver
  // writes that many elements.
  if (o.code == ACQCMD_SUPPORTED_COMMANDS && !o.intData.empty() &&
      (o.intData[0] < 0 || static_cast<std::size_t>(o.intData[0]) > kControlBufferBytes / sizeof(std::int32_t)))
    return usage("--int: command 25's list length (element 0) must be 0 to 1024, the buffer's size");
  // The mode and pixel-format lists take name buffers the host fills in.
  const bool listCommand = o.code == ACQCMD_ACQUIRE_RESOLUTION || o.code == ACQCMD_PREVIEW_RESOLUTION ||
                           o.code == ACQCMD_PIXEL_FORMAT;
  if (listCommand && !o.queryFlag && o.parameter == 3)
    return usage("command " + std::to_string(o.code) +
                 " with sub-command 3 needs name buffers: `varnex-host info` lists the modes and pixel formats");
  return std::nullopt;
}

std::optional<InputProblem> checkLapse(const Options& o) {
  const LapseOptions& l = o.lapse;
  if (l.count < 1 || l.count > kMostLapseImages)
    return usage("--count " + std::to_string(l.count) + ": from 1 to " + std::to_string(kMostLapseImages));
  if (l.firstIndex < 0 || l.firstIndex > std::numeric_limits<std::int32_t>::max() - l.count)
    return usage("--first " + std::to_string(l.firstIndex) + ": 0 or more, and the last number must fit 32 bits");
  if (l.interval < kShortestInterval || l.interval > kLongestInterval)
    return usage("--interval " + std::to_string(l.interval) + ": from 2 to 86400 seconds");
  return std::nullopt;
}

// The prefix with the largest file number and ".TIF" must fit the driver's path buffer.
std::optional<InputProblem> checkLapsePrefix(const Options& o, int count) {
  const std::string prefix = o.lapse.prefix.empty() ? o.capture.outputFolder + "/lapse" : o.lapse.prefix;
  const std::string last = prefix + std::to_string(o.lapse.firstIndex + count - 1) + ".TIF";
  if (last.size() > kLongestPath)
    return usage("the time-lapse file " + last + " would be " + std::to_string(last.size()) +
                 " bytes long; the driver takes at most 259 (shorten --prefix or --out)");
  return std::nullopt;
}

// The overlay bitmap: the one given, or the demonstration one in the output folder.
std::optional<InputProblem> checkBitmap(const Options& o) {
  if (!o.bitmap.empty()) return checkReadable("--bitmap", o.bitmap);
  return checkPath("the demonstration overlay's path", o.capture.outputFolder + "/overlay.bmp");
}

} // namespace

std::optional<InputProblem> checkInput(const CommandLine& line) {
  const Options& o = line.options;
  if (auto problem = checkSetup(o)) return problem;
  if (auto problem = checkCapture(o.capture)) return problem;
  switch (line.command) {
    case Command::Demo:
      if (o.exposureGiven && !finiteWithin(o.exposure, 1e-3, kLargestValue))
        return usage("--exposure: a number of milliseconds above 0");
      if (auto problem = checkBitmap(o)) return problem;
      if (auto problem = checkPath("the settings file's path", o.capture.outputFolder + "/settings.ini"))
        return problem;
      return checkLapsePrefix(o, 2);
    case Command::Set: return checkPropertyValue(o);
    case Command::AutoExposure:
    case Command::WhiteBalance: return checkRegion(o.region);
    case Command::Control: return checkControl(o);
    case Command::Overlay: return checkBitmap(o);
    case Command::Settings:
      if (o.settingsAction == "load") return checkReadable("the settings file", o.settingsPath);
      return checkPath("the settings file's path", o.settingsPath);
    case Command::TimeLapse:
      if (auto problem = checkLapse(o)) return problem;
      return checkLapsePrefix(o, o.lapse.count);
    case Command::OptionsWindow: {
      std::vector<Step> steps;
      if (auto problem = loadSteps({o.panel.scriptPath, o.panel.steps}, steps))
        return InputProblem{problem->fileFailed ? ExitCode::FileFailed : ExitCode::Usage, problem->message};
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

} // namespace host
