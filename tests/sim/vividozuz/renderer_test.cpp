// The renderer keeps the noise-free picture of the last settings and reuses
// it: every setting that changes the picture must make a new one, returning
// to earlier settings must give the earlier picture, and noise must be a
// function of the seed and the frame number that never leaks into the kept
// picture.
#include "vividozuz/frame_format.h"
#include "vividozuz/frame_renderer.h"
#include "vividozuz/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using vzsim::FrameRenderer;
using vzsim::RenderSettings;
using vzsim::SceneImage;

constexpr std::uint32_t kWidth = 64;
constexpr std::uint32_t kHeight = 48;

std::shared_ptr<const SceneImage> chart(bool colour = true) {
  return SceneImage::build(vzsim::Scene::Chart, kWidth, kHeight, colour, 3);
}

RenderSettings fullFrame() {
  RenderSettings s;
  s.tone.response = {0.72f, 1.0f, 0.58f};
  s.format.width = kWidth;
  s.format.height = kHeight;
  s.format.factorX = s.format.factorY = 1;
  return s;
}

std::vector<std::uint8_t> renderWith(FrameRenderer& renderer, const SceneImage& scene,
                                     const RenderSettings& s) {
  std::vector<std::uint8_t> out(vzsim::geometryOf(s.format).frameBytes(), 0xA5);
  renderer.render(scene, s, out.data());
  return out;
}

// What a renderer that has never made a frame gives.
std::vector<std::uint8_t> fresh(const SceneImage& scene, const RenderSettings& s) {
  FrameRenderer renderer;
  return renderWith(renderer, scene, s);
}

TEST(RendererTest, EverySettingThatChangesThePictureMakesANewOne) {
  const auto scene = chart();
  const RenderSettings base = fullFrame();
  const std::vector<std::pair<std::string, std::function<void(RenderSettings&)>>> changes = {
      {"exposure", [](RenderSettings& s) { s.tone.exposure = 14.0f; }},
      {"gain", [](RenderSettings& s) { s.tone.gain = 1.5f; }},
      {"red gain", [](RenderSettings& s) { s.tone.gainRed = 2.0f; }},
      {"green 1 gain", [](RenderSettings& s) { s.tone.gainGreen1 = 2.0f; }},
      {"green 2 gain", [](RenderSettings& s) { s.tone.gainGreen2 = 2.0f; }},
      {"blue gain", [](RenderSettings& s) { s.tone.gainBlue = 2.0f; }},
      {"brightness", [](RenderSettings& s) { s.tone.brightness = 0.2f; }},
      {"contrast", [](RenderSettings& s) { s.tone.contrast = 1.5f; }},
      {"gamma", [](RenderSettings& s) { s.tone.gamma = 2.0f; }},
      {"dark level", [](RenderSettings& s) { s.tone.darkLevel = 20.0f; }},
      {"grey tones", [](RenderSettings& s) { s.tone.colour = false; }},
      {"offset", [](RenderSettings& s) { s.format.width = 32; s.format.offsetX = 8; }},
      {"window", [](RenderSettings& s) { s.format.height = 24; s.format.offsetY = 6; }},
      {"sub-sampling", [](RenderSettings& s) { s.format.factorX = s.format.factorY = 2; }},
      {"binning", [](RenderSettings& s) {
         s.format.factorX = s.format.factorY = 2;
         s.format.flagsX = s.format.flagsY = 1;
       }},
      {"two-byte pixels", [](RenderSettings& s) { s.format.pixelFormat = 1; }},
      {"mirror left-right", [](RenderSettings& s) { s.flipping = 1; }},
      {"mirror top-bottom", [](RenderSettings& s) { s.flipping = 2; }},
      {"field layout", [](RenderSettings& s) { s.fieldLayout = true; }},
  };
  FrameRenderer renderer;
  const auto first = renderWith(renderer, *scene, base);
  EXPECT_EQ(first, fresh(*scene, base));
  for (const auto& [name, change] : changes) {
    RenderSettings s = base;
    change(s);
    const auto changed = renderWith(renderer, *scene, s);
    EXPECT_NE(changed, first) << name << " does not change the picture";
    EXPECT_EQ(changed, fresh(*scene, s)) << name;
    // Back to the first settings, twice: from the kept picture, then again.
    EXPECT_EQ(renderWith(renderer, *scene, base), first) << "after " << name;
    EXPECT_EQ(renderWith(renderer, *scene, s), changed) << name << " kept";
  }

  // Byte order of two-byte pixels.
  RenderSettings wide = base;
  wide.format.pixelFormat = 1;
  const auto little = renderWith(renderer, *scene, wide);
  wide.highByteSample = false;
  const auto big = renderWith(renderer, *scene, wide);
  ASSERT_EQ(little.size(), big.size());
  EXPECT_NE(little, big);
  for (std::size_t i = 0; i + 1 < little.size(); i += 2) {
    ASSERT_EQ(little[i], big[i + 1]);
    ASSERT_EQ(little[i + 1], big[i]);
  }
}

TEST(RendererTest, AnotherSceneImageIsAnotherPictureEvenAtTheSameAddress) {
  FrameRenderer renderer;
  const RenderSettings s = fullFrame();
  auto image = chart();
  const auto ofChart = renderWith(renderer, *image, s);
  image.reset();  // the next image may well be built where this one was
  image = SceneImage::build(vzsim::Scene::Flat, kWidth, kHeight, true, 3);
  const auto ofFlat = renderWith(renderer, *image, s);
  EXPECT_NE(ofFlat, ofChart);
  EXPECT_EQ(ofFlat, fresh(*image, s));
}

struct NoiseStats {
  int largest = 0;
  double mean = 0.0;
  double changed = 0.0;
};

NoiseStats compare(const std::vector<std::uint8_t>& clean, const std::vector<std::uint8_t>& noisy) {
  NoiseStats stats;
  double sum = 0.0;
  double changed = 0.0;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const int d = noisy[i] - clean[i];
    stats.largest = std::max(stats.largest, std::abs(d));
    sum += d;
    changed += d != 0 ? 1.0 : 0.0;
  }
  stats.mean = sum / static_cast<double>(clean.size());
  stats.changed = changed / static_cast<double>(clean.size());
  return stats;
}

TEST(RendererTest, NoiseDependsOnSeedAndFrameOnlyAndStaysOutOfThePicture) {
  // Large enough for several stretches of the noise table.
  const auto scene = SceneImage::build(vzsim::Scene::Chart, 640, 480, true, 3);
  RenderSettings s;
  s.format.width = 640;
  s.format.height = 480;
  s.format.factorX = s.format.factorY = 1;
  FrameRenderer renderer;
  const auto clean = renderWith(renderer, *scene, s);

  s.noise = true;
  s.noiseSeed = 7;
  s.frameNumber = 12;
  const auto noisy = renderWith(renderer, *scene, s);
  EXPECT_EQ(noisy, fresh(*scene, s));  // same seed and frame: same frame
  const NoiseStats stats = compare(clean, noisy);
  EXPECT_LE(stats.largest, 2);
  EXPECT_NEAR(stats.mean, 0.0, 0.02);
  EXPECT_NEAR(stats.changed, 16.0 / 24.0, 0.02);

  s.frameNumber = 13;
  const auto next = renderWith(renderer, *scene, s);
  EXPECT_NE(next, noisy);
  EXPECT_NEAR(compare(noisy, next).changed, 0.75, 0.05);  // not a shifted copy
  s.noiseSeed = 8;
  s.frameNumber = 12;
  EXPECT_NE(renderWith(renderer, *scene, s), noisy);

  s.noise = false;
  EXPECT_EQ(renderWith(renderer, *scene, s), clean);
}

TEST(RendererTest, NoiseSaturatesAtBlackAndWhite) {
  const auto scene = chart();
  for (bool twoBytes : {false, true}) {
    for (float brightness : {-1.0f, 1.0f}) {
      RenderSettings s = fullFrame();
      s.format.pixelFormat = twoBytes ? 1 : 0;
      s.tone.contrast = 0.0f;  // every pixel mid-grey, moved to 0 or to full scale
      s.tone.brightness = brightness;
      s.noise = true;
      const auto noisy = fresh(*scene, s);
      const int extreme = brightness < 0 ? 0 : 255;
      int moved = 0;
      for (std::size_t i = 0; i < noisy.size(); ++i) {
        // Full scale is 0xFFFF in two bytes; black is 0.
        const int distance = std::abs(noisy[i] - extreme);
        if (twoBytes && i % 2 == 0) {  // the low byte of a little-endian sample
          moved += noisy[i] != extreme ? 1 : 0;
          continue;
        }
        ASSERT_LE(distance, 2) << "byte " << i << (twoBytes ? " (16-bit)" : "");
        moved += distance != 0 ? 1 : 0;
      }
      EXPECT_GT(moved, static_cast<int>(noisy.size() / 8));
    }
  }
}

TEST(RendererTest, TwoByteNoiseStaysWithinItsRangeInEitherByteOrder) {
  const auto scene = chart();
  for (bool little : {true, false}) {
    RenderSettings s = fullFrame();
    s.format.pixelFormat = 1;
    s.highByteSample = little;
    const auto clean = fresh(*scene, s);
    s.noise = true;
    const auto noisy = fresh(*scene, s);
    const std::size_t hi = little ? 1 : 0;
    int largest = 0;
    for (std::size_t i = 0; i + 1 < clean.size(); i += 2) {
      const int a = clean[i + hi] << 8 | clean[i + 1 - hi];
      const int b = noisy[i + hi] << 8 | noisy[i + 1 - hi];
      largest = std::max(largest, std::abs(a - b));
    }
    EXPECT_LE(largest, 384);
    EXPECT_GT(largest, 300);
  }
}

} // namespace
