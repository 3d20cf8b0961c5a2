// The simulated camera as the driver meets it, through the SDK functions:
// the snapshot path at the full 4008 x 2672 sensor (format set, stream
// started, two frames discarded, one taken, stream stopped, format restored,
// conversion to BGR) and the rate of a 1280 x 1024 stream with display,
// conversion and no-op streaming and RGB preview callbacks on one core.
#include "memcpy_ratio.h"

#include "sdk/varcam_sdk.h"
#include "vividozuz/sim_control.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include <sched.h>

namespace {

using Clock = std::chrono::steady_clock;

FrameFormatRecord formatOf(std::uint32_t width, std::uint32_t height, std::uint16_t factor,
                           bool binning) {
  FrameFormatRecord f{};
  f.width = width;
  f.height = height;
  f.factorX = f.factorY = factor;
  f.flagsX = f.flagsY = binning ? 1 : 0;
  return f;
}

VarcamHandle openOnly(const vzsim::CameraModel& model) {
  vzsim::reset();
  vzsim::setJournalFrames(false);
  vzsim::setPacing(vzsim::Pacing::Free);
  if (!vzsim::setCameras({model})) return nullptr;
  return VarcamCameraOpen(1);
}

void BM_Snapshot4008(benchmark::State& state) {
  vzsim::CameraModel model = vzsim::defaultModel(456);
  model.sensorWidth = 4008;
  model.sensorHeight = 2672;
  VarcamHandle camera = openOnly(model);
  if (camera == nullptr) {
    state.SkipWithError("no camera");
    return;
  }
  const FrameFormatRecord full = formatOf(4008, 2672, 1, false);
  const FrameFormatRecord preview = formatOf(4008, 2672, 2, true);
  const std::size_t pixels = std::size_t{4008} * 2672;
  std::vector<std::uint8_t> raw(pixels);
  std::vector<std::uint8_t> rgb(3 * pixels);
  const ConversionRecord conversion{1, 2};
  bool ok = true;
  auto snapshot = [&] {
    ok = ok && VarcamSetFormat(camera, &full, 200.0f) != 0 &&
         VarcamStreamVideoControl(camera, VarcamStreamNoDisplay, nullptr) != 0 &&
         VarcamTakeVideo(camera, 2, nullptr) != 0 && VarcamTakeVideo(camera, 1, raw.data()) != 0 &&
         VarcamStreamVideoControl(camera, VarcamStreamStop, nullptr) != 0 &&
         VarcamSetFormat(camera, &preview, 200.0f) != 0 &&
         VarcamConvertFrameToRgb24(camera, rgb.data(), raw.data(), 4008, 2672, 0, &conversion) != 0;
  };
  snapshot();  // the scene is made once per camera, before the first frame
  simbench::measureAgainstMemcpy(state, rgb.size(), snapshot);
  if (!ok) state.SkipWithError("an SDK call failed");
  VarcamCameraClose(camera);
  vzsim::reset();
}
BENCHMARK(BM_Snapshot4008)->UseManualTime()->Unit(benchmark::kMillisecond);

void VARCAM_CALL noStreaming(void*, std::uint8_t*, std::uint32_t) {}
void VARCAM_CALL noPreview(void*, std::uint8_t*, std::uint32_t, std::uint32_t) {}

// Frames per second of a free-running stream, with every thread of the
// process on the CPU the benchmark started on. fps is the counter to read;
// the time is per frame, vs_memcpy its ratio to a copy of one BGR frame
// measured on the same CPU before the stream starts.
void BM_StreamRate(benchmark::State& state) {
  const auto width = static_cast<std::uint32_t>(state.range(0));
  const auto height = static_cast<std::uint32_t>(state.range(1));
  cpu_set_t previous;
  CPU_ZERO(&previous);
  sched_getaffinity(0, sizeof previous, &previous);
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(static_cast<std::size_t>(std::max(sched_getcpu(), 0)), &one);
  sched_setaffinity(0, sizeof one, &one);

  const std::size_t rgbBytes = std::size_t{3} * width * height;
  std::vector<std::uint8_t> from(rgbBytes, 7);
  std::vector<std::uint8_t> to(rgbBytes);
  std::vector<double> copies;
  for (int i = 0; i < 21; ++i) {
    const auto t0 = Clock::now();
    std::memcpy(to.data(), from.data(), rgbBytes);
    benchmark::ClobberMemory();
    copies.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
  }
  std::nth_element(copies.begin(), copies.begin() + 10, copies.end());
  const double copySeconds = copies[10];

  vzsim::CameraModel model = vzsim::defaultModel(160);
  model.sensorWidth = width;
  model.sensorHeight = height;
  VarcamHandle camera = openOnly(model);
  if (camera == nullptr) {
    state.SkipWithError("no camera");
    sched_setaffinity(0, sizeof previous, &previous);
    return;
  }
  VarcamAddStreamingCallback(camera, &noStreaming, nullptr);
  VarcamAddRgbPreviewCallback(camera, &noPreview, nullptr, VarcamRgb24);
  auto* window = reinterpret_cast<VarcamWindow>(std::uintptr_t{0x1000});
  VarcamStreamVideoControl(camera, VarcamStreamDisplayGdi, window);
  vzsim::waitForFrames(1, 3);

  constexpr int kFramesPerIteration = 10;
  std::uint64_t frames = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const std::uint64_t before = vzsim::framesDelivered(1);
    const auto t0 = Clock::now();
    if (!vzsim::waitForFrames(1, kFramesPerIteration)) {
      state.SkipWithError("the stream stopped");
      break;
    }
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    const std::uint64_t n = vzsim::framesDelivered(1) - before;
    frames += n;
    seconds += s;
    state.SetIterationTime(s / static_cast<double>(n));
  }
  VarcamStreamVideoControl(camera, VarcamStreamStop, nullptr);
  VarcamCameraClose(camera);
  vzsim::reset();
  sched_setaffinity(0, sizeof previous, &previous);
  const double perFrame = frames > 0 ? seconds / static_cast<double>(frames) : 0.0;
  state.counters["fps"] = perFrame > 0.0 ? 1.0 / perFrame : 0.0;
  state.counters["vs_memcpy"] = copySeconds > 0.0 ? perFrame / copySeconds : 0.0;
}
BENCHMARK(BM_StreamRate)
    ->Args({1280, 1024})
    ->Args({2592, 1944})
    ->ArgNames({"w", "h"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
