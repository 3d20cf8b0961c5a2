// AcqGetLine, AcqGetImage and AcqAdd through the exports: snapshots taken by
// the host's commands reach host images whole, and sums take their own.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <vector>

namespace {

class TransferExports : public LibraryTest {
 protected:
  // Opens the driver in snapshot mode, where the image is the preview size.
  // False while the command interface lacks the commands this needs.
  bool openForSnapshots() {
    EXPECT_EQ(acq->open(), 0);
    if (acq->control(ACQCMD_STREAM_CONTROL, 10, nullptr) == -1) return false;
    width = acq->control(ACQCMD_IMAGE_WIDTH, 0, nullptr);
    height = acq->control(ACQCMD_IMAGE_HEIGHT, 0, nullptr);
    return width > 0 && height > 0;
  }
  // A snapshot as a host takes it: start, then poll until it is ready.
  void snap() {
    ASSERT_NE(acq->control(ACQCMD_SNAP, 1, nullptr), -1);
    acq->control(ACQCMD_SNAP_STATUS, 0, nullptr);
  }

  // The rows of the current snapshot through AcqGetLine, top row first.
  std::vector<std::vector<std::uint8_t>> lines(int bytesPerPixel) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (std::int32_t y = 0; y < height; ++y) {
      std::vector<std::uint8_t> row(static_cast<std::size_t>(width * bytesPerPixel));
      acq->getLine(0, y, width, row.data());
      rows.push_back(row);
    }
    return rows;
  }
  static std::vector<std::uint8_t> imageRow(std::int32_t image, std::int32_t y) {
    const auto info = hostimg::imageInfo(image);
    const auto bytes = hostimg::imageBytes(image);
    const std::size_t rowBytes = bytes.size() / static_cast<std::size_t>(info.height);
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
    return {first, first + static_cast<std::ptrdiff_t>(rowBytes)};
  }
  static int snapshotsTaken() {
    int count = 0;
    for (const auto& entry : calls("VarcamTakeVideo"))
      if (!entry.args.empty() && entry.args[0] == "1") ++count;
    return count;
  }

  std::int32_t width = 0;
  std::int32_t height = 0;
};

TEST_F(TransferExports, WholeImageEqualsTheLinesOfTheSameSnapshot) {
  ASSERT_TRUE(openForSnapshots());
  snap();
  const std::int32_t image = acq->getImage(-1);
  ASSERT_GE(image, 0);
  EXPECT_EQ(hostimg::imageInfo(image).width, width);
  EXPECT_EQ(hostimg::imageInfo(image).height, height);
  EXPECT_EQ(hostimg::imageInfo(image).type, 3);
  EXPECT_TRUE(hostimg::imageInfo(image).finishedSet);

  // The simulated frames are exact: a second snapshot is the same picture.
  snap();
  const auto rows = lines(3);
  for (std::int32_t y = 0; y < height; ++y) ASSERT_EQ(imageRow(image, y), rows[static_cast<std::size_t>(y)]) << y;

  // Nothing is left of that snapshot for a second image.
  const std::int32_t empty = acq->getImage(-1);
  ASSERT_GE(empty, 0);
  EXPECT_EQ(hostimg::imageBytes(empty), std::vector<std::uint8_t>(hostimg::imageBytes(empty).size(), 0));

  // Grey mode (the camera renders grey then): one byte per pixel.
  acq->control(ACQCMD_GREY_MODE, 1, nullptr);
  snap();
  const std::int32_t grey = acq->getImage(-1);
  ASSERT_GE(grey, 0);
  EXPECT_EQ(hostimg::imageInfo(grey).type, 1);
  snap();
  const auto greyRows = lines(1);
  for (std::int32_t y = 0; y < height; ++y) ASSERT_EQ(imageRow(grey, y), greyRows[static_cast<std::size_t>(y)]) << y;
}

TEST_F(TransferExports, LockFailureReleasesTheImage) {
  ASSERT_TRUE(openForSnapshots());
  snap();
  ASSERT_TRUE(hostimg::failNext("HostImageLock"));
  EXPECT_EQ(acq->getImage(-1), -998);
  EXPECT_EQ(hostimg::liveImages(), 0u);
  ASSERT_TRUE(hostimg::failNext("HostImageCreate"));
  EXPECT_EQ(acq->getImage(-1), -999);
}

std::vector<std::int32_t> progressCodes;
std::int32_t ACQ_CALL recordProgress(std::int32_t code, std::int32_t, std::int32_t, std::int32_t) {
  progressCodes.push_back(code);
  return 0;
}

TEST_F(TransferExports, SumsOfSeveralFramesTakeTheirOwnSnapshots) {
  ASSERT_TRUE(openForSnapshots());
  snap();
  const int before = snapshotsTaken();
  // Equal count and divisor: the host's snapshot, as AcqGetImage.
  const std::int32_t plain = acq->add(3, 3, nullptr);
  ASSERT_GE(plain, 0);
  EXPECT_EQ(snapshotsTaken(), before);

  progressCodes.clear();
  AcqProgressRecord record{recordProgress, 5};
  const std::int32_t half = acq->add(2, 4, &record);
  ASSERT_GE(half, 0);
  EXPECT_EQ(snapshotsTaken(), before + 2);
  EXPECT_EQ(progressCodes.front(), 0);
  EXPECT_EQ(progressCodes.back(), 1);
  EXPECT_EQ(progressCodes.size(), 2u + 2u + static_cast<std::size_t>(height) + 1u);
  for (std::int32_t y = 0; y < height; y += 17) {
    std::vector<std::uint8_t> expected = imageRow(plain, y);
    for (auto& byte : expected) byte = static_cast<std::uint8_t>(byte / 2);
    ASSERT_EQ(imageRow(half, y), expected) << y;
  }

  EXPECT_EQ(acq->add(300, 1, nullptr), -6);
  EXPECT_EQ(acq->add(2, 0, nullptr), -5);
  EXPECT_EQ(hostimg::liveImages(), 2u);
}

} // namespace
