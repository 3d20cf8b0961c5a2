// Writes the median of each benchmark's repetitions as a markdown table row
// into the file named by --benchmark_out: the run's label (its first cells,
// "path | size | level | memcpy of"), then the path's time, the memcpy's
// time and their ratio. Runs without the vs_memcpy counter are left out.
// The console shows the usual report meanwhile.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace vxbench {

class ResultsReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override;
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<std::string> rows_;
};

} // namespace vxbench
