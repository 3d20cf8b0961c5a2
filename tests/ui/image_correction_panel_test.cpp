// The Image Correction panel: light source and frequency, the dark frame and
// background grabs, and the two correction switches.
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

using vx::Section;

namespace {

const char* const kDarkPrompt =
    "                       Please close all lights to the camera and press OK.\n\nNOTE: If you "
    "change your preview or capture size, the dark frame will be deleted.";
const char* const kBackgroundPrompt =
    "                  Please place the camera towards the background and press OK. \n\nNOTE: If "
    "you change your preview or capture size, the background frame will be deleted.";

class CorrectionPanelTest : public UiTest {
 protected:
  platform::Window openPanel() {
    if (options.optionsWindow == nullptr) openWindow();
    return toggle(Section::ImageCorrection);
  }
  std::string text(platform::Window panel, int id) const { return hl::controlInfo(panel, id).text; }
  int checked(platform::Window panel, int id) const { return hl::controlInfo(panel, id).checked; }
  // Registrations still in place: successful adds less successful removals.
  static int registered(const char* add, const char* remove) {
    int count = 0;
    for (const auto& e : vzsim::journal()) {
      if (e.function == add && e.ok) ++count;
      if (e.function == remove && e.ok) --count;
    }
    return count;
  }
  static int streamingCallbacks() {
    return registered("VarcamAddStreamingCallback", "VarcamRemoveStreamingCallback");
  }
  static int rgbCallbacks() { return registered("VarcamAddRgbPreviewCallback", "VarcamRemoveRgbPreviewCallback"); }
};

} // namespace

TEST_F(CorrectionPanelTest, OpensWithTheStoredChoicesAndAppliesTheLightSource) {
  state.lightSource = 2;
  state.flickerMode = 1;
  options.backgroundChecked = 1;
  platform::Window panel = openPanel();
  ASSERT_NE(panel, nullptr);
  const hl::ControlInfo light = hl::controlInfo(panel, vx::kCorrectionLightSource);
  EXPECT_EQ(light.items,
            (std::vector<std::string>{"No correction", "Tungsten/Halogen", "Daylight", "Fluorescent"}));
  EXPECT_EQ(light.selection, 2);
  const hl::ControlInfo frequency = hl::controlInfo(panel, vx::kCorrectionFrequency);
  EXPECT_EQ(frequency.items, (std::vector<std::string>{"None / DC", "50 Hz", "60 Hz"}));
  EXPECT_EQ(frequency.selection, 1);
  EXPECT_EQ(checked(panel, vx::kCorrectionUseBackground), 1);
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 0);
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "No frame taken");
  EXPECT_EQ(text(panel, vx::kCorrectionBackgroundStatus), "No frame taken");
  const auto matrix = propertyWrites(PropCorrectionMatrix);
  ASSERT_EQ(matrix.size(), 1u);
  EXPECT_EQ(matrix[0].args[1], "2");  // daylight
  EXPECT_EQ(state.panel(Section::ImageCorrection).panelOpen, 1);
}

TEST_F(CorrectionPanelTest, StoredFramesShowInTheStatusTexts) {
  state.darkFrameStored = 1;
  state.backgroundStored = 1;
  platform::Window panel = openPanel();
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "Dark frame stored");
  EXPECT_EQ(text(panel, vx::kCorrectionBackgroundStatus), "Calculated.");
}

TEST_F(CorrectionPanelTest, SelectionsChangeLightSourceAndFrequencyAndCancelRestoresThem) {
  state.lightSource = 0;
  state.flickerMode = 0;
  platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::selectComboItem(panel, vx::kCorrectionLightSource, 1);
  EXPECT_EQ(state.lightSource, 1);
  ASSERT_EQ(propertyWrites(PropCorrectionMatrix).size(), 1u);
  EXPECT_EQ(propertyWrites(PropCorrectionMatrix)[0].args[1], "5");  // tungsten
  hl::selectComboItem(panel, vx::kCorrectionFrequency, 2);
  EXPECT_EQ(state.flickerMode, 2);

  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.lightSource, 0);
  EXPECT_EQ(state.flickerMode, 0);
  EXPECT_EQ(state.panel(Section::ImageCorrection).panelOpen, 0);
  EXPECT_EQ(caption(Section::ImageCorrection), "Image Correction >>");

  // Close keeps them.
  panel = openPanel();
  hl::selectComboItem(panel, vx::kCorrectionLightSource, 3);
  hl::clickButton(panel, vx::kPanelClose);
  EXPECT_EQ(state.lightSource, 3);
}

TEST_F(CorrectionPanelTest, DarkFrameNeedsTheRunningPreview) {
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionUseDark);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "In order to take the dark frame, the preview needs to be running.");
  EXPECT_EQ(boxes[0].caption, "VARCAM - Dark Frame Subtraction");
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 0);
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(streamingCallbacks(), 0);

  hl::clearMessageBoxes();
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "In order to take the background, the preview needs to be running.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM - Background Correction");
  EXPECT_EQ(checked(panel, vx::kCorrectionUseBackground), 0);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
}

TEST_F(CorrectionPanelTest, GrabsAskFirstAndCancelTakesNothing) {
  startPreview();
  platform::Window panel = openPanel();
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  hl::clickButton(panel, vx::kCorrectionGrabDark);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, kDarkPrompt);
  EXPECT_EQ(hl::messageBoxes()[0].caption, "Dark Frame Subtraction");
  EXPECT_EQ(hl::messageBoxes()[0].type & 0xF, platform::MB_OKCANCEL);
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "No frame taken");
  EXPECT_EQ(state.darkFrameStored, 0);
  EXPECT_TRUE(calls("VarcamTakeVideo").empty());

  hl::clearMessageBoxes();
  hl::clickButton(panel, vx::kCorrectionGrabDark);  // OK
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "Dark frame stored");
  EXPECT_EQ(state.darkFrameStored, 1);

  hl::clearMessageBoxes();
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  hl::clickButton(panel, vx::kCorrectionGrabBackground);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, kBackgroundPrompt);
  EXPECT_EQ(hl::messageBoxes()[0].caption, "Background Correction");
  EXPECT_EQ(text(panel, vx::kCorrectionBackgroundStatus), "No frame taken");
  hl::clickButton(panel, vx::kCorrectionGrabBackground);
  EXPECT_EQ(text(panel, vx::kCorrectionBackgroundStatus), "Calculated.");
  EXPECT_EQ(state.backgroundStored, 1);
}

TEST_F(CorrectionPanelTest, CheckingDarkSubtractionGrabsThenRegistersOneCallback) {
  startPreview();
  platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kCorrectionUseDark);
  EXPECT_EQ(hl::messageBoxes().size(), 1u);  // the prompt, answered OK
  EXPECT_EQ(state.darkFrameStored, 1);
  EXPECT_EQ(text(panel, vx::kCorrectionDarkStatus), "Dark frame stored");
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 1);
  EXPECT_EQ(state.darkSubtractionOn, 1);
  EXPECT_NE(camera.darkCallbackId, -1);
  EXPECT_EQ(streamingCallbacks(), 1);

  hl::clickButton(panel, vx::kCorrectionUseDark);
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(camera.darkCallbackId, -1);
  EXPECT_EQ(streamingCallbacks(), 0);
}

TEST_F(CorrectionPanelTest, DarkSubtractionRefusedInThePromptLeavesTheBoxUnchecked) {
  startPreview();
  platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  hl::clickButton(panel, vx::kCorrectionUseDark);
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 0);
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(streamingCallbacks(), 0);
}

TEST_F(CorrectionPanelTest, BackgroundCorrectionRegistersForTheRgbPreviewFormat) {
  startPreview();
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionGrabBackground);
  ASSERT_EQ(state.backgroundStored, 1);
  vzsim::clearJournal();
  hl::clearMessageBoxes();

  hl::clickButton(panel, vx::kCorrectionUseBackground);
  EXPECT_TRUE(hl::messageBoxes().empty());  // stored already: no new grab
  const auto adds = calls("VarcamAddRgbPreviewCallback");
  ASSERT_EQ(adds.size(), 1u);
  EXPECT_EQ(adds[0].args.back(), "2");
  EXPECT_EQ(state.backgroundCorrectionOn, 1);
  EXPECT_EQ(rgbCallbacks(), 1);

  hl::clickButton(panel, vx::kCorrectionUseBackground);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
  EXPECT_EQ(rgbCallbacks(), 0);
}

TEST_F(CorrectionPanelTest, BackgroundCorrectionWithAGreyPreviewRegistersNothing) {
  startPreview();
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionGrabBackground);
  ASSERT_TRUE(vzsim::setRgbPreviewFormat(1, VarcamRgbGrey8));
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  EXPECT_EQ(state.backgroundCorrectionOn, 1);
  EXPECT_TRUE(calls("VarcamAddRgbPreviewCallback").empty());
}

TEST_F(CorrectionPanelTest, AnUnreadablePixelFormatIsReported) {
  startPreview();
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionGrabBackground);
  hl::clearMessageBoxes();
  vzsim::failNext("VarcamQueryRgbPreviewPixelFormat", 1, 31);
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not get pixel format from camera");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "VARCAM-ERROR");
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
}

TEST_F(CorrectionPanelTest, CloseStoresTheBoxesAndCancelReturnsToTheLastClose) {
  startPreview();
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionUseDark);
  hl::clickButton(panel, vx::kPanelClose);
  EXPECT_EQ(options.darkFrameChecked, 1);
  EXPECT_EQ(options.backgroundChecked, 0);
  EXPECT_EQ(state.darkSubtractionOn, 1);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);

  panel = openPanel();
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 1);
  hl::clickButton(panel, vx::kCorrectionUseDark);  // off
  EXPECT_EQ(state.darkSubtractionOn, 0);
  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_EQ(options.darkFrameChecked, 1);
  EXPECT_EQ(state.darkSubtractionOn, 1);

  // The close box is Close.
  panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionUseDark);
  hl::closeDialog(panel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(options.darkFrameChecked, 0);
  EXPECT_EQ(state.darkSubtractionOn, 0);
}

TEST_F(CorrectionPanelTest, ACallbackLeftByCancelIsNotRegisteredTwice) {
  startPreview();
  platform::Window panel = openPanel();
  vzsim::clearJournal();
  hl::clickButton(panel, vx::kCorrectionUseDark);
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  hl::clickButton(panel, vx::kPanelCancel);
  // Cancel switches back to the last Close (both off) and leaves the
  // callbacks registered.
  EXPECT_EQ(state.darkSubtractionOn, 0);
  EXPECT_EQ(state.backgroundCorrectionOn, 0);
  EXPECT_EQ(streamingCallbacks(), 1);
  EXPECT_EQ(rgbCallbacks(), 1);

  panel = openPanel();
  EXPECT_EQ(checked(panel, vx::kCorrectionUseDark), 0);
  hl::clickButton(panel, vx::kCorrectionUseDark);
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  EXPECT_EQ(state.darkSubtractionOn, 1);
  EXPECT_EQ(state.backgroundCorrectionOn, 1);
  EXPECT_EQ(streamingCallbacks(), 1);
  EXPECT_EQ(rgbCallbacks(), 1);

  hl::clickButton(panel, vx::kCorrectionUseDark);
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  EXPECT_EQ(streamingCallbacks(), 0);
  EXPECT_EQ(rgbCallbacks(), 0);
}

// The reminders, the grab prompts and the pixel-format failure belong to
// the panel, above the options window's parent.
TEST_F(CorrectionPanelTest, ItsMessagesBelongToThePanel) {
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kCorrectionGrabDark);        // preview stopped
  hl::clickButton(panel, vx::kCorrectionUseBackground);   // preview stopped, from the check box
  startPreview();
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  hl::clickButton(panel, vx::kCorrectionGrabDark);
  hl::clickButton(panel, vx::kCorrectionGrabBackground);  // OK: stored
  vzsim::failNext("VarcamQueryRgbPreviewPixelFormat", 1, 31);
  hl::clickButton(panel, vx::kCorrectionUseBackground);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[4].text, "Could not get pixel format from camera");
  for (const auto& box : boxes) EXPECT_EQ(box.owner, panel) << box.text;
}
