// What the simulated camera costs per frame, class by class: the raw frame
// out of the scene (a frame at unchanged settings as a stream makes it, with
// and without noise, and the first frame after a settings change), the RGB
// conversion, and building the scene itself. Sizes: 1280 x 1024, 2592 x 1944
// and 4008 x 2672. Each reports its time over a memcpy of its output's bytes.
#include "memcpy_ratio.h"

#include "vividozuz/camera_model.h"
#include "vividozuz/converter.h"
#include "vividozuz/frame_format.h"
#include "vividozuz/frame_renderer.h"
#include "vividozuz/scene.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace vzsim;

CameraModel modelOfSize(const benchmark::State& state) {
  CameraModel model = defaultModel(160);
  model.sensorWidth = static_cast<std::uint32_t>(state.range(0));
  model.sensorHeight = static_cast<std::uint32_t>(state.range(1));
  return model;
}

RenderSettings fullSensor(const CameraModel& model) {
  RenderSettings s;
  s.format = fullSensorFormat(model);
  return s;
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Args({1280, 1024})->Args({2592, 1944})->Args({4008, 2672});
  b->ArgNames({"w", "h"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

// A stream at unchanged settings; state.range(2) = noise on.
void BM_RenderStreamFrame(benchmark::State& state) {
  const CameraModel model = modelOfSize(state);
  const auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
  RenderSettings s = fullSensor(model);
  s.noise = state.range(2) != 0;
  FrameRenderer renderer;
  std::vector<std::uint8_t> frame(geometryOf(s.format).frameBytes());
  renderer.render(*scene, s, frame.data());
  simbench::measureAgainstMemcpy(state, frame.size(), [&] {
    ++s.frameNumber;
    renderer.render(*scene, s, frame.data());
    benchmark::DoNotOptimize(frame.data());
  });
}
BENCHMARK(BM_RenderStreamFrame)
    ->ArgsProduct({{1280}, {1024}, {0, 1}})
    ->ArgsProduct({{2592}, {1944}, {0, 1}})
    ->ArgNames({"w", "h", "noise"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Every frame at another exposure: nothing rendered before can be reused.
void BM_RenderAfterSettingsChange(benchmark::State& state) {
  const CameraModel model = modelOfSize(state);
  const auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
  RenderSettings s = fullSensor(model);
  FrameRenderer renderer;
  std::vector<std::uint8_t> frame(geometryOf(s.format).frameBytes());
  int step = 0;
  simbench::measureAgainstMemcpy(state, frame.size(), [&] {
    step = (step + 1) % 1000;
    s.tone.exposure = 10.0f + 0.001f * static_cast<float>(step);
    renderer.render(*scene, s, frame.data());
    benchmark::DoNotOptimize(frame.data());
  });
}
BENCHMARK(BM_RenderAfterSettingsChange)->Apply(sizes);

// Raw mosaic to BGR with a correction matrix, as the RGB preview and
// VarcamConvertFrameToRgb24 do it; compared with a copy of the BGR bytes.
void BM_ConvertToBgr(benchmark::State& state) {
  const CameraModel model = modelOfSize(state);
  const auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
  const RenderSettings s = fullSensor(model);
  FrameRenderer renderer;
  std::vector<std::uint8_t> raw(geometryOf(s.format).frameBytes());
  renderer.render(*scene, s, raw.data());
  std::vector<std::uint8_t> rgb(raw.size() * 3);
  Converter converter;
  RawLayout layout;
  layout.width = model.sensorWidth;
  layout.height = model.sensorHeight;
  Matrix3 daylight{};
  correctionMatrix(2, kIdentity, daylight);
  const Matrix3 matrix = multiply(saturationHueMatrix(1.2f, 5.0f), daylight);
  simbench::measureAgainstMemcpy(state, rgb.size(), [&] {
    converter.convert(raw.data(), layout, matrix, VarcamRgb24, rgb.data());
    benchmark::DoNotOptimize(rgb.data());
  });
}
BENCHMARK(BM_ConvertToBgr)->Apply(sizes);

// Once per camera and scene: the chart with its vignetting at sensor size
// (three planes of 16-bit values, compared with a copy of those bytes).
void BM_BuildScene(benchmark::State& state) {
  const CameraModel model = modelOfSize(state);
  const std::size_t bytes = std::size_t{3} * 2 * model.sensorWidth * model.sensorHeight;
  simbench::measureAgainstMemcpy(state, bytes, [&] {
    auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
    benchmark::DoNotOptimize(scene.get());
  });
}
BENCHMARK(BM_BuildScene)->Apply(sizes);

} // namespace
