// The Overlay panel: bitmap files, the preview drawing switch, position and
// alpha settings, Close and Cancel.
#include "engines/preview_overlay.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "support/bmp_files.h"
#include "ui_fixture.h"

using vx::Section;

namespace {

class OverlayPanelTest : public UiTest {
 protected:
  platform::Window openPanel() {
    if (options.optionsWindow == nullptr) openWindow();
    return toggle(Section::Overlay);
  }
  // Presses "Open File" (overlay or alpha) and picks `path` in the dialog.
  static void pick(platform::Window panel, int button, const std::string& path) {
    hl::queueOpenFileAnswer(path);
    hl::clickButton(panel, button);
  }
  std::string text(platform::Window panel, int id) const { return hl::controlInfo(panel, id).text; }
  int checked(platform::Window panel, int id) const { return hl::controlInfo(panel, id).checked; }
  engines::PreviewOverlay& overlay() { return *camera.previewOverlay(); }

  vxtest::BmpFolder files;
};

} // namespace

TEST_F(OverlayPanelTest, OpensWithTheStoredSettings) {
  state.overlayOn = 1;
  state.overlayOnCapture = 1;
  state.overlayRow = 1;
  state.overlayColumn = 2;
  state.overlayFilePath.assign("c:\\pictures\\logo.bmp");
  state.alphaOn = 1;
  state.alphaFromValue = 0;
  state.alphaValue = 42.5f;
  state.alphaFilePath.assign("c:\\pictures\\alpha.bmp");
  platform::Window panel = openPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(checked(panel, vx::kOverlayUse), 1);
  EXPECT_EQ(checked(panel, vx::kOverlayOnPreview), 0);
  EXPECT_EQ(checked(panel, vx::kOverlayOnCapture), 1);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(checked(panel, vx::kOverlayPosition[r][c]), r == 1 && c == 2 ? 1 : 0) << r << c;
  EXPECT_EQ(text(panel, vx::kOverlayFileName), "c:\\pictures\\logo.bmp");
  EXPECT_EQ(checked(panel, vx::kOverlayUseAlpha), 1);
  EXPECT_EQ(checked(panel, vx::kOverlayAlphaValueRadio), 0);
  EXPECT_EQ(checked(panel, vx::kOverlayAlphaFromBitmap), 1);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaValue), "42.50");
  EXPECT_EQ(text(panel, vx::kOverlayAlphaFileName), "c:\\pictures\\alpha.bmp");
  EXPECT_EQ(state.panel(Section::Overlay).panelOpen, 1);
}

TEST_F(OverlayPanelTest, APositionOutsideTheGridChecksNoRadio) {
  state.overlayRow = 5;
  state.overlayColumn = -1;
  platform::Window panel = openPanel();
  ASSERT_NE(panel, nullptr);
  for (const auto& row : vx::kOverlayPosition)
    for (int id : row) EXPECT_EQ(checked(panel, id), 0);
  hl::clickButton(panel, vx::kPanelClose);
  EXPECT_EQ(state.overlayRow, 5);  // no radio checked: unchanged
  EXPECT_EQ(state.overlayColumn, -1);
}

TEST_F(OverlayPanelTest, OverlayFileIsChosenAndLoaded) {
  platform::Window panel = openPanel();
  const std::string path = files.writeSolid("logo.bmp", 8, 4);
  pick(panel, vx::kOverlayOpenFile, path);
  const auto requests = hl::openFileRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].owner, panel);
  EXPECT_EQ(requests[0].title, "Open bitmap overlay file");
  EXPECT_EQ(requests[0].filter, "bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*");
  EXPECT_EQ(requests[0].initialDirectory, "c:\\GARBAGE\\");
  EXPECT_NE(requests[0].flags & platform::OFN_FILEMUSTEXIST, 0u);
  EXPECT_TRUE(overlay().overlayLoaded());
  EXPECT_EQ(overlay().overlayWidth(), 8);
  EXPECT_EQ(text(panel, vx::kOverlayFileName), path);
  EXPECT_EQ(std::string(state.overlayFilePath.c_str()), path);
}

TEST_F(OverlayPanelTest, RejectedOrCancelledFilesLeaveNoName) {
  platform::Window panel = openPanel();
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("narrow.bmp", 30, 4));  // width not a multiple of 4
  EXPECT_EQ(text(panel, vx::kOverlayFileName), "");
  EXPECT_TRUE(state.overlayFilePath.empty());
  EXPECT_FALSE(overlay().overlayLoaded());

  const std::string good = files.writeSolid("good.bmp", 8, 4);
  pick(panel, vx::kOverlayOpenFile, good);
  hl::queueOpenFileAnswer(std::nullopt);  // Cancel
  hl::clickButton(panel, vx::kOverlayOpenFile);
  EXPECT_EQ(text(panel, vx::kOverlayFileName), good);

  pick(panel, vx::kOverlayOpenAlphaFile, files.writeSolid("alpha16.bmp", 8, 4, 1, 2, 3, 16));
  EXPECT_EQ(text(panel, vx::kOverlayAlphaFileName), "");
  EXPECT_TRUE(hl::messageBoxes().empty());
}

TEST_F(OverlayPanelTest, AlphaBitmapOfAnotherSizeIsRefused) {
  platform::Window panel = openPanel();
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("logo.bmp", 8, 4));
  pick(panel, vx::kOverlayOpenAlphaFile, files.writeSolid("alpha.bmp", 12, 4));
  const auto requests = hl::openFileRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].title, "Open alpha blending bitmap file");
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The alpha blending file size does not match with the overlay file size.");
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].owner, panel);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaFileName), "Invalid file.");
  EXPECT_EQ(std::string(state.alphaFilePath.c_str()), "Invalid file.");
  EXPECT_EQ(overlay().setAlphaMode(0), 0);  // no usable alpha bitmap
}

TEST_F(OverlayPanelTest, AnOverlayThatNoLongerMatchesTheAlphaBitmapMarksTheAlphaInvalid) {
  platform::Window panel = openPanel();
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("logo.bmp", 8, 4));
  const std::string alpha = files.writeSolid("alpha.bmp", 8, 4);
  pick(panel, vx::kOverlayOpenAlphaFile, alpha);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaFileName), alpha);
  const std::string bigger = files.writeSolid("bigger.bmp", 16, 4);
  pick(panel, vx::kOverlayOpenFile, bigger);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaFileName), "Invalid file.");
  EXPECT_EQ(text(panel, vx::kOverlayFileName), bigger);
}

TEST_F(OverlayPanelTest, PreviewDrawingFollowsUseAndOnPreview) {
  startPreview();
  platform::Window panel = openPanel();
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("logo.bmp", 8, 4));
  hl::clickButton(panel, vx::kOverlayOnPreview);
  EXPECT_EQ(state.overlayOnPreview, 1);
  EXPECT_FALSE(overlay().registered());  // "Use bitmap overlay" still unchecked

  hl::clickButton(panel, vx::kOverlayUse);
  EXPECT_EQ(state.overlayOn, 1);
  EXPECT_TRUE(overlay().registered());
  EXPECT_EQ(calls("VarcamAddRgbPreviewCallback").size(), 1u);

  hl::clickButton(panel, vx::kOverlayOnCapture);
  EXPECT_EQ(state.overlayOnCapture, 1);
  EXPECT_TRUE(overlay().registered());
  EXPECT_EQ(calls("VarcamAddRgbPreviewCallback").size(), 1u);

  hl::clickButton(panel, vx::kOverlayUse);
  EXPECT_FALSE(overlay().registered());
  EXPECT_EQ(calls("VarcamRemoveRgbPreviewCallback").size(), 1u);
}

TEST_F(OverlayPanelTest, AppliedAlphaValueIsHeldBetweenZeroAndHundred) {
  platform::Window panel = openPanel();
  hl::typeText(panel, vx::kOverlayAlphaValue, "250");
  hl::clickButton(panel, vx::kOverlayApply);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaValue), "100.00");
  EXPECT_FLOAT_EQ(state.alphaValue, 100.0f);
  EXPECT_FLOAT_EQ(overlay().opacityPercent(), 100.0f);

  hl::typeText(panel, vx::kOverlayAlphaValue, "-5");
  hl::clickButton(panel, vx::kOverlayApply);
  EXPECT_EQ(text(panel, vx::kOverlayAlphaValue), "0.00");
  EXPECT_FLOAT_EQ(overlay().opacityPercent(), 0.0f);

  hl::typeText(panel, vx::kOverlayAlphaValue, "37.25");
  hl::clickButton(panel, vx::kOverlayApply);
  EXPECT_FLOAT_EQ(overlay().opacityPercent(), 37.25f);

  // Text that is not a number keeps the value in force.
  for (const char* bad : {"abc", "nan", ""}) {
    hl::typeText(panel, vx::kOverlayAlphaValue, bad);
    hl::clickButton(panel, vx::kOverlayApply);
    EXPECT_EQ(text(panel, vx::kOverlayAlphaValue), "37.25") << bad;
    EXPECT_FLOAT_EQ(state.alphaValue, 37.25f) << bad;
  }
}

TEST_F(OverlayPanelTest, PositionRadiosPlaceTheOverlay) {
  platform::Window panel = openPanel();
  hl::clickButton(panel, 1067);
  EXPECT_EQ(state.overlayRow, 1);
  EXPECT_EQ(state.overlayColumn, 2);
  EXPECT_EQ(overlay().horizontalMode(), 2);
  EXPECT_EQ(overlay().verticalMode(), 1);
  hl::clickButton(panel, 1068);
  EXPECT_EQ(state.overlayRow, 2);
  EXPECT_EQ(state.overlayColumn, 0);
  EXPECT_EQ(overlay().horizontalMode(), 0);
  EXPECT_EQ(overlay().verticalMode(), 2);
  EXPECT_EQ(checked(panel, 1067), 0);  // one group
}

TEST_F(OverlayPanelTest, AlphaSwitchesChooseTheOpacitySource) {
  platform::Window panel = openPanel();
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("logo.bmp", 8, 4));
  pick(panel, vx::kOverlayOpenAlphaFile, files.writeSolid("alpha.bmp", 8, 4));
  hl::clickButton(panel, vx::kOverlayAlphaValueRadio);
  EXPECT_EQ(state.alphaFromValue, 1);
  EXPECT_FALSE(overlay().blendOn());  // "Use alpha blending" unchecked

  hl::clickButton(panel, vx::kOverlayUseAlpha);
  EXPECT_EQ(state.alphaOn, 1);
  EXPECT_TRUE(overlay().blendOn());
  EXPECT_FALSE(overlay().alphaFromBitmap());

  hl::clickButton(panel, vx::kOverlayAlphaFromBitmap);
  EXPECT_EQ(checked(panel, vx::kOverlayAlphaValueRadio), 0);
  EXPECT_EQ(state.alphaFromValue, 0);
  EXPECT_TRUE(overlay().alphaFromBitmap());

  hl::clickButton(panel, vx::kOverlayUseAlpha);
  EXPECT_EQ(state.alphaOn, 0);
  EXPECT_FALSE(overlay().blendOn());
}

TEST_F(OverlayPanelTest, CloseTakesTheControlsAsTheSettings) {
  platform::Window panel = openPanel();
  hl::clickButton(panel, 1069);
  hl::clickButton(panel, vx::kOverlayOnCapture);
  hl::clickButton(panel, vx::kOverlayUseAlpha);
  hl::clickButton(panel, vx::kOverlayAlphaValueRadio);
  hl::typeText(panel, vx::kOverlayAlphaValue, "250");  // not applied
  // A path longer than 100 characters survives the round trip through the
  // panel's static.
  const std::string longName = std::string(150, 'a') + ".bmp";
  const std::string path = files.writeSolid(longName, 8, 4);
  pick(panel, vx::kOverlayOpenFile, path);
  ASSERT_EQ(text(panel, vx::kOverlayFileName), path);
  platform::setWindowPos(panel, nullptr, 12, 34, 0, 0, platform::SWP_NOSIZE);

  hl::clickButton(panel, vx::kPanelClose);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.overlayRow, 2);
  EXPECT_EQ(state.overlayColumn, 1);
  EXPECT_EQ(state.overlayOnCapture, 1);
  EXPECT_EQ(state.alphaOn, 1);
  EXPECT_EQ(state.alphaFromValue, 1);
  EXPECT_FLOAT_EQ(state.alphaValue, 250.0f);  // stored as typed
  EXPECT_FLOAT_EQ(overlay().opacityPercent(), 100.0f);  // nothing sent
  EXPECT_EQ(std::string(state.overlayFilePath.c_str()), path);
  EXPECT_EQ(options.place(Section::Overlay).positionX, 12);
  EXPECT_EQ(options.place(Section::Overlay).positionY, 34);
  EXPECT_EQ(state.panel(Section::Overlay).panelOpen, 0);
  EXPECT_EQ(caption(Section::Overlay), "Overlay >>");
}

TEST_F(OverlayPanelTest, CancelRestoresTheSettingsOfTheOpening) {
  state.overlayRow = 0;
  state.overlayColumn = 0;
  state.alphaValue = 80.0f;
  state.overlayFilePath.assign("old.bmp");
  platform::Window panel = openPanel();
  hl::clickButton(panel, vx::kOverlayUse);
  hl::clickButton(panel, 1070);
  hl::clickButton(panel, vx::kOverlayUseAlpha);
  hl::typeText(panel, vx::kOverlayAlphaValue, "10");
  hl::clickButton(panel, vx::kOverlayApply);
  pick(panel, vx::kOverlayOpenFile, files.writeSolid("new.bmp", 8, 4));

  hl::clickButton(panel, vx::kPanelCancel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(state.overlayOn, 0);
  EXPECT_EQ(state.overlayRow, 0);
  EXPECT_EQ(state.overlayColumn, 0);
  EXPECT_EQ(state.alphaOn, 0);
  EXPECT_FLOAT_EQ(state.alphaValue, 80.0f);
  EXPECT_EQ(std::string(state.overlayFilePath.c_str()), "old.bmp");
  // The overlay object keeps what the panel set.
  EXPECT_FLOAT_EQ(overlay().opacityPercent(), 10.0f);
  EXPECT_EQ(overlay().horizontalMode(), 2);
  EXPECT_EQ(caption(Section::Overlay), "Overlay >>");
}
