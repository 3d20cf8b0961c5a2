#include "driver/command_dispatcher.h"

#include "driver/acq_control.h"
#include "driver/control_commands.h"
#include "base/debug_log.h"
#include "driver/image_geometry.h"

namespace vx {
namespace {

// The full command table of the open driver.
std::int32_t runCommand(DriverState& state, const ControlCall& call) {
  switch (call.code) {
    // Image geometry, also asked for by the image transfer from inside the
    // driver.
    case ACQCMD_IMAGE_WIDTH: return imageWidth(state);
    case ACQCMD_IMAGE_HEIGHT: return imageHeight(state);
    case ACQCMD_BIT_DEPTH: return imageBitDepth(state);

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
    case ACQCMD_EXTERNAL_TRIGGER: return externalTriggerCommand(state, call);
    case ACQCMD_GREY_MODE: return greyModeCommand(state, call);
    case ACQCMD_OPTIONS_WINDOW:
    case ACQCMD_OPTIONS_WINDOW_2: return optionsWindowCommand(state, call);
    case ACQCMD_SUPPORTED_COMMANDS: return supportedCommandsCommand(state, call);
    case ACQCMD_MULTISNAP_REPORT: return multiSnapReportCommand(state, call);
    case ACQCMD_HOST_WINDOW: return hostWindowCommand(state, call);
    case ACQCMD_DISPLAY_OPEN: return displayOpenCommand(state, call);
    case ACQCMD_DISPLAY_CLOSE: return displayCloseCommand();
    case ACQCMD_SETTINGS_FILE: return settingsFileCommand(state, call);
    case 63: return dataPresentCommand(call);
    case 66: return fixedLimitsCommand(call);
    case 72:
    case 73: return evenOddMaskCommand(call);
    case ACQCMD_HOST_VALUE: return hostValueCommand(state, call);
    case ACQCMD_CUSTOM_CONTROL: return customControlCommand(call);
    case ACQCMD_STREAM_CONTROL: return streamControlCommand(state, call);

    case ACQCMD_CAPTRECT: return captureRectCommand(state, call);
    case ACQCMD_SNAP: return snapCommand(state, call);
    case ACQCMD_SNAP_STATUS: return snapStatusCommand(state);
    case ACQCMD_DECIMATION: return decimationCommand(state, call);
    case ACQCMD_CAPTRECT_LIMITS: return captureRectLimitsCommand(state, call);

    case ACQCMD_ACQUIRE_RESOLUTION:
    case ACQCMD_PREVIEW_RESOLUTION: return resolutionCommand(state, call);
    case ACQCMD_PIXEL_FORMAT: return pixelFormatCommand(state, call);

    case ACQCMD_EXPOSURE_PREVIEW:
    case ACQCMD_EXPOSURE: return exposureCommand(state, call);
    case ACQCMD_GAIN: return gainCommand(state, call);
    case ACQCMD_GAIN_PERCENT: return gainPercentCommand(state, call);
    case ACQCMD_BRIGHTNESS: return brightnessCommand(state, call);
    case ACQCMD_GAMMA: return gammaCommand(state, call);

    case ACQCMD_EXPOSURE_RANGE_STEP10: return cameraExposureRangeCommand(state, call);
    case ACQCMD_EXPOSURE_RANGE: return controllerExposureRangeCommand(state, call);
    case ACQCMD_GAIN_RANGE_PERCENT: return gainRangePercentCommand(state, call);
    case ACQCMD_GAIN_RANGE: return gainRangeCommand(state, call);
    case ACQCMD_BRIGHTNESS_RANGE: return brightnessRangeCommand(state, call);
    case ACQCMD_GAMMA_RANGE: return gammaRangeCommand(state, call);
    case ACQCMD_COLOUR_GAIN_RANGES: return colourGainRangesCommand(state, call);

    case ACQCMD_AUTO_EXPOSURE: return autoExposureCommand(state, call);
    case ACQCMD_WHITE_BALANCE: return whiteBalanceCommand(state, call);

    default: return kControlUnknown;
  }
}

} // namespace

std::int32_t dispatchControl(DriverState& state, std::int32_t message, std::int32_t parameter,
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
  if (state.driverOpen == 0) {
    if (call.code != ACQCMD_HOST_SETTINGS_PATH) return kControlUnknown;
    // A path that does not fit is refused rather than cut short.
    return state.hostSettingsPath.assign(call.as<const char>()) ? kControlOk : kControlFailed;
  }
  return runCommand(state, call);
}

} // namespace vx
