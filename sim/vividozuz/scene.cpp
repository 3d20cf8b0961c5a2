#include "vividozuz/scene.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace vzsim {

namespace {

using Rgb = std::array<float, 3>;

// Reflectances of the chart's 6 x 4 patches (linear light).
const Rgb kPatches[24] = {
    {0.17f, 0.10f, 0.07f}, {0.55f, 0.36f, 0.28f}, {0.12f, 0.19f, 0.33f},
    {0.10f, 0.15f, 0.06f}, {0.24f, 0.22f, 0.43f}, {0.13f, 0.52f, 0.41f},
    {0.68f, 0.25f, 0.03f}, {0.07f, 0.11f, 0.38f}, {0.54f, 0.09f, 0.11f},
    {0.11f, 0.04f, 0.14f}, {0.34f, 0.50f, 0.05f}, {0.74f, 0.38f, 0.02f},
    {0.02f, 0.05f, 0.28f}, {0.06f, 0.30f, 0.07f}, {0.44f, 0.03f, 0.04f},
    {0.82f, 0.58f, 0.01f}, {0.52f, 0.09f, 0.30f}, {0.00f, 0.23f, 0.38f},
    {0.90f, 0.90f, 0.90f}, {0.59f, 0.59f, 0.59f}, {0.36f, 0.36f, 0.36f},
    {0.19f, 0.19f, 0.19f}, {0.09f, 0.09f, 0.09f}, {0.03f, 0.03f, 0.03f},
};

constexpr float kBackground = 0.18f;
constexpr float kFullReflectance = 4000.0f;  // scene units of a white surface

Rgb hueRamp(float u) {
  // Fully saturated hue circle at 85 % saturation, 75 % value.
  const float h = u * 6.0f;
  const int sector = std::min(5, static_cast<int>(h));
  const float f = h - static_cast<float>(sector);
  const float v = 0.75f;
  const float p = v * 0.15f;
  const float q = v * (1.0f - 0.85f * f);
  const float t = v * (1.0f - 0.85f * (1.0f - f));
  switch (sector) {
  case 0: return {v, t, p};
  case 1: return {q, v, p};
  case 2: return {p, v, t};
  case 3: return {p, q, v};
  case 4: return {t, p, v};
  default: return {v, p, q};
  }
}

Rgb chartAt(float u, float v) {
  if (v < 0.10f) {
    const float g = 0.95f * u;
    return {g, g, g};
  }
  if (v >= 0.90f) return hueRamp(u);
  if (u >= 0.94f) {
    const float g = 0.05f + 0.9f * v;
    return {g, g, g};
  }
  const float left = 0.06f, right = 0.90f, top = 0.16f, bottom = 0.84f;
  if (u >= left && u < right && v >= top && v < bottom) {
    const float cu = (u - left) / (right - left) * 6.0f;
    const float cv = (v - top) / (bottom - top) * 4.0f;
    const int col = std::min(5, static_cast<int>(cu));
    const int row = std::min(3, static_cast<int>(cv));
    const float fu = cu - static_cast<float>(col);
    const float fv = cv - static_cast<float>(row);
    if (fu > 0.08f && fu < 0.92f && fv > 0.08f && fv < 0.92f) return kPatches[row * 6 + col];
  }
  return {kBackground, kBackground, kBackground};
}

// Rounded to the nearest unit, halves up. (For 0 <= units <= 4095 adding
// 0.5 in double precision is exact, so truncating gives what std::lround
// gives, without a library call per sample.)
std::uint16_t toUnits(float light) {
  float units = light * kFullReflectance;
  units = units < 0.0f ? 0.0f : units;
  units = units > static_cast<float>(kSceneMax) ? static_cast<float>(kSceneMax) : units;
  return static_cast<std::uint16_t>(static_cast<double>(units) + 0.5);
}

} // namespace

std::shared_ptr<const SceneImage> SceneImage::build(Scene kind, std::uint32_t width,
                                                    std::uint32_t height, bool colour,
                                                    std::uint32_t seed) {
  static std::atomic<std::uint64_t> nextId{1};
  auto scene = std::make_shared<SceneImage>();
  scene->id_ = nextId.fetch_add(1, std::memory_order_relaxed);
  scene->kind_ = kind;
  scene->width_ = width;
  scene->height_ = height;
  scene->planes_ = colour ? 3 : 1;
  const std::size_t area = static_cast<std::size_t>(width) * height;
  scene->data_.assign(area * static_cast<std::size_t>(scene->planes_), 0);

  const float invW = 1.0f / static_cast<float>(width);
  const float invH = 1.0f / static_cast<float>(height);
  // Per column: its position and the horizontal part of the lens falloff.
  std::vector<float> columnU(width);
  std::vector<float> columnFalloff(width);
  for (std::uint32_t x = 0; x < width; ++x) {
    const float u = (static_cast<float>(x) + 0.5f) * invW;
    columnU[x] = u;
    columnFalloff[x] = (u - 0.5f) * (u - 0.5f);
  }
  // A row's light first (the chart's patches and ramps), then its samples
  // in a loop without branches that the compiler vectorises.
  std::vector<float> light(std::size_t{3} * width);
  float* lightR = light.data();
  float* lightG = lightR + width;
  float* lightB = lightG + width;
  for (std::uint32_t y = 0; y < height; ++y) {
    const float v = (static_cast<float>(y) + 0.5f) * invH;
    const float rowFalloff = (v - 0.5f) * (v - 0.5f);
    for (std::uint32_t x = 0; x < width; ++x) {
      Rgb here{};
      switch (kind) {
      case Scene::Chart: here = chartAt(columnU[x], v); break;
      case Scene::Flat: here = {0.5f, 0.5f, 0.5f}; break;
      case Scene::Covered: here = {0.0f, 0.0f, 0.0f}; break;
      }
      if (!colour) here[0] = 0.299f * here[0] + 0.587f * here[1] + 0.114f * here[2];
      lightR[x] = here[0];
      lightG[x] = here[1];
      lightB[x] = here[2];
    }
    const std::size_t rowStart = static_cast<std::size_t>(y) * width;
    for (int c = 0; c < scene->planes_; ++c) {
      const float* in = light.data() + static_cast<std::size_t>(c) * width;
      std::uint16_t* out = scene->data_.data() + static_cast<std::size_t>(c) * area + rowStart;
      for (std::uint32_t x = 0; x < width; ++x) {
        // Lens falloff towards the corners.
        const float r2 = (columnFalloff[x] + rowFalloff) * 2.0f;
        const float vignette = 1.0f - 0.35f * r2;
        out[x] = toUnits(in[x] * vignette);
      }
    }
  }

  // Hot pixels: the same few positions for a given seed whatever the scene.
  std::uint32_t state = seed * 2654435761u + 12345u;
  if (state == 0) state = 1;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  const std::size_t count = std::max<std::size_t>(8, area / 60000);
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint32_t x = next() % width;
    const std::uint32_t y = next() % height;
    const std::size_t i = static_cast<std::size_t>(y) * width + x;
    scene->hotPixels_.push_back(static_cast<std::uint32_t>(i));
    for (int c = 0; c < scene->planes_; ++c) {
      scene->data_[static_cast<std::size_t>(c) * area + i] = kSceneMax;
    }
  }
  return scene;
}

} // namespace vzsim
