// The commands of AcqControl, grouped by what they serve. The dispatcher
// (command_dispatcher.cpp) writes the call's log line, handles the closed
// state and routes each code to one of these handlers.
//
// Every handler runs on the host's thread, returns the command's result and
// never dereferences a null `data`: where a command needs `data` and the
// host passed none, it returns kControlFailed.
#pragma once

#include "base/whole_number.h"
#include "driver/acq_api.h"
#include "driver/driver.h"

#include <cstdint>

namespace vx {

// Results shared by the commands.
inline constexpr std::int32_t kControlOk = 0;
inline constexpr std::int32_t kControlFailed = 6;
inline constexpr std::int32_t kControlUnknown = -1;

// One AcqControl call, decoded.
struct ControlCall {
  std::uint32_t message = 0;    // low 16 bits of the message, query flag included
  std::uint32_t code = 0;       // message & 0x7FFF
  bool query = false;           // message & 0x8000
  std::uint32_t parameter = 0;  // low 16 bits, unsigned
  void* data = nullptr;

  template <class T>
  T* as() const { return static_cast<T*>(data); }
  // The preview/acquire selector of the property commands: 1 is the
  // acquisition value, anything else the preview value.
  bool acquireSelected() const { return parameter == 1; }
};

// ---- host and window commands (host_commands.cpp) ---------------------------
std::int32_t driverNameCommand(const ControlCall& call);                        // 5
std::int32_t externalTriggerCommand(Driver& driver, const ControlCall& call);  // 12
std::int32_t greyModeCommand(Driver& driver, const ControlCall& call);      // 13
std::int32_t optionsWindowCommand(Driver& driver, const ControlCall& call); // 21, 42
std::int32_t supportedCommandsCommand(Driver& driver, const ControlCall& call);  // 25
std::int32_t multiSnapReportCommand(Driver& driver, const ControlCall& call);    // 27
std::int32_t hostWindowCommand(Driver& driver, const ControlCall& call);    // 33
std::int32_t displayOpenCommand(Driver& driver, const ControlCall& call);   // 39
std::int32_t displayCloseCommand();                                             // 40
std::int32_t settingsFileCommand(Driver& driver, const ControlCall& call);  // 54
std::int32_t dataPresentCommand(const ControlCall& call);                       // 63
std::int32_t fixedLimitsCommand(const ControlCall& call);                       // 66
std::int32_t evenOddMaskCommand(const ControlCall& call);                       // 72, 73
std::int32_t hostValueCommand(Driver& driver, const ControlCall& call);     // 74
std::int32_t customControlCommand(const ControlCall& call);                     // 94
std::int32_t streamControlCommand(Driver& driver, const ControlCall& call); // 300

// ---- capture rectangles and snapshots (capture_commands.cpp) ---------------
std::int32_t captureRectCommand(Driver& driver, const ControlCall& call);   // 48
std::int32_t snapCommand(Driver& driver, const ControlCall& call);          // 50
std::int32_t snapStatusCommand(Driver& driver);                             // 51
std::int32_t decimationCommand(Driver& driver, const ControlCall& call);    // 52
std::int32_t captureRectLimitsCommand(Driver& driver, const ControlCall& call);  // 55

// ---- resolution lists (resolution_commands.cpp) -----------------------------
std::int32_t resolutionCommand(Driver& driver, const ControlCall& call);    // 91, 92

// ---- pixel formats (pixel_format_commands.cpp) -------------------------------
std::int32_t pixelFormatCommand(Driver& driver, const ControlCall& call);   // 93

// ---- camera property values (property_commands.cpp) --------------------------
std::int32_t exposureCommand(Driver& driver, const ControlCall& call);      // 49, 84
std::int32_t gainCommand(Driver& driver, const ControlCall& call);          // 106
std::int32_t gainPercentCommand(Driver& driver, const ControlCall& call);   // 53
std::int32_t brightnessCommand(Driver& driver, const ControlCall& call);    // 95
std::int32_t gammaCommand(Driver& driver, const ControlCall& call);         // 97

// ---- property ranges (range_commands.cpp) -------------------------------------
std::int32_t cameraExposureRangeCommand(Driver& driver, const ControlCall& call);      // 65
std::int32_t controllerExposureRangeCommand(Driver& driver, const ControlCall& call);  // 85
std::int32_t gainRangePercentCommand(Driver& driver, const ControlCall& call);  // 67
std::int32_t gainRangeCommand(Driver& driver, const ControlCall& call);         // 107
std::int32_t brightnessRangeCommand(Driver& driver, const ControlCall& call);   // 96
std::int32_t gammaRangeCommand(Driver& driver, const ControlCall& call);        // 98
std::int32_t colourGainRangesCommand(Driver& driver, const ControlCall& call);  // 90

// ---- one-shot auto exposure and white balance (one_shot_commands.cpp) ------
std::int32_t autoExposureCommand(Driver& driver, const ControlCall& call);  // 88
std::int32_t whiteBalanceCommand(Driver& driver, const ControlCall& call);  // 89

// Rectangles from the host are held within this many pixels of the origin
// before any arithmetic on them, so that no sum or difference of two
// coordinates can overflow. No sensor comes near it.
inline constexpr std::int32_t kCoordinateLimit = 1 << 24;
Rect boundedRect(const AcqRect& rect);
AcqRect toAcqRect(const Rect& rect);

// A double from the host as the float the accessors hold. Values a float
// cannot hold (and NaN) are refused rather than narrowed into nonsense.
bool narrowHostValue(double value, float& out);

// A value as a whole number of hundredths, truncated toward zero. A value
// that is a whole number of hundredths as nearly as a float can hold it
// counts as exactly that number, so that hundredths set are read back.
std::int32_t hundredthsOf(float value);

// Rounds to hundredths, half away from zero: the reported gamma and colour
// gains.
double roundToHundredthsHalfUp(double value);

} // namespace vx
