// Finding, choosing, opening and closing the camera.
#include "camera_fixture.h"

#include "camera/preview_stream.h"
#include "engines/exposure_controller.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"

#include <memory>

namespace {

using namespace camtest;
using Session = CameraTest;
namespace hl = platform::headless;

constexpr int kChoiceTemplate = 106;
constexpr int kChoiceList = 1109;

TEST_F(Session, OneCameraOpensTheFirstWithoutAsking) {
  ASSERT_EQ(open(true), 1);
  EXPECT_TRUE(hl::dialogsShown().empty());
  const Journal all = vzsim::journal();
  ASSERT_EQ(calls("VarcamCameraOpen", all).size(), 1u);
  EXPECT_EQ(calls("VarcamCameraOpen", all)[0].args.at(0), "1");
  EXPECT_TRUE(logged("Opening Camera Controller..."));
  EXPECT_TRUE(logged("PIXORA DRIVER: Varnex camera found.!/n"));
  EXPECT_NE(camera.handle(), nullptr);
  EXPECT_EQ(camera.cameraCount, 1);
  ASSERT_NE(camera.exposureController(), nullptr);
  ASSERT_NE(camera.resolutionTable(), nullptr);
  ASSERT_NE(camera.previewOverlay(), nullptr);
  // The starting geometry gave way to the first mode of camera 160.
  EXPECT_EQ(state.preview.width, 1280);
  EXPECT_EQ(state.preview.height, 1024);
  EXPECT_EQ(state.preview.offsetX, 0);
  EXPECT_EQ(state.previewRunning, 0);
}

TEST_F(Session, SeveralCamerasAskAndOpenTheChosenOne) {
  attach({vzsim::defaultModel(160), vzsim::defaultModel(141)});
  std::vector<std::string> listed;
  hl::setDialogScript(kChoiceTemplate, [&](platform::Window dialog) {
    listed = hl::controlInfo(dialog, kChoiceList).items;
    EXPECT_EQ(hl::controlInfo(dialog, kChoiceList).selection, 0);
    hl::selectComboItem(dialog, kChoiceList, 1);
    hl::clickButton(dialog, platform::IDOK);
  });
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(listed, (std::vector<std::string>{"1001601", "1001411"}));
  EXPECT_EQ(camera.chosenCameraIndex, 2);
  EXPECT_TRUE(logged("Choice index: 2"));
  EXPECT_TRUE(logged("index: 2"));
  ASSERT_EQ(calls("VarcamCameraOpen").size(), 1u);
  EXPECT_EQ(calls("VarcamCameraOpen")[0].args.at(0), "2");
  EXPECT_EQ(state.model.cameraId, 141u);
  EXPECT_EQ(hl::dialogsShown().at(0).owner, state.hostWindow);
}

TEST_F(Session, ChoiceListTakesNoTypedText) {
  attach({vzsim::defaultModel(160), vzsim::defaultModel(141)});
  hl::setDialogScript(kChoiceTemplate, [&](platform::Window dialog) {
    hl::selectComboItem(dialog, kChoiceList, 1);
    hl::typeComboText(dialog, kChoiceList, "1009999");
    EXPECT_EQ(hl::controlInfo(dialog, kChoiceList).selection, 1);
    hl::clickButton(dialog, platform::IDOK);
  });
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(camera.chosenCameraIndex, 2);
  EXPECT_EQ(state.model.cameraId, 141u);
}

TEST_F(Session, CancelledChoiceStillOpensWithNoCamera) {
  attach({vzsim::defaultModel(160), vzsim::defaultModel(141)});
  hl::setDialogScript(kChoiceTemplate, [](platform::Window dialog) { hl::closeDialog(dialog); });
  ASSERT_EQ(open(true), 1);
  EXPECT_EQ(camera.chosenCameraIndex, -1);
  EXPECT_TRUE(logged("index: -1"));
  EXPECT_FALSE(logged("Choice index: -1"));
  EXPECT_EQ(calls("VarcamCameraOpen").at(0).args.at(0), "-1");
  EXPECT_EQ(camera.handle(), nullptr);
  // Identification reports its own failure against the missing camera.
  EXPECT_EQ(boxTexts().at(0), "Could not get camera ID: 6");
  EXPECT_EQ(camera.close(), 1);
  EXPECT_TRUE(calls("VarcamCameraClose").empty());
}

TEST_F(Session, NoCameraBuildsNothing) {
  attach({});
  EXPECT_EQ(open(true), 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "There are no Varnex cameras attached to the computer.");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_TRUE(calls("VarcamCameraOpen").empty());
  EXPECT_EQ(camera.exposureController(), nullptr);
  EXPECT_EQ(camera.resolutionTable(), nullptr);
  EXPECT_EQ(camera.previewOverlay(), nullptr);
}

// Ids 421 and 346 switch the auxiliary switches on after the model is known
// and off before anything else at close; other ids never touch them.
TEST_F(Session, AuxiliarySwitchesOnlyForTheirCameraIds) {
  for (std::uint32_t id : {421u, 346u, 160u}) {
    SCOPED_TRACE(id);
    attach({vzsim::defaultModel(id)});
    clearRecords();
    ASSERT_EQ(open(true), 1);
    const Journal opened = vzsim::journal();
    const bool aux = id != 160;
    const Journal on1 = writes(PropAuxSwitch1, opened), on2 = writes(PropAuxSwitch2, opened);
    ASSERT_EQ(on1.size(), aux ? 1u : 0u);
    ASSERT_EQ(on2.size(), aux ? 1u : 0u);
    if (aux) {
      EXPECT_EQ(on1[0].args, (std::vector<std::string>{"108", "0", "0x80000000"}));
      EXPECT_EQ(on2[0].args, (std::vector<std::string>{"118", "0", "0x80000000"}));
      EXPECT_LT(on1[0].sequence, on2[0].sequence);
      // After identification (its last write is the correction matrix).
      EXPECT_GT(on1[0].sequence, writes(PropCorrectionMatrix, opened).back().sequence);
      EXPECT_EQ(vzsim::propertyFlags(1, PropAuxSwitch2), 0x80000000u);
    }
    if (id == 346) {
      EXPECT_EQ(state.model.modelName, "Unknown model");
    }
    vzsim::clearJournal();
    ASSERT_EQ(camera.close(), 1);
    const Journal closed = vzsim::journal();
    const Journal off1 = writes(PropAuxSwitch1, closed), off2 = writes(PropAuxSwitch2, closed);
    ASSERT_EQ(off1.size(), aux ? 1u : 0u);
    if (aux) {
      EXPECT_EQ(off1[0].args, (std::vector<std::string>{"108", "0", "0x0"}));
      EXPECT_EQ(off2.at(0).args, (std::vector<std::string>{"118", "0", "0x0"}));
      EXPECT_LT(off2[0].sequence, calls("VarcamCameraClose", closed).at(0).sequence);
    }
  }
}

TEST_F(Session, RefusedAuxiliarySwitchIsOnlyLogged) {
  attach({vzsim::defaultModel(421)});
  vzsim::failNext("VarcamSetProperty", 1, 31, PropAuxSwitch1);
  EXPECT_EQ(open(true), 1);
  EXPECT_TRUE(logged("Error 31"));
  EXPECT_TRUE(boxTexts().empty());
}

TEST_F(Session, CloseReleasesEverythingInOrder) {
  ASSERT_EQ(open(), 1);
  auto dark = std::make_unique<vx::DarkFrame>();
  ASSERT_TRUE(dark->bytes.allocate(16));
  camera.corrections.replaceDark(std::move(dark));
  state.darkFrameStored = 1;
  options.optionsOpen = 1;
  options.optionsWindow = hl::createHostWindow("Options", {0, 0, 100, 100});

  ASSERT_EQ(camera.close(), 1);
  EXPECT_TRUE(logged("Closing camera Controller..."));
  EXPECT_EQ(camera.previewOverlay(), nullptr);
  EXPECT_EQ(camera.exposureController(), nullptr);
  EXPECT_EQ(camera.resolutionTable(), nullptr);
  EXPECT_FALSE(vzsim::isOpen(1));
  EXPECT_EQ(options.optionsOpen, 0);
  EXPECT_FALSE(hl::windowInfo(options.optionsWindow).exists);
  EXPECT_FALSE(camera.corrections.hasDark());
  EXPECT_EQ(state.darkFrameStored, 0);
}

TEST_F(Session, RefusedCloseKeepsOptionsWindowAndFrames) {
  ASSERT_EQ(open(), 1);
  auto dark = std::make_unique<vx::DarkFrame>();
  ASSERT_TRUE(dark->bytes.allocate(16));
  camera.corrections.replaceDark(std::move(dark));
  state.darkFrameStored = 1;
  options.optionsOpen = 1;
  vzsim::failNext("VarcamCameraClose", 1, 31);
  EXPECT_EQ(camera.close(), 0);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  EXPECT_EQ(hl::messageBoxes()[0].text, "Could not close camera: 31");
  EXPECT_EQ(hl::messageBoxes()[0].caption, "ERROR");
  EXPECT_TRUE(logged("Could not close camera: 31"));
  EXPECT_EQ(options.optionsOpen, 1);
  EXPECT_TRUE(camera.corrections.hasDark());
  EXPECT_EQ(state.darkFrameStored, 1);
  // The engines are gone all the same.
  EXPECT_EQ(camera.exposureController(), nullptr);
  options.optionsOpen = 0;
}

// The SDK opens a camera only once: one whose close was refused is closed
// at the next open, which then opens it again.
TEST_F(Session, ACameraWhoseCloseWasRefusedIsClosedAtTheNextOpen) {
  ASSERT_EQ(open(), 1);
  vzsim::failNext("VarcamCameraClose", 1, 31);
  ASSERT_EQ(camera.close(), 0);
  EXPECT_TRUE(vzsim::isOpen(1));
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Could not close camera: 31"}));
  clearRecords();
  ASSERT_EQ(open(true), 1);
  const Journal all = vzsim::journal();
  ASSERT_EQ(calls("VarcamCameraClose", all).size(), 1u);
  EXPECT_TRUE(calls("VarcamCameraClose", all)[0].ok);
  ASSERT_EQ(calls("VarcamCameraOpen", all).size(), 1u);
  EXPECT_TRUE(calls("VarcamCameraOpen", all)[0].ok);
  EXPECT_NE(camera.handle(), nullptr);
  EXPECT_TRUE(boxTexts().empty());
  // A clean close leaves nothing to close at the open after it.
  ASSERT_EQ(camera.close(), 1);
  clearRecords();
  ASSERT_EQ(open(true), 1);
  EXPECT_TRUE(calls("VarcamCameraClose").empty());
}

// The status-bar timer refreshes from the camera; it must not survive the
// camera's close (nor the state it refreshes).
TEST_F(Session, CloseStopsTheStatusTimer) {
  ASSERT_EQ(open(), 1);
  const platform::Window preview = hl::createHostWindow("Preview", {0, 0, 400, 300});
  ASSERT_EQ(vx::startPreview(camera, preview), 1);
  ASSERT_FALSE(hl::activeTimers().empty());
  ASSERT_EQ(camera.close(), 1);
  EXPECT_TRUE(hl::activeTimers().empty());
  EXPECT_EQ(camera.previewTimerId, 0u);
}

TEST_F(Session, ReopenRebuildsTheEngines) {
  ASSERT_EQ(open(), 1);
  ASSERT_EQ(camera.close(), 1);
  attach({vzsim::defaultModel(141)});
  ASSERT_EQ(open(), 1);
  ASSERT_NE(camera.resolutionTable(), nullptr);
  EXPECT_EQ(camera.resolutionTable()->sensorWidth, 1600);
  EXPECT_EQ(camera.sensorMaxWidth, 1600);
  EXPECT_EQ(state.model.modelName, "Model 06");
}

} // namespace
