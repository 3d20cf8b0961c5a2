// Times a path next to a memcpy of the bytes the path reads, in the same
// iteration, so that the ratio of the two, not the machine, is what to read.
// Each iteration prepares (untimed), runs the path, then copies; the
// reported time is the path's alone (manual time), with the counters
// vs_memcpy (the path's time over the copy's) and memcpy_ms (the copy's
// time per iteration).
//
// Benchmarks that use this label their runs with a markdown table row's
// first cells (see results_reporter.h) and can run at each vector level.
#pragma once

#include "base/vector_level.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

template <class Prepare, class Step>
void againstMemcpy(benchmark::State& state, std::size_t copyBytes, Prepare&& prepare, Step&& step) {
  using Clock = std::chrono::steady_clock;
  std::vector<std::uint8_t> from = pattern(copyBytes, 99);
  std::vector<std::uint8_t> to(copyBytes, 1);
  double pathSeconds = 0.0;
  double copySeconds = 0.0;
  for (auto _ : state) {
    prepare();
    const auto t0 = Clock::now();
    step();
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    std::memcpy(to.data(), from.data(), copyBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    pathSeconds += s;
    copySeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(s);
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(copyBytes));
  state.counters["vs_memcpy"] = copySeconds > 0.0 ? pathSeconds / copySeconds : 0.0;
  state.counters["memcpy_ms"] = iterations > 0.0 ? copySeconds * 1e3 / iterations : 0.0;
}

template <class Step>
void againstMemcpy(benchmark::State& state, std::size_t copyBytes, Step&& step) {
  againstMemcpy(state, copyBytes, [] {}, step);
}

} // namespace vxbench
