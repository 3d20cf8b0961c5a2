// Commands about the host's windows, the driver's identity, the settings
// file, the stream, and the codes whose values the host alone interprets.
#include "driver/control_commands.h"
#include "snap_trigger.h"

#include "camera/preview_stream.h"
#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "driver/settings_file.h"
#include "ui/options_window.h"

#include <cstring>

namespace vx {
namespace {

constexpr char kDriverName[] = "VARNEX CAMERA";
constexpr char kOptionsButtonText[] = "More...";
constexpr char kCustomControlText[] = "This is a custom control";
// The options window opens this far below the top of the active window.
constexpr int kOptionsWindowDrop = 162;

// Codes the supported-commands table marks as supported and as not.
constexpr int kSupportedCodes[] = {21, 48, 50, 55, 76, 84, 85, 88, 91, 92, 95, 96, 97, 98, 105, 106, 107};
constexpr int kUnsupportedCodes[] = {12, 42, 45, 49, 52, 53, 65, 66, 67, 72, 73, 74, 93, 94, 102};
// The table's element 7 carries this value rather than a flag.
constexpr int kElementSeven = 7;
constexpr std::int32_t kElementSevenValue = 8;

} // namespace

std::int32_t driverNameCommand(const ControlCall& call) {
  constexpr auto length = static_cast<std::int32_t>(sizeof kDriverName - 1);
  if (call.query) return length;
  if (call.data == nullptr) return kControlFailed;
  std::memcpy(call.data, kDriverName, sizeof kDriverName);
  return length;
}

std::int32_t externalTriggerCommand(Driver& driver, const ControlCall& call) {
  const std::int32_t previous = driver.capture.externalTrigger;
  if (!call.query) driver.capture.externalTrigger = call.parameter != 0 ? 1 : 0;
  return previous;
}

std::int32_t greyModeCommand(Driver& driver, const ControlCall& call) {
  logLine("ACQControl... message GRAY: %d, %d, %d", static_cast<int>(call.message),
          static_cast<int>(call.parameter), static_cast<int>(reinterpret_cast<std::intptr_t>(call.data)));
  const std::int32_t previous = driver.capture.greyMode;
  if (!call.query) {
    driver.capture.greyMode = static_cast<std::int32_t>(call.parameter);
    setGrayscale(driver.camera, driver.capture.greyMode);
  }
  return previous;
}

std::int32_t optionsWindowCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  if (call.query) {
    if (call.data == nullptr) return kControlFailed;
    std::memcpy(call.data, kOptionsButtonText, sizeof kOptionsButtonText);
    return kControlOk;
  }
  // Beside the window the user is working in: its right edge, a little below
  // its top.
  Rect active{};
  if (!platform::getWindowRect(platform::activeWindow(), &active)) active = Rect{};
  driver.options.open(state.hostWindow, active.right, active.top + kOptionsWindowDrop);
  return kControlOk;
}

std::int32_t supportedCommandsCommand(Driver& driver, const ControlCall& call) {
  auto* table = call.as<std::int32_t>();
  if (table == nullptr) return kControlFailed;
  const std::int32_t length = table[0];
  const auto put = [table, length](int code, std::int32_t value) {
    if (code < length) table[code] = value;
  };
  for (int code : kSupportedCodes) put(code, 1);
  for (int code : kUnsupportedCodes) put(code, 0);
  // White balance and colour gain ranges only for a colour camera; a failed
  // read leaves -1, which counts as colour.
  float colourFormat = -1.0f;
  std::uint32_t flags = 0;
  VarcamGetProperty(driver.camera.handle(), PropColorFormat, &colourFormat, &flags);
  const std::int32_t colour = colourFormat == 0.0f ? 0 : 1;
  put(ACQCMD_WHITE_BALANCE, colour);
  put(ACQCMD_COLOUR_GAIN_RANGES, colour);
  put(kElementSeven, kElementSevenValue);
  return kControlOk;
}

std::int32_t multiSnapReportCommand(Driver& driver, const ControlCall& call) {
  // The host passes the number of images captured in place of a pointer.
  const auto captured = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(call.data));
  showMultiSnapReport(driver, captured, static_cast<std::int32_t>(call.parameter));
  return kControlOk;
}

std::int32_t hostWindowCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  state.hostWindow = call.as<::HWND__>();
  return kControlOk;
}

std::int32_t displayOpenCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  auto* record = call.as<AcqDisplayRecord>();
  if (record == nullptr) return kControlFailed;
  logLine("ZAVOpen...");
  if (record->window != nullptr && record->window == state.displayWindow)
    platform::showWindow(state.displayWindow, platform::SW_SHOW);
  state.displayWindow = record->window;
  // The preview window becomes the display window and the stream starts.
  if (state.previewRunning == 0) startPreview(driver.camera, state.displayWindow);
  record->displayWidth = state.display.width;
  record->displayHeight = state.display.height + 20;
  record->done = 1;
  return 1;
}

std::int32_t displayCloseCommand() {
  logLine("ZAVClose...");
  return 1;
}

std::int32_t settingsFileCommand(Driver& driver, const ControlCall& call) {
  // A path that does not fit is refused rather than cut into the name of
  // another file.
  if (!driver.commands.settingsPath.assign(call.as<const char>())) return kControlFailed;
  if (call.parameter == 1)
    loadSettings(driver);
  else
    saveSettings(driver);
  return kControlOk;
}

std::int32_t dataPresentCommand(const ControlCall& call) {
  return call.data != nullptr ? kControlOk : kControlFailed;
}

std::int32_t fixedLimitsCommand(const ControlCall& call) {
  auto* values = call.as<std::int16_t>();
  if (values == nullptr) return kControlFailed;
  values[0] = 1;
  values[1] = 512;
  values[2] = 1;
  values[3] = 512;
  return kControlOk;
}

std::int32_t evenOddMaskCommand(const ControlCall& call) {
  auto* values = call.as<std::int16_t>();
  if (values == nullptr) return kControlFailed;
  // Never beyond element 512, whatever the parameter says.
  constexpr std::uint32_t kLastElement = 512;
  std::uint32_t first = 1;
  if (call.code == 72) {
    for (int k = 0; k < 5; ++k) values[k] = 1;
    first = 5;
  }
  for (std::uint32_t k = first; k < call.parameter && k <= kLastElement; k += 2) values[k] = 0;
  return kControlOk;
}

std::int32_t hostValueCommand(Driver& driver, const ControlCall& call) {
  const std::int32_t previous = driver.commands.hostValue74;
  if (!call.query) driver.commands.hostValue74 = static_cast<std::int32_t>(call.parameter);
  return previous;
}

std::int32_t customControlCommand(const ControlCall& call) {
  const std::uint32_t selector = call.parameter & 0xFEu;
  if (selector != 2 && selector != 16 && selector != 32) return kControlOk;
  if (call.data == nullptr) return kControlFailed;
  switch (selector) {
    case 2: *call.as<std::int32_t>() = 11; break;
    case 16: *call.as<std::int32_t>() = static_cast<std::int32_t>(sizeof kCustomControlText - 1); break;
    default: std::memcpy(call.data, kCustomControlText, sizeof kCustomControlText); break;
  }
  return kControlOk;
}

std::int32_t streamControlCommand(Driver& driver, const ControlCall& call) {
  switch (call.parameter) {
    case ACQSTREAM_STOP: stopPreview(driver.camera); break;
    case ACQSTREAM_SNAPSHOT_MODE: setSnapshotMode(driver.camera, 1); break;
    case ACQSTREAM_STREAMING_MODE: setSnapshotMode(driver.camera, 0); break;
    default: break;  // 6, 14 and 15 are known and do nothing, like any other
  }
  return kControlOk;
}

} // namespace vx
