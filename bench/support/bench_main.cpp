// The benchmarks' main: the console report as usual and, when
// --benchmark_out names a file, the markdown rows of ResultsReporter there.
#include "bench/results_reporter.h"

#include <benchmark/benchmark.h>

#include <cstring>

int main(int argc, char** argv) {
  bool toFile = false;
  for (int i = 1; i < argc; ++i) toFile = toFile || std::strncmp(argv[i], "--benchmark_out=", 16) == 0;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vxbench::ResultsReporter results;
  benchmark::RunSpecifiedBenchmarks(nullptr, toFile ? &results : nullptr);
  benchmark::Shutdown();
  return 0;
}
