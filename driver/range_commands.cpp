// The property range commands: exposure (65 from the camera, 85 from the
// exposure controller), global gain (67 in hundredths, 107 as a record),
// brightness (96), gamma (98) and the three colour gains (90).
#include "driver/control_commands.h"

#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "camera/property_accessors.h"

namespace vx {
namespace {

constexpr const char* kExposureRangeLine = "PIXORA QUORVEL DRIVER: Exposure range retreived from camera.";
constexpr const char* kGainRangeLine = "PIXORA QUORVEL DRIVER: Gain range retreived from camera.";
constexpr const char* kBrightnessRangeLine = "PIXORA QUORVEL DRIVER: Brightness range retreived from camera.";
constexpr const char* kGammaRangeLine = "PIXORA QUORVEL DRIVER: Gamma range retreived from camera.";
constexpr const char* kRangeFailure = "Could not get exposure: %d";
// The exposure ranges are logged in microseconds.
constexpr float kExposureLogScale = 1000.0f;

struct Range {
  float minimum = 0.0f;
  float maximum = 0.0f;
  float defaultValue = 0.0f;
};

bool readRange(VarcamHandle camera, int property, Range& range) {
  std::uint32_t flags = 0;
  return VarcamPropertyRange(camera, property, &range.minimum, &range.maximum, &range.defaultValue, &flags) != 0;
}

// The SDK refused the range: the user is told with the last error.
std::int32_t rangeFailure(const Driver& driver, const char* text) {
  const DriverState& state = driver.state;
  messageBoxf(state.hostWindow, "ERROR", text, static_cast<int>(VarcamGetLastError()));
  return kControlFailed;
}

void logRange(const char* line, const Range& range, float scale) {
  logLine("%s", line);
  logLine("Min: %d, max: %d, def: %d", truncateToInt(static_cast<double>(range.minimum * scale)),
          truncateToInt(static_cast<double>(range.maximum * scale)),
          truncateToInt(static_cast<double>(range.defaultValue * scale)));
}

} // namespace

std::int32_t cameraExposureRangeCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<double>();
  if (out == nullptr) return kControlFailed;
  Range range;
  if (!readRange(driver.camera.handle(), PropExposure, range)) return rangeFailure(driver, kRangeFailure);
  out[0] = static_cast<double>(range.minimum);
  out[1] = static_cast<double>(range.maximum);
  out[2] = 10.0;
  logRange(kExposureRangeLine, range, kExposureLogScale);
  return kControlOk;
}

std::int32_t controllerExposureRangeCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  auto* out = call.as<double>();
  if (out == nullptr) return kControlFailed;
  Range range;
  getExposureRange(driver.camera, range.minimum, range.maximum);
  // The controller knows no default; the exposure's reset value stands in.
  range.defaultValue = state.exposureDefault;
  out[0] = static_cast<double>(range.minimum);
  out[1] = static_cast<double>(range.maximum);
  out[2] = 1.0;
  logRange(kExposureRangeLine, range, kExposureLogScale);
  return kControlOk;
}

std::int32_t gainRangePercentCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  // Shown on every call, before the data is looked at.
  platform::messageBox(state.hostWindow, "DGL is called!", "YO!", platform::MB_OK);
  auto* out = call.as<std::int32_t>();
  if (out == nullptr) return kControlFailed;
  Range range;
  if (!readRange(driver.camera.handle(), PropGain, range)) return rangeFailure(driver, kRangeFailure);
  out[0] = hundredthsOf(range.minimum);
  out[1] = hundredthsOf(range.maximum);
  out[2] = 15;
  logRange(kGainRangeLine, range, 1.0f);
  return kControlOk;
}

std::int32_t gainRangeCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<AcqGainRangeRecord>();
  if (out == nullptr) return kControlFailed;
  Range range;
  if (!readRange(driver.camera.handle(), PropGain, range)) return rangeFailure(driver, kRangeFailure);
  *out = AcqGainRangeRecord{};
  out->a = 1;
  out->b = 1;
  out->c = 1;
  out->d = 0;
  out->minimum = 1.0;  // whatever the camera's minimum
  out->maximum = static_cast<double>(range.maximum);
  out->step = 0.0025;
  out->zero1 = 0.0;
  out->zero2 = 0.0;
  out->resolution = 0.01;
  logRange(kGainRangeLine, range, 1.0f);
  return kControlOk;
}

std::int32_t brightnessRangeCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<std::int32_t>();
  if (out == nullptr) return kControlUnknown;
  Range range;
  if (!readRange(driver.camera.handle(), PropBrightness, range)) return rangeFailure(driver, kRangeFailure);
  out[0] = truncateToInt(static_cast<double>(range.minimum));
  out[1] = truncateToInt(static_cast<double>(range.maximum));
  logRange(kBrightnessRangeLine, range, 1.0f);
  return kControlOk;
}

std::int32_t gammaRangeCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<double>();
  if (out == nullptr) return kControlUnknown;
  Range range;
  if (!readRange(driver.camera.handle(), PropGamma, range)) return rangeFailure(driver, kRangeFailure);
  out[0] = static_cast<double>(range.minimum);
  out[1] = static_cast<double>(range.maximum);
  out[2] = 0.01;
  out[3] = 1.0;
  logRange(kGammaRangeLine, range, 1.0f);
  return kControlOk;
}

std::int32_t colourGainRangesCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<AcqColourGainRange>();
  if (out == nullptr) return kControlUnknown;
  // Red, green, blue: read in that order, written in that order.
  constexpr int kProperties[3] = {PropGainRed, PropGainGreen1, PropGainBlue};
  Range ranges[3];
  for (int i = 0; i < 3; ++i)
    if (!readRange(driver.camera.handle(), kProperties[i], ranges[i]))
      return rangeFailure(driver, "Could not get red gain limits: %d");
  for (int i = 0; i < 3; ++i) {
    AcqColourGainRange& record = out[i];
    record = AcqColourGainRange{};
    record.one = 1;
    record.zero = 0;
    record.minimum = static_cast<double>(ranges[i].minimum);
    record.maximum = static_cast<double>(ranges[i].maximum);
    record.step1 = 0.01;
    record.step2 = 0.01;
  }
  return kControlOk;
}

} // namespace vx
