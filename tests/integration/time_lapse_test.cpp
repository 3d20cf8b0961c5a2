// Time-lapse series through the exports, in virtual time.
#include "library_fixture.h"
#include "support/scratch_folder.h"

#include "driver/acq_control.h"
#include "hostlib/host_imaging.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

host::DriverLibrary* lapseDriver = nullptr;
std::vector<std::int32_t> savedFiles;
std::int32_t killAfter = -1;

void ACQ_CALL onImage(std::int32_t file, std::int32_t phase, std::int32_t) {
  if (phase != 1) return;
  savedFiles.push_back(file);
  if (file == killAfter) lapseDriver->timeLapseKill();
}

class TimeLapseExports : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    platform::headless::useVirtualTime(true, 0);
    lapseDriver = acq;
    savedFiles.clear();
    killAfter = -1;
    dir = scratch.path();
    prefix = (dir / "img").string();
  }
  bool openForSnapshots() {
    EXPECT_EQ(acq->open(), 0);
    return acq->control(ACQCMD_STREAM_CONTROL, 10, nullptr) != -1 && acq->control(ACQCMD_IMAGE_WIDTH, 0, nullptr) > 0;
  }
  std::string file(std::int32_t n) const { return prefix + std::to_string(n) + ".TIF"; }

  vxtest::ScratchFolder scratch;
  fs::path dir;
  std::string prefix;
};

TEST_F(TimeLapseExports, SeriesWritesNumberedFilesOfTheSnapshot) {
  ASSERT_TRUE(openForSnapshots());
  EXPECT_EQ(acq->timeLapse(prefix.c_str(), 3, 10, 1, nullptr, onImage, 0), 6);
  ASSERT_EQ(acq->timeLapse(prefix.c_str(), 3, 10, 5, nullptr, onImage, 0), 0);
  EXPECT_EQ(savedFiles, (std::vector<std::int32_t>{10, 11, 12}));
  EXPECT_EQ(platform::tickCount(), 10000u);

  // Each file is a snapshot of the whole image; the frames are exact, so it
  // equals a whole image of a new snapshot.
  ASSERT_NE(acq->control(ACQCMD_SNAP, 1, nullptr), -1);
  acq->control(ACQCMD_SNAP_STATUS, 0, nullptr);
  const std::int32_t image = acq->getImage(-1);
  const std::int32_t loaded = HostImageLoadFile(file(12).c_str(), "IFFTIF32.DLL", 0);
  ASSERT_GE(loaded, 0) << hostimg::lastError();
  EXPECT_EQ(hostimg::imageBytes(loaded), hostimg::imageBytes(image));

  // The timer procedure outside a series does nothing.
  acq->timerCallBack(nullptr, platform::WM_TIMER, 4112, 0);
}

TEST_F(TimeLapseExports, KillEndsTheSeriesWithSeven) {
  ASSERT_TRUE(openForSnapshots());
  killAfter = 21;
  AcqRect region{10, 20, 49, 59};
  EXPECT_EQ(acq->timeLapse(prefix.c_str(), 5, 20, 2, &region, onImage, 0), 7);
  EXPECT_EQ(savedFiles, (std::vector<std::int32_t>{20, 21}));
  const std::int32_t loaded = HostImageLoadFile(file(21).c_str(), "IFFTIF32.DLL", 0);
  ASSERT_GE(loaded, 0);
  EXPECT_EQ(hostimg::imageInfo(loaded).width, 40);
  EXPECT_EQ(hostimg::imageInfo(loaded).height, 40);
  EXPECT_FALSE(fs::exists(file(22)));
}

} // namespace
