// The live preview: format, window and status bar, geometry, snapshot mode,
// exposure and grey rendering.
#include "camera_fixture.h"

#include "camera/preview_stream.h"
#include "engines/exposure_controller.h"
#include "ui/panel_ids.h"

namespace {

using namespace camtest;
namespace hl = platform::headless;
using vx::Section;

class PreviewTest : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    window = hl::createHostWindow("Preview", {10, 10, 500, 400});
  }
  // The operations on the preview window since the last clear.
  std::vector<std::string> windowOps() const {
    std::vector<std::string> ops;
    for (const auto& op : hl::windowOperations())
      if (op.window == window) ops.push_back(op.operation);
    return ops;
  }
  static std::string statusText(platform::Window statusBar, std::size_t part) {
    const auto texts = hl::windowInfo(statusBar).statusTexts;
    return part < texts.size() ? texts[part] : std::string();
  }
  platform::Window window = nullptr;
};

TEST_F(PreviewTest, StartSetsFormatExposureWindowDisplayAndStatusBar) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  const Journal all = vzsim::journal();
  const int getFormat = indexOf(all, isCall("VarcamGetFormat"));
  const int readExposure = indexOf(all, isCall("VarcamGetProperty", {"20"}));
  const int setFormat = indexOf(all, isCall("VarcamSetFormat"));
  const int display = indexOf(all, isCall("VarcamStreamVideoControl", {"5"}));
  ASSERT_GE(getFormat, 0);
  EXPECT_LT(getFormat, readExposure);
  EXPECT_LT(readExposure, setFormat) << "the exposure is taken before the format changes";
  EXPECT_EQ(all[static_cast<std::size_t>(setFormat)].args,
            (std::vector<std::string>{"{x=0 y=0 w=1280 h=1024 pf=0 fx=1 bx=0 fy=1 by=0}", "200"}));
  ASSERT_GT(display, setFormat);
  EXPECT_EQ(all[static_cast<std::size_t>(display)].args, (std::vector<std::string>{"5", "ptr"}));
  // The exposure survives the frame-rate measurement, written back last
  // before the second format read.
  const Journal exposureWrites = writes(PropExposure, all);
  ASSERT_FALSE(exposureWrites.empty());
  EXPECT_EQ(exposureWrites.back().args.at(1), "10");
  EXPECT_LT(exposureWrites.back().sequence, all[static_cast<std::size_t>(display)].sequence);
  // Running is set first, so the restart stops the stream before anything.
  EXPECT_EQ(indexOf(all, isCall("VarcamStreamVideoControl")), indexOf(all, isCall("VarcamStreamVideoControl", {"0"})));
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);

  EXPECT_EQ(state.previewRunning, 1);
  EXPECT_EQ(state.previewWindow, window);
  for (const char* line : {"Open streaming of camera...", "PREVIEW START RES: Width: 1280, Height: 1024",
                           "PREVIEW START RES SELECTED: Width: 1280, Height: 1024",
                           "WINDOW SIZE: Width: 1288, Height: 1058", "PIXORA/VARNEX DRIVER: Display started."})
    EXPECT_TRUE(logged(line)) << line;

  // Display size + 8 x 34, then + 8 x 54 for the status bar; never moved,
  // activated or reordered.
  const auto ops = windowOps();
  ASSERT_GE(ops.size(), 3u);
  EXPECT_EQ(ops[0], "setWindowPos 0 0 1288 1058 flags=0x16");
  EXPECT_EQ(ops[1], "setWindowPos 0 0 1288 1078 flags=0x16");
  EXPECT_EQ(ops[2], "createStatusBar " + std::to_string(hl::windowInfo(camera.statusBar).controlId));
  const auto bar = hl::windowInfo(camera.statusBar);
  EXPECT_TRUE(bar.visible);
  EXPECT_EQ(bar.className, "msctls_statusbar32");
  EXPECT_EQ(bar.owner, window);
  EXPECT_EQ(bar.statusParts, (std::vector<int>{1080, 1180, 1280}));
  ASSERT_EQ(hl::activeTimers().size(), 1u);
  EXPECT_EQ(hl::activeTimers()[0].period, 100u);
  EXPECT_TRUE(boxTexts().empty());
}

// While stopped a restart still sets the format and sizes the window, but no
// display starts.
TEST_F(PreviewTest, RestartWhileStoppedStartsNoDisplay) {
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  state.preview.index = 3;
  state.preview.width = state.display.width = 640;
  state.preview.height = state.display.height = 512;
  state.preview.factorX = state.preview.factorY = 2;
  ASSERT_EQ(vx::restartPreview(camera), 1);
  const Journal all = vzsim::journal();
  EXPECT_TRUE(calls("VarcamStreamVideoControl", all).empty());
  EXPECT_EQ(calls("VarcamSetFormat", all).at(0).args.at(0), "{x=0 y=0 w=1280 h=1024 pf=0 fx=2 bx=0 fy=2 by=0}");
  EXPECT_EQ(vzsim::currentFormat(1).factorX, 2);
  EXPECT_FALSE(logged("PIXORA/VARNEX DRIVER: Display started."));
  EXPECT_EQ(windowOps().at(0), "setWindowPos 0 0 648 546 flags=0x16");
  EXPECT_NE(camera.statusBar, nullptr);
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamStop);
}

TEST_F(PreviewTest, OffsetsAreKeptOnTheSensor) {
  struct Case {
    int width, factor, offset, expected;
  } cases[] = {
      {600, 2, 100, 80},   // 1280 - 1200 = 80 < 100
      {600, 2, 60, 60},    // fits
      {1280, 1, 500, 0},   // the whole sensor: any offset becomes 0
      {600, 2, -20, 0},    // negative first becomes 0
      {160, 1, -5, 0},
  };
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  const platform::Window panel = openPanel(Section::Resolution, {vx::kResolutionOffsetX, vx::kResolutionOffsetY});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    platform::setDlgItemText(panel, vx::kResolutionOffsetX, "unchanged");
    platform::setDlgItemText(panel, vx::kResolutionOffsetY, "unchanged");
    vzsim::clearJournal();
    state.preview.width = c.width;
    state.preview.factorX = c.factor;
    state.preview.height = 480;
    state.preview.factorY = c.factor;
    state.preview.offsetX = c.offset;
    state.preview.offsetY = 64;  // 1024 - 480 x factor leaves room for it
    ASSERT_EQ(vx::restartPreview(camera), 1);
    EXPECT_EQ(state.preview.offsetX, c.expected);
    EXPECT_EQ(state.preview.offsetY, 64);
    const std::string format = calls("VarcamSetFormat").at(0).args.at(0);
    EXPECT_EQ(format.substr(0, format.find(' ')), "{x=" + std::to_string(c.expected));
    EXPECT_EQ(text(panel, vx::kResolutionOffsetX), c.expected != c.offset ? std::to_string(c.expected) : "unchanged");
    EXPECT_EQ(text(panel, vx::kResolutionOffsetY), "unchanged");
  }
  // A window wider than the sensor starts at its edge rather than at a
  // negative offset (the camera refuses the format then).
  state.preview.width = 1400;
  state.preview.factorX = 1;
  state.preview.offsetX = 30;
  vzsim::clearJournal();
  vx::restartPreview(camera);
  EXPECT_EQ(state.preview.offsetX, 0);
  EXPECT_EQ(calls("VarcamSetFormat").at(0).args.at(0).substr(0, 5), "{x=0 ");

  // The same rule downwards: 1024 - 2 x 480 = 64.
  state.preview.width = 600;
  state.preview.factorX = state.preview.factorY = 2;
  state.preview.offsetY = 100;
  ASSERT_EQ(vx::restartPreview(camera), 1);
  EXPECT_EQ(state.preview.offsetY, 64);
  EXPECT_EQ(text(panel, vx::kResolutionOffsetY), "64");
}

TEST_F(PreviewTest, FormatAndDisplayFailures) {
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  state.previewRunning = 1;

  vzsim::failNext("VarcamGetFormat", 1, 31);
  EXPECT_EQ(vx::restartPreview(camera), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Unable to get camera video format. Snapshot mode disabled."}));
  EXPECT_TRUE(calls("VarcamSetFormat").empty());

  clearRecords();
  vzsim::failNext("VarcamSetFormat", 1, 32);
  EXPECT_EQ(vx::restartPreview(camera), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not set format: 32"}));
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_TRUE(windowOps().empty());

  clearRecords();
  vzsim::failNext("VarcamStreamVideoControl", 2, 33);  // the stop, then the display
  EXPECT_EQ(vx::restartPreview(camera), 1);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Unable to display.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM - Good");
  EXPECT_FALSE(logged("PIXORA/VARNEX DRIVER: Display started."));
  EXPECT_NE(camera.statusBar, nullptr) << "the status bar is built all the same";
}

// The 100 ms timer refreshes the camera and display rates (virtual time).
TEST_F(PreviewTest, StatusBarRatesRefreshEveryHundredMilliseconds) {
  hl::useVirtualTime(true);
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  ASSERT_EQ(vx::restartPreview(camera), 1);  // stopped: no display rate
  vx::showProgress(camera, "Working...");
  EXPECT_EQ(statusText(camera.statusBar, 0), "  Working...");
  EXPECT_EQ(statusText(camera.statusBar, 1), "");

  char expected[64];
  std::snprintf(expected, sizeof expected, " Camera fps: %.2f", static_cast<double>(vzsim::currentFrameRate(1)));
  platform::Message message;
  hl::advanceTime(99);
  EXPECT_FALSE(platform::peekMessage(&message, true));
  hl::advanceTime(1);
  ASSERT_TRUE(platform::peekMessage(&message, true));
  EXPECT_EQ(message.message, platform::WM_TIMER);
  platform::dispatchMessage(message);
  EXPECT_EQ(statusText(camera.statusBar, 1), expected);
  EXPECT_EQ(statusText(camera.statusBar, 2), " Display fps: 0.00");

  vzsim::failNext("VarcamGetFormat", 1, 31);
  hl::advanceTime(100);
  ASSERT_TRUE(platform::peekMessage(&message, true));
  platform::dispatchMessage(message);
  EXPECT_EQ(statusText(camera.statusBar, 1), " Camera fps: ERR");

  ASSERT_EQ(vx::stopPreview(camera), 1);
  hl::advanceTime(500);
  EXPECT_FALSE(platform::peekMessage(&message, true)) << "stop kills the timer";
}

// With the exposure panel open a restart lists the rates the camera offers
// for the new format, the current one as the box's text.
TEST_F(PreviewTest, FrameRateListFollowsTheFormat) {
  ASSERT_EQ(open(), 1);
  const platform::Window panel = openPanel(Section::Exposure, {}, {}, {vx::kExposureFrameRate});
  platform::comboAddString(panel, vx::kExposureFrameRate, "stale");
  state.preview.index = 5;
  ASSERT_EQ(vx::setPreviewMode(camera, 5), 1);  // 320 x 240: every rate fits
  const auto combo = hl::controlInfo(panel, vx::kExposureFrameRate);
  std::vector<std::string> offered;
  for (float rate : vzsim::offeredRates(1)) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(rate));
    offered.push_back(text);
  }
  EXPECT_EQ(combo.items, offered);
  EXPECT_EQ(combo.items.front(), "3.75");
  char current[16];
  std::snprintf(current, sizeof current, "%.2f", static_cast<double>(vzsim::currentFrameRate(1)));
  EXPECT_EQ(combo.text, current);
}

// One status-bar timer, on the window the preview runs in.
TEST_F(PreviewTest, StartingInAnotherWindowMovesTheTimer) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  const platform::Window other = hl::createHostWindow("Other", {0, 0, 300, 300});
  ASSERT_EQ(vx::startPreview(camera, other), 1);
  const auto timers = hl::activeTimers();
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers[0].window, other);
}

TEST_F(PreviewTest, StopEndsTheStreamOnceAndDestroysTheDisplayWindow) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  clearRecords();
  ASSERT_EQ(vx::stopPreview(camera), 1);
  EXPECT_TRUE(logged("Closing streaming..."));
  EXPECT_TRUE(hl::activeTimers().empty());
  EXPECT_EQ(windowOps(), (std::vector<std::string>{"showWindow 0"}));
  const Journal all = sdkCalls();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].function, "VarcamStreamVideoControl");
  EXPECT_EQ(all[0].args.at(0), "0");
  EXPECT_EQ(all[1].function, "VarcamDestroyDisplayWindow");
  EXPECT_TRUE(all[1].ok);
  EXPECT_EQ(state.previewRunning, 0);
  vzsim::clearJournal();
  ASSERT_EQ(vx::stopPreview(camera), 1);
  EXPECT_TRUE(vzsim::journal().empty()) << "a stopped stream is not stopped again";
}

TEST_F(PreviewTest, GeometrySettersApplyFormatsAndWindowSizes) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  clearRecords();

  // Preview mode 2 of camera 160: 800 x 600.
  ASSERT_EQ(vx::setPreviewMode(camera, 2), 1);
  EXPECT_EQ(state.preview.index, 2);
  EXPECT_EQ(state.preview.width, 800);
  EXPECT_EQ(state.preview.selectedHeight, 600);
  EXPECT_TRUE(logged("SET RESOLUTION PVW: Width: 800, Height: 600"));
  EXPECT_TRUE(logged("SET RESOLUTION PVW SELECTED: Width: 800, Height: 600"));
  EXPECT_EQ(calls("VarcamSetFormat").at(0).args.at(0), "{x=0 y=0 w=800 h=600 pf=0 fx=1 bx=0 fy=1 by=0}");

  // Display size from a list entry: the window follows, the format does not.
  clearRecords();
  ASSERT_EQ(vx::setDisplaySize(camera, 5), 1);  // 320 x 240
  EXPECT_EQ(state.display.index, 5);
  EXPECT_EQ(state.display.width, 320);
  EXPECT_TRUE(logged("IN SET WINDOW SIZE: Width: 320, Height: 240 Index: 5"));
  const Journal resized = vzsim::journal();
  EXPECT_TRUE(calls("VarcamSetFormat", resized).empty());
  const int stop = indexOf(resized, isCall("VarcamStreamVideoControl", {"0"}));
  const int destroy = indexOf(resized, isCall("VarcamDestroyDisplayWindow"));
  const int restart = indexOf(resized, isCall("VarcamStreamVideoControl", {"5"}));
  EXPECT_TRUE(stop >= 0 && stop < destroy && destroy < restart);
  EXPECT_EQ(windowOps().at(0), "setWindowPos 0 0 328 274 flags=0x16");

  // Explicit sizes apply at once only while the resolution panel is open.
  clearRecords();
  ASSERT_EQ(vx::setPreviewSize(camera, 640, 480, 8, 8), 1);
  EXPECT_EQ(state.preview.width, 640);
  EXPECT_EQ(state.display.width, 640);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
  ASSERT_EQ(vx::setDisplaySizeExplicit(camera, 1, 400, 300), 1);
  EXPECT_EQ(state.display.width, 400);
  EXPECT_TRUE(windowOps().empty());
  openPanel(Section::Resolution, {vx::kResolutionWidth, vx::kResolutionHeight, vx::kResolutionOffsetX,
                                  vx::kResolutionOffsetY, vx::kResolutionWindowWidth, vx::kResolutionWindowHeight});
  ASSERT_EQ(vx::setPreviewSize(camera, 320, 240, 8, 8), 1);
  EXPECT_EQ(calls("VarcamSetFormat").at(0).args.at(0), "{x=8 y=8 w=320 h=240 pf=0 fx=1 bx=0 fy=1 by=0}");
  const platform::Window panel = driver.options.openPanel(Section::Resolution);
  EXPECT_EQ(text(panel, vx::kResolutionWidth), "320");
  EXPECT_EQ(text(panel, vx::kResolutionWindowHeight), "240");

  // Full geometry: the index is held inside the list.
  clearRecords();
  ASSERT_EQ(vx::setPreviewGeometry(camera, 99, 640, 512, 0, 0, 2, 2, 1, 1), 1);
  EXPECT_EQ(state.preview.index, 5);
  EXPECT_EQ(state.display.height, 512);
  EXPECT_EQ(calls("VarcamSetFormat").at(0).args.at(0), "{x=0 y=0 w=1280 h=1024 pf=0 fx=2 bx=1 fy=2 by=1}");
}

// Leaving snapshot mode restores the saved format and writes every preview
// value in a fixed order before the restart.
TEST_F(PreviewTest, SnapshotModeWritesThePreviewValuesBack) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  clearRecords();
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  EXPECT_EQ(state.snapshotUsesPreviewFormat, 1);
  EXPECT_EQ(camera.snapshotWarmupPending, 1);
  EXPECT_EQ(sdkCalls().size(), 1u) << "only the format is read";
  EXPECT_EQ(camera.savedFormat.width, 1280u);

  state.hue.preview = 90.0f;
  state.saturation.preview = 50.0f;
  state.contrast.preview = -50.0f;
  state.brightness.preview = 50.0f;
  state.gamma.preview = 2.0f;
  state.globalGain.preview = 7.99f;
  state.blueGain.preview = 0.25f;
  state.hue.acquire = state.brightness.acquire = 11.0f;  // never written here
  clearRecords();
  ASSERT_EQ(vx::setSnapshotMode(camera, 0), 1);
  const Journal all = sdkCalls();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[0].function, "VarcamStreamVideoControl");
  EXPECT_EQ(all[0].args.at(0), "0");
  EXPECT_EQ(all[1].function, "VarcamSetFormat");
  EXPECT_EQ(all[1].args.at(0), "{x=0 y=0 w=1280 h=1024 pf=0 fx=1 bx=0 fy=1 by=0}");
  // The values, up to the preview restart's format change.
  const int restart = indexOf(all, isCall("VarcamSetFormat"), 2);
  ASSERT_GT(restart, 0);
  const Journal values(all.begin() + 2, all.begin() + restart);
  EXPECT_EQ(writtenProperties(values),
            (std::vector<int>{PropHue, PropSaturation, PropContrast, PropBrightness, PropExposure, PropGamma, PropGain,
                              PropGainRed, PropGainGreen1, PropGainGreen2, PropGainBlue}));
  EXPECT_EQ(writes(PropHue, values)[0].args.at(1), "90");
  EXPECT_EQ(writes(PropSaturation, values)[0].args.at(1), "1.5");
  EXPECT_EQ(writes(PropContrast, values)[0].args.at(1), "0.5");
  EXPECT_EQ(writes(PropBrightness, values)[0].args.at(1), "0.5");
  EXPECT_EQ(writes(PropGain, values)[0].args.at(1), "7.999");
  EXPECT_EQ(writes(PropGainBlue, values)[0].args.at(1), "0.25");
  EXPECT_EQ(writes(PropGainGreen1, values)[0].args.at(1), writes(PropGainGreen2, values)[0].args.at(1));
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi) << "the preview restarted";
  EXPECT_TRUE(boxTexts().empty());
}

TEST_F(PreviewTest, SnapshotModeWriteBackSkipsWhatIsNotThere) {
  vzsim::setPropertySpec(1, PropGainBlue, absent());
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  state.cameraAutoExposureOn = 1;  // the camera's own exposure is left alone
  camera.grayscaleRequested = 1;
  state.saturation.preview = 80.0f;
  clearRecords();
  ASSERT_EQ(vx::setSnapshotMode(camera, 0), 1);
  const Journal all = vzsim::journal();
  const int restart = indexOf(all, isCall("VarcamSetFormat"), 2);
  const Journal values(all.begin(), all.begin() + restart);
  EXPECT_EQ(writtenProperties(values), (std::vector<int>{PropHue, PropSaturation, PropContrast, PropBrightness,
                                                         PropGamma, PropGain, PropGainRed, PropGainGreen1,
                                                         PropGainGreen2}));
  EXPECT_EQ(writes(PropSaturation, values)[0].args.at(1), "0") << "grey: the camera minimum";
}

TEST_F(PreviewTest, SnapshotModeWriteBackReportsEachFailureAndGoesOn) {
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  ASSERT_EQ(vx::setSnapshotMode(camera, 1), 1);
  clearRecords();
  vzsim::failNext("VarcamStreamVideoControl", 1, 30);
  vzsim::failNext("VarcamSetProperty", 1, 31, PropHue);
  vzsim::failNext("VarcamSetProperty", 1, 32, PropGainGreen2);
  vzsim::failNext("VarcamSetProperty", 1, 33, PropGainBlue);
  ASSERT_EQ(vx::setSnapshotMode(camera, 0), 1);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Unable to stop streaming.", "Could not set hue: 31",
                                                  "Could not set green gain: 32", "Could not set blue gain: 33"}));
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM - Good");
  EXPECT_EQ(hl::messageBoxes()[1].caption, "ERROR");
  EXPECT_EQ(writes(PropGamma).size(), 1u) << "the sequence went on";

  clearRecords();
  vzsim::failNext("VarcamSetFormat", 1, 34);
  EXPECT_EQ(vx::setSnapshotMode(camera, 0), 0);
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not set format: 34"}));
  EXPECT_TRUE(writes(PropHue).empty());
}

// An exposure outside the current rate's band changes the frame rate, and
// the display is restarted in the new format.
TEST_F(PreviewTest, PreviewExposureThatChangesTheFrameRateRestartsTheDisplay) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(vx::startPreview(camera, window), 1);
  const float fastRate = vzsim::currentFrameRate(1);
  clearRecords();
  ASSERT_EQ(vx::setPreviewExposure(camera, 5.0f), 1);  // fits the current rate
  EXPECT_EQ(writes(PropExposure).at(0).args.at(1), "5");
  EXPECT_TRUE(calls("VarcamStreamVideoControl").empty());
  EXPECT_EQ(state.exposure.preview, 5.0f);

  clearRecords();
  ASSERT_EQ(vx::setPreviewExposure(camera, 100.0f), 1);
  EXPECT_LT(vzsim::currentFrameRate(1), fastRate);
  EXPECT_EQ(vzsim::propertyValue(1, PropExposure), 100.0f);
  const Journal all = vzsim::journal();
  // The controller restarts the stream; the display is then laid out again.
  const int lastExposure = indexOf(all, [](const auto& e) {
    return e.function == "VarcamSetProperty" && e.args.at(0) == "20" && e.args.at(1) == "100";
  });
  const Journal after(all.begin() + lastExposure, all.end());
  EXPECT_FALSE(calls("VarcamGetFormat", after).empty());
  EXPECT_EQ(calls("VarcamStreamVideoControl", after).back().args.at(0), "5");
  EXPECT_TRUE(logged("WINDOW SIZE: Width: 1288, Height: 1058"));
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);

  clearRecords();
  EXPECT_EQ(vx::setPreviewExposure(camera, 10000.0f), 0);
  EXPECT_TRUE(logged("VARBASE EXPOSURE: Exposure is too high."));
  EXPECT_TRUE(lines().back().rfind("Could not set Exposure: ", 0) == 0) << lines().back();
  EXPECT_EQ(state.exposure.preview, 10000.0f) << "stored all the same";
}

TEST_F(PreviewTest, PreviewExposureWithThePanelOpenOnlyShowsIt) {
  ASSERT_EQ(open(), 1);
  const platform::Window panel =
      openPanel(Section::Exposure, {1063, 1064, 1065, 1066, 1067, 1068, 1070, 1071, 1072, 1073});
  state.exposure.acquire = 61001.5f;
  ASSERT_EQ(vx::setPreviewExposure(camera, 3723004.25f), 1);  // 1 h 2 min 3 s 4.25 ms
  EXPECT_TRUE(writes(PropExposure).empty());
  EXPECT_EQ(text(panel, 1063), "1");
  EXPECT_EQ(text(panel, 1064), "2");
  EXPECT_EQ(text(panel, 1065), "3");
  EXPECT_EQ(text(panel, 1066), "4");
  EXPECT_EQ(text(panel, 1070), "1");
  EXPECT_EQ(text(panel, 1071), "1");
  EXPECT_EQ(text(panel, 1072), "1");
}

TEST_F(PreviewTest, ExposureSwitchOnlyWhileTheCameraExposes) {
  ASSERT_EQ(open(), 1);
  state.previewWindow = window;
  ASSERT_EQ(vx::applyExposureSwitch(camera, 1), 1);
  EXPECT_TRUE(vzsim::journal().empty()) << "camera auto exposure is off";
  state.cameraAutoExposureOn = 1;
  vzsim::setPropertyValue(1, PropExposure, 12.5f);
  ASSERT_EQ(vx::applyExposureSwitch(camera, 1), 1);
  EXPECT_EQ(state.exposure.preview, 12.5f);
  state.exposure.preview = 7.0f;
  ASSERT_EQ(vx::applyExposureSwitch(camera, 0), 1);
  EXPECT_EQ(writes(PropExposure).back().args.at(1), "7");
}

TEST_F(PreviewTest, GrayscaleWritesSaturationZeroAndBackOrFillsTheOpenPanel) {
  ASSERT_EQ(open(), 1);
  state.saturation.preview = 50.0f;
  ASSERT_EQ(vx::setGrayscale(camera, 1), 1);
  EXPECT_EQ(camera.grayscaleRequested, 1);
  EXPECT_EQ(writes(PropSaturation).at(0).args, (std::vector<std::string>{"3", "0", "0x0"}));
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: saturation has been changed in camera."));
  EXPECT_TRUE(logged("Value Saturation: 0.000000"));

  clearRecords();
  ASSERT_EQ(vx::setGrayscale(camera, 0), 1);
  EXPECT_EQ(writes(PropSaturation).at(0).args.at(1), "1.5");
  EXPECT_EQ(lines(), (std::vector<std::string>{"PIXORA QUORVEL DRIVER: saturation has been changed in camera."}));

  clearRecords();
  vzsim::failNext("VarcamSetProperty", 1, 31, PropSaturation);
  EXPECT_EQ(vx::setGrayscale(camera, 1), 0);
  EXPECT_TRUE(logged("Could not set Saturation: 31"));
  EXPECT_TRUE(boxTexts().empty());

  clearRecords();
  const platform::Window panel = openPanel(Section::Saturation, {vx::kNumericPreviewEdit});
  state.saturation.preview = -37.9f;
  ASSERT_EQ(vx::setGrayscale(camera, 0), 1);
  EXPECT_EQ(text(panel, vx::kNumericPreviewEdit), "-37");
  EXPECT_TRUE(writes(PropSaturation).empty());
  EXPECT_EQ(camera.grayscaleRequested, 0);
}

} // namespace
