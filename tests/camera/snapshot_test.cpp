// Snapshots at the acquisition settings, converted to RGB, and the camera
// put back to the preview afterwards.
#include "camera_fixture.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "driver/driver_snapshot.h"
#include "engines/preview_overlay.h"
#include "support/bmp_files.h"

#include <memory>

namespace {

using namespace camtest;
namespace hl = platform::headless;

class SnapshotTest : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    window = hl::createHostWindow("Preview", {10, 10, 500, 400});
  }
  void startPreview() {
    ASSERT_EQ(vx::startPreview(camera, window), 1);
    clearRecords();
  }
  // Fills the driver's buffers with something to tell them apart from a
  // release or a new snapshot.
  void prefillBuffers() {
    ASSERT_TRUE(driver.snapshot.raw.allocate(4));
    ASSERT_TRUE(driver.snapshot.rgb.allocate(12));
    driver.snapshot.rgb[0] = 77;
  }
  std::vector<std::uint8_t> raw() const {
    return {driver.snapshot.raw.data(), driver.snapshot.raw.data() + driver.snapshot.raw.size()};
  }
  platform::Window window = nullptr;
};

// The frame kept is made at the acquisition format and values; the preview
// resumes at its own.
TEST_F(SnapshotTest, TakenAtTheAcquisitionSettingsThenBackToThePreview) {
  ASSERT_EQ(open(), 1);
  startPreview();
  ASSERT_EQ(vx::setAcquisitionGeometry(camera, 0, 640, 512, 0, 0, 2, 2, 0, 0), 1);
  state.brightness.acquire = 50.0f;  // camera 0.5
  state.hue.acquire = 90.0f;
  state.globalGain.acquire = 4.0f;
  state.exposure.acquire = 20.0f;
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_TRUE(boxTexts().empty());
  EXPECT_EQ(driver.snapshot.width, 640);
  EXPECT_EQ(driver.snapshot.height, 512);
  EXPECT_EQ(driver.snapshot.lineCursor, 511);
  EXPECT_EQ(driver.snapshot.raw.size(), 640u * 512u);
  EXPECT_EQ(driver.snapshot.rgb.size(), 640u * 512u * 3u);

  const Journal all = vzsim::journal();
  const Journal taken = frames("TakeVideo", all);
  ASSERT_EQ(taken.size(), 3u) << "two warm-up frames and the one kept";
  for (const auto& f : taken) {
    EXPECT_EQ(f.format.width, 1280u);
    EXPECT_EQ(f.format.factorX, 2);
    EXPECT_FLOAT_EQ(f.properties.at(PropBrightness), 0.5f);
    EXPECT_FLOAT_EQ(f.properties.at(PropHue), 90.0f);
    EXPECT_NEAR(f.properties.at(PropGain), 4.0, 0.01);
    EXPECT_FLOAT_EQ(f.properties.at(PropExposure), 20.0f);
  }
  // SDK order around the frame.
  const int saved = indexOf(all, isCall("VarcamGetFormat"));
  const int stop = indexOf(all, isCall("VarcamStreamVideoControl", {"0"}));
  const int acquisition = indexOf(all, isCall("VarcamSetFormat"));
  const int stream = indexOf(all, isCall("VarcamStreamVideoControl", {"1"}));
  const int warmUp = indexOf(all, isCall("VarcamTakeVideo", {"2", "null"}));
  const int frame = indexOf(all, isCall("VarcamTakeVideo", {"1", "ptr"}));
  const int stop2 = indexOf(all, isCall("VarcamStreamVideoControl", {"0"}), frame);
  const int back = indexOf(all, isCall("VarcamSetFormat"), frame);
  const int convert = indexOf(all, isCall("VarcamConvertFrameToRgb24"));
  ASSERT_EQ(saved, 0);
  EXPECT_TRUE(saved < stop && stop < acquisition && acquisition < stream && stream < warmUp && warmUp < frame &&
              frame < stop2 && stop2 < back && back < convert);
  EXPECT_EQ(all[static_cast<std::size_t>(acquisition)].args,
            (std::vector<std::string>{"{x=0 y=0 w=1280 h=1024 pf=0 fx=2 bx=0 fy=2 by=0}", "200"}));
  EXPECT_EQ(all[static_cast<std::size_t>(back)].args,
            (std::vector<std::string>{"{x=0 y=0 w=1280 h=1024 pf=0 fx=1 bx=0 fy=1 by=0}", "200"}));
  EXPECT_EQ(all[static_cast<std::size_t>(convert)].args.at(2), "640");
  EXPECT_EQ(all[static_cast<std::size_t>(convert)].args.at(3), "512");
  const Journal acquisitionValues(all.begin() + acquisition, all.begin() + stream);
  EXPECT_EQ(writtenProperties(acquisitionValues),
            (std::vector<int>{PropHue, PropSaturation, PropContrast, PropBrightness, PropExposure, PropGamma, PropGain,
                              PropGainRed, PropGainGreen1, PropGainGreen2, PropGainBlue}));
  const Journal afterConvert(all.begin() + convert, all.end());
  const std::vector<int> restored = writtenProperties(afterConvert);
  ASSERT_GE(restored.size(), 4u);
  EXPECT_EQ(std::vector<int>(restored.begin(), restored.begin() + 4),
            (std::vector<int>{PropHue, PropSaturation, PropContrast, PropBrightness}));

  // The preview displays again at its own settings.
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
  vzsim::clearJournal();
  ASSERT_TRUE(vzsim::waitForFrames(1, 2));
  const Journal shown = frames("display");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().format.factorX, 1);
  EXPECT_FLOAT_EQ(shown.back().properties.at(PropBrightness), 0.0f);
  EXPECT_FLOAT_EQ(shown.back().properties.at(PropHue), 0.0f);
  EXPECT_FLOAT_EQ(shown.back().properties.at(PropExposure), 10.0f);
}

TEST_F(SnapshotTest, BinnedModeAsksForTheSensorWindow) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setAcquisitionGeometry(camera, 0, 640, 480, 0, 0, 2, 2, 1, 1), 1);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_EQ(calls("VarcamSetFormat").at(0).args.at(0), "{x=0 y=0 w=1280 h=960 pf=0 fx=2 bx=1 fy=2 by=1}");
  EXPECT_EQ(driver.snapshot.raw.size(), 640u * 480u);
  EXPECT_EQ(driver.snapshot.rgb.size(), 640u * 480u * 3u);
  EXPECT_EQ(frames("TakeVideo").back().format.flagsY, 1);
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamStop) << "no preview was running";
}

// In preview-format mode the camera stays as it is; only the first snapshot
// warms the stream up, and a running display keeps running.
TEST_F(SnapshotTest, PreviewFormatModeWarmsUpOnce) {
  ASSERT_EQ(open(), 1);
  startPreview();
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
    EXPECT_EQ(driver.snapshot.width, 1280);
    EXPECT_EQ(camera.snapshotWarmupPending, 0);
    EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi) << "the preview keeps displaying";
  }
  const Journal all = vzsim::journal();
  EXPECT_EQ(calls("VarcamTakeVideo", all).size(), 4u);
  EXPECT_EQ(indexOf(all, isCall("VarcamTakeVideo", {"2", "null"})), indexOf(all, isCall("VarcamTakeVideo")));
  EXPECT_TRUE(calls("VarcamSetFormat", all).empty());
  EXPECT_TRUE(calls("VarcamSetProperty", all).empty());
  EXPECT_TRUE(boxTexts().empty());
}

// A preview size stored without a restart (the resolution panel closed)
// no longer matches the camera's frames: the camera still writes whole
// frames, and the buffer must hold them.
TEST_F(SnapshotTest, PreviewFormatSnapshotAfterAStoredSizeChange) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  ASSERT_EQ(vx::setPreviewSize(camera, 320, 240, 0, 0), 1);
  EXPECT_EQ(vzsim::currentFormat(1).width, 1280u);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_EQ(driver.snapshot.width, 320);
  EXPECT_GE(driver.snapshot.raw.size(), 1280u * 1024u);
  EXPECT_EQ(driver.snapshot.rgb.size(), 320u * 240u * 3u);
}

TEST_F(SnapshotTest, PreviewFormatModeWithoutPreviewStartsTheStream) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  const Journal all = vzsim::journal();
  EXPECT_LT(indexOf(all, isCall("VarcamStreamVideoControl", {"1"})), indexOf(all, isCall("VarcamTakeVideo")));
  EXPECT_EQ(driver.snapshot.width, state.preview.width);
}

TEST_F(SnapshotTest, LightSourceChoosesTheCorrectionCode) {
  ASSERT_EQ(open(), 1);
  const char* codes[] = {"{method=1 code=14}", "{method=1 code=5}", "{method=1 code=2}", "{method=1 code=1}"};
  for (int light = 0; light < 4; ++light) {
    state.lightSource = light;
    clearRecords();
    ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
    EXPECT_EQ(calls("VarcamConvertFrameToRgb24").at(0).args.back(), codes[light]);
  }
  state.lightSource = 7;
  clearRecords();
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Should not happen");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "");
  EXPECT_EQ(calls("VarcamConvertFrameToRgb24").at(0).args.back(), codes[0]);

  clearRecords();
  ASSERT_EQ(vx::setColourCorrection(camera, 2), 1);
  EXPECT_EQ(writes(PropCorrectionMatrix).at(0).args.at(1), "2");
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Correction Matrix has been changed in camera."));
  vzsim::failNext("VarcamSetProperty", 1, 31, PropCorrectionMatrix);
  EXPECT_EQ(vx::setColourCorrection(camera, 1), 0);
  EXPECT_EQ(boxTexts().back(), "Could not set Correction matrix: 31");
}

TEST_F(SnapshotTest, GainsThatAreNotThereAreNotWritten) {
  vzsim::setPropertySpec(1, PropGainRed, absent());
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_TRUE(writes(PropGainRed).empty());
  EXPECT_EQ(writes(PropGainBlue).size(), 2u) << "acquisition, then preview";
  EXPECT_TRUE(boxTexts().empty());
}

// A failure after the camera was switched releases both buffers, and the
// preview is running again in its own format with its own values.
TEST_F(SnapshotTest, FailuresReleaseTheBuffersAndResumeThePreview) {
  struct Case {
    const char* function;
    const char* message;
  } cases[] = {
      {"VarcamSetFormat", "Could not set format: 31"},
      {"VarcamTakeVideo", "Could not get video snapshot: 31"},
      {"VarcamConvertFrameToRgb24", "Could not convert snapshot to rgb."},
  };
  ASSERT_EQ(open(), 1);
  startPreview();
  state.brightness.acquire = 50.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    prefillBuffers();
    clearRecords();
    vzsim::failNext(c.function, 1, 31);
    EXPECT_EQ(vx::takeDriverSnapshot(driver), 0);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{c.message}));
    EXPECT_EQ(hl::messageBoxes().at(0).caption, "ERROR");
    EXPECT_EQ(driver.snapshot.raw.size(), 0u);
    EXPECT_EQ(driver.snapshot.rgb.size(), 0u);
    EXPECT_EQ(driver.snapshot.lineCursor, -1);
    EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
    EXPECT_FLOAT_EQ(vzsim::propertyValue(1, PropBrightness).value(), 0.0f) << "preview value back";
    EXPECT_EQ(vzsim::currentFormat(1).width, 1280u);
  }
  // In preview-format mode without a warm-up, the one frame fails.
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  camera.snapshotWarmupPending = 0;
  prefillBuffers();
  clearRecords();
  vzsim::failNext("VarcamTakeVideo", 1, 32);
  EXPECT_EQ(vx::takeDriverSnapshot(driver), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not get video snapshot: 32"}));
  EXPECT_EQ(driver.snapshot.raw.size(), 0u);
  EXPECT_EQ(driver.snapshot.rgb.size(), 0u);
}

// A camera that goes away in the middle of a snapshot refuses everything
// after: the failure's one message is all the user sees, and putting the
// preview back stops at the first step the camera refuses.
TEST_F(SnapshotTest, ACameraGoneMidwayGetsOneMessage) {
  ASSERT_EQ(open(), 1);
  startPreview();
  hl::setMessageBoxObserver([](const hl::MessageBoxRecord&) {
    for (const char* function :
         {"VarcamSetFormat", "VarcamGetFormat", "VarcamSetProperty", "VarcamGetProperty", "VarcamStreamVideoControl",
          "VarcamTakeVideo", "VarcamEnumAvailableFrameRates", "VarcamPropertyRange", "VarcamConvertFrameToRgb24"})
      vzsim::failNext(function, 1000, vzsim::ErrorInvalidHandle);
  });
  struct Case {
    const char* function;
    const char* message;
  } cases[] = {{"VarcamTakeVideo", "Could not get video snapshot: 31"}, {"VarcamSetFormat", "Could not set format: 31"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    vzsim::clearFaults();
    clearRecords();
    vzsim::failNext(c.function, 1, 31);
    EXPECT_EQ(vx::takeDriverSnapshot(driver), 0);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{c.message}));
    const Journal all = vzsim::journal();
    const int failed = indexOf(all, [&](const vzsim::JournalEntry& e) { return e.function == c.function && !e.ok; });
    ASSERT_GE(failed, 0);
    // The stream's stop, then the one step that the camera refuses.
    const Journal after = sdkCalls(Journal(all.begin() + failed + 1, all.end()));
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].function, "VarcamStreamVideoControl");
    EXPECT_FALSE(after[1].ok) << after[1].function;
    EXPECT_EQ(driver.snapshot.raw.size(), 0u);
  }
  hl::setMessageBoxObserver({});
  vzsim::clearFaults();
}

TEST_F(SnapshotTest, FormatReadFailureKeepsTheBuffers) {
  ASSERT_EQ(open(), 1);
  startPreview();
  prefillBuffers();
  vzsim::failNext("VarcamGetFormat", 1, 31);
  EXPECT_EQ(vx::takeDriverSnapshot(driver), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Unable to get camera video format. Snapshot mode disabled."}));
  EXPECT_EQ(driver.snapshot.rgb.size(), 12u);
  EXPECT_EQ(driver.snapshot.rgb[0], 77);
  EXPECT_EQ(sdkCalls().size(), 1u) << "nothing but the format read";
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
}

TEST_F(SnapshotTest, StreamStartFailureIsReportedAndGoesOn) {
  ASSERT_EQ(open(), 1);
  vzsim::failNext("VarcamStreamVideoControl", 1, 30);  // the stream start (no preview to stop)
  EXPECT_EQ(vx::takeDriverSnapshot(driver), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Unable to start streaming.", "Could not get video snapshot: 1461"}));
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM - Good");
  EXPECT_EQ(driver.snapshot.raw.size(), 0u);
}

// The dark frame is taken off the raw frame before conversion, when it has
// the snapshot's size (it comes from the preview).
TEST_F(SnapshotTest, DarkFrameIsSubtracted) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setAcquisitionGeometry(camera, 0, 320, 240, 0, 0, 1, 1, 0, 0), 1);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  const std::vector<std::uint8_t> plain = raw();
  const std::vector<std::uint8_t> plainRgb(driver.snapshot.rgb.data(),
                                           driver.snapshot.rgb.data() + driver.snapshot.rgb.size());

  const auto storeDark = [&](int width, int height) {
    auto dark = std::make_unique<vx::DarkFrame>();
    dark->width = width;
    dark->height = height;
    const auto size = static_cast<std::size_t>(width * height);
    ASSERT_TRUE(dark->bytes.allocate(size));
    for (std::size_t i = 0; i < size; ++i) dark->bytes[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 10 : 200);
    camera.corrections.replaceDark(std::move(dark));
  };
  storeDark(320, 240);
  state.darkSubtractionOn = 1;
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  const std::vector<std::uint8_t> corrected = raw();
  ASSERT_EQ(corrected.size(), plain.size());
  int floored = 0;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const int d = i % 2 == 0 ? 10 : 200;
    ASSERT_EQ(corrected[i], std::max(plain[i] - d, 0)) << i;
    floored += plain[i] < d;
  }
  EXPECT_GT(floored, 0) << "some bytes saturate at 0";
  // Converted after the subtraction.
  EXPECT_NE(std::vector<std::uint8_t>(driver.snapshot.rgb.data(), driver.snapshot.rgb.data() + driver.snapshot.rgb.size()),
            plainRgb);

  // A dark frame of another size (a preview of another size) is not laid
  // over the snapshot's pixels.
  storeDark(160, 120);
  clearRecords();
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_EQ(raw(), plain);
  EXPECT_TRUE(logged("PIXORA DRIVER: Dark frame of 160 x 120 not subtracted from a 320 x 240 snapshot."));
  state.darkSubtractionOn = 0;
}

TEST_F(SnapshotTest, OverlayIsBlendedIntoCaptures) {
  vxtest::BmpFolder folder;
  std::vector<std::uint8_t> white(4 * 2 * 3, 255);
  const std::string path = folder.write("white.bmp", vxtest::bmpBytes({4, 2, 24, 54}, white));
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setAcquisitionGeometry(camera, 0, 320, 240, 0, 0, 1, 1, 0, 0), 1);
  vzsim::setScene(1, vzsim::Scene::Covered);
  ASSERT_EQ(camera.previewOverlay()->loadOverlayBitmap(path.c_str()), 1);
  const auto centre = [&] { return driver.snapshot.rgb[(120u * 320u + 160u) * 3u]; };
  state.overlayOn = 1;
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_LT(centre(), 255) << "not on capture";
  state.overlayOnCapture = 1;
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_EQ(centre(), 255);
}

TEST_F(SnapshotTest, AcquisitionModeAndMirroring) {
  attach({vzsim::defaultModel(141)});
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::setAcquisitionMode(camera, 5), 1);  // 640 x 480 sub-sampled by 2
  EXPECT_EQ(state.acquisition.index, 5);
  EXPECT_EQ(state.acquisition.width, 640);
  EXPECT_EQ(state.acquisition.factorX, 2);
  EXPECT_TRUE(logged("SET RESOLUTION ACQ: Width: 640, Height: 480"));
  EXPECT_TRUE(logged("SET RESOLUTION ACQ SELECTED: Width: 640, Height: 480"));
  EXPECT_TRUE(vzsim::journal().empty()) << "the camera waits for the next snapshot";
  ASSERT_EQ(vx::setAcquisitionMode(camera, 99), 1);
  EXPECT_EQ(state.acquisition.index, 7);

  state.mirrorHorizontal = 1;
  state.mirrorVertical = 1;
  ASSERT_EQ(vx::setMirroring(camera), 1);
  EXPECT_EQ(writes(PropFlipping).at(0).args.at(1), "3");
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Image Flipped in camera."));
  vzsim::failNext("VarcamSetProperty", 1, 31, PropFlipping);
  EXPECT_EQ(vx::setMirroring(camera), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not set Flipping: 31"}));
}

} // namespace

namespace {

// A capture window that starts left of the sensor (an aligned host rectangle
// can give a negative offset) or runs past its far edge is moved onto the
// sensor instead of reaching the camera as a huge unsigned offset.
TEST_F(SnapshotTest, AcquisitionWindowIsKeptOnTheSensor) {
  ASSERT_EQ(open(), 1);
  startPreview();
  ASSERT_EQ(vx::setAcquisitionGeometry(camera, 0, 640, 480, -2, 900, 1, 1, 0, 0), 1);
  ASSERT_EQ(vx::takeDriverSnapshot(driver), 1);
  EXPECT_TRUE(boxTexts().empty());
  const Journal taken = frames("TakeVideo", vzsim::journal());
  ASSERT_FALSE(taken.empty());
  EXPECT_EQ(taken.back().format.offsetX, 0u);
  EXPECT_EQ(taken.back().format.offsetY, 1024u - 480u);
}

} // namespace
