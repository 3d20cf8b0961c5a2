// Dark subtraction and background correction at 1280 x 1024 and 2592 x 1944:
// the kernels and the callbacks as the SDK calls them. Each iteration also
// copies, with memcpy, as many bytes as the correction reads and writes
// (half the traffic each way), and reports the correction's time over the
// copy's as vs_memcpy; the reported time is the correction's alone.
#include "camera/image_correction.h"
#include "driver/driver.h"
#include "platform/headless_control.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return v;
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Args({1280, 1024})->Args({2592, 1944})->UseManualTime()->Unit(benchmark::kMicrosecond);
}

// Runs `correct` once per iteration next to a memcpy of `copyBytes`, timing
// both; `traffic` is what the correction reads plus what it writes.
template <class Correct>
void measure(benchmark::State& state, std::size_t traffic, Correct&& correct) {
  const std::size_t copyBytes = traffic / 2;
  std::vector<std::uint8_t> from = pattern(copyBytes, 7);
  std::vector<std::uint8_t> to(copyBytes);
  double correctSeconds = 0.0;
  double copySeconds = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    correct();
    const auto t1 = Clock::now();
    std::memcpy(to.data(), from.data(), copyBytes);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    const double c = std::chrono::duration<double>(t1 - t0).count();
    correctSeconds += c;
    copySeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(c);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(traffic));
  state.counters["vs_memcpy"] = copySeconds > 0.0 ? correctSeconds / copySeconds : 0.0;
}

std::size_t pixelsOf(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1));
}

// Reads the frame and the dark frame, writes the frame.
void BM_DarkSubtractionKernel(benchmark::State& state) {
  const std::size_t n = pixelsOf(state);
  std::vector<std::uint8_t> frame = pattern(n, 1);
  const std::vector<std::uint8_t> dark = pattern(n, 2);
  measure(state, 3 * n, [&] {
    vx::subtractDarkFrame(frame.data(), n, dark.data(), n);
    benchmark::DoNotOptimize(frame.data());
  });
}
BENCHMARK(BM_DarkSubtractionKernel)->Apply(sizes);

// Reads the pixels and a double per pixel, writes the pixels. The third
// argument limits the vector unit (0 scalar, 1 AVX2, 2 AVX-512 or the
// widest the processor has); every level gives the same bytes.
void BM_BackgroundKernel(benchmark::State& state) {
  const std::size_t n = pixelsOf(state);
  vx::limitKernelLevel(static_cast<vx::KernelLevel>(state.range(2)));
  state.SetLabel(vx::kernelLevel() == vx::KernelLevel::Avx512 ? "avx512"
                 : vx::kernelLevel() == vx::KernelLevel::Avx2 ? "avx2"
                                                               : "scalar");
  std::vector<std::uint8_t> rgb = pattern(3 * n, 3);
  std::vector<double> factors(n);
  for (std::size_t i = 0; i < n; ++i) factors[i] = 0.9 + 0.2 * static_cast<double>(i % 101) / 100.0;
  measure(state, 3 * n + 8 * n + 3 * n, [&] {
    vx::applyBackgroundFactors(rgb.data(), n, 3, factors.data());
    benchmark::DoNotOptimize(rgb.data());
  });
  vx::limitKernelLevel(vx::KernelLevel::Avx512);
}
BENCHMARK(BM_BackgroundKernel)
    ->ArgsProduct({{1280}, {1024}, {0, 1, 2}})
    ->ArgsProduct({{2592}, {1944}, {0, 1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The callbacks with their switch, lock and log line, on a state with
// stored frames.
void BM_DarkSubtractionCallback(benchmark::State& state) {
  platform::headless::reset();
  const std::size_t n = pixelsOf(state);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  auto dark = std::make_unique<vx::DarkFrame>();
  dark->bytes.allocate(n);
  const std::vector<std::uint8_t> values = pattern(n, 2);
  std::memcpy(dark->bytes.data(), values.data(), n);
  driver->camera.corrections.replaceDark(std::move(dark));
  driver->state.darkSubtractionOn = 1;
  std::vector<std::uint8_t> frame = pattern(n, 1);
  std::int64_t frames = 0;
  measure(state, 3 * n, [&] {
    vx::darkFrameCallback(&driver->camera, frame.data(), static_cast<std::uint32_t>(n));
    if (++frames % 1024 == 0) platform::headless::clearDebugLines();
  });
  platform::headless::reset();
}
BENCHMARK(BM_DarkSubtractionCallback)->Apply(sizes);

void BM_BackgroundCallback(benchmark::State& state) {
  const std::size_t n = pixelsOf(state);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  auto background = std::make_unique<vx::BackgroundFactors>();
  background->factors.allocate(n);
  for (std::size_t i = 0; i < n; ++i) background->factors[i] = 0.9 + 0.2 * static_cast<double>(i % 101) / 100.0;
  driver->camera.corrections.replaceBackground(std::move(background));
  driver->camera.rgbPreviewFormat = VarcamRgb24;
  driver->state.backgroundCorrectionOn = 1;
  std::vector<std::uint8_t> rgb = pattern(3 * n, 3);
  measure(state, 14 * n, [&] {
    vx::backgroundCallback(&driver->camera, rgb.data(), static_cast<std::uint32_t>(3 * n), 0);
  });
}
BENCHMARK(BM_BackgroundCallback)->Apply(sizes);

} // namespace
