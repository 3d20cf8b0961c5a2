// The driver configuration dialog run by a host with its own template and
// the exported dialog procedure, with the driver closed and open.
#include "library_fixture.h"

#include "driver/acq_control.h"
#include "hostlib/host_imaging.h"
#include "support/fixed_file.h"
#include "support/scratch_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

namespace hl = platform::headless;

constexpr int kTemplateId = 901;

const platform::ControlTemplate kControls[] = {
    {101, platform::ControlKind::CheckBox, "Depth", {10, 10, 100, 24}},
    {104, platform::ControlKind::CheckBox, "Synchronous snap", {10, 30, 100, 44}},
    {107, platform::ControlKind::Button, "Simulation image...", {10, 50, 100, 64}},
    {1, platform::ControlKind::Button, "OK", {10, 70, 50, 84}},
    {2, platform::ControlKind::Button, "Cancel", {60, 70, 100, 84}},
};
const platform::DialogTemplate kTemplate{kTemplateId, "Capture driver setup", {100, 100, 400, 300}, kControls,
                                         std::size(kControls)};

// The loaded library's dialog procedure, called in the platform's calling
// convention (the export's is stdcall on 32-bit Windows), as a host's
// dialog box calls it. Runs on the test's thread.
host::DriverLibrary* g_library = nullptr;
std::intptr_t exportedDialogProc(platform::Window dialog, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  return g_library->configDlgProc(dialog, message, wParam, lParam);
}

// The host's dialog run in a scratch working directory (where the driver's
// fixed image name "c:\Varcamtemp.tif" is looked for on Linux; on Windows it
// is the root of drive C).
class ConfigDialogExport : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    scratch_ = std::make_unique<vxtest::ScratchFolder>();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch_->path());
    simulationImage_ = std::make_unique<vxtest::FixedFile>("c:\\Varcamtemp.tif");
    owner_ = hl::createHostWindow("Host", platform::Rect{0, 0, 800, 600});
  }
  void TearDown() override {
    LibraryTest::TearDown();
    simulationImage_.reset();
    if (!previous_.empty()) std::filesystem::current_path(previous_);
    scratch_.reset();
  }

  std::intptr_t run(std::function<void(platform::Window)> script) {
    hl::setDialogScript(kTemplateId, std::move(script));
    g_library = acq;
    const std::intptr_t result = platform::dialogBox(kTemplate, owner_, &exportedDialogProc, 0);
    g_library = nullptr;
    return result;
  }
  // The state of both check boxes as the dialog shows them when it opens.
  std::pair<hl::ControlInfo, hl::ControlInfo> shownBoxes() {
    std::pair<hl::ControlInfo, hl::ControlInfo> shown;
    run([&](platform::Window dialog) {
      shown = {hl::controlInfo(dialog, 101), hl::controlInfo(dialog, 104)};
      hl::clickButton(dialog, platform::IDCANCEL);
    });
    return shown;
  }
  std::string file(const std::string& name) const { return scratch_->file(name); }

  // Sets both options through the dialog, whatever they were.
  void setOptions(bool bits, bool sync) {
    run([&](platform::Window dialog) {
      if ((hl::controlInfo(dialog, 101).checked != 0) != bits) hl::clickButton(dialog, 101);
      if ((hl::controlInfo(dialog, 104).checked != 0) != sync) hl::clickButton(dialog, 104);
      hl::clickButton(dialog, platform::IDOK);
    });
  }

  platform::Window owner_ = nullptr;
  // The image file the driver loads, by its fixed name.
  std::unique_ptr<vxtest::FixedFile> simulationImage_;

 private:
  std::unique_ptr<vxtest::ScratchFolder> scratch_;
  std::filesystem::path previous_;
};

TEST_F(ConfigDialogExport, OptionsAreKeptAndCancelLeavesThem) {
  setOptions(false, false);
  auto [bits, sync] = shownBoxes();
  EXPECT_EQ(bits.text, "36-bit") << "a colour camera until the depth command has seen a grey one";
  EXPECT_EQ(bits.checked, platform::BST_UNCHECKED);
  EXPECT_EQ(sync.checked, platform::BST_UNCHECKED);

  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 101);
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDOK);
            }),
            1);
  std::tie(bits, sync) = shownBoxes();
  EXPECT_EQ(bits.checked, platform::BST_CHECKED);
  EXPECT_EQ(sync.checked, platform::BST_CHECKED) << "synchronous snapshots are on";

  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 101);
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDCANCEL);
            }),
            0);
  std::tie(bits, sync) = shownBoxes();
  EXPECT_EQ(bits.checked, platform::BST_CHECKED);
  EXPECT_EQ(sync.checked, platform::BST_CHECKED);
}

TEST_F(ConfigDialogExport, WorksTheSameWithTheDriverOpen) {
  ASSERT_EQ(acq->open(), 0);
  setOptions(false, false);
  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDOK);
            }),
            1);
  const auto [bits, sync] = shownBoxes();
  EXPECT_EQ(bits.text, "36-bit");
  EXPECT_EQ(sync.checked, platform::BST_CHECKED);
}

TEST_F(ConfigDialogExport, SimulationImageIsRememberedInTheHostSettingsAndLoaded) {
  const std::string hostSettings = file("pixora.ini");
  ASSERT_EQ(acq->control(ACQCMD_HOST_SETTINGS_PATH, 0, const_cast<char*>(hostSettings.c_str())), 0);
  const std::int32_t source = hostimg::createImage(2, 2, 1, {1, 2, 3, 4});
  ASSERT_TRUE(hostimg::saveTiff(source, simulationImage_->path()));
  HostImageRelease(source);

  hl::queueOpenFileAnswer("/images/sim/one.tif");
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    hl::clickButton(dialog, platform::IDOK);
  });

  std::ifstream in(hostSettings);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "[VARNEX CAMERA]\nImageFile=/images/sim/one.tif\n");
  EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Getting image...  Should not happen!!!"}));
  const auto ids = hostimg::liveImageIds();
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(hostimg::imageBytes(ids[0]), (std::vector<std::uint8_t>{1, 2, 3, 4}));

  // The next choice starts in the folder of this one.
  hl::queueOpenFileAnswer(std::nullopt);
  run([](platform::Window dialog) {
    hl::clickButton(dialog, 107);
    hl::clickButton(dialog, platform::IDCANCEL);
  });
  const auto requests = hl::openFileRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].initialDirectory, "/images/sim");
  EXPECT_EQ(hostimg::liveImageIds(), ids) << "a cancelled choice keeps the image";
}

} // namespace

namespace {

// Ticking the synchronous-snapshot box makes command 50 take the snapshot at
// once (3) instead of leaving it pending for the poll (2).
TEST_F(ConfigDialogExport, SynchronousSnapshotChangesWhatCommand50Returns) {
  ASSERT_EQ(acq->open(), 0);
  EXPECT_EQ(acq->control(ACQCMD_SNAP, 1, nullptr), 2);
  EXPECT_EQ(acq->control(ACQCMD_SNAP_STATUS, 0, nullptr), 4);
  EXPECT_EQ(run([](platform::Window dialog) {
              hl::clickButton(dialog, 104);
              hl::clickButton(dialog, platform::IDOK);
            }),
            1);
  EXPECT_EQ(acq->control(ACQCMD_SNAP, 1, nullptr), 3);
  EXPECT_EQ(acq->control(ACQCMD_SNAP_STATUS, 0, nullptr), 3) << "nothing left pending";
}

} // namespace
