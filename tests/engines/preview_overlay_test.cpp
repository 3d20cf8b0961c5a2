// The preview overlay's registration, hand-off and loads against the camera
// simulator and the headless platform.
#include "engines/preview_overlay.h"

#include "support/bmp_files.h"
#include "sim_camera.h"
#include "support/output.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engines {

// Lets a test hold the busy flag as a callback that never finishes would.
struct PreviewOverlayTestAccess {
  static void setBusy(PreviewOverlay& overlay, bool busy) { overlay.busy_.store(busy); }
};

namespace {

using vxtest::calls;
using vxtest::logged;

using vxtest::BmpFolder;

VarcamWindow displayWindow() { return reinterpret_cast<VarcamWindow>(std::uintptr_t{0x40}); }

class PreviewOverlayTest : public testing::SimCameraTest {
 protected:
  void SetUp() override {
    SimCameraTest::SetUp();
    open(smallCamera({25}));
    vzsim::setPacing(vzsim::Pacing::Held);
  }
  void startDisplay() {
    ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay, displayWindow()), 1);
  }
  // The displayed BGR pixel at (x, y), rows counted in buffer order.
  static std::vector<std::uint8_t> shownPixel(int x, int y) {
    const auto frame = vzsim::lastDisplayedFrame(1);
    EXPECT_TRUE(frame.has_value());
    if (!frame) return {};
    const auto at = static_cast<std::size_t>((y * static_cast<int>(frame->width) + x) * 3);
    return {frame->pixels[at], frame->pixels[at + 1], frame->pixels[at + 2]};
  }
  BmpFolder folder;
};

TEST_F(PreviewOverlayTest, StartAndStopResults) {
  PreviewOverlay overlay(camera_);
  EXPECT_EQ(overlay.formatWidth(), 320u);
  EXPECT_EQ(overlay.factorX(), 1u);
  EXPECT_EQ(overlay.stopPreviewBlending(), 0);  // nothing registered

  EXPECT_EQ(overlay.startPreviewBlending(), 1);
  EXPECT_TRUE(overlay.registered());
  EXPECT_EQ(overlay.pixelFormat(), VarcamRgb24);
  EXPECT_EQ(overlay.bytesPerPixel(), 3);
  const auto added = calls("VarcamAddRgbPreviewCallback");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(overlay.callbackId(), added[0].result);
  EXPECT_EQ(overlay.startPreviewBlending(), -2);
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
  EXPECT_FALSE(overlay.registered());
  EXPECT_EQ(overlay.callbackId(), -1);
  EXPECT_EQ(overlay.stopPreviewBlending(), 0);

  // Four-byte and one-byte previews.
  ASSERT_TRUE(vzsim::setRgbPreviewFormat(1, VarcamRgb32));
  EXPECT_EQ(overlay.startPreviewBlending(), 1);
  EXPECT_EQ(overlay.bytesPerPixel(), 4);
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
  ASSERT_TRUE(vzsim::setRgbPreviewFormat(1, VarcamRgbGrey8));
  EXPECT_EQ(overlay.startPreviewBlending(), 1);
  EXPECT_EQ(overlay.bytesPerPixel(), 1);
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
}

TEST_F(PreviewOverlayTest, FailuresToStartOrStop) {
  PreviewOverlay overlay(camera_);
  // The format cannot be read: nothing registered, sizes 0.
  vzsim::failNext("VarcamGetFormat", 1, 87);
  EXPECT_EQ(overlay.startPreviewBlending(), -1);
  EXPECT_FALSE(overlay.registered());
  EXPECT_EQ(overlay.formatWidth(), 0u);
  // No preview format, or the SDK refuses the registration: not started.
  vzsim::failNext("VarcamQueryRgbPreviewPixelFormat", 1, 87);
  EXPECT_EQ(overlay.startPreviewBlending(), -1);
  vzsim::failNext("VarcamAddRgbPreviewCallback", 1, 87);
  EXPECT_EQ(overlay.startPreviewBlending(), -1);
  EXPECT_FALSE(overlay.registered());
  EXPECT_EQ(overlay.callbackId(), -1);

  ASSERT_EQ(overlay.startPreviewBlending(), 1);
  vzsim::failNext("VarcamRemoveRgbPreviewCallback", 1, 87);
  EXPECT_EQ(overlay.stopPreviewBlending(), -1);
  EXPECT_FALSE(overlay.registered());
}

TEST_F(PreviewOverlayTest, DrawsIntoThePreviewFrames) {
  ASSERT_TRUE(vzsim::setScene(1, vzsim::Scene::Covered));
  startDisplay();
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto dark = shownPixel(160, 120);

  PreviewOverlay overlay(camera_);
  ASSERT_EQ(overlay.loadOverlayBitmap(folder.writeSolid("o.bmp", 32, 16, 200, 100, 50).c_str()), 1);
  ASSERT_EQ(overlay.startPreviewBlending(), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  // Centred: columns 144..175, rows 112..127.
  EXPECT_EQ(shownPixel(160, 120), (std::vector<std::uint8_t>{200, 100, 50}));
  EXPECT_EQ(shownPixel(143, 120), dark);
  EXPECT_EQ(shownPixel(160, 128), dark);

  overlay.setAlphaValue(50.0f);
  ASSERT_EQ(overlay.setAlphaMode(1), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  EXPECT_EQ(shownPixel(160, 120),
            (std::vector<std::uint8_t>{static_cast<std::uint8_t>((dark[0] + 200) / 2),
                                       static_cast<std::uint8_t>((dark[1] + 100) / 2),
                                       static_cast<std::uint8_t>((dark[2] + 50) / 2)}));

  // Stopped: the frames are shown as they are.
  ASSERT_EQ(overlay.stopPreviewBlending(), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  EXPECT_EQ(shownPixel(160, 120), dark);
}

TEST_F(PreviewOverlayTest, ABlendThatNeverFinishesTimesOut) {
  platform::headless::useVirtualTime(true);
  PreviewOverlay overlay(camera_);
  const std::string first = folder.writeSolid("a.bmp", 32, 8, 1, 2, 3);
  ASSERT_EQ(overlay.loadOverlayBitmap(first.c_str()), 1);
  ASSERT_EQ(overlay.startPreviewBlending(), 1);
  PreviewOverlayTestAccess::setBusy(overlay, true);
  platform::headless::clearSleeps();

  // Stop: 200 polls of 10 ms, then the timeout line; still registered and suspended.
  EXPECT_EQ(overlay.stopPreviewBlending(), -2);
  EXPECT_EQ(platform::headless::sleeps(), std::vector<std::uint32_t>(200, 10));
  EXPECT_TRUE(logged("Callback timeout. (deadlock problem)"));
  EXPECT_TRUE(overlay.registered());
  EXPECT_TRUE(overlay.suspended());

  // A load waits 5 s and keeps the old bitmap.
  platform::headless::clearSleeps();
  EXPECT_EQ(overlay.loadOverlayBitmap(folder.writeSolid("b.bmp", 64, 8, 1, 2, 3).c_str()), -2);
  EXPECT_EQ(platform::headless::sleeps().size(), 500u);
  EXPECT_EQ(overlay.overlayWidth(), 32);
  EXPECT_TRUE(overlay.suspended());

  // Once the callback is idle a start resumes the drawing.
  PreviewOverlayTestAccess::setBusy(overlay, false);
  EXPECT_EQ(overlay.startPreviewBlending(), overlay.callbackId());
  EXPECT_FALSE(overlay.suspended());
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
}

TEST_F(PreviewOverlayTest, LoadsWhileFramesAreDrawn) {
  // Frames back to back while bitmaps of different sizes are swapped in:
  // the sanitizers see any blend that reads pixels being replaced.
  vzsim::setPacing(vzsim::Pacing::Free);
  startDisplay();
  PreviewOverlay overlay(camera_);
  const std::string small = folder.writeSolid("s.bmp", 16, 4, 10, 20, 30);
  const std::string large = folder.writeSolid("l.bmp", 320, 240, 40, 50, 60);
  const std::string alphaSmall = folder.writeSolid("as.bmp", 16, 4, 128, 0, 0);
  const std::string alphaLarge = folder.writeSolid("al.bmp", 320, 240, 128, 0, 0);
  ASSERT_EQ(overlay.startPreviewBlending(), 1);
  ASSERT_EQ(overlay.setAlphaMode(1), 1);
  const std::uint64_t before = vzsim::framesDelivered(1);
  for (int i = 0; i < 40; ++i) {
    const bool big = i % 2 == 0;
    ASSERT_GE(overlay.loadOverlayBitmap((big ? large : small).c_str()), 0);
    EXPECT_FALSE(overlay.suspended());
    ASSERT_EQ(overlay.loadAlphaBitmap((big ? alphaLarge : alphaSmall).c_str()), 1);
    overlay.setAlphaMode(i % 3 == 0 ? 0 : 1);
    overlay.setPlacement(i % 3, (i + 1) % 3);
    overlay.setAlphaValue(static_cast<float>(i * 5));
    if (i % 10 == 0) {
      ASSERT_TRUE(vzsim::waitForFrames(1, 1));
    }
  }
  EXPECT_GT(vzsim::framesDelivered(1), before);

  // The last bitmap is the one drawn.
  ASSERT_EQ(overlay.loadOverlayBitmap(large.c_str()), 0);  // alpha is the small one
  overlay.alphaOff();
  ASSERT_TRUE(vzsim::waitForFrames(1, 2));
  EXPECT_EQ(shownPixel(5, 5), (std::vector<std::uint8_t>{40, 50, 60}));
  EXPECT_EQ(overlay.stopPreviewBlending(), 1);
}

TEST_F(PreviewOverlayTest, AlphaBitmapMustMatchTheOverlay) {
  PreviewOverlay overlay(camera_);
  // An alpha bitmap before any overlay is kept but not usable.
  EXPECT_EQ(overlay.loadAlphaBitmap(folder.writeSolid("a0.bmp", 32, 8, 255, 0, 0).c_str()), 1);
  EXPECT_FALSE(overlay.alphaLoaded());
  EXPECT_EQ(overlay.setAlphaMode(0), 0);
  EXPECT_FALSE(overlay.alphaFromBitmap());
  EXPECT_TRUE(overlay.blendOn());

  ASSERT_EQ(overlay.loadOverlayBitmap(folder.writeSolid("o.bmp", 32, 8, 9, 9, 9).c_str()), 1);
  EXPECT_EQ(overlay.loadAlphaBitmap(folder.writeSolid("a1.bmp", 16, 8, 255, 0, 0).c_str()), 0);
  EXPECT_EQ(overlay.setAlphaMode(0), 0);
  EXPECT_EQ(overlay.loadAlphaBitmap(folder.writeSolid("a2.bmp", 32, 8, 255, 0, 0).c_str()), 1);
  EXPECT_TRUE(overlay.alphaActive());
  EXPECT_EQ(overlay.setAlphaMode(0), 1);
  EXPECT_TRUE(overlay.alphaFromBitmap());

  // A mismatched alpha bitmap replacing a matched one is not used either.
  EXPECT_EQ(overlay.loadAlphaBitmap(folder.writeSolid("a3.bmp", 8, 8, 255, 0, 0).c_str()), 0);
  EXPECT_FALSE(overlay.alphaActive());
  EXPECT_EQ(overlay.setAlphaMode(0), 0);
  std::vector<std::uint8_t> image(32 * 8 * 3, 100);
  overlay.blend(image.data(), image.size(), 32, 8, VarcamRgb24);  // opacity 0 from the bitmap
  EXPECT_EQ(image, std::vector<std::uint8_t>(32 * 8 * 3, 100));

  // Rejected files keep the bitmap in use.
  EXPECT_EQ(overlay.loadOverlayBitmap(folder.writeSolid("w30.bmp", 30, 8, 1, 1, 1).c_str()), -1);
  EXPECT_EQ(overlay.loadOverlayBitmap(""), -1);
  EXPECT_EQ(overlay.overlayWidth(), 32);
  EXPECT_FALSE(overlay.suspended());
}

TEST_F(PreviewOverlayTest, ReleaseRemovesTheCallback) {
  {
    PreviewOverlay overlay(camera_);
    ASSERT_EQ(overlay.startPreviewBlending(), 1);
  }
  EXPECT_EQ(calls("VarcamRemoveRgbPreviewCallback").size(), 1u);
}

}  // namespace
}  // namespace engines
