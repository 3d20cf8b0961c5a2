// The numeric property panels, driven as a user drives them; the camera's
// journal shows what each value sent. The simulated camera's ranges, with
// the display range in brackets: brightness -1..1 [-100..100], contrast
// 0..10 [-100..100], hue -180..180 [the same], saturation 0..2
// [-100..100], global gain 1..7.999 [1..7.99], gamma 0.1..4 [the same].
#include "camera/property_accessors.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

using vx::Section;
using vxtest::boxTexts;

namespace {

constexpr int kPreviewTrackbar = 1056;
constexpr int kAcquireTrackbar = 1057;
constexpr int kPreviewSpin = 1061;
constexpr int kPreview = vx::kNumericPreviewEdit;
constexpr int kAcquire = vx::kNumericAcquireEdit;

class NumericPanelTest : public UiTest {
 protected:
  // Opens a section's panel and forgets what its opening did.
  platform::Window openPanel(Section section) {
    if (options.optionsWindow == nullptr) openWindow();
    platform::Window panel = toggle(section);
    vxtest::clearRecords();
    return panel;
  }
  static void setPair(vx::PropertyPair& pair, float preview, float acquire, std::int32_t locked) {
    pair.preview = preview;
    pair.acquire = acquire;
    pair.locked = locked;
  }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static int position(platform::Window panel, int id) { return hl::controlInfo(panel, id).position; }
  // The program's own write (the way signs and points reach a digits-only edit).
  static void write(platform::Window panel, int id, const char* value) { platform::setDlgItemText(panel, id, value); }
  // The values one property received, as the journal prints them.
  static std::vector<std::string> sent(int property) {
    std::vector<std::string> values;
    for (const auto& entry : propertyWrites(property)) values.push_back(entry.args.at(1));
    return values;
  }
  static std::string lastSent(int property) {
    const auto values = sent(property);
    return values.empty() ? "(none)" : values.back();
  }
};

TEST_F(NumericPanelTest, BrightnessFiftyWithTheLockOnReachesTheCameraAndBothTrackbars) {
  setPair(state.brightness, 0, 0, 1);
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreview, "50");
  // Camera -1 + (50 + 100) * 2 / 200 = 0.5; position 150 / 200 * 100 = 75.
  EXPECT_EQ(lastSent(PropBrightness), "0.5");
  EXPECT_EQ(text(panel, kAcquire), "50");
  EXPECT_EQ(position(panel, kPreviewTrackbar), 75);
  EXPECT_EQ(position(panel, kAcquireTrackbar), 75);
  EXPECT_TRUE(logged("Value brightness: 50"));
}

TEST_F(NumericPanelTest, ContrastPivotsOnCameraOneAndFallsBackToMinusEighty) {
  state.contrast.cameraMin = 0.25f;
  setPair(state.contrast, 0, 0, 0);
  platform::Window panel = openPanel(Section::Contrast);
  std::vector<std::string> received;
  for (const char* value : {"0", "100", "-100", "-50"}) {
    write(panel, kPreview, value);
    received.push_back(lastSent(PropContrast));
  }
  // -50: 0.25 + 50 * (1 - 0.25) / 100 = 0.625.
  EXPECT_EQ(received, (std::vector<std::string>{"1", "10", "0.25", "0.625"}));

  hl::typeText(panel, kPreview, "120");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Contrast value needs to be between -100 and 100. Setting contrast to -80.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARNEX - ERROR");
  EXPECT_EQ(hl::messageBoxes()[0].owner, panel);
  EXPECT_EQ(text(panel, kPreview), "-80");
  EXPECT_EQ(lastSent(PropContrast), "0.4");  // 0.25 + 20 * 0.75 / 100

  // Under the lock Contrast copies its acquisition edit to the preview even
  // when the two are equal; Brightness only when they differ.
  setPair(state.contrast, 30, 30, 1);
  setPair(state.brightness, 30, 30, 1);
  vxtest::clearRecords();
  write(panel, kAcquire, "30");
  EXPECT_EQ(sent(PropContrast).size(), 1u);
  panel = openPanel(Section::Brightness);
  write(panel, kAcquire, "30");
  EXPECT_TRUE(sent(PropBrightness).empty());
}

TEST_F(NumericPanelTest, GlobalGainOutOfRangeRestoresThePreviousValuePulledIntoRange) {
  state.globalGain.userMax = state.globalGain.cameraMax = 4.5f;
  setPair(state.globalGain, 2, 0.5f, 0);
  platform::Window panel = openPanel(Section::GlobalGain);
  hl::typeText(panel, kPreview, "9");
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Global gain value needs to be between 1.000000 and 4.500000."});
  EXPECT_EQ(text(panel, kPreview), "2.00");
  EXPECT_EQ(sent(PropGain), std::vector<std::string>{"2"});

  state.globalGain.preview = 6.0f;
  hl::typeText(panel, kPreview, "9");
  EXPECT_EQ(lastSent(PropGain), "4.5");
  hl::typeText(panel, kAcquire, "9");
  EXPECT_EQ(text(panel, kAcquire), "1.00");
}

TEST_F(NumericPanelTest, GammaRunsItsTrackbarsOverFiveHundredStepsAndHasTwoMessages) {
  setPair(state.gamma, 4, 1, 0);  // the top of 0.1..4
  platform::Window panel = openPanel(Section::Gamma);
  EXPECT_EQ(hl::controlInfo(panel, kAcquireTrackbar).rangeMax, 500);
  EXPECT_EQ(position(panel, kPreviewTrackbar), 500);

  hl::moveTrackbar(panel, kPreviewTrackbar, 250);  // 0.1 + 3.9 * (250 * 0.002) = 2.05
  EXPECT_EQ(lastSent(PropGamma), "2.05");
  EXPECT_TRUE(logged("Position: 250"));

  hl::typeText(panel, kPreview, "9");
  hl::typeText(panel, kAcquire, "9");
  EXPECT_EQ(boxTexts(),
            (std::vector<std::string>{"Gamma value needs to be between 0.100000 and 4.000000. Setting gamma to 1.0.",
                                      "Gamma value needs to be between 0 and 4. Setting gamma to 1.0."}));
  EXPECT_EQ(lastSent(PropGamma), "1");
  EXPECT_EQ(text(panel, kAcquire), "1.00");

  // A fallback the range leaves out is shown once, not applied, and its own
  // change handling does not ask again (it would revert for ever).
  state.gamma.userMin = state.gamma.cameraMin = 1.5f;
  vxtest::clearRecords();
  hl::typeText(panel, kPreview, "9");
  EXPECT_EQ(boxTexts().size(), 1u);
  EXPECT_EQ(text(panel, kPreview), "1.00");
  EXPECT_TRUE(sent(PropGamma).empty());
}

TEST_F(NumericPanelTest, TrackbarAtTheValuesOwnPositionChangesNothingAndOthersTruncate) {
  setPair(state.brightness, 50, 50, 0);
  platform::Window panel = openPanel(Section::Brightness);
  hl::moveTrackbar(panel, kPreviewTrackbar, 75);
  EXPECT_TRUE(sent(PropBrightness).empty());
  ASSERT_EQ(vxtest::lines().size(), 1u);
  EXPECT_EQ(vxtest::lines()[0].rfind("W: ", 0), 0u) << vxtest::lines()[0];

  setPair(state.hue, 0, 0, 0);
  panel = openPanel(Section::Hue);
  hl::moveTrackbar(panel, kPreviewTrackbar, 2);  // -180 + 360 * 0.02 = -172.8, cut
  EXPECT_EQ(lastSent(PropHue), "-172");
}

TEST_F(NumericPanelTest, EachSpinPressIsOneStepTheWayItsArrowPoints) {
  setPair(state.brightness, 10, 10, 0);
  platform::Window panel = openPanel(Section::Brightness);
  for (auto arrow : {hl::UpDownArrow::Up, hl::UpDownArrow::Down, hl::UpDownArrow::Down, hl::UpDownArrow::Up})
    hl::pressUpDown(panel, kPreviewSpin, arrow);
  // 11, 10, 9, 10 on the display scale.
  EXPECT_EQ(sent(PropBrightness), (std::vector<std::string>{"0.11", "0.1", "0.09", "0.1"}));
  EXPECT_TRUE(logged("old: 1, new: 2"));

  // The spin starts at 0 again with every opening, and so does the position
  // it is compared with: a down press after reopening still steps down
  // (10, 9, 8 at positions 2, 3; then 7 at position 1, not 9).
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  hl::clickButton(panel, vx::kPanelClose);
  panel = openPanel(Section::Brightness);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  EXPECT_EQ(text(panel, kPreview), "7");

  setPair(state.globalGain, 2, 2, 0);
  panel = openPanel(Section::GlobalGain);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Up);
  EXPECT_EQ(text(panel, kPreview), "2.01");
}

TEST_F(NumericPanelTest, SaturationWhileGreyIsRequestedSendsMinusOneHundred) {
  ASSERT_EQ(vx::setGrayscale(camera, 1), 1);
  setPair(state.saturation, 0, 0, 0);
  platform::Window panel = openPanel(Section::Saturation);
  hl::typeText(panel, kPreview, "40");
  EXPECT_EQ(state.saturation.preview, 40.0f);
  EXPECT_EQ(lastSent(PropSaturation), "0");  // the camera value of -100
  EXPECT_TRUE(logged("Value Saturation: -100"));
  EXPECT_TRUE(logged("THE      Temp Val: 0.000000"));

  // Grey ends: the open panel shows the stored value and applies it.
  ASSERT_EQ(vx::setGrayscale(camera, 0), 1);
  EXPECT_EQ(lastSent(PropSaturation), "1.4");  // 0 + 140 * 2 / 200
}

TEST_F(NumericPanelTest, CancelPutsTheOpeningsValuesBack) {
  setPair(state.brightness, 10, 20, 0);
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreview, "60");
  hl::clickButton(panel, vx::kNumericLock);
  EXPECT_EQ(state.brightness.acquire, 60.0f);
  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_EQ(lastSent(PropBrightness), "0.1");
  EXPECT_EQ(state.brightness.acquire, 20.0f);
  EXPECT_EQ(state.brightness.locked, 0);
  EXPECT_FALSE(platform::isWindow(panel));
}

// Hue resets to the camera's reported default taken as a display value;
// the close box closes the panel instead of pressing Initialize (id 2).
TEST_F(NumericPanelTest, InitializeAndTheCloseBox) {
  state.hue.cameraDefault = 12.0f;
  setPair(state.hue, 0, 0, 0);
  platform::Window panel = openPanel(Section::Hue);
  hl::clickButton(panel, 2);
  EXPECT_EQ(text(panel, kAcquire), "12");
  EXPECT_EQ(lastSent(PropHue), "12");
  hl::typeText(panel, kPreview, "30");
  vzsim::clearJournal();
  hl::closeDialog(panel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_TRUE(sent(PropHue).empty());
}

TEST_F(NumericPanelTest, ARefusedValueIsReportedToTheOptionsParentAndMovesNothing) {
  setPair(state.hue, 0, 0, 1);
  platform::Window panel = openPanel(Section::Hue);
  ASSERT_TRUE(vzsim::failNext("VarcamSetProperty", 1, 1460, PropHue));
  hl::typeText(panel, kPreview, "5");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not set Huetrast: 1460");
  EXPECT_EQ(hl::messageBoxes()[0].owner, host);
  EXPECT_EQ(state.hue.preview, 5.0f);
  EXPECT_EQ(position(panel, kPreviewTrackbar), 50);
  EXPECT_EQ(text(panel, kAcquire), "0");
}

// A cleared edit reads as 0: a value like any other, or out of range. A
// host's value beyond any whole number shows as the largest one, which the
// range refuses.
TEST_F(NumericPanelTest, UnusableTextsAndValuesEndInDefinedValues) {
  setPair(state.brightness, 30, 30, 1);
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreview, "");
  EXPECT_EQ(lastSent(PropBrightness), "0");

  setPair(state.globalGain, 2, 2, 1);
  panel = openPanel(Section::GlobalGain);
  hl::typeText(panel, kPreview, "");
  EXPECT_EQ(boxTexts().size(), 1u);
  EXPECT_EQ(text(panel, kPreview), "2.00");

  panel = openPanel(Section::Hue);
  vx::setPreview(camera, vx::NumericProperty::Hue, 1e20f);
  EXPECT_EQ(boxTexts(), std::vector<std::string>{"Hue value needs to be between -180 and 180. Setting hue to 0."});
  EXPECT_EQ(text(panel, kPreview), "0");
}

} // namespace
