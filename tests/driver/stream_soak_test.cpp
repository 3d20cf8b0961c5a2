// The stress of the corrections test held for a long time: the camera
// streams at its full rate (realtime pacing) with dark subtraction,
// background correction and the overlay on, while this thread (the host's)
// switches the corrections, reloads the overlay, changes the preview format,
// grabs new correction frames, takes snapshots and sums frames. Off unless
// VX_SOAK_SECONDS is set (scripts/soak.sh sets it); it then reports the
// frames delivered and dropped, the peak resident memory and the slowest
// frame callback, and fails when the resident memory grows after warm-up.
#include "transfer_fixture.h"

#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "driver/image_transfer.h"
#include "engines/preview_overlay.h"
#include "support/bmp_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace hl = platform::headless;
using Clock = std::chrono::steady_clock;

// A field of /proc/self/status in KiB (VmRSS, VmHWM), 0 when unreadable.
long statusKib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
  return 0;
}

// The soak's length from the environment: 0 (off) unless a whole number of
// at least 10 seconds is given.
int soakSeconds() {
  const char* text = std::getenv("VX_SOAK_SECONDS");
  if (text == nullptr) return 0;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 10 || value > 7 * 24 * 3600) return 0;
  return static_cast<int>(value);
}

std::vector<std::uint8_t> bitmap(int width, int height, std::uint8_t value) {
  return vxtest::bmpBytes({width, height, 24, 54},
                          std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3), value));
}

using StreamSoak = TransferTest;

TEST_F(StreamSoak, StreamsWithCorrectionsOverlayAndCapturesWithoutGrowing) {
  const int seconds = soakSeconds();
  if (seconds == 0) GTEST_SKIP() << "set VX_SOAK_SECONDS (10 or more) to run the soak";

  vxtest::BmpFolder folder;
  const std::string overlayA = folder.write("a.bmp", bitmap(64, 32, 200));
  const std::string overlayB = folder.write("b.bmp", bitmap(64, 32, 90));
  const std::string alpha = folder.write("alpha.bmp", bitmap(64, 32, 128));

  // Nothing may be kept per frame or per call, or the records themselves
  // would grow: frames and host-library calls are not journalled, and the
  // other records are cleared every round.
  vzsim::setJournalFrames(false);
  hostimg::setCallLogging(false);
  vzsim::setPacing(vzsim::Pacing::Realtime);
  openAt(320, 240);
  state.hostWindow = hl::createHostWindow("Host", {0, 0, 1024, 768});
  const platform::Window window = hl::createHostWindow("Preview", {0, 0, 700, 560});
  ASSERT_EQ(vx::setPreviewMode(camera, 5), 1);  // 320 x 240
  ASSERT_EQ(vx::startPreview(camera, window), 1);

  engines::PreviewOverlay& overlay = *camera.previewOverlay();
  ASSERT_EQ(overlay.loadOverlayBitmap(overlayA.c_str()), 1);
  ASSERT_EQ(overlay.loadAlphaBitmap(alpha.c_str()), 1);
  ASSERT_EQ(overlay.setAlphaMode(0), 1);
  ASSERT_EQ(overlay.startPreviewBlending(), 1);

  auto grabCorrections = [&] {
    ASSERT_EQ(vx::captureDarkFrame(camera), 1);
    ASSERT_EQ(vx::captureBackground(camera), 1);
    ASSERT_EQ(vx::enableDarkSubtraction(camera), 1);
    ASSERT_EQ(vx::enableBackgroundCorrection(camera), 1);
  };
  grabCorrections();

  const auto began = Clock::now();
  const auto end = began + std::chrono::seconds(seconds);
  const auto warmedUp = began + std::chrono::seconds(std::max(10, seconds / 10));
  // Peak resident memory in the first and the second half after warm-up.
  const auto halfway = warmedUp + (end - warmedUp) / 2;
  long firstHalfKib = 0;
  long secondHalfKib = 0;
  long rounds = 0;
  long snapshots = 0;
  long sums = 0;
  vx::HeapBuffer<std::uint8_t> raw;
  vx::HeapBuffer<std::uint8_t> rgb;

  for (long i = 0; Clock::now() < end; ++i, ++rounds) {
    if (i % 2 == 0) {
      vx::disableDarkSubtraction(camera);
      ASSERT_EQ(vx::enableDarkSubtraction(camera), 1);
    } else {
      vx::disableBackgroundCorrection(camera);
      ASSERT_EQ(vx::enableBackgroundCorrection(camera), 1);
    }
    if (i % 3 == 0) {
      ASSERT_EQ(overlay.loadOverlayBitmap(i % 2 == 0 ? overlayA.c_str() : overlayB.c_str()), 1);
      ASSERT_EQ(overlay.loadAlphaBitmap(alpha.c_str()), 1);
      ASSERT_EQ(i % 2 == 0 ? overlay.setAlphaMode(static_cast<int>(i % 4)) : overlay.alphaOff(), 1);
    }
    if (i % 20 == 10) {
      // Another preview format, then back, each with correction frames of
      // its own size.
      ASSERT_EQ(vx::setPreviewMode(camera, i % 40 == 10 ? 4 : 5), 1);
      grabCorrections();
    }
    if (i % 7 == 3) {
      ASSERT_EQ(vx::takeSnapshot(camera, raw, rgb), 1);
      ++snapshots;
    }
    if (i % 11 == 5) {
      const std::int32_t sum = vx::addFrames(driver, 3, 2, nullptr);
      ASSERT_GE(sum, 0);
      HostImageRelease(sum);
      ++sums;
    }
    ASSERT_TRUE(vzsim::waitForFrames(1, 2));
    vxtest::clearRecords();
    hl::clearSleeps();
    hl::clearBitmapDraws();

    const auto now = Clock::now();
    if (now >= warmedUp) {
      const long rss = statusKib("VmRSS");
      long& peak = now < halfway ? firstHalfKib : secondHalfKib;
      peak = std::max(peak, rss);
    }
  }

  const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
  const std::uint64_t delivered = vzsim::framesDelivered(1);
  const std::uint64_t dropped = vzsim::framesDropped(1);
  const std::uint64_t slowest = vzsim::slowestCallbackMicros(1);
  const long peakKib = std::max({statusKib("VmHWM"), firstHalfKib, secondHalfKib});
  std::printf("soak: %.0f s, %ld rounds, %ld snapshots, %ld frame sums\n", elapsed, rounds, snapshots, sums);
  std::printf("soak: frames delivered %llu, dropped %llu, slowest callback %.3f ms\n",
              static_cast<unsigned long long>(delivered), static_cast<unsigned long long>(dropped),
              static_cast<double>(slowest) / 1000.0);
  std::printf("soak: peak RSS %.1f MiB; after warm-up, peak RSS %.1f MiB in the first half, %.1f MiB in the second "
              "(growth %ld KiB)\n",
              static_cast<double>(peakKib) / 1024.0, static_cast<double>(firstHalfKib) / 1024.0,
              static_cast<double>(secondHalfKib) / 1024.0, secondHalfKib - firstHalfKib);
  RecordProperty("frames_delivered", std::to_string(delivered));
  RecordProperty("frames_dropped", std::to_string(dropped));
  RecordProperty("slowest_callback_us", std::to_string(slowest));
  RecordProperty("peak_rss_kib", std::to_string(peakKib));
  RecordProperty("rss_growth_kib", std::to_string(secondHalfKib - firstHalfKib));

  EXPECT_GT(delivered, 0u);
  // The allocator may round a request up to its next page; anything past
  // that is memory the driver keeps per frame or per round.
  EXPECT_LE(secondHalfKib - firstHalfKib, 256) << "resident memory grew after warm-up";

  ASSERT_EQ(overlay.stopPreviewBlending(), 1);
  vx::disableDarkSubtraction(camera);
  vx::disableBackgroundCorrection(camera);
  ASSERT_EQ(vx::stopPreview(camera), 1);
  EXPECT_EQ(vzsim::registeredCallbacks(1).total(), 0u);
}

} // namespace
