// Dark subtraction and background correction of preview frames at 1280 x
// 1024 and 2592 x 1944, through the callbacks as the SDK calls them (switch,
// stored frame, log line and kernel), each next to a memcpy of the bytes the
// correction reads: the frame and the dark frame (2 bytes per pixel), or the
// RGB frame and its factors (3 + 8 bytes per pixel).
#include "bench/against_memcpy.h"
#include "camera/image_correction.h"
#include "driver/driver.h"
#include "platform/headless_control.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void sizesAndLevels(benchmark::internal::Benchmark* b) {
  for (const auto& size : vxbench::kFrameSizes)
    for (const int level : {1, 2}) b->Args({size.width, size.height, level});
  b->ArgNames({"w", "h", "level"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

std::size_t pixelsOf(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1));
}

void BM_DarkSubtraction(benchmark::State& state) {
  if (!vxbench::useLevel(state, state.range(2))) return;
  platform::headless::reset();
  const std::size_t n = pixelsOf(state);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  auto dark = std::make_unique<vx::DarkFrame>();
  dark->bytes.allocate(n);
  const std::vector<std::uint8_t> values = vxbench::pattern(n, 2);
  std::memcpy(dark->bytes.data(), values.data(), n);
  driver->camera.corrections.replaceDark(std::move(dark));
  driver->state.darkSubtractionOn = 1;
  std::vector<std::uint8_t> frame = vxbench::pattern(n, 1);
  std::int64_t frames = 0;
  state.SetLabel("Dark subtraction (callback) | " + vxbench::sizeCell(state.range(0), state.range(1)) + " | " +
                 vxbench::levelCell("sse2") + " | frame + dark frame, 2 B/px");
  vxbench::againstMemcpy(
      state, 2 * n, [&] { if (++frames % 256 == 0) platform::headless::clearDebugLines(); },
      [&] { vx::darkFrameCallback(&driver->camera, frame.data(), static_cast<std::uint32_t>(n)); });
  platform::headless::reset();
}
BENCHMARK(BM_DarkSubtraction)->Apply(sizesAndLevels);

void BM_BackgroundCorrection(benchmark::State& state) {
  if (!vxbench::useLevel(state, state.range(2))) return;
  const std::size_t n = pixelsOf(state);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  auto background = std::make_unique<vx::BackgroundFactors>();
  background->factors.allocate(n);
  for (std::size_t i = 0; i < n; ++i) background->factors[i] = 0.9 + 0.2 * static_cast<double>(i % 101) / 100.0;
  driver->camera.corrections.replaceBackground(std::move(background));
  driver->camera.rgbPreviewFormat = VarcamRgb24;
  driver->state.backgroundCorrectionOn = 1;
  std::vector<std::uint8_t> rgb = vxbench::pattern(3 * n, 3);
  state.SetLabel("Background correction (callback) | " + vxbench::sizeCell(state.range(0), state.range(1)) + " | " +
                 vxbench::levelCell("avx512") + " | RGB frame + factors, 11 B/px");
  vxbench::againstMemcpy(state, 11 * n, [&] {
    vx::backgroundCallback(&driver->camera, rgb.data(), static_cast<std::uint32_t>(3 * n), 0);
  });
}
BENCHMARK(BM_BackgroundCorrection)->Apply(sizesAndLevels);

} // namespace
