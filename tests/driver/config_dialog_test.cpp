// The configuration dialog run as a host runs it (its own template with
// check boxes 101 and 104, button 107, OK and Cancel) against a local
// driver state, with the user's actions scripted.
#include "settings_fixture.h"

#include "driver/config_dialog.h"
#include "driver/simulation_image.h"
#include "hostlib/host_imaging.h"
#include "support/fixed_file.h"

#include <functional>

namespace {

namespace hl = platform::headless;

constexpr int kTemplateId = 900;

const platform::ControlTemplate kControls[] = {
    {101, platform::ControlKind::CheckBox, "Bits", {10, 10, 100, 24}, true, false},  // starts disabled
    {104, platform::ControlKind::CheckBox, "Synchronous snap", {10, 30, 100, 44}},
    {107, platform::ControlKind::Button, "Image...", {10, 50, 100, 64}},
    {1, platform::ControlKind::Button, "OK", {10, 70, 50, 84}},
    {2, platform::ControlKind::Button, "Cancel", {60, 70, 100, 84}},
};
const platform::DialogTemplate kTemplate{kTemplateId, "Driver configuration", {100, 100, 400, 300}, kControls,
                                         std::size(kControls)};

vx::Driver* g_driver = nullptr;

std::intptr_t proc(platform::Window dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return vx::configDialogProc(*g_driver, dialog, message, wParam, lParam);
}

class ConfigDialog : public DriverSettingsTest {
 protected:
  void SetUp() override {
    DriverSettingsTest::SetUp();
    g_driver = &driver;
    state.hostWindow = hl::createHostWindow("Host", platform::Rect{0, 0, 800, 600});
    simulationImage_ = std::make_unique<vxtest::FixedFile>(vx::kSimulationImageFile);
  }
  void TearDown() override {
    simulationImage_.reset();
    g_driver = nullptr;
    DriverSettingsTest::TearDown();
  }

  // Runs the dialog with `script` acting as the user; returns its result.
  std::intptr_t run(std::function<void(platform::Window)> script) {
    hl::setDialogScript(kTemplateId, std::move(script));
    return platform::dialogBox(kTemplate, state.hostWindow, &proc, 0);
  }

  // Writes a TIF file the image loader reads as the given host image type.
  static void writeTif(const std::string& path, std::int32_t type) {
    const std::int32_t bytesPerPixel = type == 3 ? 3 : type == 9 ? 6 : 1;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(4 * 2 * bytesPerPixel), 10);
    std::vector<std::uint8_t> palette;
    if (type == 2)
      for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {std::uint8_t(i), 0, 0});
    const std::int32_t image = hostimg::createImage(4, 2, type, pixels, palette);
    ASSERT_GT(image, 0);
    ASSERT_TRUE(hostimg::saveTiff(image, path));
    HostImageRelease(image);
    hostimg::clearCallLog();
  }

  static std::vector<std::string> hostCalls() {
    std::vector<std::string> names;
    for (const auto& call : hostimg::callLog()) names.push_back(call.function);
    return names;
  }

  // The image file the driver loads, by its fixed name.
  std::unique_ptr<vxtest::FixedFile> simulationImage_;
};

TEST_F(ConfigDialog, InitShowsTheOptionsForAColourCamera) {
  driver.capture.colourCamera = 1;
  driver.capture.colour36Bit = 1;
  driver.capture.mono12Bit = 0;
  driver.capture.syncSnap = 0;
  hl::ControlInfo bits, sync;
  run([&](platform::Window dialog) {
    bits = hl::controlInfo(dialog, 101);
    sync = hl::controlInfo(dialog, 104);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(bits.text, "36-bit");
  EXPECT_EQ(bits.checked, platform::BST_CHECKED);
  EXPECT_TRUE(bits.enabled);
  EXPECT_EQ(sync.checked, platform::BST_UNCHECKED);
  // The wait cursor is shown during the set-up and the previous one restored.
  EXPECT_EQ(hl::waitCursorCalls(), (std::vector<bool>{true, false}));
  EXPECT_FALSE(hl::waitCursorShown());
}

TEST_F(ConfigDialog, InitShowsTheOptionsForAMonochromeCamera) {
  driver.capture.colourCamera = 0;
  driver.capture.colour36Bit = 1;  // not shown for a monochrome camera
  driver.capture.mono12Bit = 0;
  driver.capture.syncSnap = 1;
  platform::setWaitCursor(true);  // already waiting: stays so
  hl::ControlInfo bits, sync;
  run([&](platform::Window dialog) {
    bits = hl::controlInfo(dialog, 101);
    sync = hl::controlInfo(dialog, 104);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(bits.text, "12-bit");
  EXPECT_EQ(bits.checked, platform::BST_UNCHECKED);
  EXPECT_EQ(sync.checked, platform::BST_CHECKED);
  EXPECT_TRUE(hl::waitCursorShown());
}

TEST_F(ConfigDialog, OkTakesTheBoxesForTheCameraKind) {
  driver.capture.colourCamera = 1;
  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 101);
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDOK);
            }),
            1);
  EXPECT_EQ(driver.capture.colour36Bit, 1);
  EXPECT_EQ(driver.capture.mono12Bit, 0);
  EXPECT_EQ(driver.capture.syncSnap, 1);

  driver.capture.colourCamera = 0;
  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 101);  // 12-bit on
              hl::clickButton(dialog, 104);  // synchronous snap off again
              hl::clickButton(dialog, platform::IDOK);
            }),
            1);
  EXPECT_EQ(driver.capture.mono12Bit, 1);
  EXPECT_EQ(driver.capture.colour36Bit, 1) << "the colour choice is kept";
  EXPECT_EQ(driver.capture.syncSnap, 0);
}

TEST_F(ConfigDialog, CancelChangesNothing) {
  driver.capture.colourCamera = 1;
  driver.capture.colour36Bit = 1;
  driver.capture.mono12Bit = 1;
  driver.capture.syncSnap = 0;
  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 101);
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDCANCEL);
            }),
            0);
  EXPECT_EQ(driver.capture.colour36Bit, 1);
  EXPECT_EQ(driver.capture.mono12Bit, 1);
  EXPECT_EQ(driver.capture.syncSnap, 0);
}

TEST_F(ConfigDialog, OnlyItsOwnMessagesAreHandled) {
  std::intptr_t other = -1, unknownControl = -1, button = -1;
  run([&](platform::Window dialog) {
    other = vx::configDialogProc(driver, dialog, platform::WM_TIMER, 0, 0);
    unknownControl = vx::configDialogProc(driver, dialog, platform::WM_COMMAND, platform::makeWParam(1058, 0), 0);
    button = vx::configDialogProc(driver, dialog, platform::WM_COMMAND, platform::makeWParam(107, 0), 0);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(other, 0);
  EXPECT_EQ(unknownControl, 0);
  EXPECT_EQ(button, 1) << "107 is handled even when the user cancels the file dialog";
}

TEST_F(ConfigDialog, CancelledFileChoiceChangesNothing) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  driver.simulation.path.assign("C:\\images\\sim\\old.tif");
  hl::queueOpenFileAnswer(std::nullopt);
  platform::Window shown = nullptr;
  run([&](platform::Window dialog) {
    shown = dialog;
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  const auto requests = hl::openFileRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].owner, shown);
  EXPECT_EQ(requests[0].filter, "Image files (*.tif)|*.tif");
  EXPECT_EQ(requests[0].title, "Digital Simulation Image file");
  EXPECT_EQ(requests[0].defaultExtension, "TIF");
  EXPECT_EQ(requests[0].initialDirectory, "C:\\images\\sim");
  EXPECT_EQ(requests[0].flags, platform::OFN_FILEMUSTEXIST | platform::OFN_HIDEREADONLY);
  EXPECT_EQ(driver.simulation.path.view(), "C:\\images\\sim\\old.tif");
  EXPECT_FALSE(std::filesystem::exists(file("host.ini")));
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(hostimg::callLog().empty());
}

TEST(SimulationImageFolder, UpToTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(vx::folderOf("C:\\images\\a.tif"), "C:\\images");
  EXPECT_EQ(vx::folderOf("/data/pics/b.tif"), "/data/pics");
  EXPECT_EQ(vx::folderOf("C:\\mixed/dir\\c.tif"), "C:\\mixed/dir");
  EXPECT_EQ(vx::folderOf("/root.tif"), "/");
  EXPECT_EQ(vx::folderOf("plain.tif"), "");
  EXPECT_EQ(vx::folderOf(""), "");
}

TEST_F(ConfigDialog, ChoiceIsStoredEvenWhenTheImageFailsToLoad) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  driver.commands.settingsPath.assign(file("driver.ini"));
  hl::queueOpenFileAnswer("/data/sim/picture.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(sectionLines(file("host.ini"), "VARNEX CAMERA"),
            (std::vector<std::string>{"ImageFile=/data/sim/picture.tif"}));
  EXPECT_FALSE(std::filesystem::exists(file("driver.ini"))) << "the key belongs in the host's file";
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Getting image...  Should not happen!!!");
  EXPECT_EQ(shown[0].caption, "yo");
  EXPECT_EQ(shown[0].owner, state.hostWindow);
  EXPECT_EQ(driver.simulation.path.view(), "/data/sim/picture.tif");
  // No "c:\Varcamtemp.tif" here: the load fails and nothing is kept.
  ASSERT_FALSE(hostimg::callLog().empty());
  EXPECT_EQ(hostimg::callLog()[0].function, "HostImageLoadFile");
  EXPECT_EQ(hostimg::callLog()[0].args, (std::vector<std::string>{"c:\\Varcamtemp.tif", "IFFTIF32.DLL", "0"}));
  EXPECT_EQ(driver.simulation.image, -1);
  EXPECT_EQ(hostimg::liveImages(), 0u);
}

TEST_F(ConfigDialog, LoadedImageReplacesThePreviousOne) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  writeTif(simulationImage_->path(), 1);
  hl::queueOpenFileAnswer("/data/first.tif");
  hl::queueOpenFileAnswer("/data/second.tif");
  std::int32_t first = 0;
  run([&](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    first = driver.simulation.image;
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  EXPECT_GT(first, 0);
  EXPECT_GT(driver.simulation.image, first);
  EXPECT_FALSE(hostimg::imageInfo(first).exists) << "the first image was released";
  EXPECT_EQ(hostimg::imageInfo(driver.simulation.image).type, 1);
  EXPECT_EQ(hostimg::liveImages(), 1u);
  // The second choice started in the folder of the first.
  EXPECT_EQ(hl::openFileRequests().at(1).initialDirectory, "/data");
}

TEST_F(ConfigDialog, PaletteImageIsConvertedToGrey) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  writeTif(simulationImage_->path(), 2);
  hl::queueOpenFileAnswer("/data/palette.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  ASSERT_GT(driver.simulation.image, 0);
  EXPECT_EQ(hostimg::imageInfo(driver.simulation.image).type, 1);
  EXPECT_EQ(hostimg::liveImages(), 1u) << "the palette image was released";
  EXPECT_EQ(hostimg::liveLocks(), 0u);
  EXPECT_EQ(hostCalls(), (std::vector<std::string>{"HostImageLoadFile", "HostImageAttribute", "HostImageLock",
                                                    "HostImageAttribute", "HostImageConvert", "HostImageUnlock",
                                                    "HostImageRelease", "HostImageAttribute"}));
  const auto log = hostimg::callLog();
  EXPECT_EQ(log[2].args.at(1), "1") << "locked for reading";
  EXPECT_EQ(log[3].args.at(1), "27") << "the palette";
}

TEST_F(ConfigDialog, FailedConversionKeepsThePreviousImage) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  writeTif(simulationImage_->path(), 2);
  driver.simulation.image = hostimg::createImage(1, 1, 1, {0});
  const std::int32_t previous = driver.simulation.image;
  hostimg::failNext("HostImageConvert");
  hl::queueOpenFileAnswer("/data/palette.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(driver.simulation.image, previous);
  EXPECT_EQ(hostimg::liveImageIds(), (std::vector<std::int32_t>{previous}));
  EXPECT_EQ(hostimg::liveLocks(), 0u);
}

TEST_F(ConfigDialog, ImageTypeAboveSixIsRefused) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  writeTif(simulationImage_->path(), 9);
  hl::queueOpenFileAnswer("/data/deep.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(driver.simulation.image, -1);
  EXPECT_EQ(hostimg::liveImages(), 0u) << "the refused image was released";
}

TEST_F(ConfigDialog, SuccessfulLoadSetsUpTheBitDepthBoxAgain) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  driver.capture.colourCamera = 1;
  driver.capture.colour36Bit = 0;
  writeTif(simulationImage_->path(), 1);
  hl::queueOpenFileAnswer(std::nullopt);
  hl::queueOpenFileAnswer("/data/a.tif");
  int afterCancel = -1, afterLoad = -1;
  run([&](platform::Window dialog) {
    hl::clickButton(dialog, 101);  // ticked, not yet taken
    hl::clickButton(dialog, 107);  // cancelled: the box stays as the user left it
    afterCancel = hl::controlInfo(dialog, 101).checked;
    hl::clickButton(dialog, 107);  // loaded: the box shows the stored choice again
    afterLoad = hl::controlInfo(dialog, 101).checked;
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(afterCancel, platform::BST_CHECKED);
  EXPECT_EQ(afterLoad, platform::BST_UNCHECKED);
}

TEST_F(ConfigDialog, WithoutAStoredPathTheImageNameGoesInTheDriversFolder) {
  // No host settings file: the choice is not written and reads back empty.
  hl::queueOpenFileAnswer("/data/a.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  // The driver's module here is the test program.
  char self[4096];
  platform::moduleFileName(nullptr, self, sizeof self);
  const std::string program(self);
  const std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
  ASSERT_FALSE(folder.empty()) << program;
  EXPECT_EQ(driver.simulation.path.view(), folder + "c:\\QXTemp.tif");
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path())) << "no file was written";
}

TEST_F(ConfigDialog, PathTooLongForTheFieldIsNotTaken) {
  driver.commands.hostSettingsPath.assign(file("host.ini"));
  driver.simulation.path.assign("/data/old.tif");
  hl::queueOpenFileAnswer("/" + std::string(259, 'x'));  // 260 characters
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    platform::endDialog(dialog, 0);
  });
  EXPECT_EQ(driver.simulation.path.view(), "/data/old.tif");
  EXPECT_FALSE(std::filesystem::exists(file("host.ini")));
  EXPECT_TRUE(boxes().empty());
}

} // namespace
