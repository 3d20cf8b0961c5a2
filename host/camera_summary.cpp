#include "camera_summary.h"

#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <cstdio>
#include <string>

namespace host {
namespace {

constexpr int kOptionsWindowTemplate = 9;
constexpr int kCameraInfoButton = 1051;
constexpr int kCameraInfoTemplate = 104;
constexpr int kPanelClose = 1045;
constexpr int kOptionsClose = 8;

// Opens the options window and reads the Camera Info panel as a user would.
bool printCameraInformation(HostSession& session) {
  session.control(ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  platform::Window options = platform::headless::findDialog(kOptionsWindowTemplate);
  if (options == nullptr) return session.outcome().refused("the driver's options window did not open");
  platform::headless::clickButton(options, kCameraInfoButton);
  platform::Window info = platform::headless::findDialog(kCameraInfoTemplate);
  if (info != nullptr) {
    const struct {
      const char* label;
      int id;
    } fields[] = {{"Model", 1102},          {"Serial number", 1104}, {"API version", 1106},
                  {"Driver version", 1110}, {"Firmware", 1112},      {"FPGA", 1114}};
    for (const auto& field : fields)
      std::printf("  %-16s %s\n", field.label, platform::headless::controlInfo(info, field.id).text.c_str());
    platform::headless::clickButton(info, kPanelClose);
  }
  platform::headless::clickButton(options, kOptionsClose);
  if (info == nullptr) return session.outcome().refused("the camera information panel did not open");
  return true;
}

void printRange(const char* name, const Range& range, double preview, double acquire, const char* format) {
  if (!range.ok) {
    std::printf("  %-16s (range unavailable)\n", name);
    return;
  }
  std::string line = std::string("  %-16s ") + format + " .. " + format + "   preview " + format +
                     ", acquisition " + format + "\n";
  std::printf(line.c_str(), name, range.minimum, range.maximum, preview, acquire);
}

} // namespace

void printModes(HostSession& session) {
  for (bool acquisition : {false, true}) {
    const auto list = session.modes(acquisition);
    std::printf("%s modes (%zu):\n", acquisition ? "Acquisition" : "Preview", list.size());
    for (const ModeEntry& m : list)
      std::printf("  %2d  %-34s %5d x %-5d factor %d x %d%s\n", m.index, m.name.c_str(), m.width, m.height,
                  m.factorX, m.factorY, !acquisition && m.partial == 0 ? "  (whole sensor)" : "");
  }
  std::int32_t count = 0;
  session.control(ACQCMD_PIXEL_FORMAT, ACQPIX_BUILD, &count);
  if (count > 0 && count <= 16) {
    std::vector<std::vector<char>> names(static_cast<std::size_t>(count), std::vector<char>(ACQ_PIXEL_FORMAT_NAME_SIZE, '\0'));
    std::vector<AcqPixelFormatEntry> entries(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].name = names[i].data();
    session.control(ACQCMD_PIXEL_FORMAT, ACQPIX_LIST, entries.data());
    std::printf("Pixel formats:");
    for (const auto& e : entries) std::printf(" [%s]", e.name);
    std::int32_t depth = 0;
    session.query(ACQCMD_PIXEL_FORMAT, 0, &depth);
    std::printf("  current: %d bits\n", depth);
  }
}

void printProperties(HostSession& session) {
  std::printf("Properties (user scale: range, preview and acquisition values):\n");
  double exposure[3] = {};
  Range exposureRange{0, 0, session.control(ACQCMD_EXPOSURE_RANGE, 0, exposure) == 0};
  exposureRange.minimum = exposure[0];
  exposureRange.maximum = exposure[1];
  printRange("exposure (ms)", exposureRange, session.exposure(false), session.exposure(true), "%.3f");

  AcqGainRangeRecord gain{};
  Range gainRange{0, 0, session.control(ACQCMD_GAIN_RANGE, 0, &gain) == 0};
  gainRange.minimum = gain.minimum;
  gainRange.maximum = gain.maximum;
  printRange("global gain", gainRange, session.gain(false), session.gain(true), "%.2f");

  double gamma[4] = {};
  Range gammaRange{0, 0, session.control(ACQCMD_GAMMA_RANGE, 0, gamma) == 0};
  gammaRange.minimum = gamma[0];
  gammaRange.maximum = gamma[1];
  printRange("gamma", gammaRange, session.gamma(false), session.gamma(true), "%.2f");

  std::int32_t brightness[2] = {};
  Range brightnessRange{0, 0, session.control(ACQCMD_BRIGHTNESS_RANGE, 0, brightness) == 0};
  brightnessRange.minimum = brightness[0];
  brightnessRange.maximum = brightness[1];
  printRange("brightness", brightnessRange, session.brightness(false), session.brightness(true), "%.0f");

  AcqColourGainRange colour[3] = {};
  AcqWhiteBalanceRequest gains{};
  gains.flags = ACQWB_GAINS;
  const bool haveColour = session.control(ACQCMD_COLOUR_GAIN_RANGES, 0, colour) == 0;
  session.query(ACQCMD_WHITE_BALANCE, 0, &gains);
  const double values[3] = {gains.red, gains.green, gains.blue};
  const char* names[3] = {"red gain", "green gain", "blue gain"};
  for (int c = 0; c < 3; ++c) {
    Range r{colour[c].minimum, colour[c].maximum, haveColour};
    if (!haveColour) {
      std::printf("  %-16s (not available on this camera)\n", names[c]);
      continue;
    }
    std::printf("  %-16s %.2f .. %.2f   preview %.2f\n", names[c], r.minimum, r.maximum, values[c]);
  }
}

bool printCameraSummary(HostSession& session) {
  std::printf("Camera information:\n");
  const bool ok = printCameraInformation(session);

  const auto preview = session.modes(false);
  for (const ModeEntry& m : preview)
    if (m.partial == 0) std::printf("  %-16s %d x %d\n", "Sensor", m.width, m.height);

  // The frame rates the simulated camera offers, each with the longest
  // exposure it admits: the bands the driver's exposure controller measures.
  const auto cameras = vzsim::cameras();
  if (!cameras.empty()) {
    std::printf("  %-16s", "Frame rates");
    for (const auto& rate : cameras.front().frameRates)
      std::printf(" %.2f fps (<= %.1f ms)", static_cast<double>(rate.rate), static_cast<double>(rate.maxExposure));
    std::printf("\n");
  }
  printModes(session);
  printProperties(session);
  return ok;
}

} // namespace host
