// Whole images into host images: created or given, narrower or lower, the
// host calls in their order, and the failures.
#include "transfer_fixture.h"

#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"

#include <vector>

namespace {

using GetImage = TransferTest;

TEST_F(GetImage, CreatedColourImageHoldsThePictureTopRowFirst) {
  prepareSnapshot(1280, 1024);
  const std::int32_t id = vx::transferImage(driver, -1);
  ASSERT_GE(id, 0);
  const hostimg::ImageInfo info = hostimg::imageInfo(id);
  EXPECT_EQ(info.width, 1280);
  EXPECT_EQ(info.height, 1024);
  EXPECT_EQ(info.type, 3);
  EXPECT_TRUE(info.finishedSet);
  EXPECT_EQ(info.finished, 1);
  EXPECT_EQ(info.lockCount, 0);
  // Row 0 holds the last buffer row, row 1023 the first.
  EXPECT_EQ(imageRow(id, 0), pictureRow(0, 0, 1280, true));
  EXPECT_EQ(imageRow(id, 1023), pictureRow(1023, 0, 1280, true));
  for (std::int32_t y = 1; y < 1023; y += 97) EXPECT_EQ(imageRow(id, y), pictureRow(y, 0, 1280, true)) << y;
  EXPECT_EQ(driver.snapshot.lineCursor, -1);

  // A second copy without a new snapshot gets no rows.
  const std::int32_t again = vx::transferImage(driver, -1);
  ASSERT_GE(again, 0);
  EXPECT_EQ(hostimg::imageBytes(again), std::vector<std::uint8_t>(1280u * 1024u * 3u, 0));
}

TEST_F(GetImage, HostCallsComeInTheImageWritingOrder) {
  prepareSnapshot(16, 3);
  hostimg::clearCallLog();
  const std::int32_t id = vx::transferImage(driver, -1);
  ASSERT_GE(id, 0);
  EXPECT_EQ(hostCalls(), (std::vector<std::string>{"HostImageCreate", "HostImageLock", "HostImageLine", "HostImageLine",
                                                   "HostImageLine", "HostImageUnlock", "HostImageAttribute"}));
  const auto log = hostimg::callLog();
  EXPECT_EQ(log[0].args, (std::vector<std::string>{"16", "3", "3", "0"}));
  EXPECT_EQ(log[1].args.at(1), "2");
  EXPECT_EQ(log[2].args.at(1), "0");
  EXPECT_EQ(log[4].args.at(1), "2");
  EXPECT_EQ(log[6].args.at(1), "24");
  EXPECT_EQ(log[6].args.at(2), "1");
}

TEST_F(GetImage, GreyModeAndMonochromeDepths) {
  prepareSnapshot(64, 8);
  driver.capture.greyMode = 1;
  const std::int32_t grey = vx::transferImage(driver, -1);
  ASSERT_GE(grey, 0);
  EXPECT_EQ(hostimg::imageInfo(grey).type, 1);
  for (std::int32_t y = 0; y < 8; ++y) EXPECT_EQ(imageRow(grey, y), pictureRow(y, 0, 64, false));

  // Once a monochrome camera was seen, 16 and 12 bits: 16-bit samples
  // spread over the depth by repeating the red byte's top bits.
  driver.capture.greyMode = 0;
  driver.capture.colourCamera = 0;
  const std::uint8_t reds[] = {0x00, 0x01, 0x80, 0xC8, 0xFF};
  const auto row2 = static_cast<std::size_t>(driver.snapshot.height - 1 - 2) * 64u * 3u;
  for (std::size_t x = 0; x < 5; ++x) driver.snapshot.rgb[row2 + 3 * x + 2] = reds[x];
  struct Depth {
    int bits, type;
    std::uint32_t samples[5];
  } depths[] = {
      {16, 6, {0x0000, 0x0101, 0x8080, 0xC8C8, 0xFFFF}},  // v x 257
      {12, 4, {0x000, 0x010, 0x808, 0xC8C, 0xFFF}},       // v << 4 | v >> 4
  };
  for (const Depth& d : depths) {
    SCOPED_TRACE(d.bits);
    driver.capture.mono12Bit = d.bits == 12 ? 1 : 0;
    driver.snapshot.lineCursor = 7;
    const std::int32_t wide = vx::transferImage(driver, -1);
    ASSERT_GE(wide, 0);
    EXPECT_EQ(hostimg::imageInfo(wide).type, d.type);
    for (std::int32_t x = 0; x < 5; ++x)
      EXPECT_EQ(hostimg::pixel(wide, x, 2), std::vector<std::uint32_t>{d.samples[x]}) << x;
  }
}

TEST_F(GetImage, NarrowerAndLowerHostImagesTakeTheMiddle) {
  prepareSnapshot(1280, 1024);
  const std::int32_t narrow = hostimg::createImage(1000, 1024, 3, std::vector<std::uint8_t>(1000u * 1024u * 3u));
  ASSERT_EQ(vx::transferImage(driver, narrow), narrow);
  EXPECT_EQ(imageRow(narrow, 0), pictureRow(0, 140, 1140, true));
  EXPECT_EQ(imageRow(narrow, 1023), pictureRow(1023, 140, 1140, true));
  EXPECT_TRUE(hostimg::imageInfo(narrow).finishedSet);

  driver.snapshot.lineCursor = 1023;
  const std::int32_t low = hostimg::createImage(1280, 512, 3, std::vector<std::uint8_t>(1280u * 512u * 3u));
  ASSERT_EQ(vx::transferImage(driver, low), low);
  EXPECT_EQ(imageRow(low, 0), pictureRow(256, 0, 1280, true));
  EXPECT_EQ(imageRow(low, 511), pictureRow(767, 0, 1280, true));

  // A larger host image keeps what lies outside the picture.
  driver.snapshot.lineCursor = 1023;
  std::vector<std::uint8_t> marked(1300u * 1030u * 3u, 0x5A);
  const std::int32_t large = hostimg::createImage(1300, 1030, 3, marked);
  ASSERT_EQ(vx::transferImage(driver, large), large);
  std::vector<std::uint8_t> row0 = pictureRow(0, 0, 1280, true);
  row0.insert(row0.end(), 20 * 3, 0x5A);
  EXPECT_EQ(imageRow(large, 0), row0);
  EXPECT_EQ(imageRow(large, 1024), std::vector<std::uint8_t>(1300u * 3u, 0x5A));
}

TEST_F(GetImage, NeverWritesPastAHostRowNorReadsPastTheSnapshot) {
  // A grey host image in colour mode: a row holds 100 bytes, so only 33
  // whole pixels are written.
  prepareSnapshot(100, 4);
  const std::int32_t grey = hostimg::createImage(100, 4, 1, std::vector<std::uint8_t>(400, 0x5A));
  ASSERT_EQ(vx::transferImage(driver, grey), grey);
  std::vector<std::uint8_t> expected = pictureRow(0, 0, 33, true);
  expected.push_back(0x5A);
  EXPECT_EQ(imageRow(grey, 0), expected);

  // An image size wider and higher than the snapshot: the copy stops at
  // the snapshot's edge.
  prepareSnapshot(50, 4);
  driver.commands.acquireRect = platform::Rect{0, 0, 60, 6};
  const std::int32_t id = vx::transferImage(driver, -1);
  ASSERT_GE(id, 0);
  std::vector<std::uint8_t> row = pictureRow(3, 0, 50, true);
  row.insert(row.end(), 30, 0);
  EXPECT_EQ(imageRow(id, 3), row);
  EXPECT_EQ(imageRow(id, 4), std::vector<std::uint8_t>(180, 0));
}

TEST_F(GetImage, FailuresReleaseWhatTheyTook) {
  prepareSnapshot(32, 4);
  ASSERT_TRUE(hostimg::failNext("HostImageCreate"));
  EXPECT_EQ(vx::transferImage(driver, -1), -999);
  EXPECT_EQ(hostimg::liveImages(), 0u);

  ASSERT_TRUE(hostimg::failNext("HostImageLock"));
  EXPECT_EQ(vx::transferImage(driver, -1), -998);
  EXPECT_EQ(hostimg::liveImages(), 0u) << "the created image is released";

  // The host's own image is released as well when it can't be locked.
  const std::int32_t given = hostimg::createImage(32, 4, 3, std::vector<std::uint8_t>(384));
  ASSERT_TRUE(hostimg::failNext("HostImageLock"));
  EXPECT_EQ(vx::transferImage(driver, given), -998);
  EXPECT_FALSE(hostimg::imageInfo(given).exists);

  // An image whose size can't be read is left alone.
  const std::int32_t unread = hostimg::createImage(32, 4, 3, std::vector<std::uint8_t>(384));
  ASSERT_TRUE(hostimg::failNext("HostImageAttribute"));
  EXPECT_EQ(vx::transferImage(driver, unread), -998);
  EXPECT_TRUE(hostimg::imageInfo(unread).exists);
  EXPECT_EQ(driver.snapshot.lineCursor, 3) << "no row was taken";

  // No image size: nothing can be created.
  driver.commands.acquireRect = platform::Rect{};
  EXPECT_EQ(vx::transferImage(driver, -1), -999);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
}

} // namespace
