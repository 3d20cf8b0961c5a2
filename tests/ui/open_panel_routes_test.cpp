// The options window as the panel view: each route writes only into its own
// section's panel, only while that panel is open, and says whether it was.
#include "support/driver_test.h"
#include "ui/panel_ids.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

namespace hl = platform::headless;
using vx::NumericProperty;
using vx::Section;

// Every control id a route writes, on every stand-in panel.
constexpr int kEdits[] = {vx::kNumericPreviewEdit, vx::kNumericAcquireEdit, vx::kWhiteBalanceRedPreview,
                          vx::kWhiteBalanceGreenPreview, vx::kWhiteBalanceBluePreview, vx::kExposureBrightnessTarget,
                          vx::kResolutionOffsetX, vx::kResolutionOffsetY, vx::kResolutionWidth, vx::kResolutionHeight,
                          vx::kResolutionWindowWidth, vx::kResolutionWindowHeight, vx::kCorrectionDarkStatus,
                          vx::kCorrectionBackgroundStatus, vx::kOverlayAlphaValue, 1063, 1064, 1065, 1066, 1067,
                          1068, 1070, 1071, 1072, 1073};
constexpr int kChecks[] = {vx::kNumericLock, vx::kMirrorHorizontal, vx::kMirrorVertical, vx::kExposureUseAuto,
                           vx::kCorrectionUseDark, vx::kCorrectionUseBackground, vx::kOverlayUse};
constexpr int kCombos[] = {vx::kExposureFrameRate, vx::kResolutionPreviewList, vx::kResolutionWindowList,
                           vx::kResolutionCaptureList, vx::kCorrectionLightSource, vx::kCorrectionFrequency};

// The exposure panel's update flag as each acquisition time field saw it
// when its text changed.
vx::OptionsWindow* watched = nullptr;
std::vector<int> editStates;

std::intptr_t panelProc(platform::Window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  if (message == platform::WM_COMMAND && platform::hiWord(wParam) == platform::EN_CHANGE &&
      platform::loWord(wParam) == 1068 && watched != nullptr)
    editStates.push_back(watched->exposureEditState);
  return 0;
}

class OpenPanelRoutes : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    host_ = hl::createHostWindow("Host", {0, 0, 800, 600});
    int y = 0;
    for (int id : kEdits) controls_.push_back({id, platform::ControlKind::Edit, "", {0, y += 22, 60, y + 20}});
    for (int id : kChecks) controls_.push_back({id, platform::ControlKind::CheckBox, "", {0, y += 22, 60, y + 20}});
    for (int id : kCombos) controls_.push_back({id, platform::ControlKind::ComboBox, "", {0, y += 22, 60, y + 80}});
    watched = &options;
    editStates.clear();
  }
  void TearDown() override {
    watched = nullptr;
    DriverTest::TearDown();
  }

  // A stand-in panel, registered as the section's open panel: with every
  // control the routes write (where two panels use one id, the edit), or
  // with just these check boxes.
  platform::Window openPanel(Section section, std::initializer_list<int> checkBoxes = {}) {
    std::vector<platform::ControlTemplate>& controls = checkBoxes.size() == 0 ? controls_ : boxes_.emplace_back();
    int y = 0;
    for (int id : checkBoxes) controls.push_back({id, platform::ControlKind::CheckBox, "", {0, y += 22, 60, y + 20}});
    const platform::DialogTemplate tmpl{900, "Panel", {0, 0, 300, 900}, controls.data(), controls.size()};
    platform::Window panel = platform::createDialog(tmpl, host_, &panelProc, 0);
    options.place(section).panel = panel;
    driver.state.panel(section).panelOpen = 1;
    return panel;
  }
  void closePanel(Section section) {
    platform::destroyWindow(options.place(section).panel);
    options.place(section).panel = nullptr;
    driver.state.panel(section).panelOpen = 0;
  }

  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static bool checked(platform::Window panel, int id) {
    return platform::isDlgButtonChecked(panel, id) == platform::BST_CHECKED;
  }

 private:
  platform::Window host_ = nullptr;
  std::vector<platform::ControlTemplate> controls_;
  std::vector<std::vector<platform::ControlTemplate>> boxes_;
};

// One route: the section whose panel it writes, the call, and one control
// text it leaves there.
struct Route {
  const char* name;
  Section section;
  std::function<bool(vx::PanelView&)> call;
  int control;
  const char* text;
};

std::vector<Route> routes() {
  const float rates[] = {15.0f, 7.5f};
  const vx::CaptureRegion region{.index = 2, .width = 640, .height = 480, .offsetX = 16, .offsetY = 8};
  return {
      {"preview value", Section::Gamma, [](vx::PanelView& v) { return v.setPreviewValue(NumericProperty::Gamma, 1.256f); },
       vx::kNumericPreviewEdit, "1.26"},
      {"acquire value", Section::Hue, [](vx::PanelView& v) { return v.setAcquireValue(NumericProperty::Hue, -12.9f); },
       vx::kNumericAcquireEdit, "-12"},
      {"green gain", Section::WhiteBalance,
       [](vx::PanelView& v) { return v.setPreviewValue(NumericProperty::GreenGain, 1.5f); },
       vx::kWhiteBalanceGreenPreview, "1.50"},
      {"saturation", Section::Saturation, [](vx::PanelView& v) { return v.showSaturation(33.9f); },
       vx::kNumericPreviewEdit, "33"},
      {"exposures", Section::Exposure, [](vx::PanelView& v) { return v.showExposures(61001.5f, 2.0f); }, 1065, "1"},
      {"preview exposure", Section::Exposure, [](vx::PanelView& v) { return v.showPreviewExposure(3723004.0f); }, 1063,
       "1"},
      {"brightness target", Section::Exposure, [](vx::PanelView& v) { return v.setBrightnessTarget(150.7f); },
       vx::kExposureBrightnessTarget, "150"},
      {"frame rates", Section::Exposure, [rates](vx::PanelView& v) { return v.showFrameRates(30.0f, rates); },
       vx::kExposureFrameRate, "30.00"},
      {"white balance gains", Section::WhiteBalance,
       [](vx::PanelView& v) { return v.showWhiteBalanceGains(1.234f, 1.0f, 2.5f); }, vx::kWhiteBalanceRedPreview, "1.23"},
      {"preview offsets", Section::Resolution, [](vx::PanelView& v) { return v.showPreviewOffsets(std::nullopt, 40); },
       vx::kResolutionOffsetY, "40"},
      {"preview geometry", Section::Resolution, [=](vx::PanelView& v) { return v.showPreviewGeometry(region); },
       vx::kResolutionWidth, "640"},
      {"preview fields", Section::Resolution, [=](vx::PanelView& v) { return v.refreshPreviewFields(region); },
       vx::kResolutionOffsetX, "16"},
      {"display size", Section::Resolution,
       [](vx::PanelView& v) { return v.showDisplaySize(vx::DisplaySize{1, 800, 600}); }, vx::kResolutionWindowHeight,
       "600"},
      {"dark frame stored", Section::ImageCorrection,
       [](vx::PanelView& v) { return v.showFrameStored(vx::CorrectionFrame::Dark); }, vx::kCorrectionDarkStatus,
       "Dark frame stored"},
      {"background discarded", Section::ImageCorrection,
       [](vx::PanelView& v) { return v.showFrameDiscarded(vx::CorrectionFrame::Background); },
       vx::kCorrectionBackgroundStatus, "No frame taken"},
      {"alpha options", Section::Overlay,
       [](vx::PanelView& v) { return v.setAlphaOptions(vx::AlphaOptions{1, 1, 42.9f}); }, vx::kOverlayAlphaValue,
       "42"},
  };
}

TEST_F(OpenPanelRoutes, EachRouteWritesOnlyItsOwnOpenPanel) {
  for (const Route& route : routes()) {
    SCOPED_TRACE(route.name);
    // Closed: nothing to write into, and the caller takes the other route.
    EXPECT_FALSE(route.call(options));
    // Another section's panel open: still not this route's panel.
    const Section other = route.section == Section::Mirror ? Section::CameraInfo : Section::Mirror;
    const platform::Window wrong = openPanel(other);
    EXPECT_FALSE(route.call(options));
    EXPECT_EQ(text(wrong, route.control), "");
    closePanel(other);
    const platform::Window panel = openPanel(route.section);
    EXPECT_TRUE(route.call(options));
    EXPECT_EQ(text(panel, route.control), route.text);
    closePanel(route.section);
  }
}

// A panel that exists but has not marked itself open yet gets nothing.
TEST_F(OpenPanelRoutes, APanelNotYetOpenIsLeftAlone) {
  const platform::Window panel = openPanel(Section::Brightness);
  driver.state.panel(Section::Brightness).panelOpen = 0;
  EXPECT_FALSE(options.setPreviewValue(NumericProperty::Brightness, 5.0f));
  EXPECT_EQ(text(panel, vx::kNumericPreviewEdit), "");
}

// The host's values become the panel's Cancel values; grey rendering's
// saturation only shows.
TEST_F(OpenPanelRoutes, HostValuesBecomeTheCancelValues) {
  openPanel(Section::Saturation);
  ASSERT_TRUE(options.setPreviewValue(NumericProperty::Saturation, 20.0f));
  ASSERT_TRUE(options.setAcquireValue(NumericProperty::Saturation, 30.0f));
  ASSERT_TRUE(options.showSaturation(-5.0f));
  EXPECT_EQ(options.panelBackup(NumericProperty::Saturation).preview, 20.0f);
  EXPECT_EQ(options.panelBackup(NumericProperty::Saturation).acquire, 30.0f);
  openPanel(Section::Exposure);
  ASSERT_TRUE(options.setBrightnessTarget(99.5f));
  EXPECT_EQ(options.exposurePanelTarget, 99.5f);
}

// The acquisition exposure is written with the panel's update flag set,
// then again with it cleared, so that the panel's own handling takes the
// value in; the flag ends cleared.
TEST_F(OpenPanelRoutes, AcquisitionExposureIsWrittenTwiceAroundTheUpdateFlag) {
  const platform::Window panel = openPanel(Section::Exposure);
  ASSERT_TRUE(options.setAcquireExposure(1500.25f));  // 1 s 500 ms 250 us
  EXPECT_EQ(editStates, (std::vector<int>{1, 0}));
  EXPECT_EQ(options.exposureEditState, 0);
  EXPECT_EQ(text(panel, 1071), "1");
  EXPECT_EQ(text(panel, 1072), "500");
  EXPECT_EQ(text(panel, 1073), "250");
}

TEST_F(OpenPanelRoutes, BoxesFollowTheHostsSwitches) {
  const platform::Window mirror = openPanel(Section::Mirror, {vx::kMirrorHorizontal, vx::kMirrorVertical});
  ASSERT_TRUE(options.setMirrorBoxes(0, 1));
  EXPECT_FALSE(checked(mirror, vx::kMirrorHorizontal));
  EXPECT_TRUE(checked(mirror, vx::kMirrorVertical));
  const platform::Window gain = openPanel(Section::WhiteBalance, {vx::kWhiteBalanceBlueLock});
  ASSERT_TRUE(options.setLockBox(NumericProperty::BlueGain, 1));
  EXPECT_TRUE(checked(gain, vx::kWhiteBalanceBlueLock));
  const platform::Window correction = openPanel(Section::ImageCorrection, {vx::kCorrectionUseDark});
  platform::checkDlgButton(correction, vx::kCorrectionUseDark, platform::BST_CHECKED);
  ASSERT_TRUE(options.showFrameDiscarded(vx::CorrectionFrame::Dark));
  EXPECT_FALSE(checked(correction, vx::kCorrectionUseDark));
}

// The camera's close takes the window with it; a second close finds none.
TEST_F(OpenPanelRoutes, ClosingTheWindowSaysWhetherItWasOpen) {
  EXPECT_FALSE(options.closeOptionsWindow());
  options.open(nullptr, 10, 10);
  const platform::Window window = options.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(options.closeOptionsWindow());
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_FALSE(options.closeOptionsWindow());
}

} // namespace
