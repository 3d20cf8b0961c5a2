// The numeric property panels, driven as a user drives them: typing into
// the edits, moving the trackbars, pressing the spins, and the buttons. The
// camera's journal shows what each value sent to the camera.
//
// The simulated camera's ranges (display range in brackets): brightness
// -1..1 [-100..100], contrast 0..10 [-100..100], hue -180..180 [the same],
// saturation 0..2 [-100..100], global gain 1..7.999 [1..7.99], gamma
// 0.1..4 [the same].
#include "camera/property_accessors.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

using vx::Section;

namespace {

constexpr int kPreviewTrackbar = 1056;
constexpr int kAcquireTrackbar = 1057;
constexpr int kPreviewSpin = 1061;
constexpr int kInitialize = 2;
constexpr int kPreviewEdit = vx::kNumericPreviewEdit;
constexpr int kAcquireEdit = vx::kNumericAcquireEdit;

class NumericPanelTest : public UiTest {
 protected:
  // Opens a section's panel and forgets what its opening did.
  platform::Window openPanel(Section section) {
    if (options.optionsWindow == nullptr) openWindow();
    platform::Window panel = toggle(section);
    vxtest::clearRecords();
    return panel;
  }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static int position(platform::Window panel, int id) { return hl::controlInfo(panel, id).position; }
  // The program's own write of an edit (the way signs and decimal points
  // reach a number-only edit).
  static void write(platform::Window panel, int id, const char* value) { platform::setDlgItemText(panel, id, value); }
  // The values one property received, as the camera's journal prints them.
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
  state.brightness.locked = 1;
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreviewEdit, "50");
  // Camera -1 + (50 + 100) * (1 - -1) / 200 = 0.5; position (50 + 100) / 200 * 100 = 75.
  EXPECT_EQ(lastSent(PropBrightness), "0.5");
  EXPECT_EQ(text(panel, kAcquireEdit), "50");
  EXPECT_EQ(state.brightness.acquire, 50.0f);
  EXPECT_EQ(position(panel, kPreviewTrackbar), 75);
  EXPECT_EQ(position(panel, kAcquireTrackbar), 75);
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Brightness has been changed in camera."));
  EXPECT_TRUE(logged("Value brightness: 50"));
}

TEST_F(NumericPanelTest, ContrastPivotsOnCameraOneAndFallsBackToMinusEighty) {
  state.contrast.cameraMin = 0.25f;
  state.contrast.locked = 0;
  platform::Window panel = openPanel(Section::Contrast);
  write(panel, kPreviewEdit, "0");
  EXPECT_EQ(lastSent(PropContrast), "1");
  write(panel, kPreviewEdit, "100");
  EXPECT_EQ(lastSent(PropContrast), "10");
  write(panel, kPreviewEdit, "-100");
  EXPECT_EQ(lastSent(PropContrast), "0.25");
  write(panel, kPreviewEdit, "-50");  // 0.25 + 50 * (1 - 0.25) / 100
  EXPECT_EQ(lastSent(PropContrast), "0.625");

  hl::typeText(panel, kPreviewEdit, "120");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  const hl::MessageBoxRecord box = hl::messageBoxes()[0];
  EXPECT_EQ(box.text, "Contrast value needs to be between -100 and 100. Setting contrast to -80.");
  EXPECT_EQ(box.caption, "VARNEX - ERROR");
  EXPECT_EQ(box.owner, panel);
  EXPECT_EQ(text(panel, kPreviewEdit), "-80");
  EXPECT_EQ(lastSent(PropContrast), "0.4");  // 0.25 + 20 * 0.75 / 100
  EXPECT_EQ(state.contrast.preview, -80.0f);
}

// Under the lock a changed acquisition value is applied as the preview
// value; Contrast does so even when the two are already equal.
TEST_F(NumericPanelTest, ALockedAcquisitionEditCopiesItselfToThePreview) {
  state.contrast.locked = state.brightness.locked = 1;
  state.contrast.preview = state.contrast.acquire = 30.0f;
  state.brightness.preview = state.brightness.acquire = 30.0f;
  platform::Window contrast = openPanel(Section::Contrast);
  write(contrast, kAcquireEdit, "30");
  EXPECT_EQ(sent(PropContrast).size(), 1u);
  platform::Window brightness = openPanel(Section::Brightness);
  write(brightness, kAcquireEdit, "30");
  EXPECT_TRUE(sent(PropBrightness).empty());
  write(brightness, kAcquireEdit, "40");
  EXPECT_EQ(text(brightness, kPreviewEdit), "40");
  EXPECT_EQ(lastSent(PropBrightness), "0.4");
}

TEST_F(NumericPanelTest, GlobalGainOutOfRangeRestoresThePreviousValuePulledIntoRange) {
  state.globalGain.userMax = state.globalGain.cameraMax = 4.5f;
  state.globalGain.preview = 2.0f;
  state.globalGain.acquire = 0.5f;
  state.globalGain.locked = 0;
  platform::Window panel = openPanel(Section::GlobalGain);
  hl::typeText(panel, kPreviewEdit, "9");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Global gain value needs to be between 1.000000 and 4.500000.");
  EXPECT_EQ(text(panel, kPreviewEdit), "2.00");
  EXPECT_EQ(sent(PropGain), std::vector<std::string>{"2"});

  // A previous value outside the range comes back at the bound it lies beyond.
  state.globalGain.preview = 6.0f;
  hl::typeText(panel, kPreviewEdit, "9");
  EXPECT_EQ(text(panel, kPreviewEdit), "4.50");
  EXPECT_EQ(lastSent(PropGain), "4.5");
  hl::typeText(panel, kAcquireEdit, "9");
  EXPECT_EQ(text(panel, kAcquireEdit), "1.00");
  EXPECT_EQ(state.globalGain.acquire, 1.0f);
}

TEST_F(NumericPanelTest, GammaRunsItsTrackbarsOverFiveHundredStepsAndHasTwoMessages) {
  state.gamma.preview = 4.0f;  // the top of 0.1..4
  state.gamma.locked = 0;
  platform::Window panel = openPanel(Section::Gamma);
  EXPECT_EQ(hl::controlInfo(panel, kPreviewTrackbar).rangeMax, 500);
  EXPECT_EQ(hl::controlInfo(panel, kAcquireTrackbar).rangeMax, 500);
  EXPECT_EQ(position(panel, kPreviewTrackbar), 500);

  hl::moveTrackbar(panel, kPreviewTrackbar, 250);  // 0.1 + 3.9 * (250 * 0.002) = 2.05
  EXPECT_EQ(text(panel, kPreviewEdit), "2.05");
  EXPECT_EQ(lastSent(PropGamma), "2.05");
  EXPECT_TRUE(logged("Position: 250"));

  hl::typeText(panel, kPreviewEdit, "9");
  hl::typeText(panel, kAcquireEdit, "9");
  EXPECT_EQ(vxtest::boxTexts(),
            (std::vector<std::string>{"Gamma value needs to be between 0.100000 and 4.000000. Setting gamma to 1.0.",
                                      "Gamma value needs to be between 0 and 4. Setting gamma to 1.0."}));
  EXPECT_EQ(text(panel, kPreviewEdit), "1.00");
  EXPECT_EQ(text(panel, kAcquireEdit), "1.00");
  EXPECT_EQ(lastSent(PropGamma), "1");
}

// A fallback the range does not hold is shown once, not applied, and does
// not ask again (its own change handling would otherwise revert for ever).
TEST_F(NumericPanelTest, AFallbackOutsideTheRangeIsShownOnce) {
  state.gamma.userMin = state.gamma.cameraMin = 1.5f;
  state.gamma.preview = 2.0f;
  platform::Window panel = openPanel(Section::Gamma);
  hl::typeText(panel, kPreviewEdit, "9");
  EXPECT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(text(panel, kPreviewEdit), "1.00");
  EXPECT_TRUE(sent(PropGamma).empty());
}

TEST_F(NumericPanelTest, TrackbarAtTheValuesOwnPositionChangesNothingAndOthersTruncate) {
  state.brightness.preview = 50.0f;
  platform::Window panel = openPanel(Section::Brightness);
  hl::moveTrackbar(panel, kPreviewTrackbar, 75);
  EXPECT_TRUE(sent(PropBrightness).empty());
  EXPECT_EQ(text(panel, kPreviewEdit), "50");
  EXPECT_EQ(vxtest::lines().size(), 1u);
  EXPECT_EQ(vxtest::lines()[0].rfind("W: ", 0), 0u) << vxtest::lines()[0];

  state.hue.locked = 0;
  panel = openPanel(Section::Hue);
  hl::moveTrackbar(panel, kPreviewTrackbar, 2);  // -180 + 360 * 0.02 = -172.8: cut, not rounded
  EXPECT_EQ(text(panel, kPreviewEdit), "-172");
  EXPECT_EQ(lastSent(PropHue), "-172");
}

TEST_F(NumericPanelTest, EachSpinPressIsOneStepTheWayItsArrowPoints) {
  state.brightness.preview = 10.0f;
  state.brightness.locked = 0;
  platform::Window panel = openPanel(Section::Brightness);
  std::vector<std::string> shown;
  for (auto arrow : {hl::UpDownArrow::Up, hl::UpDownArrow::Down, hl::UpDownArrow::Down, hl::UpDownArrow::Up}) {
    hl::pressUpDown(panel, kPreviewSpin, arrow);
    shown.push_back(text(panel, kPreviewEdit));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"11", "10", "9", "10"}));
  EXPECT_EQ(sent(PropBrightness), (std::vector<std::string>{"0.11", "0.1", "0.09", "0.1"}));
  EXPECT_TRUE(logged("old: 1, new: 2"));
  EXPECT_EQ(vxtest::countLogged("Receiveing a message from spin!!!!"), 4);

  state.globalGain.preview = 2.0f;
  panel = openPanel(Section::GlobalGain);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Up);
  EXPECT_EQ(text(panel, kPreviewEdit), "2.01");
}

// The spin control starts at 0 again with every opening, and so does the
// position it is compared with: a down press after reopening still steps down.
TEST_F(NumericPanelTest, ASpinKeepsItsDirectionAfterThePanelIsReopened) {
  state.brightness.preview = 0.0f;
  platform::Window panel = openPanel(Section::Brightness);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  hl::clickButton(panel, vx::kPanelClose);
  panel = openPanel(Section::Brightness);
  hl::pressUpDown(panel, kPreviewSpin, hl::UpDownArrow::Down);
  EXPECT_EQ(text(panel, kPreviewEdit), "-3");
}

TEST_F(NumericPanelTest, SaturationWhileGreyIsRequestedSendsMinusOneHundred) {
  ASSERT_EQ(vx::setGrayscale(camera, 1), 1);
  state.saturation.locked = 0;
  platform::Window panel = openPanel(Section::Saturation);
  hl::typeText(panel, kPreviewEdit, "40");
  EXPECT_EQ(state.saturation.preview, 40.0f);
  EXPECT_EQ(text(panel, kPreviewEdit), "40");
  EXPECT_EQ(lastSent(PropSaturation), "0");  // the camera value of -100
  EXPECT_TRUE(logged("Value Saturation: -100"));
  EXPECT_TRUE(logged("THE      Temp Val: 0.000000"));
  EXPECT_TRUE(logged("Saturation values MINMAX: softmin:-100.000000,softmax:100.000000, cammin:0.000000, "
                     "cammax:2.000000"));

  // Grey ends: the open panel shows the stored value and applies it.
  ASSERT_EQ(vx::setGrayscale(camera, 0), 1);
  EXPECT_EQ(lastSent(PropSaturation), "1.4");  // 0 + 140 * 2 / 200
  EXPECT_TRUE(logged("Value Saturation: 40.000000"));
}

TEST_F(NumericPanelTest, CancelPutsTheOpeningsValuesBack) {
  state.brightness.preview = 10.0f;
  state.brightness.acquire = 20.0f;
  state.brightness.locked = 0;
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreviewEdit, "60");
  hl::clickButton(panel, vx::kNumericLock);
  EXPECT_EQ(state.brightness.acquire, 60.0f);

  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_EQ(lastSent(PropBrightness), "0.1");
  EXPECT_EQ(state.brightness.preview, 10.0f);
  EXPECT_EQ(state.brightness.acquire, 20.0f);
  EXPECT_EQ(state.brightness.locked, 0);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.panel(Section::Brightness).panelOpen, 0);
  EXPECT_EQ(caption(Section::Brightness), "Brightness >>");
}

// Hue resets to the camera's reported default taken as a display value;
// the close box closes the panel instead of pressing Initialize (id 2).
TEST_F(NumericPanelTest, InitializeAndTheCloseBox) {
  state.hue.cameraDefault = 12.0f;
  state.hue.locked = 0;
  platform::Window panel = openPanel(Section::Hue);
  hl::clickButton(panel, kInitialize);
  EXPECT_EQ(text(panel, kPreviewEdit), "12");
  EXPECT_EQ(text(panel, kAcquireEdit), "12");
  EXPECT_EQ(lastSent(PropHue), "12");

  hl::typeText(panel, kPreviewEdit, "30");
  vzsim::clearJournal();
  hl::closeDialog(panel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.hue.preview, 30.0f);
  EXPECT_TRUE(sent(PropHue).empty());
}

TEST_F(NumericPanelTest, ARefusedValueIsReportedToTheOptionsParentAndMovesNothing) {
  state.hue.preview = state.hue.acquire = 0.0f;
  state.hue.locked = 1;
  platform::Window panel = openPanel(Section::Hue);
  ASSERT_TRUE(vzsim::failNext("VarcamSetProperty", 1, 1460, PropHue));
  hl::typeText(panel, kPreviewEdit, "5");
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not set Huetrast: 1460");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(hl::messageBoxes()[0].owner, host);
  EXPECT_EQ(state.hue.preview, 5.0f);
  EXPECT_EQ(position(panel, kPreviewTrackbar), 50);
  EXPECT_EQ(text(panel, kAcquireEdit), "0");
}

// A cleared edit reads as 0: a value like any other, or out of range. A
// host's value beyond any whole number shows as the largest one, which the
// range refuses.
TEST_F(NumericPanelTest, UnusableTextsAndValuesEndInDefinedValues) {
  state.brightness.preview = 30.0f;
  platform::Window panel = openPanel(Section::Brightness);
  hl::typeText(panel, kPreviewEdit, "");
  EXPECT_EQ(state.brightness.preview, 0.0f);
  EXPECT_EQ(lastSent(PropBrightness), "0");

  state.globalGain.preview = 2.0f;
  panel = openPanel(Section::GlobalGain);
  hl::typeText(panel, kPreviewEdit, "");
  EXPECT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(text(panel, kPreviewEdit), "2.00");

  panel = openPanel(Section::Hue);
  vx::setPreview(camera, vx::NumericProperty::Hue, 1e20f);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Hue value needs to be between -180 and 180. Setting hue to 0.");
  EXPECT_EQ(text(panel, kPreviewEdit), "0");
}

} // namespace
