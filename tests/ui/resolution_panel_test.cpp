// The resolution panel driven as a user drives it: the three mode lists,
// the custom preview size held to the model's steps, offsets, the window
// size and the sampling of each axis.
#include "engines/resolution_table.h"
#include "resolution_panel.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

#include <string>

using vx::Section;

namespace {

class ResolutionPanelTest : public UiTest {
 protected:
  platform::Window openPanel() {
    if (options.optionsWindow == nullptr) openWindow();
    return toggle(Section::Resolution);
  }
  const engines::ResolutionTable& table() const { return *camera.resolutionTable(); }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static int checked(platform::Window panel, int id) { return hl::controlInfo(panel, id).checked; }
  // The index of the first preview mode that passes `match`, or -1.
  template <class Match>
  int previewModeWhere(Match match) const {
    for (int i = 0; i < table().previewCount; ++i)
      if (match(table().previewModes[static_cast<std::size_t>(i)])) return i;
    return -1;
  }
};

TEST(PreviewExtent, HeldWithinTheSensorRaisedToTheMinimumAndRoundedToTheStep) {
  EXPECT_EQ(vx::roundPreviewExtent(1000, 1280, 160, 8), 1000);  // remainder 0
  EXPECT_EQ(vx::roundPreviewExtent(1005, 1280, 160, 8), 1008);  // 5 > 4: up
  EXPECT_EQ(vx::roundPreviewExtent(1004, 1280, 160, 8), 1000);  // 4 is not above 4: down
  EXPECT_EQ(vx::roundPreviewExtent(100, 1280, 160, 8), 160);
  EXPECT_EQ(vx::roundPreviewExtent(5000, 1024, 120, 8), 1024);
  EXPECT_EQ(vx::roundPreviewExtent(1010, 2080, 160, 32), 1024);  // 1010 = 31 * 32 + 18, 18 > 16
  EXPECT_EQ(vx::roundPreviewExtent(1000, 2080, 160, 32), 992);   // 1000 = 31 * 32 + 8
}

TEST_F(ResolutionPanelTest, OpensWithTheModelsListsAndTheCurrentGeometry) {
  state.display = vx::DisplaySize{1, 400, 300};
  state.preview.offsetX = 8;
  const platform::Window panel = openPanel();
  ASSERT_NE(panel, nullptr);
  std::vector<std::string> previewNames, acquireNames;
  for (int i = 0; i < table().previewCount; ++i) previewNames.emplace_back(table().previewModes[static_cast<std::size_t>(i)].name);
  for (int i = 0; i < table().acquireCount; ++i) acquireNames.emplace_back(table().acquireModes[static_cast<std::size_t>(i)].name);
  EXPECT_EQ(hl::controlInfo(panel, vx::kResolutionPreviewList).items, previewNames);
  EXPECT_EQ(hl::controlInfo(panel, vx::kResolutionWindowList).items, previewNames);
  EXPECT_EQ(hl::controlInfo(panel, vx::kResolutionCaptureList).items, acquireNames);
  EXPECT_EQ(hl::controlInfo(panel, vx::kResolutionWindowList).selection, 1);
  EXPECT_EQ(hl::controlInfo(panel, vx::kResolutionPreviewList).selection, state.preview.index);
  EXPECT_EQ(text(panel, vx::kResolutionWindowWidth), "400");
  EXPECT_EQ(text(panel, vx::kResolutionWidth), std::to_string(state.preview.width));
  EXPECT_EQ(text(panel, vx::kResolutionOffsetX), "8");
  EXPECT_EQ(checked(panel, vx::kResolutionNoSamplingX), 1);  // the first mode is not reduced
  EXPECT_EQ(checked(panel, vx::kResolutionNoSamplingY), 1);
  EXPECT_EQ(text(panel, vx::kResolutionRatioX), "1");
  EXPECT_FALSE(hl::controlInfo(panel, vx::kResolutionKelvoLabel).visible);
  EXPECT_FALSE(hl::controlInfo(panel, vx::kResolutionKelvoRatio).visible);
  EXPECT_FALSE(hl::controlInfo(panel, vx::kPanelCancel).exists);
  EXPECT_EQ(state.panel(Section::Resolution).panelOpen, 1);

  hl::closeDialog(panel);  // the close box closes it as Close does
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.panel(Section::Resolution).panelOpen, 0);
  EXPECT_EQ(caption(Section::Resolution), "Resolution >>");
}

// Width 1005 with step 8 becomes 1008 and 1004 becomes 1000; 100 is raised
// to 160 and a height of 5000 held to the sensor's 1024. The camera gets
// each size at once and the fields show what was stored.
TEST_F(ResolutionPanelTest, TypedSizeIsHeldToTheModelsSteps) {
  ASSERT_EQ(camera.sensorMaxWidth, 1280);
  ASSERT_EQ(camera.sensorMaxHeight, 1024);
  ASSERT_EQ(state.model.roiWidthStep, 8);
  startPreview();
  const platform::Window panel = openPanel();
  struct Case {
    const char* width;
    const char* height;
    int expectedWidth, expectedHeight;
  } cases[] = {{"1005", "600", 1008, 600}, {"1004", "5000", 1000, 1024}, {"100", "100", 160, 120}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    hl::typeText(panel, vx::kResolutionWidth, c.width);
    hl::typeText(panel, vx::kResolutionHeight, c.height);
    hl::clickButton(panel, vx::kResolutionApplySize);
    EXPECT_EQ(state.preview.width, c.expectedWidth);
    EXPECT_EQ(state.preview.height, c.expectedHeight);
    EXPECT_EQ(text(panel, vx::kResolutionWidth), std::to_string(c.expectedWidth));
    EXPECT_EQ(text(panel, vx::kResolutionHeight), std::to_string(c.expectedHeight));
    EXPECT_EQ(vzsim::currentFormat(1).width, static_cast<std::uint32_t>(c.expectedWidth));
    EXPECT_EQ(vzsim::currentFormat(1).height, static_cast<std::uint32_t>(c.expectedHeight));
    EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
  }
  // An empty field keeps the stored size.
  hl::typeText(panel, vx::kResolutionWidth, "");
  hl::clickButton(panel, vx::kResolutionApplySize);
  EXPECT_EQ(state.preview.width, 160);
  EXPECT_TRUE(hl::messageBoxes().empty());
}

// A binned mode checks "Binning" with its factor in the ratio field; the
// vertical "No sampling" then sets factor 1 and keeps the binning flag.
TEST_F(ResolutionPanelTest, SamplingFollowsTheModeAndTheRadios) {
  ASSERT_EQ(camera.close(), 1);
  attach({vzsim::defaultModel(384)});
  ASSERT_EQ(openCamera(), 1);
  const int binned = previewModeWhere([](const engines::ResolutionMode& m) { return m.factorX == 2 && m.binningX != 0; });
  ASSERT_GE(binned, 0);
  const platform::Window panel = openPanel();
  hl::selectComboItem(panel, vx::kResolutionPreviewList, binned);
  EXPECT_EQ(state.preview.index, binned);
  EXPECT_EQ(state.preview.factorX, 2);
  EXPECT_EQ(state.preview.binningY, 1);
  EXPECT_EQ(checked(panel, vx::kResolutionBinningX), 1);
  EXPECT_EQ(checked(panel, vx::kResolutionNoSamplingX), 0);
  EXPECT_EQ(checked(panel, vx::kResolutionSubsamplingX), 0);
  EXPECT_EQ(text(panel, vx::kResolutionRatioX), "2");
  EXPECT_EQ(checked(panel, vx::kResolutionBinningY), 1);
  EXPECT_EQ(vzsim::currentFormat(1).factorX, 2);
  EXPECT_EQ(vzsim::currentFormat(1).flagsX, 1);

  hl::clickButton(panel, vx::kResolutionNoSamplingY);
  EXPECT_EQ(state.preview.factorY, 1);
  EXPECT_EQ(state.preview.binningY, 1);
  EXPECT_EQ(checked(panel, vx::kResolutionNoSamplingY), 1);
  EXPECT_EQ(checked(panel, vx::kResolutionBinningY), 0);
  EXPECT_EQ(checked(panel, vx::kResolutionBinningX), 1) << "the other axis is a group of its own";
  EXPECT_EQ(vzsim::currentFormat(1).factorY, 1);

  // Subsampling by a typed ratio (3: the window no longer fits the sensor,
  // and the camera refuses it), then by 2.
  hl::typeComboText(panel, vx::kResolutionRatioX, "3");
  hl::clickButton(panel, vx::kResolutionSubsamplingX);
  EXPECT_EQ(state.preview.factorX, 3);
  EXPECT_EQ(state.preview.binningX, 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text.rfind("Could not set format: ", 0), 0u);
  hl::typeComboText(panel, vx::kResolutionRatioX, "2");
  hl::clickButton(panel, vx::kResolutionSubsamplingX);
  EXPECT_EQ(vzsim::currentFormat(1).factorX, 2);
  EXPECT_EQ(vzsim::currentFormat(1).flagsX, 0) << "subsampled, not binned";
}

// A capture mode is stored for the next snapshot; the running preview is
// left as it is.
TEST_F(ResolutionPanelTest, CaptureModeLeavesThePreviewAlone) {
  startPreview();
  const platform::Window panel = openPanel();
  const int last = table().acquireCount - 1;
  ASSERT_GT(last, 0);
  const engines::ResolutionMode& mode = table().acquireModes[static_cast<std::size_t>(last)];
  vzsim::clearJournal();
  hl::clearWindowOperations();
  hl::selectComboItem(panel, vx::kResolutionCaptureList, last);
  EXPECT_EQ(state.acquisition.index, last);
  EXPECT_EQ(state.acquisition.width, mode.width);
  EXPECT_EQ(state.acquisition.selectedHeight, mode.height);
  EXPECT_EQ(state.acquisition.factorX, mode.factorX);
  EXPECT_TRUE(vxtest::sdkCalls().empty());
  EXPECT_TRUE(hl::windowOperations().empty());
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
}

// The window's mode gives the display size (mode size over its factors);
// offsets are put back onto the sensor by the restart and shown as kept.
TEST_F(ResolutionPanelTest, WindowModeAndOffsets) {
  startPreview();
  const platform::Window panel = openPanel();
  const int reduced = previewModeWhere([](const engines::ResolutionMode& m) { return m.factorX == 2; });
  ASSERT_GE(reduced, 0);
  const engines::ResolutionMode& mode = table().previewModes[static_cast<std::size_t>(reduced)];
  hl::selectComboItem(panel, vx::kResolutionWindowList, reduced);
  EXPECT_EQ(state.display.index, reduced);
  EXPECT_EQ(state.display.width, mode.width / 2);
  EXPECT_EQ(text(panel, vx::kResolutionWindowHeight), std::to_string(mode.height / 2));
  EXPECT_EQ(hl::windowInfo(previewWindow).clientRect.right, mode.width / 2);

  hl::typeText(panel, vx::kResolutionWidth, "640");
  hl::typeText(panel, vx::kResolutionHeight, "480");
  hl::clickButton(panel, vx::kResolutionApplySize);
  hl::typeText(panel, vx::kResolutionOffsetX, "5000");
  hl::typeText(panel, vx::kResolutionOffsetY, "16");
  hl::clickButton(panel, vx::kResolutionApplyOffsets);
  EXPECT_EQ(state.preview.offsetX, 1280 - 640);
  EXPECT_EQ(text(panel, vx::kResolutionOffsetX), "640");
  EXPECT_EQ(vzsim::currentFormat(1).offsetY, 16u);

  hl::typeText(panel, vx::kResolutionWindowWidth, "500");
  hl::clickButton(panel, vx::kResolutionApplyWindow);
  EXPECT_EQ(state.display.width, 500);
  EXPECT_EQ(hl::windowInfo(previewWindow).clientRect.right, 500);
}

} // namespace
