#include "bench/results_reporter.h"

#include <cstdio>
#include <ostream>

namespace vxbench {
namespace {

double counter(const benchmark::BenchmarkReporter::Run& run, const char* name) {
  const auto it = run.counters.find(name);
  return it != run.counters.end() ? static_cast<double>(it->second) : -1.0;
}

std::string milliseconds(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms < 10.0 ? "%.3f ms" : "%.2f ms", ms);
  return text;
}

} // namespace

bool ResultsReporter::ReportContext(const Context&) { return true; }

void ResultsReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    // With repetitions, the median; a single run stands for itself.
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if (!(median || single) || run.error_occurred) continue;
    const double ratio = counter(run, "vs_memcpy");
    const double copyMs = counter(run, "memcpy_ms");
    if (ratio < 0.0 || copyMs < 0.0) continue;
    const double pathMs = run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    rows_.push_back("| " + run.report_label + " | " + milliseconds(pathMs) + " | " + milliseconds(copyMs) + " | " +
                    ratioText + " |");
  }
}

void ResultsReporter::Finalize() {
  std::ostream& out = GetOutputStream();
  for (const std::string& row : rows_) out << row << '\n';
  out.flush();
}

} // namespace vxbench
