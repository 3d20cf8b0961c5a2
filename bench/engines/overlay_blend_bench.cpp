// The overlay blend in its three modes with an overlay of the frame's size
// (1280 x 1024 and 2592 x 1944, 3-byte pixels), next to a memcpy of the
// bytes the mode reads: the overlay (opaque), the overlay and the frame
// (constant alpha), the overlay, the frame and the alpha bitmap (alpha
// bitmap). The overlay has no black (transparent) pixels, so every pixel is
// drawn.
#include "bench/against_memcpy.h"
#include "engines/overlay_blend.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using engines::BlendSettings;
using engines::OverlayImage;

enum Mode : int { Opaque = 0, Constant = 1, Bitmap = 2 };

void blendArgs(benchmark::internal::Benchmark* b) {
  for (const auto& size : vxbench::kFrameSizes)
    for (const int mode : {Opaque, Constant, Bitmap})
      for (const int level : {1, 2}) b->Args({size.width, size.height, mode, level});
  b->ArgNames({"w", "h", "mode", "level"})->UseManualTime()->Unit(benchmark::kMillisecond);
}

// Pattern bytes with no pixel black.
std::vector<std::uint8_t> overlayPixels(std::size_t bytes) {
  std::vector<std::uint8_t> v = vxbench::pattern(bytes, 2);
  for (std::size_t i = 0; i + 2 < v.size(); i += 3)
    if (v[i] == 0 && v[i + 1] == 0 && v[i + 2] == 0) v[i] = 1;
  return v;
}

void BM_OverlayBlend(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const auto mode = static_cast<int>(state.range(2));
  if (!vxbench::useLevel(state, state.range(3))) return;
  const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3;
  std::vector<std::uint8_t> frame = vxbench::pattern(bytes, 1);
  const std::vector<std::uint8_t> overlay = overlayPixels(bytes);
  const std::vector<std::uint8_t> alpha = vxbench::pattern(bytes, 3);
  BlendSettings settings;
  settings.blendOn = mode != Opaque;
  settings.opacityPercent = 40.0f;
  settings.alphaFromBitmap = mode == Bitmap;
  settings.alphaPixels = alpha.data();
  const OverlayImage image{overlay.data(), w, h};
  const char* name = mode == Opaque ? "Overlay blend, opaque" : mode == Constant ? "Overlay blend, constant alpha"
                                                                                 : "Overlay blend, alpha bitmap";
  const char* reads = mode == Opaque     ? "overlay, 3 B/px"
                      : mode == Constant ? "overlay + frame, 6 B/px"
                                         : "overlay + frame + alpha, 9 B/px";
  state.SetLabel(std::string(name) + " | " + vxbench::sizeCell(w, h) + " | " + vxbench::levelCell("avx2") + " | " + reads);
  vxbench::againstMemcpy(state, bytes * static_cast<std::size_t>(mode + 1), [&] {
    engines::blendOverlay(frame.data(), frame.size(), w, h, engines::kPixelRgb24, image, settings);
  });
}
BENCHMARK(BM_OverlayBlend)->Apply(blendArgs);

} // namespace
