// The exposure panel driven as a user drives it: the time fields, the
// trackbars with flicker snapping, the spins, the lock, the camera's
// automatic exposure and its brightness target, the frame rate, and the
// routes the accessors take into the open panel.
#include "camera/property_accessors.h"
#include "exposure_fields.h"
#include "exposure_panel.h"
#include "panel_numbers.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

using vx::Section;

namespace {

constexpr int kPreview[5] = {1063, 1064, 1065, 1066, 1067};
constexpr int kAcquire[5] = {1068, 1070, 1071, 1072, 1073};

class ExposurePanelTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    state.exposure.locked = 0;
  }
  platform::Window openPanel() {
    if (options.optionsWindow == nullptr) openWindow();
    return toggle(Section::Exposure);
  }
  // Every unit of time in reach (the extended maximum is two hours).
  void allUnits() { setRange(0.0f, 7200000.0f); }
  void setRange(float minimum, float maximum) {
    state.exposure.cameraMin = state.exposure.userMin = minimum;
    state.exposure.cameraMax = state.exposure.userMax = maximum;
  }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static std::vector<std::string> fields(platform::Window panel, const int (&ids)[5]) {
    std::vector<std::string> texts;
    for (int id : ids) texts.push_back(text(panel, id));
    return texts;
  }
  static bool enabled(platform::Window panel, int id) { return hl::controlInfo(panel, id).enabled; }
  // The last exposure the camera was given, and the flags it came with.
  static float lastExposure() { return std::stof(propertyWrites(PropExposure).back().args.at(1)); }
  static std::string lastExposureFlags() { return propertyWrites(PropExposure).back().args.at(2); }
};

using Texts = std::vector<std::string>;

TEST(ExposureNumbers, TextsAndTruncationsHaveADefinedResult) {
  EXPECT_EQ(vx::parseIntText(" 12abc", 7), 12);
  EXPECT_EQ(vx::parseIntText("", 7), 7);
  EXPECT_EQ(vx::parseIntText("-", 7), 7);
  EXPECT_EQ(vx::parseIntText("99999999999", 0), INT_MAX);
  EXPECT_EQ(vx::parseFloatText("", 2.5f), 2.5f);
  EXPECT_EQ(vx::parseFloatText("nan", 2.5f), 2.5f);
  EXPECT_EQ(vx::parseFloatText("1e39", 0.0f), FLT_MAX);
  EXPECT_EQ(vx::truncateToInt(std::nan("")), 0);
  EXPECT_EQ(vx::truncateToInt(-2.7), -2);
  EXPECT_EQ(vx::truncateToInt(1e12), INT_MAX);
  // An exposure no field can hold still splits into defined parts.
  const vx::ExposureParts nan = vx::splitExposure(std::nanf(""));
  EXPECT_EQ(nan.hours + nan.minutes + nan.seconds + nan.milliseconds + nan.microseconds, 0);
  EXPECT_EQ(vx::splitExposure(1e30f).hours, INT_MAX);
}

// 1500.25 ms: s = 1, m = 0, h = 0; r = 500.25 gives 500 ms and
// (0.25 + 0.00001) * 1000 = 250.01, so 250 us. The fields 0 h 1 min 2 s
// 3 ms 4 us join to ((0 * 60 + 1) * 60 + 2) * 1000 + 3 + 4 * 0.001 =
// 62003.004 ms. An empty field counts 0.
TEST_F(ExposurePanelTest, TimeFieldsSplitAndJoinTheExposure) {
  allUnits();
  state.exposure.acquire = 1500.25f;
  const platform::Window panel = openPanel();
  EXPECT_EQ(fields(panel, kAcquire), (Texts{"0", "0", "1", "500", "250"}));
  vzsim::clearJournal();
  const char* typed[5] = {"0", "1", "2", "3", "4"};
  for (int i = 0; i < 5; ++i) hl::typeText(panel, kAcquire[i], typed[i]);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 62003.004f);
  EXPECT_TRUE(propertyWrites(PropExposure).empty()) << "the acquisition exposure is only stored";
  hl::typeText(panel, kAcquire[1], "");
  EXPECT_FLOAT_EQ(state.exposure.acquire, 2003.004f);
}

// Below 3 600 000 ms the hours go, below 60 000 the minutes, below 1000 the
// seconds; the legend starts with the first unit left.
TEST_F(ExposurePanelTest, UnitsBeyondTheExtendedMaximumAreDisabled) {
  struct Case {
    float maximum;
    int unreachable;
    std::string legend;
  } cases[] = {
      {7200000.0f, 0, "hh  .   mm   .  ss   .  mmm  .  uuu"},
      {40000.0f, 2, std::string(16, ' ') + "ss   .  mmm  .  uuu"},
      {500.0f, 3, std::string(24, ' ') + "mmm  .  uuu"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maximum);
    setRange(0.0f, c.maximum);
    const platform::Window panel = openPanel();
    EXPECT_EQ(text(panel, vx::kExposureLegend), c.legend);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(enabled(panel, kPreview[i]), i >= c.unreachable) << kPreview[i];
      EXPECT_EQ(enabled(panel, kAcquire[i]), i >= c.unreachable) << kAcquire[i];
    }
    toggle(Section::Exposure);
  }
}

// With the range 0..200 ms a trackbar position p is p * 0.01 ms: 2370 is
// 23.7 ms. At 50 Hz: trunc(23.7 * 0.1 + 0.5) * 10 = 20 ms. At 60 Hz:
// trunc(23.7 * 0.12000048 + 0.5) = 3 periods, 3 * 8.3333 = 24.9999 ms,
// shown as 24 ms 999 us, which the fields give back as 24.999 ms.
TEST_F(ExposurePanelTest, TrackbarSnapsToTheFlickerPeriod) {
  setRange(0.0f, 200.0f);
  state.flickerMode = 1;
  const platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::moveTrackbar(panel, vx::kExposurePreviewTrackbar, 2370);
  EXPECT_FLOAT_EQ(state.exposure.preview, 20.0f);
  EXPECT_EQ(fields(panel, kPreview), (Texts{"0", "0", "0", "20", "0"}));
  EXPECT_FLOAT_EQ(lastExposure(), 20.0f);
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposurePreviewTrackbar).position, 2000);

  state.flickerMode = 2;
  hl::moveTrackbar(panel, vx::kExposurePreviewTrackbar, 2370);
  EXPECT_EQ(fields(panel, kPreview), (Texts{"0", "0", "0", "24", "999"}));
  EXPECT_FLOAT_EQ(state.exposure.preview, 24.999f);
  EXPECT_FLOAT_EQ(lastExposure(), 24.999f);

  // The thumb already where the value puts it: nothing is written.
  vzsim::clearJournal();
  hl::moveTrackbar(panel, vx::kExposurePreviewTrackbar, hl::controlInfo(panel, vx::kExposurePreviewTrackbar).position);
  EXPECT_TRUE(propertyWrites(PropExposure).empty());
}

// The spin steps the focused field: 1000 ms for the seconds. A step down
// stops at the bottom of the range.
TEST_F(ExposurePanelTest, SpinsStepTheFocusedField) {
  setRange(0.0f, 40000.0f);
  state.exposure.preview = 1500.25f;
  const platform::Window panel = openPanel();
  hl::focusEdit(panel, kPreview[2]);
  hl::pressUpDown(panel, vx::kExposurePreviewSpin, hl::UpDownArrow::Up);
  EXPECT_FLOAT_EQ(state.exposure.preview, 2500.25f);
  EXPECT_EQ(fields(panel, kPreview), (Texts{"0", "0", "2", "500", "250"}));
  EXPECT_TRUE(logged("increment: 2"));
  hl::pressUpDown(panel, vx::kExposurePreviewSpin, hl::UpDownArrow::Down);
  EXPECT_FLOAT_EQ(state.exposure.preview, 1500.25f);
  hl::focusEdit(panel, kPreview[3]);
  hl::pressUpDown(panel, vx::kExposurePreviewSpin, hl::UpDownArrow::Down);
  EXPECT_FLOAT_EQ(state.exposure.preview, 1499.25f);
  hl::focusEdit(panel, kPreview[2]);
  hl::pressUpDown(panel, vx::kExposurePreviewSpin, hl::UpDownArrow::Down);  // 499.25
  hl::pressUpDown(panel, vx::kExposurePreviewSpin, hl::UpDownArrow::Down);  // not -500.75
  EXPECT_FLOAT_EQ(state.exposure.preview, 0.0f);
  EXPECT_EQ(fields(panel, kPreview), (Texts{"0", "0", "0", "0", "0"}));

  // At 50 Hz the exposure first snaps to 10 ms, then steps by 10:
  // 1499.25 snaps to trunc(149.925 + 0.5) * 10 = 1500, plus 10.
  state.exposure.acquire = 1499.25f;
  toggle(Section::Exposure);
  state.flickerMode = 1;
  const platform::Window again = openPanel();
  hl::pressUpDown(again, vx::kExposureAcquireSpin, hl::UpDownArrow::Up);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 1510.0f);
}

// The acquisition fields only store; under the lock the preview follows in
// the panel, and the camera gets it at the next preview change.
TEST_F(ExposurePanelTest, AcquisitionFieldsUnderTheLockLeaveTheCameraAlone) {
  state.exposure.locked = 1;
  state.exposure.preview = state.exposure.acquire = 50.0f;
  const platform::Window panel = openPanel();
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureLock).checked, 1);
  vzsim::clearJournal();
  hl::typeText(panel, kAcquire[3], "30");
  EXPECT_FLOAT_EQ(state.exposure.acquire, 30.0f);
  EXPECT_FLOAT_EQ(state.exposure.preview, 30.0f);
  EXPECT_EQ(text(panel, kPreview[3]), "30");
  EXPECT_TRUE(propertyWrites(PropExposure).empty());

  hl::typeText(panel, kPreview[3], "40");
  EXPECT_FLOAT_EQ(lastExposure(), 40.0f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 40.0f);
  EXPECT_EQ(text(panel, kAcquire[3]), "40");
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureAcquireTrackbar).position,
            hl::controlInfo(panel, vx::kExposurePreviewTrackbar).position);
}

// One Shot asks the camera over the whole preview image with the target as
// an integer; its exposure becomes the preview exposure. A refusal changes
// nothing.
TEST_F(ExposurePanelTest, OneShotTakesTheCamerasExposure) {
  state.autoExposureTarget = 120.9f;
  const platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kExposureOneShot);
  const auto shots = calls("VarcamOneShotAutoExposure");
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0].args, (std::vector<std::string>{"120", "0", "0", std::to_string(state.preview.width),
                                                     std::to_string(state.preview.height)}));
  ASSERT_TRUE(shots[0].ok);
  const float reached = vzsim::propertyValue(1, PropExposure).value();
  EXPECT_FLOAT_EQ(state.exposure.preview, vx::joinExposure(vx::splitExposure(reached)));
  const vx::ExposureParts parts = vx::splitExposure(reached);
  EXPECT_EQ(text(panel, kPreview[3]), std::to_string(parts.milliseconds));

  const Texts before = fields(panel, kPreview);
  vzsim::failNext("VarcamOneShotAutoExposure", 1, 31);
  vxtest::clearRecords();
  hl::clickButton(panel, vx::kExposureOneShot);
  EXPECT_EQ(fields(panel, kPreview), before);
  EXPECT_FALSE(logged("Getting the exposure..."));
  EXPECT_TRUE(hl::messageBoxes().empty());
}

// Each way of ending the camera's automatic exposure returns the camera to
// manual exposure: Close, the close box, the shell's toggle and the check
// box adopt the exposure the camera reached; Cancel restores the opening one.
TEST_F(ExposurePanelTest, AutoExposureEndsWithEveryWayOfClosing) {
  struct Way {
    const char* name;
    bool adopts;
    bool panelStays;
  } ways[] = {{"Close", true, false}, {"close box", true, false}, {"toggle", true, false},
              {"check box", true, true}, {"Cancel", false, false}};
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    state.exposure.preview = 10.0f;
    const platform::Window panel = openPanel();
    vzsim::clearJournal();
    hl::clickButton(panel, vx::kExposureUseAuto);
    ASSERT_EQ(state.cameraAutoExposureOn, 1);
    EXPECT_EQ(lastExposureFlags(), "0x40000000");
    EXPECT_FLOAT_EQ(std::stof(propertyWrites(PropAutoExposureTarget).back().args.at(1)), 170.0f);
    EXPECT_FALSE(enabled(panel, kPreview[3]));
    EXPECT_FALSE(enabled(panel, vx::kExposureLock));
    EXPECT_FALSE(enabled(panel, vx::kExposureOneShot));
    ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, 12.5f));  // where the camera went

    const std::string name = way.name;
    if (name == "Close") hl::clickButton(panel, vx::kPanelClose);
    if (name == "close box") hl::closeDialog(panel);
    if (name == "toggle") toggle(Section::Exposure);
    if (name == "check box") hl::clickButton(panel, vx::kExposureUseAuto);
    if (name == "Cancel") hl::clickButton(panel, vx::kPanelCancel);

    EXPECT_EQ(state.cameraAutoExposureOn, 0);
    EXPECT_EQ(lastExposureFlags(), "0x0");
    EXPECT_FLOAT_EQ(lastExposure(), way.adopts ? 12.5f : 10.0f);
    EXPECT_FLOAT_EQ(state.exposure.preview, way.adopts ? 12.5f : 10.0f);
    EXPECT_EQ(platform::isWindow(panel), way.panelStays);
    if (way.panelStays) {
      EXPECT_TRUE(enabled(panel, kPreview[3]));
      EXPECT_TRUE(enabled(panel, vx::kExposureLock));
      EXPECT_FALSE(enabled(panel, kPreview[2])) << "the seconds stay out of reach";
      EXPECT_EQ(fields(panel, kPreview), (Texts{"0", "0", "0", "12", "500"}));
      toggle(Section::Exposure);
    } else {
      EXPECT_EQ(caption(Section::Exposure), "Exposure >>");
    }
  }
}

// A refused start leaves the box unchecked and the camera's mode alone;
// each message has its owner.
TEST_F(ExposurePanelTest, RefusedAutoExposureIsToldAndUnchecked) {
  const platform::Window panel = openPanel();
  vzsim::failNext("VarcamSetProperty", 1, 31, PropAutoExposureTarget);
  hl::clickButton(panel, vx::kExposureUseAuto);
  vzsim::failNext("VarcamSetProperty", 1, 32, PropExposure);
  hl::clickButton(panel, vx::kExposureUseAuto);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Could not set Brightness Target: 31");
  EXPECT_EQ(boxes[0].owner, panel);
  EXPECT_EQ(boxes[1].text, "Could not set Auto-Exposure: 32");
  EXPECT_EQ(boxes[1].owner, state.optionsParent);
  EXPECT_EQ(boxes[1].caption, "ERROR");
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureUseAuto).checked, 0);
  EXPECT_EQ(state.cameraAutoExposureOn, 0);
  EXPECT_TRUE(enabled(panel, kPreview[3]));
}

// 300 is out of 0..255: one message, and the target falls back to 170. An
// empty edit keeps the target; with automatic exposure on, the camera gets
// each new target.
TEST_F(ExposurePanelTest, BrightnessTargetOutOfRangeFallsBackTo170) {
  const platform::Window panel = openPanel();
  hl::typeText(panel, vx::kExposureBrightnessTarget, "300");
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "Brightness target value needs to be between 0 and 255. Setting brightness target to 170.");
  EXPECT_EQ(boxes[0].caption, "VARNEX - ERROR");
  EXPECT_EQ(boxes[0].owner, panel);
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 170.0f);
  EXPECT_EQ(text(panel, vx::kExposureBrightnessTarget), "170");
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureTargetTrackbar).position, 170);

  hl::clickButton(panel, vx::kExposureUseAuto);
  vzsim::clearJournal();
  hl::typeText(panel, vx::kExposureBrightnessTarget, "90");
  EXPECT_FLOAT_EQ(std::stof(propertyWrites(PropAutoExposureTarget).back().args.at(1)), 90.0f);
  hl::pressUpDown(panel, vx::kExposureTargetSpin, hl::UpDownArrow::Up);
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 91.0f);
  EXPECT_FLOAT_EQ(std::stof(propertyWrites(PropAutoExposureTarget).back().args.at(1)), 91.0f);
  hl::typeText(panel, vx::kExposureBrightnessTarget, "");
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 91.0f);
  hl::moveTrackbar(panel, vx::kExposureTargetTrackbar, 40);
  EXPECT_EQ(text(panel, vx::kExposureBrightnessTarget), "40");
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 40.0f);
  EXPECT_EQ(hl::messageBoxes().size(), 1u);
}

TEST_F(ExposurePanelTest, ExtendIsCheckedWhenAnExposureLiesBeyondTheNormalRange) {
  setRange(0.0f, 200.0f);
  state.exposure.preview = 250.0f;
  platform::Window panel = openPanel();
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureExtend).checked, 1);
  EXPECT_EQ(options.exposurePanel.extended, 1);
  toggle(Section::Exposure);
  state.exposure.preview = state.exposure.acquire = 150.0f;
  panel = openPanel();
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureExtend).checked, 0);
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposurePreviewTrackbar).position, 15000);  // 150 / 200 * 20000
}

// Initialize puts 50 ms on both sides and the target at 170; Cancel brings
// back what the panel opened with, and the camera gets the old exposure.
TEST_F(ExposurePanelTest, InitializeAndCancel) {
  state.exposure.preview = 10.0f;
  state.exposure.acquire = 20.0f;
  state.autoExposureTarget = 99.0f;
  const platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kExposureInitialize);
  EXPECT_FLOAT_EQ(state.exposure.preview, 50.0f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 50.0f);
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 170.0f);
  EXPECT_FLOAT_EQ(lastExposure(), 50.0f);
  hl::clickButton(panel, vx::kExposureLock);
  EXPECT_EQ(state.exposure.locked, 1);

  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_FLOAT_EQ(state.exposure.preview, 10.0f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 20.0f);
  EXPECT_EQ(state.exposure.locked, 0);
  EXPECT_FLOAT_EQ(state.autoExposureTarget, 99.0f);
  EXPECT_FLOAT_EQ(lastExposure(), 10.0f);
  EXPECT_EQ(state.panel(Section::Exposure).panelOpen, 0);
}

// A rate chosen in the list: the stream stops, the format is set again at
// that rate, the display and the status bar come back, and the list's text
// shows the rate the camera reports. A failure is told to the options
// window's parent.
TEST_F(ExposurePanelTest, FrameRateChoiceRestartsTheDisplayAtThatRate) {
  startPreview();
  const platform::Window panel = openPanel();
  const hl::ControlInfo list = hl::controlInfo(panel, vx::kExposureFrameRate);
  ASSERT_GE(list.items.size(), 2u);
  const int choice = static_cast<int>(list.items.size()) - 2;
  const float rate = std::stof(list.items[static_cast<std::size_t>(choice)]);
  vzsim::clearJournal();
  hl::clearWindowOperations();
  const std::size_t timers = hl::timerStarts().size();
  hl::selectComboItem(panel, vx::kExposureFrameRate, choice);
  EXPECT_EQ(state.frameRateChoice, choice);
  EXPECT_NEAR(vzsim::currentFrameRate(1), rate, 0.01);
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.2f", static_cast<double>(vzsim::currentFrameRate(1)));
  EXPECT_EQ(text(panel, vx::kExposureFrameRate), shown);
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
  const auto all = vzsim::journal();
  const int stop = vxtest::indexOf(all, vxtest::isCall("VarcamStreamVideoControl", {"0"}));
  const int format = vxtest::indexOf(all, vxtest::isCall("VarcamSetFormat"));
  const int display = vxtest::indexOf(all, vxtest::isCall("VarcamStreamVideoControl", {"5"}));
  EXPECT_TRUE(stop >= 0 && stop < format && format < display);
  EXPECT_EQ(hl::timerStarts().size(), timers + 1);
  EXPECT_NE(hl::statusBarOf(previewWindow), nullptr);
  EXPECT_TRUE(logged("PIXORA/VARNEX DRIVER: Display started."));

  vzsim::failNext("VarcamSetFormat", 1, 31);
  hl::selectComboItem(panel, vx::kExposureFrameRate, 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not set format: 31");
  EXPECT_EQ(hl::messageBoxes()[0].owner, state.optionsParent);
}

// The accessors' routes into the open panel: the host's preview exposure
// reaches the camera through the panel and, under the lock, the
// acquisition exposure follows it (not the other way round); the host's
// acquisition exposure is taken in without the camera; switching the
// camera's automatic exposure off through the panel ends it in the camera.
TEST_F(ExposurePanelTest, AccessorsReachTheCameraThroughTheOpenPanel) {
  state.exposure.locked = 1;
  state.exposure.preview = state.exposure.acquire = 10.0f;
  const platform::Window panel = openPanel();
  state.exposure.acquire = 70.0f;  // out of step, as a settings file may leave it
  vzsim::clearJournal();
  ASSERT_EQ(vx::setPreviewExposure(camera, 25.0f), 1);
  EXPECT_FLOAT_EQ(lastExposure(), 25.0f);
  EXPECT_FLOAT_EQ(state.exposure.preview, 25.0f);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 25.0f);
  EXPECT_EQ(text(panel, kAcquire[3]), "25");

  hl::clickButton(panel, vx::kExposureLock);  // off
  vzsim::clearJournal();
  ASSERT_EQ(vx::setExposureAcquire(camera, 33.5f), 1);
  EXPECT_FLOAT_EQ(state.exposure.acquire, 33.5f);
  EXPECT_EQ(fields(panel, kAcquire), (Texts{"0", "0", "0", "33", "500"}));
  EXPECT_FLOAT_EQ(state.exposure.preview, 25.0f);
  EXPECT_TRUE(propertyWrites(PropExposure).empty());

  ASSERT_EQ(vx::setCameraAutoExposure(camera, 1), 1);
  EXPECT_EQ(state.cameraAutoExposureOn, 1);
  EXPECT_EQ(lastExposureFlags(), "0x40000000");
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, 14.0f));
  ASSERT_EQ(vx::setCameraAutoExposure(camera, 0), 1);
  EXPECT_EQ(state.cameraAutoExposureOn, 0);
  EXPECT_EQ(lastExposureFlags(), "0x0") << "the camera is back on manual exposure";
  EXPECT_FLOAT_EQ(state.exposure.preview, 14.0f);
  EXPECT_EQ(hl::controlInfo(panel, vx::kExposureUseAuto).checked, 0);
}

} // namespace
