// Times a path next to a memcpy of the bytes the path reads, in the same
// iteration, so that the ratio of the two, not the machine, is what to read.
// Each iteration prepares (untimed), runs the path, then copies; the
// reported time is the path's alone (manual time), with the counters
// vs_memcpy and memcpy_ms: the median over the iterations of the path's
// time over the copy's that followed it, and the median copy time. On a
// machine other work shares, a burst of that work lands on a few
// iterations; the median of paired ratios leaves them out where a ratio
// of sums would not. Where the system offers it, the clock is the calling
// thread's processor time, which stops while other work has the core: every
// path timed here runs on the calling thread alone, and the time a path
// spends in the system for it (faulting in fresh pages) still counts.
//
// A path that reads its bytes in several passes (a sum of frames) is set
// against one copy per pass of that pass's bytes, so that the copy works on
// blocks of the size the path does.
//
// Benchmarks that use this label their runs with a markdown table row's
// first cells (see results_reporter.h) and can run at each vector level.
#pragma once

#include "base/vector_level.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vxbench {

// Bytes of a repeatable pseudo-random pattern.
std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed);

// Arguments for the two frame sizes every path is measured at.
struct FrameSize {
  std::int64_t width;
  std::int64_t height;
};
inline constexpr FrameSize kFrameSizes[] = {{1280, 1024}, {2592, 1944}};

// The vector level of a benchmark argument: 1 AVX2 alone, 2 the widest the
// processor has. Limits the kernels to it and returns false (with the run
// skipped) when the processor lacks AVX2.
bool useLevel(benchmark::State& state, std::int64_t argument);
// The label's level cell: the level in use now, and the loop that runs at
// it when the path's widest loop ("sse2", "avx2" or "avx512") is narrower.
std::string levelCell(const char* widestLoop);
// "1280 x 1024"
std::string sizeCell(std::int64_t width, std::int64_t height);

// The middle value of `values` (the mean of the middle two for an even
// count); 0 for none. Reorders `values`.
double median(std::vector<double>& values);

// Seconds on the calling thread's clock (see above), from an arbitrary start.
double threadSeconds();

template <class Prepare, class Step>
void againstMemcpy(benchmark::State& state, const std::vector<std::size_t>& passes, Prepare&& prepare,
                   Step&& step) {
  const std::size_t largest = passes.empty() ? 0 : *std::max_element(passes.begin(), passes.end());
  std::size_t total = 0;
  for (const std::size_t bytes : passes) total += bytes;
  std::vector<std::uint8_t> from = pattern(largest, 99);
  std::vector<std::uint8_t> to(largest, 1);
  std::vector<double> ratios, copyTimes;
  for (auto _ : state) {
    prepare();
    const double t0 = threadSeconds();
    step();
    benchmark::ClobberMemory();
    const double t1 = threadSeconds();
    for (const std::size_t bytes : passes) {
      std::memcpy(to.data(), from.data(), bytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
    const double t2 = threadSeconds();
    const double s = t1 - t0;
    const double c = t2 - t1;
    if (c > 0.0) ratios.push_back(s / c);
    copyTimes.push_back(c);
    state.SetIterationTime(s);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(total));
  state.counters["vs_memcpy"] = median(ratios);
  state.counters["memcpy_ms"] = median(copyTimes) * 1e3;
}

template <class Prepare, class Step>
void againstMemcpy(benchmark::State& state, std::size_t copyBytes, Prepare&& prepare, Step&& step) {
  againstMemcpy(state, std::vector<std::size_t>{copyBytes}, prepare, step);
}

template <class Step>
void againstMemcpy(benchmark::State& state, std::size_t copyBytes, Step&& step) {
  againstMemcpy(state, std::vector<std::size_t>{copyBytes}, [] {}, step);
}

} // namespace vxbench
