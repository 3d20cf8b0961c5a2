// Dark frames and backgrounds: capture, their correction of the live preview
// through the SDK callbacks, and their discarding.
#include "camera_fixture.h"

#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "ui/panel_ids.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>

namespace {

using namespace camtest;
namespace hl = platform::headless;
using vx::Section;

TEST(CorrectionKernels, DarkFrameSubtractionSaturatesAtZero) {
  std::uint8_t frame[] = {7, 200, 10, 11, 255, 0, 50};
  const std::uint8_t dark[] = {10, 10, 10, 10, 255, 1};  // one byte short of the frame
  vx::subtractDarkFrame(frame, sizeof frame, dark, sizeof dark);
  EXPECT_EQ(std::vector<std::uint8_t>(frame, frame + sizeof frame),
            (std::vector<std::uint8_t>{0, 190, 0, 1, 0, 0, 50}));
}

TEST(CorrectionKernels, BackgroundFactorsMultiplyTruncateAndSaturate) {
  std::uint8_t rgb[] = {100, 150, 200, 101, 101, 101, 1, 2, 3, 0, 0, 0};
  const double factors[] = {2.0, 0.5, 999999.0, 999999.0};
  vx::applyBackgroundFactors(rgb, 4, 3, factors);
  EXPECT_EQ(std::vector<std::uint8_t>(rgb, rgb + sizeof rgb),
            (std::vector<std::uint8_t>{200, 255, 255, 50, 50, 50, 255, 255, 255, 0, 0, 0}));
  // Four-byte pixels: the fourth byte is left alone.
  std::uint8_t rgba[] = {10, 20, 30, 40, 100, 100, 100, 77};
  const double two[] = {3.0, 2.6};
  vx::applyBackgroundFactors(rgba, 2, 4, two);
  EXPECT_EQ(std::vector<std::uint8_t>(rgba, rgba + sizeof rgba),
            (std::vector<std::uint8_t>{30, 60, 90, 40, 255, 255, 255, 77}));
}

// The kernels work in blocks; every length, offset and value must give the
// per-byte results.
TEST(CorrectionKernels, BlocksAndTailsGiveThePerByteResults) {
  // The kernel level is process-wide: the full level comes back however
  // the test ends, so later tests do not run on a narrowed one.
  struct RestoreKernelLevel {
    ~RestoreKernelLevel() { vx::limitKernelLevel(vx::KernelLevel::Avx512); }
  } restoreKernelLevel;
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (std::size_t pixels : {0u, 1u, 3u, 4u, 5u, 6u, 7u, 15u, 16u, 17u, 63u, 64u, 65u, 1000u}) {
    SCOPED_TRACE(pixels);
    for (std::size_t offset : {0u, 1u, 3u}) {
      // Dark subtraction over a whole byte range.
      std::vector<std::uint8_t> frame(pixels * 3 + offset), dark(frame.size());
      for (auto& b : frame) b = static_cast<std::uint8_t>(next() >> 24);
      for (auto& b : dark) b = static_cast<std::uint8_t>(next() >> 24);
      std::vector<std::uint8_t> expected = frame;
      for (std::size_t i = offset; i < frame.size(); ++i)
        expected[i] = static_cast<std::uint8_t>(std::max(frame[i] - dark[i], 0));
      vx::subtractDarkFrame(frame.data() + offset, frame.size() - offset, dark.data() + offset,
                            dark.size() - offset);
      ASSERT_EQ(frame, expected);

      for (int bytesPerPixel : {3, 4})
        for (vx::KernelLevel level : {vx::KernelLevel::Scalar, vx::KernelLevel::Avx2, vx::KernelLevel::Avx512}) {
        vx::limitKernelLevel(level);
        const auto step = static_cast<std::size_t>(bytesPerPixel);
        std::vector<std::uint8_t> rgb(pixels * step + offset);
        for (auto& b : rgb) b = static_cast<std::uint8_t>(next() >> 24);
        std::vector<double> factors(pixels);
        for (std::size_t p = 0; p < pixels; ++p) {
          const std::uint32_t r = next();
          factors[p] = r % 9 == 0   ? 999999.0
                       : r % 9 == 1 ? 0.5
                       : r % 9 == 2 ? 255.0 / 254.0
                       : r % 9 == 3 ? 1e12  // beyond 32 bits
                       : r % 9 == 4 ? 0.0
                                    : static_cast<double>(r >> 8) / 4194304.0;
        }
        std::vector<std::uint8_t> want = rgb;
        for (std::size_t p = 0; p < pixels; ++p)
          for (std::size_t c = 0; c < 3; ++c) {
            std::uint8_t& v = want[offset + p * step + c];
            v = static_cast<std::uint8_t>(std::trunc(std::min(v * factors[p], 255.0)));
          }
        vx::applyBackgroundFactors(rgb.data() + offset, pixels, bytesPerPixel, factors.data());
        vx::limitKernelLevel(vx::KernelLevel::Avx512);
        ASSERT_EQ(rgb, want) << bytesPerPixel << " bytes, level " << static_cast<int>(level);
      }
    }
  }
}

// The callbacks never reach past the frame they are given, nor past the
// stored frame, whatever sizes the two have.
TEST(CorrectionKernels, CallbacksStayInsideBothFrames) {
  vx::Driver driver{nullptr};
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  auto background = std::make_unique<vx::BackgroundFactors>();
  ASSERT_TRUE(background->factors.allocate(100));
  std::fill(background->factors.data(), background->factors.data() + 100, 2.0);
  camera.corrections.replaceBackground(std::move(background));
  state.backgroundCorrectionOn = 1;
  camera.rgbPreviewFormat = VarcamRgb32;
  auto small = std::make_unique<std::uint8_t[]>(8);  // two 4-byte pixels, exactly
  std::fill(small.get(), small.get() + 8, 10);
  vx::backgroundCallback(&camera, small.get(), 8, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(small.get(), small.get() + 8),
            (std::vector<std::uint8_t>{20, 20, 20, 10, 20, 20, 20, 10}));
  auto large = std::make_unique<std::uint8_t[]>(4 * 200);
  std::fill(large.get(), large.get() + 800, 10);
  vx::backgroundCallback(&camera, large.get(), 800, 0);
  EXPECT_EQ(large[4 * 99], 20);
  EXPECT_EQ(large[4 * 100], 10) << "beyond the stored factors nothing changes";

  auto dark = std::make_unique<vx::DarkFrame>();
  ASSERT_TRUE(dark->bytes.allocate(4));
  std::fill(dark->bytes.data(), dark->bytes.data() + 4, 3);
  camera.corrections.replaceDark(std::move(dark));
  state.darkSubtractionOn = 1;
  auto raw = std::make_unique<std::uint8_t[]>(6);
  std::fill(raw.get(), raw.get() + 6, 10);
  vx::darkFrameCallback(&camera, raw.get(), 6);
  EXPECT_EQ(std::vector<std::uint8_t>(raw.get(), raw.get() + 6), (std::vector<std::uint8_t>{7, 7, 7, 7, 10, 10}));
  state.darkSubtractionOn = 0;
  std::fill(raw.get(), raw.get() + 6, 10);
  vx::darkFrameCallback(&camera, raw.get(), 6);
  EXPECT_EQ(raw[0], 10) << "switched off: untouched";
}

TEST(CorrectionKernels, BackgroundFromFramesAverageGreyAndFactors) {
  // Four raw samples 10, 11, 12, 12 average (floor) to 11.
  std::uint8_t raw[] = {10, 0, 11, 3, 12, 3, 12, 3};
  vx::averageFourFrames(raw, 2);
  EXPECT_EQ(raw[0], 11);
  EXPECT_EQ(raw[1], 2);

  const std::uint8_t pixel[] = {100, 200, 50};
  EXPECT_EQ(vx::greyLevel(pixel), 138);

  // Uniform: factor 1 everywhere.
  std::vector<std::uint8_t> uniform(3 * 6, 90);
  double factors[6] = {};
  vx::backgroundFactorsFromRgb(uniform.data(), 3, 2, factors);
  for (double f : factors) EXPECT_EQ(f, 1.0);

  // Grey levels 100, 50, 0 (black): mean 50.
  std::uint8_t mixed[] = {100, 100, 100, 50, 50, 50, 0, 0, 0};
  double three[3] = {};
  vx::backgroundFactorsFromRgb(mixed, 3, 1, three);
  EXPECT_EQ(three[0], 0.5);
  EXPECT_EQ(three[1], 1.0);
  EXPECT_EQ(three[2], 999999.0);
  EXPECT_EQ(mixed[0], 100);
  EXPECT_EQ(mixed[1], 50);
  EXPECT_EQ(mixed[2], 0);
}

class CorrectionTest : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    window = hl::createHostWindow("Preview", {10, 10, 500, 400});
  }
  void startPreview(int previewIndex = 5) {  // camera 160's 320 x 240
    ASSERT_EQ(open(), 1);
    state.preview.index = previewIndex;
    ASSERT_EQ(vx::setPreviewMode(camera, previewIndex), 1);
    ASSERT_EQ(vx::startPreview(camera, window), 1);
    clearRecords();
  }
  void storeUniformDark(std::uint8_t value) {
    auto dark = std::make_unique<vx::DarkFrame>();
    dark->width = state.preview.width;
    dark->height = state.preview.height;
    ASSERT_TRUE(dark->bytes.allocate(static_cast<std::size_t>(dark->width * dark->height)));
    std::fill(dark->bytes.data(), dark->bytes.data() + dark->bytes.size(), value);
    camera.corrections.replaceDark(std::move(dark));
    state.darkFrameStored = 1;
  }
  void storeUniformBackground(double factor) {
    auto background = std::make_unique<vx::BackgroundFactors>();
    background->width = state.preview.width;
    background->height = state.preview.height;
    ASSERT_TRUE(background->factors.allocate(static_cast<std::size_t>(background->width * background->height)));
    std::fill(background->factors.data(), background->factors.data() + background->factors.size(), factor);
    camera.corrections.replaceBackground(std::move(background));
    state.backgroundStored = 1;
  }
  platform::Window window = nullptr;
};

// Copies of the raw frame before and after the driver's streaming callback.
struct RawTap {
  std::mutex mutex;
  std::vector<std::uint8_t> before, after;
  static void VARCAM_CALL takeBefore(void* self, std::uint8_t* frame, std::uint32_t n) {
    auto& tap = *static_cast<RawTap*>(self);
    std::lock_guard lock(tap.mutex);
    tap.before.assign(frame, frame + n);
  }
  static void VARCAM_CALL takeAfter(void* self, std::uint8_t* frame, std::uint32_t n) {
    auto& tap = *static_cast<RawTap*>(self);
    std::lock_guard lock(tap.mutex);
    tap.after.assign(frame, frame + n);
  }
};

TEST_F(CorrectionTest, DarkSubtractionOfTheLivePreview) {
  vzsim::setPacing(vzsim::Pacing::Held);
  startPreview();
  storeUniformDark(10);
  RawTap tap;
  const int before = VarcamAddStreamingCallback(camera.handle(), &RawTap::takeBefore, &tap);
  vx::enableDarkSubtraction(camera);
  const int after = VarcamAddStreamingCallback(camera.handle(), &RawTap::takeAfter, &tap);
  EXPECT_EQ(state.darkSubtractionOn, 1);
  EXPECT_EQ(camera.darkCallbackId, calls("VarcamAddStreamingCallback").at(1).result);
  EXPECT_TRUE(calls("VarcamTakeVideo").empty()) << "a stored frame is not taken again";
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  {
    std::lock_guard lock(tap.mutex);
    ASSERT_EQ(tap.before.size(), 320u * 240u);
    ASSERT_EQ(tap.after.size(), tap.before.size());
    int saturated = 0;
    for (std::size_t i = 0; i < tap.before.size(); ++i) {
      ASSERT_EQ(tap.after[i], std::max(tap.before[i] - 10, 0)) << i;
      saturated += tap.before[i] < 10;
    }
    EXPECT_GT(saturated, 0);
  }
  EXPECT_TRUE(logged("Preview DarkFrame subtraction done!"));

  const int id = camera.darkCallbackId;
  vx::disableDarkSubtraction(camera);
  EXPECT_EQ(calls("VarcamRemoveStreamingCallback").at(0).args.at(0), std::to_string(id));
  EXPECT_EQ(camera.darkCallbackId, -1);
  EXPECT_EQ(state.darkSubtractionOn, 0);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  {
    std::lock_guard lock(tap.mutex);
    EXPECT_EQ(tap.after, tap.before);
  }
  VarcamRemoveStreamingCallback(camera.handle(), before);
  VarcamRemoveStreamingCallback(camera.handle(), after);
}

TEST_F(CorrectionTest, BackgroundCorrectionOfTheDisplayedPreview) {
  vzsim::setPacing(vzsim::Pacing::Held);
  startPreview();
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto plain = vzsim::lastDisplayedFrame(1);
  ASSERT_TRUE(plain.has_value());
  storeUniformBackground(0.5);
  vx::enableBackgroundCorrection(camera);
  EXPECT_EQ(state.backgroundCorrectionOn, 1);
  EXPECT_EQ(camera.rgbPreviewFormat, VarcamRgb24);
  const Journal added = calls("VarcamAddRgbPreviewCallback");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].args.back(), "2");
  EXPECT_EQ(camera.backgroundCallbackId, added[0].result);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto halved = vzsim::lastDisplayedFrame(1);
  ASSERT_EQ(halved->pixels.size(), plain->pixels.size());
  for (std::size_t i = 0; i < plain->pixels.size(); ++i)
    ASSERT_EQ(halved->pixels[i], plain->pixels[i] / 2) << i;

  vx::disableBackgroundCorrection(camera);
  EXPECT_EQ(calls("VarcamRemoveRgbPreviewCallback").at(0).args.at(0), std::to_string(added[0].result));
  EXPECT_EQ(camera.backgroundCallbackId, -1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  EXPECT_EQ(vzsim::lastDisplayedFrame(1)->pixels, plain->pixels);
}

// With a one-byte RGB preview no callback can run: the switch turns on and
// nothing changes.
TEST_F(CorrectionTest, GreyPreviewFormatSwitchesOnWithoutCorrecting) {
  vzsim::setPacing(vzsim::Pacing::Held);
  vzsim::setRgbPreviewFormat(1, VarcamRgbGrey8);
  startPreview();
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto plain = vzsim::lastDisplayedFrame(1);
  storeUniformBackground(0.5);
  vx::enableBackgroundCorrection(camera);
  EXPECT_EQ(state.backgroundCorrectionOn, 1);
  EXPECT_EQ(camera.rgbPreviewFormat, VarcamRgbGrey8);
  EXPECT_TRUE(calls("VarcamAddRgbPreviewCallback").empty());
  EXPECT_EQ(camera.backgroundCallbackId, -1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  EXPECT_EQ(vzsim::lastDisplayedFrame(1)->pixels, plain->pixels);
  vx::disableBackgroundCorrection(camera);
  EXPECT_TRUE(calls("VarcamRemoveRgbPreviewCallback").empty());
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
}

TEST_F(CorrectionTest, PixelFormatQueryFailureLeavesTheSwitchOff) {
  startPreview();
  storeUniformBackground(1.0);
  vzsim::failNext("VarcamQueryRgbPreviewPixelFormat", 1, 31);
  vx::enableBackgroundCorrection(camera);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not get pixel format from camera");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM-ERROR");
}

TEST_F(CorrectionTest, DarkFrameIsTakenAfterTheUserConfirmsAndStoredAtFrameSize) {
  startPreview();
  vzsim::setScene(1, vzsim::Scene::Covered);
  const platform::Window panel = openPanel(Section::ImageCorrection, {vx::kCorrectionDarkStatus});
  ASSERT_EQ(vx::grabDarkFrame(camera), 1);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].caption, "Dark Frame Subtraction");
  EXPECT_EQ(hl::messageBoxes()[0].text,
            "                       Please close all lights to the camera and press OK.\n\nNOTE: If you change "
            "your preview or capture size, the dark frame will be deleted.");
  EXPECT_EQ(hl::messageBoxes()[0].type & 0xF, platform::MB_OKCANCEL);
  EXPECT_EQ(state.darkFrameStored, 1);
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "Dark frame stored");
  EXPECT_TRUE(logged("PIXORA DRIVER: Taking dark frame image..."));
  EXPECT_TRUE(logged("PIXORA/VARNEX DRIVER: Video taken."));
  EXPECT_EQ(hl::windowInfo(camera.statusBar).statusTexts.at(0), "  Taking dark frame image...");
  const Journal all = sdkCalls();
  EXPECT_EQ(all.at(0).function, "VarcamGetFormat");
  EXPECT_EQ(all.at(1).function, "VarcamTakeVideo");
  EXPECT_EQ(all.at(1).args.at(0), "1");
  camera.corrections.withDark([](const vx::DarkFrame* dark) {
    ASSERT_NE(dark, nullptr);
    EXPECT_EQ(dark->bytes.size(), 320u * 240u);
    EXPECT_EQ(dark->width, 320);
  });
}

TEST_F(CorrectionTest, BackgroundFromFourFramesLiftsTheVignettedCorners) {
  startPreview();
  vzsim::setScene(1, vzsim::Scene::Flat);
  state.lightSource = 2;
  ASSERT_EQ(vx::grabBackground(camera), 1);
  EXPECT_EQ(hl::messageBoxes().at(0).caption, "Background Correction");
  EXPECT_EQ(hl::messageBoxes().at(0).text,
            "                  Please place the camera towards the background and press OK. \n\nNOTE: If you "
            "change your preview or capture size, the background frame will be deleted.");
  EXPECT_EQ(state.backgroundStored, 1);
  const Journal all = sdkCalls();
  EXPECT_EQ(calls("VarcamTakeVideo", all).at(0).args.at(0), "4");
  const auto convert = calls("VarcamConvertFrameToRgb24", all).at(0).args;
  EXPECT_EQ(convert.at(2), "320");
  EXPECT_EQ(convert.back(), "{method=1 code=2}");
  EXPECT_EQ(hl::windowInfo(camera.statusBar).statusTexts.at(0), "  Background image taken...");
  EXPECT_TRUE(logged("PIXORA DRIVER: Taking background image..."));
  // A vignetted flat field: the factors lift the corners and lower the centre.
  camera.corrections.withBackground([](const vx::BackgroundFactors* b) {
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->factors.size(), 320u * 240u);
    double sum = 0;
    for (std::size_t i = 0; i < b->factors.size(); ++i) sum += b->factors[i];
    EXPECT_NEAR(sum / static_cast<double>(b->factors.size()), 1.0, 0.05);
    EXPECT_GT(b->factors[0], b->factors[120 * 320 + 160]);
  });
}

// The frames are taken at the size the camera delivers, even when the
// stored preview size was changed without a restart.
TEST_F(CorrectionTest, CapturesHoldWholeDeliveredFrames) {
  startPreview();
  ASSERT_EQ(vx::setPreviewSize(camera, 160, 120, 0, 0), 1);  // panel closed: no restart
  ASSERT_EQ(vx::captureDarkFrame(camera), 1);
  ASSERT_EQ(vx::captureBackground(camera), 1);
  camera.corrections.withDark([](const vx::DarkFrame* d) { EXPECT_EQ(d->bytes.size(), 320u * 240u); });
  camera.corrections.withBackground([](const vx::BackgroundFactors* b) { EXPECT_EQ(b->factors.size(), 320u * 240u); });
}

// A failed capture reports and keeps what was stored before.
TEST_F(CorrectionTest, CaptureFailuresKeepTheStoredFrame) {
  startPreview();
  storeUniformDark(3);
  storeUniformBackground(2.0);
  struct Case {
    bool dark;
    const char* function;
    const char* message;
  } cases[] = {
      {true, "VarcamGetFormat", "Unable to get camera video format. Snapshot mode disabled."},
      {true, "VarcamTakeVideo", "Could not get video snapshot: 31"},
      {false, "VarcamGetFormat", "Unable to get camera video format. Snapshot mode disabled."},
      {false, "VarcamTakeVideo", "Could not get video snapshot: 31"},
      {false, "VarcamConvertFrameToRgb24", "Could not convert snapshot to rgb."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    clearRecords();
    vzsim::failNext(c.function, 1, 31);
    EXPECT_EQ(c.dark ? vx::captureDarkFrame(camera) : vx::captureBackground(camera), 0);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{c.message}));
  }
  camera.corrections.withDark([](const vx::DarkFrame* d) { EXPECT_EQ(d->bytes[0], 3); });
  camera.corrections.withBackground([](const vx::BackgroundFactors* b) { EXPECT_EQ(b->factors[0], 2.0); });
}

TEST_F(CorrectionTest, CancelOrStoppedPreviewCapturesNothing) {
  startPreview();
  storeUniformDark(3);
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  EXPECT_EQ(vx::grabDarkFrame(camera), 0);
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  EXPECT_EQ(vx::grabBackground(camera), 0);
  EXPECT_TRUE(calls("VarcamTakeVideo").empty());
  camera.corrections.withDark([](const vx::DarkFrame* d) { EXPECT_EQ(d->bytes[0], 3); });
  EXPECT_EQ(state.backgroundStored, 0);

  // Switching on without a stored background asks for one first; declined,
  // the switch stays off.
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  vx::enableBackgroundCorrection(camera);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
  EXPECT_TRUE(calls("VarcamAddRgbPreviewCallback").empty());

  ASSERT_EQ(vx::stopPreview(camera), 1);
  clearRecords();
  EXPECT_EQ(vx::grabDarkFrame(camera), 0);
  EXPECT_EQ(vx::grabBackground(camera), 0);
  ASSERT_EQ(hl::messageBoxes().size(), 2u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "In order to take the dark frame, the preview needs to be running.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM - Dark Frame Subtraction");
  EXPECT_EQ(hl::messageBoxes()[1].text, "In order to take the background, the preview needs to be running.");
  EXPECT_EQ(hl::messageBoxes()[1].caption, "VARCAM - Background Correction");
}

// Switching dark subtraction on without a frame takes one first.
TEST_F(CorrectionTest, EnableWithoutFrameGrabsOne) {
  startPreview();
  vx::enableDarkSubtraction(camera);
  EXPECT_EQ(state.darkFrameStored, 1);
  EXPECT_EQ(state.darkSubtractionOn, 1);
  const Journal all = vzsim::journal();
  EXPECT_LT(indexOf(all, isCall("VarcamTakeVideo")), indexOf(all, isCall("VarcamAddStreamingCallback")));
  vx::enableDarkSubtraction(camera);
  EXPECT_EQ(calls("VarcamAddStreamingCallback").size(), 1u) << "never registered twice";
}

// A change of the preview mode discards both frames and switches both
// corrections off, in the panel too.
TEST_F(CorrectionTest, PreviewModeChangeDiscardsTheFrames) {
  startPreview();
  storeUniformDark(3);
  storeUniformBackground(1.0);
  vx::enableDarkSubtraction(camera);
  vx::enableBackgroundCorrection(camera);
  const int darkId = camera.darkCallbackId;
  const int backgroundId = camera.backgroundCallbackId;
  const platform::Window panel =
      openPanel(Section::ImageCorrection, {vx::kCorrectionDarkStatus, vx::kCorrectionBackgroundStatus},
                {vx::kCorrectionUseDark, vx::kCorrectionUseBackground});
  platform::checkDlgButton(panel, vx::kCorrectionUseDark, platform::BST_CHECKED);
  platform::checkDlgButton(panel, vx::kCorrectionUseBackground, platform::BST_CHECKED);
  clearRecords();

  ASSERT_EQ(vx::setPreviewMode(camera, 5), 1);  // the same mode: nothing changes
  EXPECT_EQ(state.darkSubtractionOn, 1);
  EXPECT_TRUE(calls("VarcamRemoveStreamingCallback").empty());
  clearRecords();
  ASSERT_EQ(vx::setPreviewMode(camera, 4), 1);  // 640 x 480
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
  EXPECT_EQ(state.darkFrameStored, 0);
  EXPECT_EQ(state.backgroundStored, 0);
  EXPECT_FALSE(camera.corrections.hasDark());
  EXPECT_FALSE(camera.corrections.hasBackground());
  EXPECT_EQ(calls("VarcamRemoveStreamingCallback").at(0).args.at(0), std::to_string(darkId));
  EXPECT_EQ(calls("VarcamRemoveRgbPreviewCallback").at(0).args.at(0), std::to_string(backgroundId));
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "No frame taken");
  EXPECT_EQ(text(panel, vx::kCorrectionBackgroundStatus), "No frame taken");
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kCorrectionUseDark), platform::BST_UNCHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kCorrectionUseBackground), platform::BST_UNCHECKED);
  // The removal happened before the new format was set.
  const Journal all = vzsim::journal();
  EXPECT_LT(indexOf(all, isCall("VarcamRemoveStreamingCallback")), indexOf(all, isCall("VarcamSetFormat")));
}

} // namespace
