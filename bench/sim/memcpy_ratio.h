// Times one step per benchmark iteration next to a memcpy of a given number
// of bytes in the same iteration, and reports the step's time over the
// copy's as the counter vs_memcpy. The reported time is the step's alone.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

namespace simbench {

template <class Step>
void measureAgainstMemcpy(benchmark::State& state, std::size_t copyBytes, Step&& step) {
  using Clock = std::chrono::steady_clock;
  std::vector<std::uint8_t> from(copyBytes);
  for (std::size_t i = 0; i < copyBytes; ++i) from[i] = static_cast<std::uint8_t>(i * 131u >> 3);
  std::vector<std::uint8_t> to(copyBytes, 0);
  double stepSeconds = 0.0;
  double copySeconds = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    step();
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    std::memcpy(to.data(), from.data(), copyBytes);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    const double s = std::chrono::duration<double>(t1 - t0).count();
    stepSeconds += s;
    copySeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(s);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(copyBytes));
  state.counters["vs_memcpy"] = copySeconds > 0.0 ? stepSeconds / copySeconds : 0.0;
}

} // namespace simbench
