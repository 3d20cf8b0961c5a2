// The exit status of varnex-host, for scripts: one code per kind of failure.
#pragma once

namespace host {

enum class ExitCode : int {
  Ok = 0,
  Usage = 1,       // an unknown option, a value that does not parse or is out of bounds, a step
                   // naming a control that is not there
  Refused = 2,     // the driver refused a command, or no camera could be opened
  FileFailed = 3,  // a file could not be written or read
  NoDriver = 4,    // the driver library could not be loaded
};

inline int toInt(ExitCode code) { return static_cast<int>(code); }

// The exit codes as the help texts and the README list them.
inline constexpr const char* kExitCodeHelp =
    "Exit status:\n"
    "  0  success\n"
    "  1  usage error: unknown option, bad or out-of-range value (the driver is not loaded), or an\n"
    "     options step naming a control its panel does not have\n"
    "  2  the driver refused a command, a snapshot never became ready, or no camera could be opened\n"
    "  3  a file could not be written or read\n"
    "  4  the driver library could not be loaded\n";

} // namespace host
