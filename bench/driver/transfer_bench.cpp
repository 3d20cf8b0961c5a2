// Throughput of the image transfer on snapshots written straight into a
// local driver state (no camera): the line copier alone, AcqGetImage into a
// host image and AcqAdd of 16 frames. Each reports bytes per second next to
// a memcpy of the same number of bytes (the *_Memcpy twins), so that the
// ratio, not the machine, is what to read.
#include "driver/driver.h"
#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A driver holding a width x height snapshot of varied bytes, with
// the same image size for the size commands.
std::unique_ptr<vx::Driver> preparedState(std::int32_t width, std::int32_t height, bool grey) {
  platform::headless::reset();
  vzsim::reset();
  hostimg::reset();
  hostimg::setCallLogging(false);
  vzsim::setJournalFrames(false);
  auto state = std::make_unique<vx::Driver>(nullptr);
  state->driverOpen = 1;
  state->capture.greyMode = grey ? 1 : 0;
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  if (!state->snapshot.rgb.allocate(bytes)) return nullptr;
  std::uint32_t seed = 1;
  for (std::size_t i = 0; i < bytes; ++i) {
    seed = seed * 1664525u + 1013904223u;
    state->snapshot.rgb[i] = static_cast<std::uint8_t>(seed >> 24);
  }
  state->snapshot.width = width;
  state->snapshot.height = height;
  state->snapshot.lineCursor = height - 1;
  state->commands.acquireRect = platform::Rect{0, 0, width, height};
  return state;
}

std::int64_t outputBytes(const benchmark::State& bench) {
  return bench.range(0) * bench.range(1) * (bench.range(2) != 0 ? 1 : 3);
}

void sizes(benchmark::internal::Benchmark* b) {
  for (const auto& [w, h] : {std::pair{1280, 1024}, std::pair{2592, 1944}})
    for (const int grey : {0, 1}) b->Args({w, h, grey});
  b->ArgNames({"w", "h", "grey"});
}

// The line copier over every row of the snapshot.
void BM_LineCopier(benchmark::State& bench) {
  const auto w = static_cast<std::int32_t>(bench.range(0));
  const auto h = static_cast<std::int32_t>(bench.range(1));
  auto state = preparedState(w, h, bench.range(2) != 0);
  if (!state) return bench.SkipWithError("no memory");
  std::vector<std::uint8_t> out(static_cast<std::size_t>(outputBytes(bench)));
  const std::size_t rowBytes = out.size() / static_cast<std::size_t>(h);
  for (auto _ : bench) {
    state->snapshot.lineCursor = h - 1;
    for (std::int32_t y = 0; y < h; ++y)
      vx::copySnapshotLine(*state, 0, y, w, out.data() + static_cast<std::size_t>(y) * rowBytes);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * outputBytes(bench));
}
BENCHMARK(BM_LineCopier)->Apply(sizes);

// AcqGetImage into a host image made once.
void BM_GetImage(benchmark::State& bench) {
  const auto w = static_cast<std::int32_t>(bench.range(0));
  const auto h = static_cast<std::int32_t>(bench.range(1));
  const bool grey = bench.range(2) != 0;
  auto state = preparedState(w, h, grey);
  if (!state) return bench.SkipWithError("no memory");
  const std::int32_t image = HostImageCreate(w, h, grey ? 1 : 3, 0);
  if (image < 0) return bench.SkipWithError("no host image");
  for (auto _ : bench) {
    state->snapshot.lineCursor = h - 1;
    if (vx::transferImage(*state, image) != image) return bench.SkipWithError("transfer failed");
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * outputBytes(bench));
  HostImageRelease(image);
}
BENCHMARK(BM_GetImage)->Apply(sizes)->Unit(benchmark::kMillisecond);

// The same bytes with memcpy, the reference for both.
void BM_Memcpy(benchmark::State& bench) {
  const auto bytes = static_cast<std::size_t>(outputBytes(bench));
  std::vector<std::uint8_t> from(bytes, 1), to(bytes);
  for (auto _ : bench) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * outputBytes(bench));
}
BENCHMARK(BM_Memcpy)->Apply(sizes);

// Each frame of the sum is the prepared snapshot again.
bool sameFrame(vx::Driver& driver) {
  driver.snapshot.lineCursor = driver.snapshot.height - 1;
  return true;
}

// AcqAdd of 16 colour frames at 1280 x 1024, new accumulators every call.
// Bytes: the frame bytes summed.
void BM_AddFrames16(benchmark::State& bench) {
  constexpr std::int32_t w = 1280, h = 1024, frames = 16;
  auto state = preparedState(w, h, false);
  if (!state) return bench.SkipWithError("no memory");
  for (auto _ : bench) {
    const std::int32_t id = vx::addFrames(*state, frames, frames + 1, nullptr, sameFrame);
    if (id < 0) return bench.SkipWithError("sum failed");
    HostImageRelease(id);
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * frames * w * h * 3);
}
BENCHMARK(BM_AddFrames16)->Unit(benchmark::kMillisecond);

void BM_AddFrames16_Memcpy(benchmark::State& bench) {
  constexpr std::size_t frameBytes = 1280u * 1024u * 3u;
  std::vector<std::uint8_t> from(frameBytes, 1), to(frameBytes);
  for (auto _ : bench) {
    for (int f = 0; f < 16; ++f) std::memcpy(to.data(), from.data(), frameBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * 16 * static_cast<std::int64_t>(frameBytes));
}
BENCHMARK(BM_AddFrames16_Memcpy)->Unit(benchmark::kMillisecond);

} // namespace
