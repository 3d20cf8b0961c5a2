#include "driver/command_dispatcher.h"

#include "camera/preview_stream.h"
#include "driver/acq_control.h"
#include "driver/debug_log.h"

namespace vx {

std::int32_t dispatchControl(DriverState& state, std::int32_t message, std::int32_t parameter,
                             void* data) {
  const auto message16 = static_cast<std::uint32_t>(message) & 0xFFFFu;
  const auto parameter16 = static_cast<std::uint32_t>(parameter) & 0xFFFFu;
  logLine("ACQControl: message: %d, %d, %d\n", static_cast<int>(message16),
          static_cast<int>(parameter16),
          static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
  const std::uint32_t code = message16 & 0x7FFFu;
  if (state.driverOpen == 0) {
    if (code != ACQCMD_HOST_SETTINGS_PATH) return -1;
    const char* path = static_cast<const char*>(data);
    // A path that does not fit is refused rather than cut short.
    return state.hostSettingsPath.assign(path) ? 0 : 6;
  }
  const bool query = (message16 & ACQ_QUERY) != 0;
  switch (code) {
    case ACQCMD_GREY_MODE: {
      logLine("ACQControl... message GRAY: %d, %d, %d", static_cast<int>(message16),
              static_cast<int>(parameter16), static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
      const std::int32_t previous = state.greyMode;
      if (!query) {
        state.greyMode = static_cast<std::int32_t>(parameter16);
        setGrayscale(state, state.greyMode);
      }
      return previous;
    }
    default:
      // The rest of the command table arrives with the host command interface.
      return -1;
  }
}

} // namespace vx
