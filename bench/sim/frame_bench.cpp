// What a realtime stream costs per frame at full sensor size: the raw frame
// from the precomputed scene, and its RGB preview.
#include "vividozuz/camera_model.h"
#include "vividozuz/converter.h"
#include "vividozuz/frame_format.h"
#include "vividozuz/frame_renderer.h"
#include "vividozuz/scene.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace vzsim;

RenderSettings settingsFor(const CameraModel& model, std::uint16_t factor, bool binning) {
  RenderSettings s;
  s.format = fullSensorFormat(model);
  s.format.factorX = s.format.factorY = factor;
  s.format.flagsX = s.format.flagsY = binning ? 1 : 0;
  return s;
}

void renderFrame(benchmark::State& state, std::uint16_t factor, bool binning) {
  const CameraModel model = defaultModel(160);
  const auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
  RenderSettings s = settingsFor(model, factor, binning);
  FrameRenderer renderer;
  std::vector<std::uint8_t> frame(geometryOf(s.format).frameBytes());
  for (auto _ : state) {
    // A settings change every frame: the lookup table is rebuilt each time.
    s.tone.exposure = state.iterations() % 2 ? 10.0f : 11.0f;
    renderer.render(*scene, s, frame.data());
    benchmark::DoNotOptimize(frame.data());
  }
}

void BM_RenderFullSensor(benchmark::State& state) { renderFrame(state, 1, false); }
void BM_RenderBinned2(benchmark::State& state) { renderFrame(state, 2, true); }
void BM_RenderSubsampled2(benchmark::State& state) { renderFrame(state, 2, false); }

void BM_PreviewConversion(benchmark::State& state) {
  const CameraModel model = defaultModel(160);
  const auto scene = SceneImage::build(Scene::Chart, model.sensorWidth, model.sensorHeight, true, 1);
  const RenderSettings s = settingsFor(model, 1, false);
  FrameRenderer renderer;
  std::vector<std::uint8_t> raw(geometryOf(s.format).frameBytes());
  renderer.render(*scene, s, raw.data());
  std::vector<std::uint8_t> rgb(raw.size() * 3);
  Converter converter;
  RawLayout layout;
  layout.width = model.sensorWidth;
  layout.height = model.sensorHeight;
  const Matrix3 matrix = multiply(saturationHueMatrix(1.2f, 5.0f), kIdentity);
  for (auto _ : state) {
    converter.convert(raw.data(), layout, matrix, VarcamRgb24, rgb.data());
    benchmark::DoNotOptimize(rgb.data());
  }
}

BENCHMARK(BM_RenderFullSensor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderBinned2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderSubsampled2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewConversion)->Unit(benchmark::kMillisecond);

} // namespace
