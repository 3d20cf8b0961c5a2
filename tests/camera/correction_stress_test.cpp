// The corrections under load: the camera streams at full rate with dark
// subtraction, background correction and the overlay on, while this thread
// replaces the stored frames, reloads the bitmaps and switches the
// corrections on and off. Every frame is checked on the streaming thread:
// with uniform dark frames (10 or 20) and uniform backgrounds (0.5 or 0.25),
// a corrected frame must be shifted, or scaled, by one of them throughout; a
// half-replaced frame would mix two.
#include "camera_fixture.h"

#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "engines/preview_overlay.h"
#include "support/bmp_files.h"

#include <atomic>
#include <memory>
#include <vector>

namespace {

using namespace camtest;
namespace hl = platform::headless;

constexpr std::size_t kWidth = 320;
constexpr std::size_t kHeight = 240;
constexpr std::size_t kPixels = kWidth * kHeight;

// A pair of taps around one driver callback: the first copies the frame,
// the second checks what the driver made of it. Both run on the streaming
// thread, one after the other, for the same frame.
struct Taps {
  std::atomic<bool> checking{true};
  std::atomic<int> violations{0};
  std::atomic<int> darkFrames{0};        // frames seen with a dark frame subtracted
  std::atomic<int> backgroundFrames{0};  // frames seen scaled by a background
  std::atomic<int> checkedRaw{0};
  std::atomic<int> checkedRgb{0};
  std::vector<std::uint8_t> raw = std::vector<std::uint8_t>(kPixels);
  std::vector<std::uint8_t> rgb = std::vector<std::uint8_t>(kPixels * 3);
  bool rawValid = false;  // streaming thread only
  bool rgbValid = false;

  static void VARCAM_CALL rawBefore(void* self, std::uint8_t* frame, std::uint32_t n) {
    auto& t = *static_cast<Taps*>(self);
    t.rawValid = n == kPixels;
    if (t.rawValid) std::copy(frame, frame + n, t.raw.begin());
  }
  static void VARCAM_CALL rawAfter(void* self, std::uint8_t* frame, std::uint32_t n) {
    auto& t = *static_cast<Taps*>(self);
    if (!t.rawValid || n != kPixels || !t.checking) return;
    t.rawValid = false;
    // The one shift that explains every byte: 0 (off), 10 or 20.
    int shift = -1;
    for (int d : {0, 10, 20}) {
      bool all = true;
      for (std::size_t i = 0; i < n && all; ++i) all = frame[i] == std::max(t.raw[i] - d, 0);
      if (all) {
        shift = d;
        break;
      }
    }
    if (shift < 0) ++t.violations;
    if (shift > 0) ++t.darkFrames;
    ++t.checkedRaw;
  }
  static void VARCAM_CALL rgbBefore(void* self, std::uint8_t* pixels, std::uint32_t n, std::uint32_t) {
    auto& t = *static_cast<Taps*>(self);
    t.rgbValid = n == kPixels * 3;
    if (t.rgbValid) std::copy(pixels, pixels + n, t.rgb.begin());
  }
  static void VARCAM_CALL rgbAfter(void* self, std::uint8_t* pixels, std::uint32_t n, std::uint32_t) {
    auto& t = *static_cast<Taps*>(self);
    if (!t.rgbValid || n != kPixels * 3 || !t.checking) return;
    t.rgbValid = false;
    int divisor = -1;
    for (int k : {1, 2, 4}) {
      bool all = true;
      for (std::size_t i = 0; i < n && all; ++i) all = pixels[i] == t.rgb[i] / k;
      if (all) {
        divisor = k;
        break;
      }
    }
    if (divisor < 0) ++t.violations;
    if (divisor > 1) ++t.backgroundFrames;
    ++t.checkedRgb;
  }
};

std::unique_ptr<vx::DarkFrame> uniformDark(std::uint8_t value) {
  auto dark = std::make_unique<vx::DarkFrame>();
  dark->width = kWidth;
  dark->height = kHeight;
  if (dark->bytes.allocate(kPixels)) std::fill(dark->bytes.data(), dark->bytes.data() + kPixels, value);
  return dark;
}

std::unique_ptr<vx::BackgroundFactors> uniformBackground(double factor) {
  auto background = std::make_unique<vx::BackgroundFactors>();
  background->width = kWidth;
  background->height = kHeight;
  if (background->factors.allocate(kPixels))
    std::fill(background->factors.data(), background->factors.data() + kPixels, factor);
  return background;
}

std::vector<std::uint8_t> bitmap(int width, int height, std::uint8_t value) {
  return vxtest::bmpBytes({width, height, 24, 54},
                                    std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3), value));
}

using CorrectionStress = CameraTest;

TEST_F(CorrectionStress, ReplacingAndSwitchingWhileStreamingAtFullRate) {
  vxtest::BmpFolder folder;
  const std::string overlayA = folder.write("a.bmp", bitmap(16, 8, 200));
  const std::string overlayB = folder.write("b.bmp", bitmap(16, 8, 90));
  const std::string alpha = folder.write("alpha.bmp", bitmap(16, 8, 128));

  vzsim::setJournalFrames(false);
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setPreviewMode(camera, 5), 1);  // camera 160's 320 x 240
  ASSERT_EQ(state.preview.width, static_cast<int>(kWidth));
  const platform::Window window = hl::createHostWindow("Preview", {0, 0, 400, 320});
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  VarcamHandle handle = camera.handle();

  engines::PreviewOverlay& overlay = *camera.previewOverlay();
  ASSERT_EQ(overlay.loadOverlayBitmap(overlayA.c_str()), 1);
  ASSERT_EQ(overlay.loadAlphaBitmap(alpha.c_str()), 1);
  ASSERT_EQ(overlay.setAlphaMode(0), 1);
  ASSERT_EQ(overlay.startPreviewBlending(), 1);

  // Registration order is call order: the simulator gives a removed
  // callback's place to the next one added, so a correction switched off
  // and on again keeps its place between the two taps.
  Taps taps;
  const int rawBefore = VarcamAddStreamingCallback(handle, &Taps::rawBefore, &taps);
  camera.corrections.replaceDark(uniformDark(10));
  state.darkFrameStored = 1;
  vx::enableDarkSubtraction(camera);
  const int rawAfter = VarcamAddStreamingCallback(handle, &Taps::rawAfter, &taps);
  const int rgbBefore = VarcamAddRgbPreviewCallback(handle, &Taps::rgbBefore, &taps, VarcamRgb24);
  camera.corrections.replaceBackground(uniformBackground(0.5));
  state.backgroundStored = 1;
  vx::enableBackgroundCorrection(camera);
  const int rgbAfter = VarcamAddRgbPreviewCallback(handle, &Taps::rgbAfter, &taps, VarcamRgb24);
  ASSERT_TRUE(rawBefore >= 0 && rawAfter >= 0 && rgbBefore >= 0 && rgbAfter >= 0);
  ASSERT_EQ(state.darkSubtractionOn, 1);
  ASSERT_EQ(state.backgroundCorrectionOn, 1);

  constexpr int kRounds = 120;
  for (int i = 0; i < kRounds; ++i) {
    camera.corrections.replaceDark(uniformDark(i % 2 == 0 ? 20 : 10));
    camera.corrections.replaceBackground(uniformBackground(i % 2 == 0 ? 0.25 : 0.5));
    if (i % 3 == 0) {
      vx::disableDarkSubtraction(camera);
      camera.corrections.replaceDark(uniformDark(10));
      vx::enableDarkSubtraction(camera);
    }
    if (i % 4 == 1) {
      vx::disableBackgroundCorrection(camera);
      vx::enableBackgroundCorrection(camera);
    }
    if (i % 5 == 2) {
      ASSERT_EQ(overlay.loadOverlayBitmap(i % 2 == 0 ? overlayA.c_str() : overlayB.c_str()), 1);
      ASSERT_EQ(overlay.loadAlphaBitmap(alpha.c_str()), 1);
    }
    // At least one whole frame with both corrections on in every round.
    ASSERT_TRUE(vzsim::waitForFrames(1, 1));
    if (i % 16 == 0) hl::clearDebugLines();
  }
  EXPECT_EQ(taps.violations.load(), 0);
  EXPECT_GE(taps.darkFrames.load(), kRounds);
  EXPECT_GE(taps.backgroundFrames.load(), kRounds);

  // The real capture paths while the callbacks run (frames not uniform any
  // more, so only the sanitizers watch).
  taps.checking = false;
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(vx::captureDarkFrame(camera), 1);
    ASSERT_EQ(vx::captureBackground(camera), 1);
    if (i % 2 == 0) vx::disableDarkSubtraction(camera);
    else vx::enableDarkSubtraction(camera);
  }

  VarcamRemoveStreamingCallback(handle, rawBefore);
  VarcamRemoveStreamingCallback(handle, rawAfter);
  VarcamRemoveRgbPreviewCallback(handle, rgbBefore);
  VarcamRemoveRgbPreviewCallback(handle, rgbAfter);
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
  vx::disableDarkSubtraction(camera);
  vx::disableBackgroundCorrection(camera);
  ASSERT_EQ(vx::stopPreview(camera), 1);
  EXPECT_TRUE(boxTexts().empty());
}

} // namespace
