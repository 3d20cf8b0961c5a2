// Opening and closing the driver through its exports, and what every export
// answers while the driver is closed and while it is open.
#include "library_fixture.h"
#include "support/scratch_folder.h"

#include "driver/acq_control.h"

#include <cstring>
#include <string>

namespace {

using Lifecycle = LibraryTest;

TEST_F(Lifecycle, ExportsRefuseWorkWhileClosed) {
  EXPECT_EQ(acq->setPalette(nullptr), 1);
  EXPECT_EQ(acq->snap(), 0);
  std::uint8_t line[8] = {};
  EXPECT_EQ(acq->getLine(0, 0, 4, line), 0);
  EXPECT_EQ(acq->getImage(-1), -1);
  EXPECT_EQ(acq->add(2, 2, nullptr), -1);
  EXPECT_EQ(acq->control(ACQCMD_IMAGE_WIDTH, 0, nullptr), -1);
  EXPECT_EQ(acq->hardPassThruOpen(0, 0), 1);
  std::int32_t w = 0, h = 0;
  EXPECT_EQ(acq->softPassThruOpen(0, 0, &w, &h), 1);
  EXPECT_EQ(acq->softPassThru(nullptr), 0);
  EXPECT_EQ(acq->softPassThruClose(), 0);
  EXPECT_EQ(acq->timeLapse("x", 1, 0, 5, nullptr, nullptr, 0), 1);
  EXPECT_EQ(acq->timeLapseKill(), 0);
  EXPECT_EQ(acq->close(), 0);
  // Nothing was asked of the camera.
  EXPECT_TRUE(calls("VarcamCameraOpen").empty());
}

TEST_F(Lifecycle, LogOnlyEntryPointsWorkTheSameEitherWay) {
  acq->start();
  acq->freeze();
  acq->putLine(1, 2, 3, 4);
  acq->clearScreen();
  acq->hardPassThruClose();
  acq->hardPassThruSetWindow(1, 2);
  acq->hardPassThruPaint(1, 2, 3, 4, 5);
  EXPECT_TRUE(logged("ACQStart..."));
  EXPECT_TRUE(logged("AcqFreeze..."));
  EXPECT_TRUE(logged("AcqPutLine..."));

  char buffer[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(acq->errorMsg(buffer), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'y');  // a single terminator, nothing more
  EXPECT_EQ(acq->errorMsg(nullptr), 0);
}

TEST_F(Lifecycle, OpenCloseWithOneCamera) {
  ASSERT_EQ(acq->open(), 0);
  EXPECT_TRUE(logged("Opening ZAV Digital Driver..."));
  EXPECT_TRUE(logged("ACQOpen..."));
  EXPECT_TRUE(logged("PIXORA DRIVER: Varnex camera found.!/n"));
  EXPECT_TRUE(platform::headless::dialogsShown().empty()) << "no choice with a single camera";
  ASSERT_EQ(calls("VarcamCameraOpen").size(), 1u);
  EXPECT_EQ(calls("VarcamCameraOpen")[0].args.at(0), "1");
  EXPECT_TRUE(vzsim::isOpen(1));

  EXPECT_EQ(acq->setPalette(nullptr), 0);
  EXPECT_EQ(acq->hardPassThruOpen(0, 0), 5);
  EXPECT_EQ(acq->snap(), 0) << "no trigger prompt without the external trigger";
  EXPECT_TRUE(platform::headless::messageBoxes().empty());

  EXPECT_EQ(acq->close(), 1);
  EXPECT_TRUE(logged("Closing camera..."));
  EXPECT_TRUE(logged("ACQClose..."));
  EXPECT_TRUE(logged("Closing camera Controller..."));
  EXPECT_FALSE(vzsim::isOpen(1));
  EXPECT_EQ(acq->close(), 0) << "a second close finds nothing open";
  EXPECT_EQ(acq->setPalette(nullptr), 1);
}

TEST_F(Lifecycle, NoCameraAttached) {
  vzsim::setCameras({});
  EXPECT_EQ(acq->open(), 2);
  ASSERT_EQ(boxTexts().size(), 1u);
  EXPECT_EQ(boxTexts()[0], "There are no Varnex cameras attached to the computer.");
  EXPECT_EQ(platform::headless::messageBoxes()[0].caption, "ERROR");
  EXPECT_EQ(acq->setPalette(nullptr), 1) << "still closed";
  EXPECT_EQ(acq->close(), 0);
  EXPECT_TRUE(logged("Closing camera Controller...")) << "the failed open's session is closed too";
}

TEST_F(Lifecycle, SeveralCamerasTheUserPicksTheSecond) {
  auto first = vzsim::defaultModel(160);
  auto second = vzsim::defaultModel(421);
  first.serialNumber = 5001;
  second.serialNumber = 5002;
  vzsim::setCameras({first, second});
  platform::headless::setDialogScript(106, [](platform::Window dialog) {
    const auto list = platform::headless::controlInfo(dialog, 1109);
    ASSERT_EQ(list.items, (std::vector<std::string>{"5001", "5002"}));
    EXPECT_EQ(list.selection, 0);
    platform::headless::selectComboItem(dialog, 1109, 1);
    platform::headless::clickButton(dialog, platform::IDOK);
  });
  ASSERT_EQ(acq->open(), 0);
  EXPECT_TRUE(logged("Choice index: 2"));
  EXPECT_TRUE(logged("index: 2"));
  ASSERT_EQ(calls("VarcamCameraOpen").size(), 1u);
  EXPECT_EQ(calls("VarcamCameraOpen")[0].args.at(0), "2");
  EXPECT_TRUE(vzsim::isOpen(2));
  EXPECT_FALSE(vzsim::isOpen(1));
}

TEST_F(Lifecycle, CancelledChoiceStillOpensTheDriver) {
  vzsim::setCameras({vzsim::defaultModel(160), vzsim::defaultModel(160)});
  platform::headless::setDialogScript(106, [](platform::Window dialog) {
    platform::headless::clickButton(dialog, platform::IDCANCEL);
  });
  EXPECT_EQ(acq->open(), 0);
  EXPECT_TRUE(logged("index: -1"));
  EXPECT_FALSE(vzsim::isOpen(1));
  EXPECT_FALSE(vzsim::isOpen(2));
  // The steps after the failed camera open report their own failures.
  EXPECT_FALSE(platform::headless::messageBoxes().empty());
}

TEST_F(Lifecycle, ClosingTheChoiceDialogCancelsIt) {
  vzsim::setCameras({vzsim::defaultModel(160), vzsim::defaultModel(160)});
  platform::headless::setDialogScript(106, [](platform::Window dialog) {
    platform::headless::closeDialog(dialog);
  });
  EXPECT_EQ(acq->open(), 0);
  EXPECT_TRUE(logged("index: -1"));
}

TEST_F(Lifecycle, MoreThanTwentyCamerasListsTheFirstTwenty) {
  std::vector<vzsim::CameraModel> many;
  for (int i = 0; i < 23; ++i) {
    auto model = vzsim::defaultModel(160);
    model.serialNumber = static_cast<std::uint32_t>(100 + i);
    many.push_back(model);
  }
  vzsim::setCameras(many);
  std::size_t listed = 0;
  platform::headless::setDialogScript(106, [&](platform::Window dialog) {
    listed = platform::headless::controlInfo(dialog, 1109).items.size();
    platform::headless::selectComboItem(dialog, 1109, 19);
    platform::headless::clickButton(dialog, platform::IDOK);
  });
  ASSERT_EQ(acq->open(), 0);
  EXPECT_EQ(listed, 20u);
  EXPECT_TRUE(vzsim::isOpen(20));
}

TEST_F(Lifecycle, AuxiliarySwitchesOnlyForTheirCameras) {
  for (std::uint32_t id : {421u, 346u, 160u}) {
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    vzsim::setCameras({vzsim::defaultModel(id)});
    ASSERT_EQ(acq->open(), 0) << id;
    const auto opened = calls("VarcamSetProperty");
    std::vector<std::string> auxOpen;
    for (const auto& c : opened)
      if (c.args.at(0) == "108" || c.args.at(0) == "118") auxOpen.push_back(c.args.at(0) + ":" + c.args.at(2));
    vzsim::clearJournal();
    ASSERT_EQ(acq->close(), 1);
    std::vector<std::string> auxClose;
    for (const auto& c : calls("VarcamSetProperty"))
      if (c.args.at(0) == "108" || c.args.at(0) == "118") auxClose.push_back(c.args.at(0) + ":" + c.args.at(2));
    if (id == 160) {
      EXPECT_TRUE(auxOpen.empty());
      EXPECT_TRUE(auxClose.empty());
    } else {
      EXPECT_EQ(auxOpen, (std::vector<std::string>{"108:0x80000000", "118:0x80000000"})) << id;
      EXPECT_EQ(auxClose, (std::vector<std::string>{"108:0x0", "118:0x0"})) << id;
    }
  }
}

TEST_F(Lifecycle, FailedAuxiliarySwitchIsOnlyLogged) {
  vzsim::setCameras({vzsim::defaultModel(421)});
  vzsim::failNext("VarcamSetProperty", 1, 31, PropAuxSwitch1);
  EXPECT_EQ(acq->open(), 0);
  EXPECT_TRUE(logged("Error 31"));
}

TEST_F(Lifecycle, RefusedCameraCloseIsReported) {
  ASSERT_EQ(acq->open(), 0);
  vzsim::failNext("VarcamCameraClose", 1, 55);
  platform::headless::clearMessageBoxes();
  EXPECT_EQ(acq->close(), 1) << "the driver was open";
  ASSERT_EQ(boxTexts(), (std::vector<std::string>{"Could not close camera: 55"}));
  EXPECT_EQ(platform::headless::messageBoxes()[0].caption, "ERROR");
  EXPECT_TRUE(logged("Could not close camera: 55"));
  EXPECT_EQ(acq->close(), 0);
}

TEST_F(Lifecycle, CloseReleasesAPassThroughLeftOpen) {
  ASSERT_EQ(acq->open(), 0);
  ASSERT_EQ(acq->control(ACQCMD_STREAM_CONTROL, ACQSTREAM_SNAPSHOT_MODE, nullptr), 0);  // the preview's size
  std::int32_t width = 0, height = 0;
  ASSERT_EQ(acq->softPassThruOpen(0, 0, &width, &height), 0);
  EXPECT_EQ(platform::headless::livePaletteCount(), 1u);
  EXPECT_EQ(acq->close(), 1);
  EXPECT_EQ(platform::headless::livePaletteCount(), 0u);
}

TEST_F(Lifecycle, ReopenGivesAFreshSession) {
  ASSERT_EQ(acq->open(), 0);
  EXPECT_EQ(acq->control(ACQCMD_GREY_MODE, 1, nullptr), 0);
  ASSERT_EQ(acq->close(), 1);
  ASSERT_EQ(acq->open(), 0);
  EXPECT_EQ(acq->control(ACQCMD_GREY_MODE | ACQ_QUERY, 0, nullptr), 0) << "grey mode cleared by open";
  EXPECT_EQ(calls("VarcamCameraOpen").size(), 2u);
  EXPECT_EQ(acq->close(), 1);
}

TEST_F(Lifecycle, SettingsPathIsTheOnlyCommandWhileClosed) {
  const vxtest::ScratchFolder scratch;
  std::string settings = scratch.file("host-settings.ini");
  char* path = settings.data();
  EXPECT_EQ(acq->control(ACQCMD_HOST_SETTINGS_PATH, 0, path), 0);
  EXPECT_EQ(acq->control(ACQCMD_HOST_SETTINGS_PATH | ACQ_QUERY, 0, path), 0);
  EXPECT_EQ(acq->control(ACQCMD_DRIVER_NAME, 0, path), -1);
  const auto pointer = static_cast<int>(reinterpret_cast<std::intptr_t>(path));
  EXPECT_TRUE(logged("ACQControl: message: 69, 0, " + std::to_string(pointer)));
  EXPECT_TRUE(logged("ACQControl: message: 5, 0, " + std::to_string(pointer)));
}

} // namespace
