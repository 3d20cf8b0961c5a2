// What one step of `varnex-host options` did: the SDK calls the camera
// received, the message boxes and their answers, the driver's debug lines,
// the panels it opened or closed, and how it ended. Collected between two
// marks of the simulator's journal and the platform's logs, printed as text
// or JSON.
#pragma once

#include "dialog_snapshot.h"
#include "exit_codes.h"
#include "panel_steps.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host {

// Where the logs stood before a step.
struct LogMark {
  std::uint64_t journalSequence = 0;
  std::size_t messageBoxes = 0;
  std::size_t debugLines = 0;
};
LogMark markLogs();

struct StepReport {
  int number = 0;
  const Step* step = nullptr;
  std::vector<std::string> notes;  // what happened, in words
  std::vector<vzsim::JournalEntry> calls;
  std::vector<platform::headless::MessageBoxRecord> messageBoxes;
  std::vector<std::string> debugLines;
  std::optional<DialogSnapshot> shown;  // a `show` step's dialog
  ExitCode failure = ExitCode::Ok;
  std::string error;                    // why the step failed
};

// Fills the report's calls, boxes and debug lines with what came after the
// mark. Only the calls that change the camera unless `allCalls`.
void collectSince(const LogMark& mark, bool allCalls, StepReport& report);

// Whether an SDK function changes the camera (sets a property or format,
// starts or stops the stream, runs a one-shot, registers a callback...).
bool changesCamera(const std::string& function);
// "PropExposure (20) = 250, flags 0x0" for a property write, else the call
// with its arguments; a failed call ends with its error.
std::string describeCall(const vzsim::JournalEntry& call);

std::string formatReport(const StepReport& report, bool debugLines);
nlohmann::json reportJson(const StepReport& report, bool debugLines);

} // namespace host
