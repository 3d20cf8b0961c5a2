// The property accessors: stored values, the camera written with the panel
// closed, the panel's edit written with it open.
#include "camera_fixture.h"

#include "camera/property_accessors.h"
#include "ui/panel_ids.h"

namespace {

using namespace camtest;
namespace hl = platform::headless;
using vx::NumericProperty;
using vx::Section;

class AccessorTest : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    ASSERT_EQ(open(), 1);
  }
};

// Each member with the panel closed: converted camera value, success line,
// value line in the member's own format.
TEST_F(AccessorTest, PreviewSettersWriteTheCameraAndLog) {
  struct Case {
    NumericProperty property;
    float value;
    int sdkProperty;
    const char* camera;
    const char* success;
    const char* valueLine;
  } cases[] = {
      {NumericProperty::Brightness, 50.7f, PropBrightness, "0.507",
       "PIXORA QUORVEL DRIVER: Brightness has been changed in camera.", "Value brightness: 50"},
      {NumericProperty::Contrast, 0.0f, PropContrast, "1", "PIXORA QUORVEL DRIVER: contrast has been changed in camera.",
       "Value Contrast: 0.000000"},
      {NumericProperty::Contrast, -50.0f, PropContrast, "0.5",
       "PIXORA QUORVEL DRIVER: contrast has been changed in camera.", "Value Contrast: -50.000000"},
      {NumericProperty::Contrast, 100.0f, PropContrast, "10",
       "PIXORA QUORVEL DRIVER: contrast has been changed in camera.", "Value Contrast: 100.000000"},
      {NumericProperty::Hue, -90.0f, PropHue, "-90", "PIXORA QUORVEL DRIVER: Hue has been changed in camera.",
       "Value hue: -90.000000"},
      {NumericProperty::Saturation, 50.0f, PropSaturation, "1.5",
       "PIXORA QUORVEL DRIVER: saturation has been changed in camera.", "Value Saturation: 50"},
      {NumericProperty::Gamma, 2.5f, PropGamma, "2.5", "PIXORA QUORVEL DRIVER: Gamma has been changed in camera.",
       "Value gamma: 2.50"},
      {NumericProperty::GlobalGain, 7.99f, PropGain, "7.999",
       "PIXORA QUORVEL DRIVER: Global Gain has been changed in camera.", "Value global gain: 7.99"},
      {NumericProperty::GlobalGain, 1.0f, PropGain, "1",
       "PIXORA QUORVEL DRIVER: Global Gain has been changed in camera.", "Value global gain: 1.00"},
      {NumericProperty::RedGain, 0.25f, PropGainRed, "0.25", "PIXORA QUORVEL DRIVER: Red gain has been changed in camera.",
       "Value red gain: 0.25"},
      // The colour gains' camera maximum is cut to hundredths like their
      // display maximum (0.25..7.999 becomes 0.25..7.99 on both scales), so
      // the top of the display range writes 7.99.
      {NumericProperty::BlueGain, 7.99f, PropGainBlue, "7.99",
       "PIXORA QUORVEL DRIVER: Blue gain has been changed in camera.", "Value blue gain: 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.valueLine);
    clearRecords();
    EXPECT_EQ(vx::setPreview(camera, c.property, c.value), 1);
    EXPECT_EQ(vx::getPreview(camera, c.property), c.value);
    const Journal all = vzsim::journal();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].args, (std::vector<std::string>{std::to_string(c.sdkProperty), c.camera, "0x0"}));
    std::vector<std::string> expected{c.success, c.valueLine};
    if (c.property == NumericProperty::Saturation)
      expected.insert(expected.begin(), "////////////////////////// Setting Saturation: 50");
    EXPECT_EQ(lines(), expected);
  }
}

TEST_F(AccessorTest, GreenGainWritesBothGreens) {
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::GreenGain, 2.5f), 1);
  EXPECT_EQ(sdkCalls().size(), 2u);
  ASSERT_EQ(writes(PropGainGreen1).size(), 1u);
  ASSERT_EQ(writes(PropGainGreen2).size(), 1u);
  EXPECT_EQ(writes(PropGainGreen1)[0].args.at(1), writes(PropGainGreen2)[0].args.at(1));
  EXPECT_LT(writes(PropGainGreen1)[0].sequence, writes(PropGainGreen2)[0].sequence);
  EXPECT_EQ(lines(), (std::vector<std::string>{"PIXORA QUORVEL DRIVER: Green gain has been changed in camera.",
                                               "Value green gain: 2.500000",
                                               "PIXORA QUORVEL DRIVER: Green gain2 has been changed in camera.",
                                               "Value green gain 2: 2"}));

  // A refused second green leaves the first changed and reports failure.
  clearRecords();
  vzsim::failNext("VarcamSetProperty", 1, 31, PropGainGreen2);
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::GreenGain, 4.0f), 0);
  EXPECT_NEAR(vzsim::propertyValue(1, PropGainGreen1).value(), 4.0, 0.01);
  EXPECT_NEAR(vzsim::propertyValue(1, PropGainGreen2).value(), 2.5, 0.01);
  EXPECT_EQ(lines().back(), "Could not set green gain2: 31");
  EXPECT_EQ(state.greenGain.preview, 4.0f);
  EXPECT_TRUE(boxTexts().empty());
}

TEST_F(AccessorTest, RefusedWriteKeepsTheValueAndOnlyLogs) {
  struct Case {
    NumericProperty property;
    int sdkProperty;
    const char* failure;
  } cases[] = {{NumericProperty::Brightness, PropBrightness, "Could not set Brightness: 31"},
               {NumericProperty::Contrast, PropContrast, "Could not set Contrast: 31"},
               {NumericProperty::Hue, PropHue, "Could not set Hue: 31"},
               {NumericProperty::Saturation, PropSaturation, "Could not set Saturation: 31"},
               {NumericProperty::Gamma, PropGamma, "Could not set Gamma: 31"},
               {NumericProperty::GlobalGain, PropGain, "Could not set Global Gain: 31"},
               {NumericProperty::RedGain, PropGainRed, "Could not set red gain: 31"},
               {NumericProperty::GreenGain, PropGainGreen1, "Could not set green gain: 31"},
               {NumericProperty::BlueGain, PropGainBlue, "Could not set blue gain: 31"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failure);
    clearRecords();
    vzsim::failNext("VarcamSetProperty", 1, 31, c.sdkProperty);
    EXPECT_EQ(vx::setPreview(camera, c.property, 1.5f), 0);
    EXPECT_EQ(lines().back(), c.failure);
    EXPECT_EQ(vx::getPreview(camera, c.property), 1.5f);
    EXPECT_EQ(sdkCalls().size(), 1u) << "nothing after the refused write";
    EXPECT_TRUE(boxTexts().empty());
  }
}

// While grey is requested saturation is written as the camera value of
// -100 whatever the value passed, which is still stored.
TEST_F(AccessorTest, SaturationWhileGreyIsRequested) {
  camera.grayscaleRequested = 1;
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::Saturation, 40.0f), 1);
  EXPECT_EQ(writes(PropSaturation).at(0).args.at(1), "0");
  EXPECT_EQ(lines(), (std::vector<std::string>{"////////////////////////// Setting Saturation: 40",
                                               "PIXORA QUORVEL DRIVER: saturation has been changed in camera.",
                                               "Value Saturation: -100"}));
  EXPECT_EQ(state.saturation.preview, 40.0f);
}

TEST_F(AccessorTest, UnavailableGainIsStoredOnly) {
  state.model.blueGainAvailable = 0;
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::BlueGain, 3.0f), 1);
  EXPECT_EQ(state.blueGain.preview, 3.0f);
  EXPECT_TRUE(vzsim::journal().empty());
  EXPECT_TRUE(lines().empty());
}

TEST_F(AccessorTest, AcquisitionValuesAndLocksNeverReachTheCamera) {
  for (int i = 0; i < vx::kNumericPropertyCount; ++i) {
    const auto p = static_cast<NumericProperty>(i);
    EXPECT_EQ(vx::setAcquire(camera, p, 3.0f + static_cast<float>(i)), 1);
    EXPECT_EQ(vx::setLocked(camera, p, i % 2), 1);
    EXPECT_EQ(vx::getAcquire(camera, p), 3.0f + static_cast<float>(i));
    EXPECT_EQ(vx::getLocked(camera, p), i % 2);
  }
  EXPECT_EQ(vx::setExposureAcquire(camera, 12.0f), 1);
  EXPECT_EQ(vx::setExposureLocked(camera, 0), 1);
  EXPECT_EQ(vx::getExposureAcquire(camera), 12.0f);
  EXPECT_EQ(vx::getExposureLocked(camera), 0);
  EXPECT_EQ(vx::setLightSource(camera, 3), 1);
  EXPECT_EQ(vx::setFlickerMode(camera, 1), 1);
  EXPECT_EQ(vx::setCameraAutoExposure(camera, 1), 1);
  EXPECT_EQ(vx::getCameraAutoExposure(camera), 1);
  EXPECT_TRUE(vzsim::journal().empty());
  EXPECT_EQ(state.brightness.preview, vx::getPreview(camera, NumericProperty::Brightness));
}

// With the panel open the value goes into its edit and the panel (not the
// accessor) writes the camera.
TEST_F(AccessorTest, OpenPanelGetsTheValueInstead) {
  const platform::Window gain = openPanel(Section::GlobalGain, {vx::kNumericPreviewEdit, vx::kNumericAcquireEdit},
                                          {vx::kNumericLock});
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::GlobalGain, 2.346f), 1);
  EXPECT_EQ(text(gain, vx::kNumericPreviewEdit), "2.35");
  EXPECT_EQ(options.panelBackup(NumericProperty::GlobalGain).preview, 2.346f);
  EXPECT_EQ(vx::setAcquire(camera, NumericProperty::GlobalGain, 3.0f), 1);
  EXPECT_EQ(text(gain, vx::kNumericAcquireEdit), "3.00");
  EXPECT_EQ(options.panelBackup(NumericProperty::GlobalGain).acquire, 3.0f);
  EXPECT_EQ(vx::setLocked(camera, NumericProperty::GlobalGain, 1), 1);
  EXPECT_EQ(platform::isDlgButtonChecked(gain, vx::kNumericLock), platform::BST_CHECKED);
  EXPECT_EQ(vx::setLocked(camera, NumericProperty::GlobalGain, 0), 1);
  EXPECT_EQ(platform::isDlgButtonChecked(gain, vx::kNumericLock), platform::BST_UNCHECKED);

  const platform::Window contrast = openPanel(Section::Contrast, {vx::kNumericPreviewEdit});
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::Contrast, -42.9f), 1);
  EXPECT_EQ(text(contrast, vx::kNumericPreviewEdit), "-42");

  // The white balance panel: each gain has its own edits; even an
  // unavailable gain is shown.
  state.model.greenGainAvailable = 0;
  const platform::Window balance =
      openPanel(Section::WhiteBalance, {vx::kWhiteBalanceRedPreview, vx::kWhiteBalanceGreenPreview,
                                        vx::kWhiteBalanceGreenAcquire, vx::kWhiteBalanceBluePreview},
                {vx::kWhiteBalanceGreenLock});
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::GreenGain, 1.5f), 1);
  EXPECT_EQ(vx::setAcquire(camera, NumericProperty::GreenGain, 1.25f), 1);
  EXPECT_EQ(vx::setLocked(camera, NumericProperty::GreenGain, 1), 1);
  EXPECT_EQ(vx::setPreview(camera, NumericProperty::BlueGain, 0.5f), 1);
  EXPECT_EQ(text(balance, vx::kWhiteBalanceGreenPreview), "1.50");
  EXPECT_EQ(text(balance, vx::kWhiteBalanceGreenAcquire), "1.25");
  EXPECT_EQ(platform::isDlgButtonChecked(balance, vx::kWhiteBalanceGreenLock), platform::BST_CHECKED);
  EXPECT_EQ(text(balance, vx::kWhiteBalanceBluePreview), "0.50");
  EXPECT_EQ(text(balance, vx::kWhiteBalanceRedPreview), "");

  EXPECT_TRUE(vzsim::journal().empty()) << "the camera is not written by the accessors";
  EXPECT_TRUE(lines().empty());
}

TEST_F(AccessorTest, BrightnessTargetGoesToTheCameraOrToTheOpenPanel) {
  EXPECT_EQ(vx::setBrightnessTarget(camera, 99.5f), 1);
  EXPECT_EQ(writes(PropAutoExposureTarget).at(0).args, (std::vector<std::string>{"103", "99.5", "0x0"}));
  EXPECT_EQ(lines(), (std::vector<std::string>{"PIXORA QUORVEL DRIVER: Exposure Brightness Target set in camera.",
                                               "Value Brightness Target: 99.500000"}));
  EXPECT_EQ(vx::getBrightnessTarget(camera), 99.5f);

  clearRecords();
  vzsim::failNext("VarcamSetProperty", 1, 31, PropAutoExposureTarget);
  EXPECT_EQ(vx::setBrightnessTarget(camera, 120.0f), 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not set Brightness Target: 31");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(state.autoExposureTarget, 120.0f);

  clearRecords();
  const platform::Window panel = openPanel(Section::Exposure, {vx::kExposureBrightnessTarget});
  EXPECT_EQ(vx::setBrightnessTarget(camera, 200.9f), 1);
  EXPECT_EQ(text(panel, vx::kExposureBrightnessTarget), "200");
  EXPECT_EQ(options.exposurePanelTarget, 200.9f);
  EXPECT_TRUE(vzsim::journal().empty());
}

TEST_F(AccessorTest, MirrorWithAndWithoutItsPanel) {
  EXPECT_EQ(vx::setMirror(camera, 0, 1), 1);
  EXPECT_EQ(writes(PropFlipping).at(0).args.at(1), "2");
  clearRecords();
  const platform::Window mirror = openPanel(Section::Mirror, {}, {vx::kMirrorHorizontal, vx::kMirrorVertical});
  EXPECT_EQ(vx::setMirror(camera, 1, 0), 1);
  EXPECT_EQ(platform::isDlgButtonChecked(mirror, vx::kMirrorHorizontal), platform::BST_CHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(mirror, vx::kMirrorVertical), platform::BST_UNCHECKED);
  EXPECT_EQ(vx::getMirrorHorizontal(camera), 1);
  EXPECT_EQ(vx::getMirrorVertical(camera), 0);
  EXPECT_TRUE(vzsim::journal().empty());
}

// Row 1, column 2 checks button 1067 only; the panel gets a click of 1027.
// The alpha options end with clicks of Apply and of the alpha switch.
TEST_F(AccessorTest, OverlayAndAlphaWithTheirPanel) {
  std::vector<int> checks{vx::kOverlayUse, vx::kOverlayOnPreview, vx::kOverlayOnCapture, vx::kOverlayUseAlpha,
                          vx::kOverlayAlphaValueRadio, vx::kOverlayAlphaFromBitmap};
  for (const auto& row : vx::kOverlayPosition) checks.insert(checks.end(), std::begin(row), std::end(row));
  std::vector<platform::ControlTemplate> templates;
  int y = 0;
  for (int id : checks) templates.push_back({id, platform::ControlKind::CheckBox, "", {0, y += 22, 60, y + 20}});
  templates.push_back({vx::kOverlayAlphaValue, platform::ControlKind::Edit, "", {0, y += 22, 60, y + 20}});
  templates.push_back({vx::kOverlayApply, platform::ControlKind::Button, "Apply", {0, y += 22, 60, y + 20}});
  static std::vector<unsigned> commands;
  commands.clear();
  const platform::DialogTemplate tmpl{117, "Overlay", {0, 0, 300, 400}, templates.data(), templates.size()};
  const platform::Window panel = platform::createDialog(
      tmpl, state.hostWindow,
      [](platform::Window, unsigned message, std::uintptr_t wParam, std::intptr_t) -> std::intptr_t {
        if (message == platform::WM_COMMAND && platform::hiWord(wParam) == platform::BN_CLICKED)
          commands.push_back(platform::loWord(wParam));
        return 0;
      },
      0);
  options.place(Section::Overlay).panel = panel;
  state.panel(Section::Overlay).panelOpen = 1;
  platform::checkDlgButton(panel, vx::kOverlayPosition[0][0], platform::BST_CHECKED);

  EXPECT_EQ(vx::setOverlayOptions(camera, {1, 0, 1, 2, 1}), 1);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayPosition[r][c]), r == 1 && c == 2 ? 1 : 0);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayUse), platform::BST_CHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayOnPreview), platform::BST_UNCHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayOnCapture), platform::BST_CHECKED);
  EXPECT_EQ(commands, (std::vector<unsigned>{static_cast<unsigned>(vx::kOverlayUse)}));

  // Outside the grid nothing is checked.
  EXPECT_EQ(vx::setOverlayOptions(camera, {0, 0, 0, 3, 0}), 1);
  for (int id : vx::kOverlayPosition[0]) EXPECT_EQ(platform::isDlgButtonChecked(panel, id), 0);

  commands.clear();
  EXPECT_EQ(vx::setAlphaOptions(camera, {1, 1, 55.7f}), 1);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayUseAlpha), platform::BST_CHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayAlphaValueRadio), platform::BST_CHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayAlphaFromBitmap), platform::BST_UNCHECKED);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaValue), "55");
  EXPECT_EQ(options.overlayPanel.alpha.value, 55.7f);
  EXPECT_EQ(commands, (std::vector<unsigned>{static_cast<unsigned>(vx::kOverlayApply),
                                             static_cast<unsigned>(vx::kOverlayUseAlpha)}));
  EXPECT_EQ(vx::setAlphaOptions(camera, {0, 0, 10.0f}), 1);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayAlphaValueRadio), platform::BST_UNCHECKED);
  EXPECT_EQ(platform::isDlgButtonChecked(panel, vx::kOverlayAlphaFromBitmap), platform::BST_CHECKED);
  const vx::AlphaOptions alpha = vx::getAlphaOptions(camera);
  EXPECT_EQ(alpha.fromValue, 0);
  EXPECT_EQ(alpha.value, 10.0f);
  EXPECT_TRUE(vzsim::journal().empty());
}

TEST_F(AccessorTest, AcquireModeIsHeldInsideTheListAndGeometryReadsBack) {
  // Camera 160 has five acquisition entries (1280 x 1024 Demosaic and four
  // Kelvo ones), each delivering 1280 x 1024.
  EXPECT_EQ(vx::setAcquireMode(camera, 99), 1);
  EXPECT_EQ(state.acquisition.index, 4);
  EXPECT_EQ(state.acquisition.selectedWidth, 1280);
  EXPECT_EQ(vx::setAcquireMode(camera, -3), 1);
  EXPECT_EQ(state.acquisition.index, 0);
  EXPECT_EQ(vx::setAcquireWindow(camera, 100, 80, 4, 6), 1);
  const vx::CaptureRegion geometry = vx::getAcquireGeometry(camera);
  EXPECT_EQ(geometry.width, 100);
  EXPECT_EQ(geometry.offsetY, 6);
  EXPECT_EQ(vx::getAcquireSelection(camera).width, 1280);
  // The slowest rate, 3.75 fps, admits its period 266.67 ms less 2 %: 261.33 ms.
  float minimum = -1, maximum = -1;
  EXPECT_EQ(vx::getExposureRange(camera, minimum, maximum), 1);
  EXPECT_EQ(minimum, 0.0f);
  EXPECT_FLOAT_EQ(maximum, 261.33f);
  EXPECT_TRUE(vzsim::journal().empty());
}

} // namespace
