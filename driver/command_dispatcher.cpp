#include "driver/command_dispatcher.h"

#include "driver/acq_control.h"
#include "driver/control_commands.h"
#include "base/debug_log.h"
#include "image_geometry.h"

namespace vx {
namespace {

// The full command table of the open driver.
std::int32_t runCommand(Driver& driver, const ControlCall& call) {
  switch (call.code) {
    // Image geometry, also asked for by the image transfer from inside the
    // driver.
    case ACQCMD_IMAGE_WIDTH: return imageWidth(driver);
    case ACQCMD_IMAGE_HEIGHT: return imageHeight(driver);
    case ACQCMD_BIT_DEPTH: return imageBitDepth(driver);

    // Codes whose meaning lies with the host: fixed answers.
    case 2:
    case 19:
    case 37: return 1;
    case 3:
    case 7:
    case 105: return 3;
    case 22:
    case 36:
    case 45:
    case 102:
    case 812:
    case 835:
    case 837:
    case 1000:
    case 1001: return kControlOk;

    case ACQCMD_DRIVER_NAME: return driverNameCommand(call);
    case ACQCMD_EXTERNAL_TRIGGER: return externalTriggerCommand(driver, call);
    case ACQCMD_GREY_MODE: return greyModeCommand(driver, call);
    case ACQCMD_OPTIONS_WINDOW:
    case ACQCMD_OPTIONS_WINDOW_2: return optionsWindowCommand(driver, call);
    case ACQCMD_SUPPORTED_COMMANDS: return supportedCommandsCommand(driver, call);
    case ACQCMD_MULTISNAP_REPORT: return multiSnapReportCommand(driver, call);
    case ACQCMD_HOST_WINDOW: return hostWindowCommand(driver, call);
    case ACQCMD_DISPLAY_OPEN: return displayOpenCommand(driver, call);
    case ACQCMD_DISPLAY_CLOSE: return displayCloseCommand();
    case ACQCMD_SETTINGS_FILE: return settingsFileCommand(driver, call);
    case 63: return dataPresentCommand(call);
    case 66: return fixedLimitsCommand(call);
    case 72:
    case 73: return evenOddMaskCommand(call);
    case ACQCMD_HOST_VALUE: return hostValueCommand(driver, call);
    case ACQCMD_CUSTOM_CONTROL: return customControlCommand(call);
    case ACQCMD_STREAM_CONTROL: return streamControlCommand(driver, call);

    case ACQCMD_CAPTRECT: return captureRectCommand(driver, call);
    case ACQCMD_SNAP: return snapCommand(driver, call);
    case ACQCMD_SNAP_STATUS: return snapStatusCommand(driver);
    case ACQCMD_DECIMATION: return decimationCommand(driver, call);
    case ACQCMD_CAPTRECT_LIMITS: return captureRectLimitsCommand(driver, call);

    case ACQCMD_ACQUIRE_RESOLUTION:
    case ACQCMD_PREVIEW_RESOLUTION: return resolutionCommand(driver, call);
    case ACQCMD_PIXEL_FORMAT: return pixelFormatCommand(driver, call);

    case ACQCMD_EXPOSURE_PREVIEW:
    case ACQCMD_EXPOSURE: return exposureCommand(driver, call);
    case ACQCMD_GAIN: return gainCommand(driver, call);
    case ACQCMD_GAIN_PERCENT: return gainPercentCommand(driver, call);
    case ACQCMD_BRIGHTNESS: return brightnessCommand(driver, call);
    case ACQCMD_GAMMA: return gammaCommand(driver, call);

    case ACQCMD_EXPOSURE_RANGE_STEP10: return cameraExposureRangeCommand(driver, call);
    case ACQCMD_EXPOSURE_RANGE: return controllerExposureRangeCommand(driver, call);
    case ACQCMD_GAIN_RANGE_PERCENT: return gainRangePercentCommand(driver, call);
    case ACQCMD_GAIN_RANGE: return gainRangeCommand(driver, call);
    case ACQCMD_BRIGHTNESS_RANGE: return brightnessRangeCommand(driver, call);
    case ACQCMD_GAMMA_RANGE: return gammaRangeCommand(driver, call);
    case ACQCMD_COLOUR_GAIN_RANGES: return colourGainRangesCommand(driver, call);

    case ACQCMD_AUTO_EXPOSURE: return autoExposureCommand(driver, call);
    case ACQCMD_WHITE_BALANCE: return whiteBalanceCommand(driver, call);

    default: return kControlUnknown;
  }
}

} // namespace

std::int32_t dispatchControl(Driver& driver, std::int32_t message, std::int32_t parameter,
                             void* data) {
  const auto message16 = static_cast<std::uint32_t>(message) & 0xFFFFu;
  const auto parameter16 = static_cast<std::uint32_t>(parameter) & 0xFFFFu;
  logLine("ACQControl: message: %d, %d, %d\n", static_cast<int>(message16),
          static_cast<int>(parameter16),
          static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
  ControlCall call;
  call.message = message16;
  call.code = message16 & 0x7FFFu;
  call.query = (message16 & ACQ_QUERY) != 0;
  call.parameter = parameter16;
  call.data = data;
  if (driver.driverOpen == 0) {
    if (call.code != ACQCMD_HOST_SETTINGS_PATH) return kControlUnknown;
    // A path that does not fit is refused rather than cut short.
    return driver.commands.hostSettingsPath.assign(call.as<const char>()) ? kControlOk : kControlFailed;
  }
  return runCommand(driver, call);
}

} // namespace vx
