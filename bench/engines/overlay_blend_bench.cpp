// Overlay blend throughput on preview-sized RGB frames, next to a memcpy of
// the same bytes (the bytes inside the overlay rectangle) for scale.
#include "engines/overlay_blend.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using engines::BlendSettings;
using engines::OverlayImage;

enum Mode : int { Opaque = 0, Constant = 1, Bitmap = 2, Memcpy = 3 };

std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return v;
}

// Args: image width, image height, overlay width, overlay height, mode. Mode
// 3 copies the overlay's rows into the frame with memcpy: the same bytes.
void blendArgs(benchmark::internal::Benchmark* b) {
  for (auto [w, h] : {std::pair{1280, 1024}, std::pair{2592, 1944}}) {
    for (auto [ow, oh] : {std::pair{128, 128}, std::pair{w, h}}) {
      for (int mode : {Opaque, Constant, Bitmap, Memcpy}) b->Args({w, h, ow, oh, mode});
    }
  }
}

const char* label(int mode) {
  switch (mode) {
    case Opaque: return "opaque";
    case Constant: return "constant alpha";
    case Bitmap: return "alpha bitmap";
    default: return "memcpy of the same bytes";
  }
}

void BM_OverlayBlend(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const auto ow = static_cast<std::int32_t>(state.range(2));
  const auto oh = static_cast<std::int32_t>(state.range(3));
  const auto mode = static_cast<int>(state.range(4));
  auto frame = pattern(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 1);
  const auto overlay = pattern(static_cast<std::size_t>(ow) * static_cast<std::size_t>(oh) * 3, 2);
  const auto alpha = pattern(overlay.size(), 3);
  BlendSettings settings;
  settings.blendOn = mode != Opaque;
  settings.opacityPercent = 40.0f;
  settings.alphaFromBitmap = mode == Bitmap;
  settings.alphaPixels = alpha.data();
  const OverlayImage image{overlay.data(), ow, oh};
  const auto frameRow = static_cast<std::size_t>(w) * 3;
  const auto overlayRow = static_cast<std::size_t>(ow) * 3;
  for (auto _ : state) {
    if (mode == Memcpy) {
      for (std::size_t y = 0; y < static_cast<std::size_t>(oh); ++y) {
        std::memcpy(frame.data() + y * frameRow, overlay.data() + y * overlayRow, overlayRow);
      }
    } else {
      engines::blendOverlay(frame.data(), frame.size(), w, h, engines::kPixelRgb24, image,
                            settings);
    }
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(overlay.size()));
  state.SetLabel(label(mode));
}
BENCHMARK(BM_OverlayBlend)->Apply(blendArgs)->ArgNames({"w", "h", "ow", "oh", "mode"});

}  // namespace
