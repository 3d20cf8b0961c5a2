// The line copier and the frame sum on snapshots written straight into a
// local driver (no camera), at 1280 x 1024 and 2592 x 1944, colour and grey,
// each next to a memcpy of the bytes the path reads: the snapshot (3 bytes
// per pixel, also in grey, where the copier reads one byte of every three),
// and for the sum of 16 frames each frame and the accumulator planes it adds
// to (16-bit samples), then the planes once more for the division: one
// copy per pass.
#include "bench/against_memcpy.h"
#include "driver/driver.h"
#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"
#include "hostimaging/host_imaging_control.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A driver holding a width x height snapshot of varied bytes, with the same
// image size for the size commands.
std::unique_ptr<vx::Driver> preparedDriver(std::int32_t width, std::int32_t height, bool grey) {
  platform::headless::reset();
  vzsim::reset();
  hostimg::reset();
  hostimg::setCallLogging(false);
  vzsim::setJournalFrames(false);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  driver->driverOpen = 1;
  driver->capture.greyMode = grey ? 1 : 0;
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  if (!driver->snapshot.rgb.allocate(bytes)) return nullptr;
  const std::vector<std::uint8_t> values = vxbench::pattern(bytes, 5);
  std::memcpy(driver->snapshot.rgb.data(), values.data(), bytes);
  driver->snapshot.width = width;
  driver->snapshot.height = height;
  driver->snapshot.lineCursor = height - 1;
  driver->commands.acquireRect = platform::Rect{0, 0, width, height};
  return driver;
}

void sizesColoursLevels(benchmark::internal::Benchmark* b) {
  for (const auto& size : vxbench::kFrameSizes)
    for (const int grey : {0, 1})
      for (const int level : {1, 2}) b->Args({size.width, size.height, grey, level});
  b->ArgNames({"w", "h", "grey", "level"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

const char* colourCell(bool grey) { return grey ? "grey" : "colour"; }

// The line copier over every row of the snapshot, into rows of one buffer.
void BM_LineCopier(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const bool grey = state.range(2) != 0;
  if (!vxbench::useLevel(state, state.range(3))) return;
  auto driver = preparedDriver(w, h, grey);
  if (!driver) return state.SkipWithError("no memory");
  const std::size_t rowBytes = static_cast<std::size_t>(w) * (grey ? 1u : 3u);
  std::vector<std::uint8_t> out(rowBytes * static_cast<std::size_t>(h));
  state.SetLabel(std::string("Line copier, ") + colourCell(grey) + " | " + vxbench::sizeCell(w, h) + " | " +
                 vxbench::levelCell("avx2") + " | snapshot, 3 B/px");
  vxbench::againstMemcpy(
      state, static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3,
      [&] { driver->snapshot.lineCursor = h - 1; },
      [&] {
        for (std::int32_t y = 0; y < h; ++y)
          vx::copySnapshotLine(*driver, 0, y, w, out.data() + static_cast<std::size_t>(y) * rowBytes);
        benchmark::DoNotOptimize(out.data());
      });
  platform::headless::reset();
}
BENCHMARK(BM_LineCopier)->Apply(sizesColoursLevels);

// Each frame of the sum is the prepared snapshot again.
bool sameFrame(vx::Driver& driver) {
  driver.snapshot.lineCursor = driver.snapshot.height - 1;
  return true;
}

// AcqAdd of 16 frames with divisor 17: accumulators and result created,
// summed and divided, released.
void BM_AddFrames16(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const bool grey = state.range(2) != 0;
  if (!vxbench::useLevel(state, state.range(3))) return;
  constexpr std::size_t kFrames = 16;
  auto driver = preparedDriver(w, h, grey);
  if (!driver) return state.SkipWithError("no memory");
  const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  const std::size_t planes = grey ? 1 : 3;
  state.SetLabel(std::string("AcqAdd of 16 frames, ") + colourCell(grey) + " | " + vxbench::sizeCell(w, h) + " | " +
                 vxbench::levelCell("avx2") + " | 16 x (snapshot + " + (grey ? "plane" : "3 planes") +
                 ") + planes, " + std::to_string(kFrames * (3 + 2 * planes) + 2 * planes) + " B/px");
  bool failed = false;
  // One copy per frame of the snapshot and the planes it is added to, and
  // one of the planes for the division.
  std::vector<std::size_t> passes(kFrames, pixels * (3 + 2 * planes));
  passes.push_back(pixels * 2 * planes);
  vxbench::againstMemcpy(state, passes, [] {}, [&] {
    driver->snapshot.lineCursor = h - 1;
    const std::int32_t id = vx::addFrames(*driver, kFrames, kFrames + 1, nullptr, sameFrame);
    if (id < 0) failed = true;
    else HostImageRelease(id);
  });
  if (failed) state.SkipWithError("the sum failed");
  platform::headless::reset();
}
BENCHMARK(BM_AddFrames16)->Apply(sizesColoursLevels);

} // namespace
