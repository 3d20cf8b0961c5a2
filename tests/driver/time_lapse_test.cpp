// Time-lapse series against the simulated camera in virtual time: the
// files, their content, the timing of the captures and every way a series
// ends.
#include "transfer_fixture.h"
#include "support/scratch_folder.h"

#include "driver/time_lapse.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CallbackRecord {
  std::int32_t file, phase, user;
  std::uint32_t tick;
  friend bool operator==(const CallbackRecord&, const CallbackRecord&) = default;
};

std::vector<CallbackRecord> callbacks;
// What the callback does besides recording, after the given file's save.
vx::Driver* lapseDriver = nullptr;
std::int32_t killAfterFile = -1;
std::int32_t killTimerAfterFile = -1;
std::int32_t renameAfterFile = -1;
char prefixText[512];
std::string renamedPrefix;

void ACQ_CALL recordCallback(std::int32_t file, std::int32_t phase, std::int32_t user) {
  callbacks.push_back({file, phase, user, platform::tickCount()});
  if (phase != 1) return;
  if (file == killAfterFile) vx::timeLapseKill(*lapseDriver);
  if (file == killTimerAfterFile) {
    // Every timer gone, the series' and the preview's: no message can come.
    for (const auto& timer : platform::headless::activeTimers()) platform::killTimer(timer.window, timer.id);
  }
  if (file == renameAfterFile) std::snprintf(prefixText, sizeof prefixText, "%s", renamedPrefix.c_str());
}

class TimeLapse : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    platform::headless::useVirtualTime(true, 0);
    callbacks.clear();
    lapseDriver = &driver;
    killAfterFile = killTimerAfterFile = renameAfterFile = -1;
    dir = scratch.path();
    setPrefix((dir / "shot").string());
    openAt(640, 480);
  }

  void setPrefix(const std::string& prefix) { std::snprintf(prefixText, sizeof prefixText, "%s", prefix.c_str()); }
  std::string file(std::int32_t number) const { return (dir / ("shot" + std::to_string(number) + ".TIF")).string(); }

  std::int32_t run(std::int32_t count, std::int32_t first, std::uint32_t interval, AcqRect* region = nullptr) {
    return vx::timeLapse(driver, prefixText, count, first, interval, region, recordCallback, 42);
  }

  // The file read back through the host's loader (a new host image), or -1.
  static std::int32_t load(const std::string& path) { return HostImageLoadFile(path.c_str(), "IFFTIF32.DLL", 0); }

  // Ticks of the phase-0 callbacks.
  static std::vector<std::uint32_t> captureTicks() {
    std::vector<std::uint32_t> ticks;
    for (const auto& c : callbacks)
      if (c.phase == 0) ticks.push_back(c.tick);
    return ticks;
  }
  // Periods of the series' timer (id 4112, no window) in the order it was
  // started. The snapshots restart the preview, whose own timer runs too.
  static std::vector<std::uint32_t> timerPeriods() {
    std::vector<std::uint32_t> periods;
    for (const auto& t : platform::headless::timerStarts())
      if (t.id == 4112u && t.window == nullptr) periods.push_back(t.period);
    return periods;
  }
  static bool lapseTimerActive() {
    for (const auto& t : platform::headless::activeTimers())
      if (t.id == 4112u) return true;
    return false;
  }

  vxtest::ScratchFolder scratch;
  fs::path dir;
};

TEST_F(TimeLapse, IntervalBelowTwoSecondsStartsNothing) {
  EXPECT_EQ(run(3, 1, 1), 6);
  EXPECT_EQ(run(3, 1, 0), 6);
  EXPECT_TRUE(platform::headless::timerStarts().empty());
  EXPECT_TRUE(callbacks.empty());
  EXPECT_TRUE(fs::is_empty(dir));
  // No images asked for: nothing to do.
  EXPECT_EQ(run(0, 1, 5), 0);
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(TimeLapse, SingleImageIsSavedAtOnce) {
  ASSERT_EQ(run(1, 7, 5), 0);
  EXPECT_EQ(callbacks, (std::vector<CallbackRecord>{{7, 0, 42, 0}, {7, 1, 42, 0}}));
  EXPECT_FALSE(lapseTimerActive());
  EXPECT_EQ(driver.lapse.running, 0);
  ASSERT_TRUE(fs::exists(file(7)));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  // The file holds the snapshot the driver took for it, red, green, blue.
  const std::int32_t image = load(file(7));
  ASSERT_GE(image, 0) << hostimg::lastError();
  EXPECT_EQ(hostimg::imageInfo(image).width, 640);
  EXPECT_EQ(hostimg::imageInfo(image).height, 480);
  EXPECT_EQ(hostimg::imageInfo(image).type, 3);
  for (std::int32_t y = 0; y < 480; y += 53) EXPECT_EQ(imageRow(image, y), pictureRow(y, 0, 640, true)) << y;
}

TEST_F(TimeLapse, ThreeImagesFiveSecondsApart) {
  ASSERT_EQ(run(3, 10, 5), 0);
  EXPECT_EQ(captureTicks(), (std::vector<std::uint32_t>{0, 5000, 10000}));
  // Started for the series, restarted after the second image; the last
  // image starts nothing.
  EXPECT_EQ(timerPeriods(), (std::vector<std::uint32_t>{5000, 5000}));
  for (const std::int32_t n : {10, 11, 12}) EXPECT_TRUE(fs::exists(file(n))) << n;
  EXPECT_FALSE(fs::exists(file(13)));
  EXPECT_FALSE(lapseTimerActive());
  EXPECT_EQ(hostimg::openFiles(), 0u);

  // Every file is a new snapshot.
  int snapshots = 0;
  for (const auto& entry : vzsim::journal())
    if (entry.function == "VarcamTakeVideo" && !entry.args.empty() && entry.args[0] == "1") ++snapshots;
  EXPECT_EQ(snapshots, 3);
}

TEST_F(TimeLapse, MinutesAreCountedInMinuteTicks) {
  ASSERT_EQ(run(3, 1, 90), 0);
  EXPECT_EQ(captureTicks(), (std::vector<std::uint32_t>{0, 90000, 180000}));
  EXPECT_EQ(timerPeriods(), (std::vector<std::uint32_t>{60000, 30000, 60000, 30000}));
  // Ticks after the series (the last capture left a minute to count) start
  // no timer again.
  vx::timeLapseTick(driver);
  vx::timeLapseTick(driver);
  EXPECT_FALSE(lapseTimerActive());
  EXPECT_EQ(timerPeriods().size(), 4u);

  // Whole minutes: the seconds' tick is 0 ms.
  callbacks.clear();
  platform::headless::reset();
  platform::headless::useVirtualTime(true, 0);
  ASSERT_EQ(run(2, 1, 120), 0);
  EXPECT_EQ(captureTicks(), (std::vector<std::uint32_t>{0, 120000}));
  EXPECT_EQ(timerPeriods(), (std::vector<std::uint32_t>{60000, 0}));
}

TEST_F(TimeLapse, KillStopsTheSeries) {
  killAfterFile = 11;
  EXPECT_EQ(run(5, 10, 3), 7);
  EXPECT_TRUE(fs::exists(file(11)));
  EXPECT_FALSE(fs::exists(file(12)));
  EXPECT_FALSE(lapseTimerActive());

  // Killed while the first image is saved.
  callbacks.clear();
  killAfterFile = 20;
  EXPECT_EQ(run(5, 20, 3), 7);
  EXPECT_EQ(captureTicks().size(), 1u);
  EXPECT_FALSE(lapseTimerActive());
}

TEST_F(TimeLapse, SeriesWhoseTimerVanishesEndsInsteadOfWaitingForever) {
  killTimerAfterFile = 1;
  EXPECT_EQ(run(4, 1, 2), 7);
  EXPECT_EQ(captureTicks().size(), 1u);
}

TEST_F(TimeLapse, RegionRowsComeFromItsTopInImageOrder) {
  AcqRect region{100, 50, 419, 289};
  ASSERT_EQ(run(1, 1, 5, &region), 0);
  const std::int32_t image = load(file(1));
  ASSERT_GE(image, 0) << hostimg::lastError();
  EXPECT_EQ(hostimg::imageInfo(image).width, 320);
  EXPECT_EQ(hostimg::imageInfo(image).height, 240);
  for (std::int32_t y = 0; y < 240; y += 13) EXPECT_EQ(imageRow(image, y), pictureRow(50 + y, 100, 420, true)) << y;
  EXPECT_EQ(imageRow(image, 239), pictureRow(289, 100, 420, true));
}

TEST_F(TimeLapse, RegionsAreCutToTheImage) {
  AcqRect tooLarge{-10, -20, 5000, 479};
  ASSERT_EQ(run(1, 1, 5, &tooLarge), 0);
  const std::int32_t image = load(file(1));
  ASSERT_GE(image, 0);
  EXPECT_EQ(hostimg::imageInfo(image).width, 640);
  EXPECT_EQ(hostimg::imageInfo(image).height, 480);

  AcqRect outside{700, 0, 800, 10};
  EXPECT_EQ(run(1, 2, 5, &outside), 3);
  EXPECT_FALSE(fs::exists(file(2)));
  EXPECT_FALSE(lapseTimerActive());
}

TEST_F(TimeLapse, GreyModeWritesOneSample) {
  driver.capture.greyMode = 1;
  ASSERT_EQ(run(1, 1, 5), 0);
  const std::int32_t image = load(file(1));
  ASSERT_GE(image, 0);
  EXPECT_EQ(hostimg::imageInfo(image).type, 1);
  EXPECT_EQ(imageRow(image, 100), pictureRow(100, 0, 640, false));
}

TEST_F(TimeLapse, FailedSavesEndTheSeriesWithThree) {
  ASSERT_TRUE(hostimg::failNext("HostFileCreate"));
  EXPECT_EQ(run(3, 1, 5), 3);
  EXPECT_EQ(callbacks, (std::vector<CallbackRecord>{{1, 0, 42, 0}}));
  EXPECT_FALSE(lapseTimerActive());

  // A write failure in the middle of the file.
  callbacks.clear();
  ASSERT_TRUE(hostimg::failNext("HostFileWriteLines"));
  EXPECT_EQ(run(3, 5, 5), 3);
  EXPECT_EQ(hostimg::openFiles(), 0u) << "closed after the failed write";

  // A later save fails: the prefix is the host's text, read at each save,
  // and here it names a folder that does not exist.
  callbacks.clear();
  renameAfterFile = 10;
  renamedPrefix = (dir / "missing" / "shot").string();
  EXPECT_EQ(run(3, 10, 5), 3);
  EXPECT_TRUE(fs::exists(file(10)));
  EXPECT_EQ(captureTicks(), (std::vector<std::uint32_t>{0, 5000}));
  EXPECT_FALSE(lapseTimerActive()) << "no timer outlives the series";
}

} // namespace
