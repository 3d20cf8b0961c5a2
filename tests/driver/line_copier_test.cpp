// The line copier: byte order, cursor order, and staying inside the
// snapshot whatever it is asked for.
#include "transfer_fixture.h"

#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"

#include <vector>

namespace {

using LineCopier = TransferTest;

TEST_F(LineCopier, ServesRowsFromTheLastInMemoryInColourAndGrey) {
  // 37 pixels: whole blocks of eight and a tail.
  prepareSnapshot(37, 5);
  for (std::int32_t y = 0; y < 5; ++y) {
    std::vector<std::uint8_t> out(37 * 3, 0xEE);
    EXPECT_EQ(vx::copySnapshotLine(driver, 0, 1234, 37, out.data()), 0);
    EXPECT_EQ(out, pictureRow(y, 0, 37, true)) << "picture row " << y;
  }
  EXPECT_LT(driver.snapshot.lineCursor, 0);

  driver.snapshot.lineCursor = 4;
  driver.capture.greyMode = 1;
  std::vector<std::uint8_t> grey(37, 0xEE);
  vx::copySnapshotLine(driver, 0, 0, 37, grey.data());
  EXPECT_EQ(grey, pictureRow(0, 0, 37, false));

  // A monochrome camera takes the grey layout too.
  driver.capture.greyMode = 0;
  driver.capture.colourCamera = 0;
  vx::copySnapshotLine(driver, 0, 0, 37, grey.data());
  EXPECT_EQ(grey, pictureRow(1, 0, 37, false));
}

TEST_F(LineCopier, EveryStartAndLengthMatchesPixelByPixelReversal) {
  prepareSnapshot(64, 1);
  const vx::RowLayout colour{true, nullptr};
  for (std::int32_t x0 = 0; x0 < 20; ++x0) {
    for (std::int32_t x1 = x0; x1 <= 64; ++x1) {
      std::vector<std::uint8_t> out(static_cast<std::size_t>(x1 - x0) * 3 + 3, 0xEE);
      vx::copyImageRow(driver, 0, x0, x1, out.data(), colour);
      std::vector<std::uint8_t> expected = pictureRow(0, x0, x1, true);
      expected.insert(expected.end(), {0xEE, 0xEE, 0xEE});
      ASSERT_EQ(out, expected) << "x0 " << x0 << ", x1 " << x1;
    }
  }
  EXPECT_EQ(driver.snapshot.lineCursor, 0) << "reading by row leaves the cursor alone";
}

TEST_F(LineCopier, CursorIsLoweredEvenWhenNothingIsCopied) {
  prepareSnapshot(8, 4);
  std::vector<std::uint8_t> out(24, 0xEE);
  vx::copySnapshotLine(driver, 5, 0, 5, out.data());
  vx::copySnapshotLine(driver, 6, 0, 2, out.data());
  vx::copySnapshotLine(driver, 0, 0, 8, nullptr);
  EXPECT_EQ(driver.snapshot.lineCursor, 0);
  EXPECT_EQ(out, std::vector<std::uint8_t>(24, 0xEE));
  vx::copySnapshotLine(driver, 0, 0, 8, out.data());
  EXPECT_EQ(out, pictureRow(3, 0, 8, true));

  // Past the first row in memory nothing more comes, however often asked.
  std::vector<std::uint8_t> after(24, 0xEE);
  for (int i = 0; i < 3; ++i) vx::copySnapshotLine(driver, 0, 0, 8, after.data());
  EXPECT_EQ(after, std::vector<std::uint8_t>(24, 0xEE));
  EXPECT_EQ(driver.snapshot.lineCursor, -1);
}

TEST_F(LineCopier, RequestsOutsideTheRowAreClippedToIt) {
  prepareSnapshot(10, 2);
  // Pixels -3 .. 13: the row's ten pixels land where they belong, the rest
  // of the output is not touched.
  std::vector<std::uint8_t> out(17 * 3, 0xEE);
  vx::copySnapshotLine(driver, -3, 0, 14, out.data());
  std::vector<std::uint8_t> expected(9, 0xEE);
  const auto row = pictureRow(0, 0, 10, true);
  expected.insert(expected.end(), row.begin(), row.end());
  expected.insert(expected.end(), 12, 0xEE);
  EXPECT_EQ(out, expected);

  // Wholly outside: nothing.
  std::vector<std::uint8_t> outside(12, 0xEE);
  vx::copySnapshotLine(driver, 10, 0, 14, outside.data());
  EXPECT_EQ(outside, std::vector<std::uint8_t>(12, 0xEE));
  EXPECT_EQ(driver.snapshot.lineCursor, -1);
}

TEST_F(LineCopier, NoSnapshotOrAFreedBufferCopiesNothing) {
  std::vector<std::uint8_t> out(30, 0xEE);
  driver.snapshot.lineCursor = 5;  // a cursor without any snapshot
  vx::copySnapshotLine(driver, 0, 0, 10, out.data());
  EXPECT_EQ(out, std::vector<std::uint8_t>(30, 0xEE));

  // Closing the driver frees the buffer but leaves the recorded size.
  prepareSnapshot(10, 6);
  driver.snapshot.rgb.release();
  vx::copySnapshotLine(driver, 0, 0, 10, out.data());
  EXPECT_EQ(out, std::vector<std::uint8_t>(30, 0xEE));

  // A buffer holding fewer rows than recorded serves only the rows it holds.
  prepareSnapshot(10, 3);
  std::vector<std::uint8_t> held(driver.snapshot.rgb.data(), driver.snapshot.rgb.data() + 90);
  driver.snapshot.height = 6;
  driver.snapshot.lineCursor = 5;
  for (int i = 0; i < 3; ++i) vx::copySnapshotLine(driver, 0, 0, 10, out.data());
  EXPECT_EQ(out, std::vector<std::uint8_t>(30, 0xEE));
  vx::copySnapshotLine(driver, 0, 0, 10, out.data());
  for (std::size_t x = 0; x < 10; ++x) EXPECT_EQ(out[3 * x], held[60 + 3 * x + 2]);
}

TEST_F(LineCopier, WideSamplesSpreadOverTheDepth) {
  // The 8-bit value's top bits repeat below it: 0xC8 is 0x323 in 10 bits
  // (v << 2 | v >> 6), 0xC8C in 12 (v << 4 | v >> 4), 0xC8C8 in 16.
  struct Depth {
    int bits;
    std::uint16_t of00, of01, of80, ofC8, ofFF;
  } depths[] = {{10, 0, 0x004, 0x202, 0x323, 0x3FF},
                {12, 0, 0x010, 0x808, 0xC8C, 0xFFF},
                {16, 0, 0x0101, 0x8080, 0xC8C8, 0xFFFF}};
  for (const Depth& d : depths) {
    SCOPED_TRACE(d.bits);
    const std::uint16_t* table = vx::wideSampleTable(d.bits);
    EXPECT_EQ(table[0x00], d.of00);
    EXPECT_EQ(table[0x01], d.of01);
    EXPECT_EQ(table[0x80], d.of80);
    EXPECT_EQ(table[0xC8], d.ofC8);
    EXPECT_EQ(table[0xFF], d.ofFF);
    for (int v = 1; v < 256; ++v) ASSERT_GT(table[v], table[v - 1]);
  }

  // A copy through the 12-bit table: red, green, blue of each pixel.
  prepareFlatSnapshot(2, 1, 0x01);
  driver.snapshot.rgb[0] = 0xFF;  // blue of pixel 0
  driver.snapshot.rgb[5] = 0xC8;  // red of pixel 1
  std::vector<std::uint16_t> out(6);
  vx::copyImageRow(driver, 0, 0, 2, reinterpret_cast<std::uint8_t*>(out.data()),
                   vx::RowLayout{true, vx::wideSampleTable(12)});
  EXPECT_EQ(out, (std::vector<std::uint16_t>{0x010, 0x010, 0xFFF, 0xC8C, 0x010, 0x010}));
}

} // namespace
