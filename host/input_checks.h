// Checks of the command line's values before the driver is loaded: every
// value the driver would take into a fixed buffer, divide by or count with
// is bounded here, so that bad input gets a clear message and never reaches
// the driver.
#pragma once

#include "command_line.h"
#include "exit_codes.h"

#include <optional>
#include <string>

namespace host {

// The driver keeps paths in 260-byte buffers: 259 bytes and the terminator.
inline constexpr std::size_t kLongestPath = 259;
// The data buffer of the raw `control` command.
inline constexpr std::size_t kControlBufferBytes = 4096;

struct InputProblem {
  ExitCode code = ExitCode::Usage;
  std::string message;
};

// Returns the first problem of the job's input, or nothing when it may run.
// Input files that are missing give ExitCode::FileFailed, everything else
// ExitCode::Usage.
std::optional<InputProblem> checkInput(const CommandLine& line);

} // namespace host
