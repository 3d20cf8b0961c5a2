// Frame sums: limits, the report for a single frame, division and caps,
// progress calls and stops, and fresh snapshots from the camera.
#include "transfer_fixture.h"

#include "driver/frame_sum.h"
#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace {

using Call = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>;

// What the progress function was called with, and when it answers 1.
std::vector<Call> progressCalls;
std::int32_t stopAtFrame = 0;

std::int32_t ACQ_CALL recordProgress(std::int32_t code, std::int32_t value, std::int32_t total, std::int32_t user) {
  progressCalls.emplace_back(code, value, total, user);
  return code == 4 && value == stopAtFrame ? 1 : 0;
}

// Frames for sums of several: the prepared snapshot again, every byte
// `frameValue`; the source fails at frame `failAtFrame`.
int framesTaken = 0;
int failAtFrame = 0;
std::uint8_t frameValue = 0;

bool preparedFrame(vx::Driver& driver) {
  ++framesTaken;
  if (framesTaken == failAtFrame) return false;
  std::fill_n(driver.snapshot.rgb.data(), driver.snapshot.rgb.size(), frameValue);
  driver.snapshot.lineCursor = driver.snapshot.height - 1;
  return true;
}

class AddFrames : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    progressCalls.clear();
    stopAtFrame = 0;
    framesTaken = 0;
    failAtFrame = 0;
    frameValue = 0;
  }

  std::int32_t add(std::int32_t frames, std::int32_t divisor) {
    AcqProgressRecord record{recordProgress, 77};
    return vx::addFrames(driver, frames, divisor, &record, preparedFrame);
  }
};

TEST_F(AddFrames, EqualCountAndDivisorIsAPlainTransfer) {
  prepareSnapshot(40, 6);
  AcqProgressRecord record{recordProgress, 77};
  const std::int32_t id = vx::addFrames(driver, 4, 4, &record);
  ASSERT_GE(id, 0);
  EXPECT_EQ(hostimg::imageInfo(id).type, 3);
  for (std::int32_t y = 0; y < 6; ++y) EXPECT_EQ(imageRow(id, y), pictureRow(y, 0, 40, true));
  EXPECT_TRUE(progressCalls.empty());
  EXPECT_TRUE(platform::headless::messageBoxes().empty());
  EXPECT_EQ(hostimg::liveImages(), 1u);
}

TEST_F(AddFrames, LimitsAndDivisorRefuseBeforeAnythingIsCreated) {
  prepareSnapshot(8, 2);
  EXPECT_EQ(add(300, 1), -6);
  EXPECT_EQ(add(257, 1), -6);
  EXPECT_EQ(add(5, 0), -5);
  EXPECT_EQ(add(5, -2), -5);
  driver.capture.greyMode = 1;
  EXPECT_EQ(add(257, 3), -6);
  // A monochrome camera seen at 16 or 12 bits takes 16 frames at most.
  driver.capture.greyMode = 0;
  driver.capture.colourCamera = 0;
  EXPECT_EQ(add(17, 1), -6);
  EXPECT_TRUE(hostimg::callLog().empty());
  EXPECT_TRUE(progressCalls.empty());
  EXPECT_EQ(framesTaken, 0);

  EXPECT_GE(add(16, 1), 0);
  driver.capture.colourCamera = 1;
  EXPECT_GE(add(256, 256 * 2), 0);
}

TEST_F(AddFrames, OneFrameIsReportedThenDivided) {
  prepareFlatSnapshot(30, 4, 200);
  const std::int32_t id = add(1, 2);
  ASSERT_GE(id, 0);
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "images captured: 1\nstart frame: 0");
  EXPECT_EQ(boxes[0].caption, "MultiSnap Command");
  EXPECT_EQ(framesTaken, 0) << "a single frame is the host's snapshot";
  EXPECT_EQ(hostimg::imageInfo(id).type, 3);
  EXPECT_EQ(hostimg::imageBytes(id), std::vector<std::uint8_t>(30u * 4u * 3u, 100));
  EXPECT_TRUE(hostimg::imageInfo(id).finishedSet);
  EXPECT_EQ(hostimg::liveImages(), 1u) << "the accumulators are released";

  driver.capture.externalTrigger = 1;
  driver.snapshot.lineCursor = 3;
  ASSERT_GE(add(0, 3), 0);
  EXPECT_EQ(platform::headless::messageBoxes().back().text,
            "Waiting on external trigger signal\nimages captured: 0\nstart frame: 0");
}

TEST_F(AddFrames, SumsAreTruncatedCappedAndKeepTheColourOrder) {
  prepareSnapshot(24, 3);
  frameValue = 150;
  const std::int32_t capped = add(2, 1);
  ASSERT_GE(capped, 0);
  EXPECT_EQ(framesTaken, 2) << "each frame of a sum of several is a new snapshot";
  EXPECT_EQ(hostimg::imageBytes(capped), std::vector<std::uint8_t>(24u * 3u * 3u, 255));

  frameValue = 151;
  const std::int32_t halfSum = add(3, 2);  // 453 / 2 = 226.5, truncated to 226
  EXPECT_EQ(hostimg::imageBytes(halfSum), std::vector<std::uint8_t>(24u * 3u * 3u, 226));

  // Red, green and blue from their own planes, each halved.
  prepareSnapshot(24, 3);
  const std::int32_t halved = add(1, 2);
  ASSERT_GE(halved, 0);
  for (std::int32_t y = 0; y < 3; ++y) {
    std::vector<std::uint8_t> expected = pictureRow(y, 0, 24, true);
    for (auto& byte : expected) byte = static_cast<std::uint8_t>(byte / 2);
    EXPECT_EQ(imageRow(halved, y), expected) << y;
  }
}

TEST_F(AddFrames, GreyAndWideDepthsSumTheirOwnSamples) {
  prepareSnapshot(16, 2);
  driver.capture.greyMode = 1;
  frameValue = 100;
  const std::int32_t grey = add(3, 1);
  ASSERT_GE(grey, 0);
  EXPECT_EQ(hostimg::imageInfo(grey).type, 1);
  EXPECT_EQ(hostimg::imageBytes(grey), std::vector<std::uint8_t>(32, 255));

  // 12 bits: 16-bit samples in 32-bit planes, capped at 4095. 200 (0xC8)
  // is 0xC8C = 3212 in 12 bits: 3 x 3212 / 2 = 4818, capped.
  driver.capture.greyMode = 0;
  driver.capture.colourCamera = 0;
  driver.capture.mono12Bit = 1;
  frameValue = 200;
  const std::int32_t wide = add(3, 2);
  ASSERT_GE(wide, 0);
  EXPECT_EQ(hostimg::imageInfo(wide).type, 4);
  EXPECT_EQ(hostimg::pixel(wide, 5, 1), std::vector<std::uint32_t>{4095u});
  // 199 (0xC7) is 0xC7C = 3196: 2 x 3196 / 3 = 2130.67, truncated to 2130.
  frameValue = 199;
  const std::int32_t twoThirds = add(2, 3);
  ASSERT_GE(twoThirds, 0);
  EXPECT_EQ(hostimg::pixel(twoThirds, 5, 1), std::vector<std::uint32_t>{2130u});

  // 16 bits saturate instead of wrapping round.
  driver.capture.mono12Bit = 0;
  const std::int32_t sixteen = add(3, 1);
  EXPECT_EQ(hostimg::pixel(sixteen, 0, 0), std::vector<std::uint32_t>{65535u});
}

TEST_F(AddFrames, ProgressCallsComeInOrder) {
  prepareSnapshot(8, 3);
  frameValue = 10;
  ASSERT_GE(add(2, 3), 0);
  EXPECT_EQ(progressCalls, (std::vector<Call>{{0, 0, 0, 77},
                                              {2, 0, 5, 0},
                                              {4, 1, 0, 0},
                                              {4, 2, 0, 0},
                                              {4, 3, 0, 0},
                                              {4, 4, 0, 0},
                                              {4, 5, 0, 0},
                                              {1, 0, 0, 0}}));
}

TEST_F(AddFrames, AStopOrALostFrameReleasesEverything) {
  prepareSnapshot(8, 3);
  stopAtFrame = 2;
  EXPECT_EQ(add(4, 1), -1);
  EXPECT_EQ(framesTaken, 2);
  EXPECT_EQ(progressCalls.back(), (Call{1, 0, 0, 0}));
  EXPECT_EQ(progressCalls.size(), 5u) << "start, steps, two frames, end";
  EXPECT_EQ(hostimg::liveImages(), 0u);
  EXPECT_EQ(hostimg::liveLocks(), 0u);

  progressCalls.clear();
  stopAtFrame = 0;
  framesTaken = 0;
  failAtFrame = 3;
  EXPECT_EQ(add(4, 1), -1);
  EXPECT_EQ(framesTaken, 3);
  EXPECT_EQ(progressCalls.back(), (Call{1, 0, 0, 0}));
  EXPECT_EQ(hostimg::liveImages(), 0u);

  // Without a progress record the sum runs all the same.
  failAtFrame = 0;
  EXPECT_GE(vx::addFrames(driver, 2, 1, nullptr, preparedFrame), 0);
}

TEST_F(AddFrames, FailedCreationOrLockReleasesWhatWasMade) {
  prepareSnapshot(8, 3);
  ASSERT_TRUE(hostimg::failNext("HostImageCreate"));
  EXPECT_EQ(add(2, 1), -999);
  ASSERT_TRUE(hostimg::failNext("HostImageLock"));
  EXPECT_EQ(add(2, 1), -998);
  EXPECT_EQ(hostimg::liveImages(), 0u);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
  EXPECT_TRUE(progressCalls.empty());
}

TEST_F(AddFrames, SeveralFramesAreNewSnapshotsFromTheCamera) {
  openAt(320, 240);
  driver.capture.externalTrigger = 1;
  vzsim::clearJournal();
  const std::int32_t id = vx::addFrames(driver, 4, 8, nullptr);
  ASSERT_GE(id, 0);
  // A trigger prompt and a snapshot for every frame, no report.
  std::vector<std::string> texts;
  for (const auto& box : platform::headless::messageBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, std::vector<std::string>(4, "Wait for trigger"));
  int frames = 0;
  for (const auto& entry : vzsim::journal())
    if (entry.function == "VarcamTakeVideo" && entry.args.size() > 0 && entry.args[0] == "1") ++frames;
  EXPECT_EQ(frames, 4);
  // The simulated frames are exact, so every frame equals the last
  // snapshot, and 4 frames / 8 halve it.
  for (std::int32_t y = 0; y < 240; y += 47) {
    std::vector<std::uint8_t> expected = pictureRow(y, 0, 320, true);
    for (auto& byte : expected) byte = static_cast<std::uint8_t>(byte / 2);
    EXPECT_EQ(imageRow(id, y), expected) << y;
  }
}

TEST(Divider, MatchesIntegerDivision) {
  for (const std::uint32_t divisor : {1u, 2u, 3u, 7u, 100u, 255u, 256u, 65535u, 65536u, 1000003u}) {
    for (const std::uint64_t largest : {65280ull, 1048560ull}) {
      const vx::Divider divide(divisor, largest);
      for (std::uint32_t n = 0; n <= largest; n += (n < 70000 ? 1u : 13u))
        ASSERT_EQ(divide(n), n / divisor) << n << " / " << divisor;
    }
  }
}

} // namespace
