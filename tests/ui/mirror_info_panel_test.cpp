// The Mirror and Camera Information panels.
#include "camera/property_accessors.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui_fixture.h"

using vx::Section;

namespace {

class MirrorPanelTest : public UiTest {
 protected:
  platform::Window openMirror() {
    openWindow();
    hl::clickButton(options.optionsWindow, 1048);
    return options.place(Section::Mirror).panel;
  }
  static float cameraFlipping() { return vzsim::propertyValue(1, PropFlipping).value_or(-1.0f); }
};

} // namespace

TEST_F(MirrorPanelTest, OpensWithTheCameraFlippingAndWritesItBack) {
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropFlipping, 2.0f));
  state.mirrorHorizontal = 1;
  platform::Window panel = openMirror();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(hl::controlInfo(panel, vx::kMirrorHorizontal).checked, 0);
  EXPECT_EQ(hl::controlInfo(panel, vx::kMirrorVertical).checked, 1);
  EXPECT_EQ(state.mirrorHorizontal, 0);
  EXPECT_EQ(state.mirrorVertical, 1);
  const auto writes = propertyWrites(PropFlipping);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].args[1], "2");
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Flipping retreived from camera."));
  EXPECT_TRUE(logged("PIXORA QUORVEL DRIVER: Image Flipped in camera."));
  EXPECT_EQ(state.panel(Section::Mirror).panelOpen, 1);
}

TEST_F(MirrorPanelTest, CheckBoxesFlipTheCamera) {
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropFlipping, 2.0f));
  platform::Window panel = openMirror();
  hl::clickButton(panel, vx::kMirrorHorizontal);
  EXPECT_EQ(state.mirrorHorizontal, 1);
  EXPECT_FLOAT_EQ(cameraFlipping(), 3.0f);
  hl::clickButton(panel, vx::kMirrorVertical);
  EXPECT_FLOAT_EQ(cameraFlipping(), 1.0f);
  hl::clickButton(panel, vx::kMirrorHorizontal);
  EXPECT_EQ(state.mirrorHorizontal, 0);
  EXPECT_EQ(state.mirrorVertical, 0);
  EXPECT_FLOAT_EQ(cameraFlipping(), 0.0f);
}

TEST_F(MirrorPanelTest, AFailedReadLeavesFlagsCameraAndBoxesAlone) {
  ASSERT_TRUE(vzsim::setPropertyValue(1, PropFlipping, 3.0f));
  state.mirrorHorizontal = 1;
  state.mirrorVertical = 0;
  vzsim::failNext("VarcamGetProperty", 1, 31, PropFlipping);
  platform::Window panel = openMirror();
  ASSERT_NE(panel, nullptr);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Could not get Flipping: 31");
  EXPECT_EQ(boxes[0].caption, "ERROR");
  EXPECT_EQ(boxes[0].owner, host);
  EXPECT_EQ(hl::controlInfo(panel, vx::kMirrorHorizontal).checked, 0);
  EXPECT_EQ(hl::controlInfo(panel, vx::kMirrorVertical).checked, 0);
  EXPECT_EQ(state.mirrorHorizontal, 1);
  EXPECT_TRUE(propertyWrites(PropFlipping).empty());
  EXPECT_FLOAT_EQ(cameraFlipping(), 3.0f);
  EXPECT_EQ(state.panel(Section::Mirror).panelOpen, 1);
}

TEST_F(MirrorPanelTest, ARefusedWriteIsReported) {
  platform::Window panel = openMirror();
  hl::clearMessageBoxes();
  vzsim::failNext("VarcamSetProperty", 1, 1460, PropFlipping);
  hl::clickButton(panel, vx::kMirrorVertical);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not set Flipping: 1460");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(state.mirrorVertical, 1);
}

TEST_F(MirrorPanelTest, CloseAndCloseBoxRememberThePositionAndResetTheCaption) {
  platform::Window panel = openMirror();
  platform::setWindowPos(panel, nullptr, 640, 320, 0, 0, platform::SWP_NOSIZE);
  hl::closeDialog(panel);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(options.place(Section::Mirror).positionX, 640);
  EXPECT_EQ(options.place(Section::Mirror).positionY, 320);
  EXPECT_EQ(state.panel(Section::Mirror).panelOpen, 0);
  EXPECT_EQ(caption(Section::Mirror), "Mirror >>");
}

TEST_F(UiTest, CameraInformationShowsTheIdentifiedTexts) {
  openWindow();
  hl::clickButton(options.optionsWindow, 1051);
  platform::Window panel = options.place(Section::CameraInfo).panel;
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoModel).text, "Model 02");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoSerial).text, "1001601");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoApiVersion).text, "1.2.3.4");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoDriverVersion).text, "2.1.0.7");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoFirmwareVersion).text, "1.5");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoFpgaVersion).text, "2.3");
  EXPECT_EQ(hl::controlInfo(panel, 1101).text, "Camera Model: ");
  EXPECT_EQ(hl::controlInfo(panel, 1111).text, "Firmware 1 Version: ");
  // The texts are for reading: the user cannot type over them.
  for (int id : {vx::kInfoModel, vx::kInfoSerial, vx::kInfoApiVersion, vx::kInfoDriverVersion,
                 vx::kInfoFirmwareVersion, vx::kInfoFpgaVersion}) {
    hl::typeText(panel, id, "9");
  }
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoModel).text, "Model 02");
  EXPECT_EQ(hl::controlInfo(panel, vx::kInfoFpgaVersion).text, "2.3");

  platform::setWindowPos(panel, nullptr, 50, 60, 0, 0, platform::SWP_NOSIZE);
  hl::clickButton(panel, vx::kPanelClose);
  EXPECT_FALSE(platform::isWindow(panel));
  EXPECT_EQ(options.place(Section::CameraInfo).positionX, 50);
  EXPECT_EQ(options.place(Section::CameraInfo).positionY, 60);
  EXPECT_EQ(caption(Section::CameraInfo), "Camera Info >>");
}

// A refused flip is told to the window the options window belongs to
// (here not the host's registered window), from the panel and from the
// host's mirror command alike.
TEST_F(MirrorPanelTest, RefusedFlipIsToldToTheOptionsWindowsParent) {
  const platform::Window parent = hl::createHostWindow("Parent", platform::Rect{0, 0, 300, 200});
  options.open(parent, 10, 10);
  hl::clickButton(options.optionsWindow, 1048);
  const platform::Window panel = options.place(Section::Mirror).panel;
  hl::clearMessageBoxes();
  vzsim::failNext("VarcamSetProperty", 2, 31, PropFlipping);
  hl::clickButton(panel, vx::kMirrorHorizontal);
  hl::clickButton(options.optionsWindow, 1048);  // closed: the command writes the camera itself
  EXPECT_EQ(vx::setMirror(camera, 0, 1), 0);
  const auto boxes = hl::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Could not set Flipping: 31");
    EXPECT_EQ(box.owner, parent);
  }
}
