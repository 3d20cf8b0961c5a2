// The options window: layout, opening, toggling panels, remembered
// positions, closing, and following the host application.
#include "ui/options_window.h"

#include "camera/property_accessors.h"
#include "ui/panel_ids.h"
#include "ui/section_table.h"
#include "ui_fixture.h"

using vx::Section;
using platform::Rect;

namespace {

int width(const Rect& r) { return r.right - r.left; }

} // namespace

TEST(OptionsLayout, VisibleSetStacksMirrorAndCameraInfoAboveClose) {
  const vx::ColumnLayout layout = vx::layoutColumn(vx::defaultVisibleSet());
  const auto at = [&](Section s) { return layout.buttons[static_cast<std::size_t>(s)]; };
  EXPECT_EQ(at(Section::Mirror), (Rect{3, 5, 117, 26}));
  EXPECT_EQ(at(Section::CameraInfo), (Rect{3, 29, 117, 50}));
  EXPECT_EQ(layout.closeButton, (Rect{25, 53, 89, 74}));
  EXPECT_EQ(layout.windowWidth, 126);
  EXPECT_EQ(layout.windowHeight, 103);
  int shown = 0;
  for (bool v : layout.visible) shown += v ? 1 : 0;
  EXPECT_EQ(shown, 2);
}

TEST(OptionsLayout, ResolutionStaysHiddenWhenEverySectionIsShown) {
  vx::VisibleSet all{};
  all.fill(true);
  const vx::ColumnLayout layout = vx::layoutColumn(all);
  EXPECT_FALSE(layout.visible[static_cast<std::size_t>(Section::Resolution)]);
  // Exposure heads the column, Camera Info ends it.
  EXPECT_EQ(layout.buttons[static_cast<std::size_t>(Section::Exposure)].top, 5);
  EXPECT_EQ(layout.buttons[static_cast<std::size_t>(Section::CameraInfo)].top, 5 + 24 * 11);
  EXPECT_EQ(layout.closeButton.top, 5 + 24 * 12);
  EXPECT_EQ(layout.windowHeight, 24 * 12 + 55);
}

TEST_F(UiTest, FirstOpenPlacesTheWindowAtThePointWithTheLaidOutSize) {
  EXPECT_EQ(options.open(host, 300, 180), 1);
  platform::Window window = options.optionsWindow;
  ASSERT_NE(window, nullptr);
  const hl::WindowInfo info = hl::windowInfo(window);
  EXPECT_EQ(info.windowRect, (Rect{300, 180, 426, 283}));
  EXPECT_TRUE(info.visible);
  EXPECT_EQ(info.owner, host);
  EXPECT_EQ(info.text, "More Options...");
  EXPECT_EQ(options.optionsOpen, 1);
  EXPECT_EQ(state.optionsParent, host);
  EXPECT_TRUE(logged("Option opening inside 1"));

  EXPECT_EQ(hl::controlInfo(window, 1048).rect, (Rect{3, 5, 117, 26}));
  EXPECT_EQ(hl::controlInfo(window, 1051).rect, (Rect{3, 29, 117, 50}));
  EXPECT_EQ(hl::controlInfo(window, 8).rect, (Rect{25, 53, 89, 74}));
  for (const vx::SectionRow& row : vx::sectionTable()) {
    const bool shouldShow = row.section == Section::Mirror || row.section == Section::CameraInfo;
    EXPECT_EQ(hl::controlInfo(window, row.buttonId).visible, shouldShow) << row.stem;
  }
  EXPECT_EQ(caption(Section::Mirror), "Mirror >>");
  EXPECT_EQ(caption(Section::CameraInfo), "Camera Info >>");
}

TEST_F(UiTest, SecondOpenOnlyLogsAndLeavesTheWindowWhereItIs) {
  openWindow(300, 180);
  platform::Window first = options.optionsWindow;
  EXPECT_EQ(options.open(host, 10, 10), 1);
  EXPECT_EQ(options.optionsWindow, first);
  EXPECT_EQ(rectOf(first), (Rect{300, 180, 426, 283}));
  EXPECT_TRUE(logged("Options window allready opened!"));
  int created = 0;
  for (const auto& d : hl::dialogsShown()) created += d.templateId == vx::kOptionsWindowTemplate ? 1 : 0;
  EXPECT_EQ(created, 1);
}

TEST_F(UiTest, PanelOpensBesideTheWindowLevelWithItsButtonAndClosesAgain) {
  platform::Window window = openWindow(300, 180);
  hl::clickButton(window, 1051);
  platform::Window panel = options.place(Section::CameraInfo).panel;
  ASSERT_NE(panel, nullptr);
  const hl::WindowInfo info = hl::windowInfo(panel);
  // Right edge of the window; top of the button in screen pixels (client
  // origin 30 px below the window's top, button at y 29).
  EXPECT_EQ(info.windowRect.left, 426);
  EXPECT_EQ(info.windowRect.top, 180 + hl::kFrameTop + 29);
  EXPECT_TRUE(info.visible);
  EXPECT_EQ(info.owner, host);  // owned by the window's parent, not the window
  EXPECT_EQ(state.panel(Section::CameraInfo).panelOpen, 1);
  EXPECT_EQ(state.panel(Section::CameraInfo).openedOnce, 1);
  EXPECT_EQ(caption(Section::CameraInfo), "Camera Info <<");

  hl::clickButton(window, 1051);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(options.place(Section::CameraInfo).panel, nullptr);
  EXPECT_EQ(state.panel(Section::CameraInfo).panelOpen, 0);
  EXPECT_EQ(caption(Section::CameraInfo), "Camera Info >>");
}

TEST_F(UiTest, PanelReopensWhereTheUserLeftIt) {
  platform::Window window = openWindow();
  hl::clickButton(window, 1048);
  platform::Window panel = options.place(Section::Mirror).panel;
  const Rect opened = rectOf(panel);
  platform::setWindowPos(panel, nullptr, 555, 444, 0, 0, platform::SWP_NOSIZE);
  hl::clickButton(panel, 1045);  // the panel's own Close
  EXPECT_EQ(caption(Section::Mirror), "Mirror >>");

  hl::clickButton(window, 1048);
  panel = options.place(Section::Mirror).panel;
  EXPECT_EQ(rectOf(panel).left, 555);
  EXPECT_EQ(rectOf(panel).top, 444);
  EXPECT_EQ(width(rectOf(panel)), width(opened));

  // Moved again and closed with the window's button: the same.
  platform::setWindowPos(panel, nullptr, 20, 30, 0, 0, platform::SWP_NOSIZE);
  hl::clickButton(window, 1048);
  hl::clickButton(window, 1048);
  EXPECT_EQ(rectOf(options.place(Section::Mirror).panel).left, 20);
  EXPECT_EQ(rectOf(options.place(Section::Mirror).panel).top, 30);
}

TEST_F(UiTest, ClosingTheWindowDestroysEveryPanelAndTheNextOpenStartsClosed) {
  platform::Window window = openWindow(100, 200);
  hl::clickButton(window, 1048);
  hl::clickButton(window, 1051);
  platform::Window brightness = toggle(Section::Brightness);
  platform::Window mirror = options.place(Section::Mirror).panel;
  const vx::PanelPlace mirrorBefore = options.place(Section::Mirror);
  platform::setWindowPos(mirror, nullptr, 700, 10, 0, 0, platform::SWP_NOSIZE);
  platform::checkDlgButton(brightness, vx::kNumericLock, platform::BST_CHECKED);
  state.brightness.locked = 0;

  hl::clickButton(window, 8);
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_FALSE(platform::isWindow(mirror));
  EXPECT_FALSE(platform::isWindow(brightness));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_EQ(options.optionsWindow, nullptr);
  for (const vx::PanelPlace& place : options.places) EXPECT_EQ(place.panel, nullptr);
  for (const vx::PanelFlags& flags : state.panels) EXPECT_EQ(flags.panelOpen, 0);
  // No lock read and no position recorded on this path.
  EXPECT_EQ(state.brightness.locked, 0);
  EXPECT_EQ(options.place(Section::Mirror).positionX, mirrorBefore.positionX);

  openWindow(400, 50);
  for (const vx::SectionRow& row : vx::sectionTable()) {
    const std::string text = caption(row.section);
    EXPECT_EQ(text.substr(text.size() - 3), " >>") << row.stem;
  }
  // Opened before: it comes back at its remembered place, not beside the
  // window's new position.
  hl::clickButton(options.optionsWindow, 1048);
  EXPECT_EQ(rectOf(options.place(Section::Mirror).panel).left, mirrorBefore.positionX);
  EXPECT_EQ(rectOf(options.place(Section::Mirror).panel).top, mirrorBefore.positionY);
}

TEST_F(UiTest, TheCloseBoxClosesTheWindowLikeItsButton) {
  platform::Window window = openWindow();
  hl::clickButton(window, 1048);
  hl::closeDialog(window);
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_EQ(options.place(Section::Mirror).panel, nullptr);
  openWindow();
  EXPECT_NE(options.optionsWindow, nullptr);
  EXPECT_FALSE(logged("Options window allready opened!"));
}

TEST_F(UiTest, ImageCorrectionCaptionLosesItsLeadingBlankAfterTheFirstToggle) {
  openWindow();
  EXPECT_EQ(caption(Section::ImageCorrection), " Image Correction >>");
  toggle(Section::ImageCorrection);
  EXPECT_EQ(caption(Section::ImageCorrection), "Image Correction <<");
  toggle(Section::ImageCorrection);
  EXPECT_EQ(caption(Section::ImageCorrection), "Image Correction >>");
}

TEST_F(UiTest, WindowAndPanelsHideWithTheApplicationAndReturnWithoutTakingTheFocus) {
  platform::Window window = openWindow();
  hl::clickButton(window, 1051);
  hl::clickButton(window, 1048);
  platform::Window mirror = options.place(Section::Mirror).panel;
  platform::Window info = options.place(Section::CameraInfo).panel;
  hl::setActiveWindow(host);
  hl::clearWindowOperations();

  hl::activateApp(false, 4242);
  EXPECT_TRUE(logged("Application closing: 4242"));
  EXPECT_FALSE(hl::windowInfo(window).visible);
  EXPECT_FALSE(hl::windowInfo(mirror).visible);
  EXPECT_FALSE(hl::windowInfo(info).visible);

  hl::clearWindowOperations();
  hl::activateApp(true, 77);
  EXPECT_TRUE(logged("Application opening: 77"));
  EXPECT_TRUE(hl::windowInfo(window).visible);
  EXPECT_TRUE(hl::windowInfo(mirror).visible);
  EXPECT_TRUE(hl::windowInfo(info).visible);
  EXPECT_EQ(platform::activeWindow(), host);
  // The window first, then the panels in the window's order (Mirror before
  // Camera Info), each shown without activation.
  std::vector<platform::Window> shown;
  for (const auto& op : hl::windowOperations()) {
    if (op.operation == "showWindow 4") shown.push_back(op.window);
  }
  EXPECT_EQ(shown, (std::vector<platform::Window>{window, mirror, info}));
}

TEST_F(UiTest, WhiteBalanceIsRefusedWithoutRedOrBlueGain) {
  openWindow();
  state.model.blueGainAvailable = 0;
  EXPECT_EQ(toggle(Section::WhiteBalance), nullptr);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "This camera does not supports whitebalance");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].owner, host);
  EXPECT_EQ(caption(Section::WhiteBalance), "White Balance >>");
  EXPECT_EQ(state.panel(Section::WhiteBalance).openedOnce, 0);
  EXPECT_EQ(hl::findDialog(114), nullptr);

  state.model.blueGainAvailable = 1;
  ASSERT_NE(toggle(Section::WhiteBalance), nullptr);
  EXPECT_EQ(state.panel(Section::WhiteBalance).panelOpen, 1);
  EXPECT_EQ(caption(Section::WhiteBalance), "White Balance <<");
}

TEST_F(UiTest, MonochromeCameraHasNoWhiteBalance) {
  TearDown();
  hl::reset();
  vzsim::setCameras({vzsim::asMonochrome(vzsim::defaultModel(160))});
  vzsim::setPacing(vzsim::Pacing::Free);
  host = hl::createHostWindow("Host", Rect{0, 0, 800, 600});
  state.hostWindow = host;
  ASSERT_EQ(camera.open(), 1);
  hl::clearMessageBoxes();
  openWindow();
  EXPECT_EQ(toggle(Section::WhiteBalance), nullptr);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "This camera does not supports whitebalance");
}

TEST_F(UiTest, LockCheckBoxesAreReadWhenTheWindowClosesAPanelButNotOnItsOwnClose) {
  openWindow();
  // The panels open with their boxes showing the lock flags.
  state.brightness.locked = state.contrast.locked = state.gamma.locked = 0;
  platform::Window panel = toggle(Section::Brightness);
  ASSERT_NE(panel, nullptr);
  hl::clickButton(panel, vx::kNumericLock);
  state.brightness.locked = 0;
  toggle(Section::Brightness);
  EXPECT_EQ(state.brightness.locked, 1);

  panel = toggle(Section::Contrast);
  state.contrast.locked = 1;
  toggle(Section::Contrast);  // box unchecked
  EXPECT_EQ(state.contrast.locked, 0);

  // The box's own handler sets the flag; the panel's Close leaves it so,
  // whatever the box shows by then.
  panel = toggle(Section::Gamma);
  hl::clickButton(panel, vx::kNumericLock);
  EXPECT_EQ(state.gamma.locked, 1);
  platform::checkDlgButton(panel, vx::kNumericLock, platform::BST_UNCHECKED);
  hl::clickButton(panel, 1045);  // the panel's own Close
  EXPECT_EQ(state.gamma.locked, 1);
  EXPECT_EQ(caption(Section::Gamma), "Gamma >>");
  EXPECT_EQ(state.panel(Section::Gamma).panelOpen, 0);

  state.model.redGainAvailable = state.model.blueGainAvailable = 1;
  panel = toggle(Section::WhiteBalance);
  state.redGain.locked = state.greenGain.locked = state.blueGain.locked = 1;
  platform::checkDlgButton(panel, vx::kWhiteBalanceRedLock, platform::BST_CHECKED);
  platform::checkDlgButton(panel, vx::kWhiteBalanceGreenLock, platform::BST_UNCHECKED);
  platform::checkDlgButton(panel, vx::kWhiteBalanceBlueLock, 2);  // indeterminate is not checked
  toggle(Section::WhiteBalance);
  EXPECT_EQ(state.redGain.locked, 1);
  EXPECT_EQ(state.greenGain.locked, 0);
  EXPECT_EQ(state.blueGain.locked, 0);
}

TEST_F(UiTest, ClosingTheExposurePanelEndsAutomaticExposureWithTheCameraExposure) {
  openWindow();
  state.exposure.locked = 0;  // the panel's lock box opens unchecked
  platform::Window panel = toggle(Section::Exposure);
  ASSERT_NE(panel, nullptr);
  state.cameraAutoExposureOn = 1;
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropExposure, 12.5f));
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kNumericLock);  // the exposure lock shares id 1058
  state.exposure.locked = 0;

  toggle(Section::Exposure);
  EXPECT_EQ(state.cameraAutoExposureOn, 0);
  EXPECT_FLOAT_EQ(state.exposure.preview, 12.5f);
  EXPECT_EQ(state.exposure.locked, 1);
  const auto writes = propertyWrites(PropExposure);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back().args[1], "12.5");
  EXPECT_EQ(writes.back().args[2], "0x0");  // manual exposure again

  // Without automatic exposure nothing is written.
  toggle(Section::Exposure);
  vzsim::clearJournal();
  toggle(Section::Exposure);
  EXPECT_TRUE(propertyWrites(PropExposure).empty());
}

// The accessor writes the open panel's edit and the panel writes the camera
// (its trackbar follows); with the panel closed the accessor writes it.
TEST_F(UiTest, AnOpenNumericPanelAppliesTheAccessorsValues) {
  openWindow();
  platform::Window panel = toggle(Section::Brightness);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(hl::findDialog(103), panel);
  EXPECT_EQ(options.openPanel(Section::Brightness), panel);
  vzsim::clearJournal();
  vx::setPreview(camera, vx::NumericProperty::Brightness, 40.0f);
  EXPECT_EQ(hl::controlInfo(panel, vx::kNumericPreviewEdit).text, "40");
  EXPECT_EQ(hl::controlInfo(panel, 1056).position, 70);  // (40 + 100) / 200 * 100
  ASSERT_EQ(propertyWrites(PropBrightness).size(), 1u);
  EXPECT_EQ(propertyWrites(PropBrightness)[0].args.at(1), "0.4");
  vzsim::clearJournal();

  hl::closeDialog(panel);  // its close box closes it like its Close button
  EXPECT_EQ(options.openPanel(Section::Brightness), nullptr);
  vx::setPreview(camera, vx::NumericProperty::Brightness, 40.0f);
  EXPECT_EQ(propertyWrites(PropBrightness).size(), 1u);
}

TEST_F(UiTest, EveryHiddenSectionTogglesAPanelOfItsTemplate) {
  openWindow();
  state.model.redGainAvailable = state.model.blueGainAvailable = 1;
  for (const vx::SectionRow& row : vx::sectionTable()) {
    platform::Window panel = toggle(row.section);
    ASSERT_NE(panel, nullptr) << row.stem;
    EXPECT_EQ(hl::findDialog(row.templateId), panel) << row.stem;
    EXPECT_EQ(state.panel(row.section).panelOpen, 1) << row.stem;
    EXPECT_EQ(caption(row.section), std::string(row.stem) + " <<");
  }
  for (const vx::SectionRow& row : vx::sectionTable()) {
    toggle(row.section);
    EXPECT_EQ(options.place(row.section).panel, nullptr) << row.stem;
    EXPECT_EQ(state.panel(row.section).panelOpen, 0) << row.stem;
  }
}

TEST_F(UiTest, ForcedCloseDestroysEverythingWithoutReadingLocks) {
  openWindow();
  platform::Window panel = toggle(Section::Hue);
  hl::clickButton(options.optionsWindow, 1048);
  state.hue.locked = 0;
  platform::checkDlgButton(panel, vx::kNumericLock, platform::BST_CHECKED);
  const vx::PanelPlace hueBefore = options.place(Section::Hue);
  platform::Window window = options.optionsWindow;

  options.destroy();
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_EQ(state.hue.locked, 0);
  EXPECT_EQ(options.place(Section::Hue).positionX, hueBefore.positionX);
  for (const vx::PanelFlags& flags : state.panels) EXPECT_EQ(flags.panelOpen, 0);
}

TEST_F(UiTest, TheCameraSessionsCloseTakesTheWindowWithIt) {
  platform::Window window = openWindow();
  hl::clickButton(window, 1048);
  ASSERT_EQ(camera.close(), 1);
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_EQ(options.place(Section::Mirror).panel, nullptr);
}

TEST_F(UiTest, WindowDestroyedWithItsOwnerCanBeOpenedAgain) {
  platform::Window window = openWindow();
  hl::clickButton(window, 1048);
  platform::destroyWindow(host);
  EXPECT_FALSE(platform::isWindow(window));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_EQ(options.place(Section::Mirror).panel, nullptr);
  EXPECT_EQ(state.panel(Section::Mirror).panelOpen, 0);

  host = hl::createHostWindow("Host again", Rect{0, 0, 800, 600});
  state.hostWindow = host;
  openWindow();
  EXPECT_NE(options.optionsWindow, nullptr);
  EXPECT_TRUE(platform::isWindow(options.optionsWindow));
}
