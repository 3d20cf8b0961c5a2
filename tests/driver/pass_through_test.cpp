// The software pass-through: sizes, the bitmap it draws, repeated paints,
// and what it leaves behind.
#include "transfer_fixture.h"

#include "driver/soft_pass_through.h"

#include <vector>

namespace {

using PassThrough = TransferTest;

platform::DeviceContext hostDc() { return reinterpret_cast<platform::DeviceContext>(std::uintptr_t{0x1234}); }

TEST_F(PassThrough, ReducedSizeFollowsTheWidth) {
  struct Case {
    std::int32_t width, height, factor, outWidth, outHeight, rowBytes;
  };
  for (const Case& c : {Case{640, 480, 2, 320, 240, 320}, Case{1280, 1024, 4, 320, 256, 320},
                        Case{799, 600, 2, 399, 300, 400}, Case{800, 600, 4, 200, 150, 200}}) {
    driver.commands.acquireRect = platform::Rect{0, 0, c.width, c.height};
    std::int32_t w = -1, h = -1;
    ASSERT_EQ(vx::passThroughOpen(driver, 5, 7, &w, &h), 0) << c.width;
    EXPECT_EQ(w, c.outWidth);
    EXPECT_EQ(h, c.outHeight);
    EXPECT_EQ(driver.passThrough.factor, c.factor);
    EXPECT_EQ(driver.passThrough.rowBytes, c.rowBytes);
    EXPECT_EQ(driver.passThrough.line.size(), static_cast<std::size_t>(c.width));
    EXPECT_EQ(driver.passThrough.bits.size(), static_cast<std::size_t>(c.rowBytes * c.outHeight));
    EXPECT_EQ(driver.passThrough.header.size(), 1068u);
    EXPECT_EQ(vx::passThroughClose(driver), 0);
  }
  EXPECT_EQ(platform::headless::livePaletteCount(), 0u);
}

TEST_F(PassThrough, DrawsTheReducedGreyPictureBottomUp) {
  prepareSnapshot(640, 480);
  std::int32_t w = 0, h = 0;
  ASSERT_EQ(vx::passThroughOpen(driver, 11, 22, &w, &h), 0);
  EXPECT_EQ(vx::passThroughPaint(driver, hostDc()), 0);

  ASSERT_EQ(platform::headless::bitmapDrawCount(), 1u);
  const platform::headless::BitmapDraw draw = platform::headless::bitmapDraws().back();
  EXPECT_EQ(draw.dc, hostDc());
  EXPECT_EQ(draw.x, 11);
  EXPECT_EQ(draw.y, 22);
  EXPECT_EQ(draw.width, 320u);
  EXPECT_EQ(draw.height, 240u);
  EXPECT_EQ(draw.scanLines, 240u);
  EXPECT_EQ(draw.header.size, 40u);
  EXPECT_EQ(draw.header.width, 320);
  EXPECT_EQ(draw.header.height, 240);
  EXPECT_EQ(draw.header.planes, 1);
  EXPECT_EQ(draw.header.bitCount, 8);
  EXPECT_EQ(draw.header.compression, 0u);
  ASSERT_EQ(draw.paletteIndices.size(), 256u);
  for (std::uint16_t i = 0; i < 256; ++i) ASSERT_EQ(draw.paletteIndices[i], i);
  EXPECT_TRUE(draw.paletteSelected);
  ASSERT_EQ(draw.palette.size(), 256u);
  EXPECT_EQ(draw.palette[200].red, 200);
  EXPECT_EQ(draw.palette[200].green, 200);
  EXPECT_EQ(draw.palette[200].blue, 200);

  // Display row i (bitmap row 239 - i) shows picture row 2i, every second
  // pixel, as its red byte.
  ASSERT_EQ(draw.bits.size(), 320u * 240u);
  for (std::int32_t i = 0; i < 240; i += 7) {
    for (std::int32_t j = 0; j < 320; j += 5) {
      ASSERT_EQ(draw.bits[static_cast<std::size_t>((239 - i) * 320 + j)], pictureByte(2 * j, 2 * i, 2))
          << "display row " << i << ", column " << j;
    }
  }
  EXPECT_EQ(driver.snapshot.lineCursor, 479) << "the paint leaves the host's transfer its rows";

  // Painted again without a new snapshot: the same picture.
  EXPECT_EQ(vx::passThroughPaint(driver, hostDc()), 0);
  EXPECT_EQ(platform::headless::bitmapDraws().back().bits, draw.bits);
  vx::passThroughClose(driver);
}

TEST_F(PassThrough, RowPaddingAndMissingRowsAreBlack) {
  // 799 wide: 399 pixels in rows of 400 bytes. The snapshot is lower than
  // the size the pass-through was opened with.
  prepareSnapshot(799, 10);
  driver.commands.acquireRect = platform::Rect{0, 0, 799, 40};
  std::int32_t w = 0, h = 0;
  ASSERT_EQ(vx::passThroughOpen(driver, 0, 0, &w, &h), 0);
  vx::passThroughPaint(driver, hostDc());
  const auto draw = platform::headless::bitmapDraws().back();
  ASSERT_EQ(draw.bits.size(), 400u * 20u);
  for (std::size_t row = 0; row < 20; ++row) EXPECT_EQ(draw.bits[row * 400 + 399], 0) << row;
  // Display rows 5 .. 19 ask for picture rows 10 .. 38, which the snapshot
  // does not have.
  EXPECT_EQ(draw.bits[(19 - 4) * 400 + 3], pictureByte(6, 8, 2));
  for (std::size_t i = 5; i < 20; ++i)
    EXPECT_EQ(std::vector<std::uint8_t>(draw.bits.begin() + static_cast<std::ptrdiff_t>((19 - i) * 400),
                                        draw.bits.begin() + static_cast<std::ptrdiff_t>((20 - i) * 400)),
              std::vector<std::uint8_t>(400, 0))
        << i;
  vx::passThroughClose(driver);
}

TEST_F(PassThrough, GreyModeIsRestoredAfterThePaint) {
  prepareSnapshot(64, 32);
  std::int32_t w = 0, h = 0;
  ASSERT_EQ(vx::passThroughOpen(driver, 0, 0, &w, &h), 0);
  for (const std::int32_t mode : {0, 1}) {
    driver.capture.greyMode = mode;
    vx::passThroughPaint(driver, hostDc());
    EXPECT_EQ(driver.capture.greyMode, mode);
  }
  vx::passThroughClose(driver);
}

TEST_F(PassThrough, CloseFreesOnceAndAPaintAfterItDrawsNothing) {
  prepareSnapshot(64, 32);
  EXPECT_EQ(vx::passThroughPaint(driver, hostDc()), 0) << "not open";
  std::int32_t w = 0, h = 0;
  ASSERT_EQ(vx::passThroughOpen(driver, 0, 0, &w, &h), 0);
  // Opening again replaces the first bitmap and palette.
  ASSERT_EQ(vx::passThroughOpen(driver, 0, 0, &w, &h), 0);
  EXPECT_EQ(platform::headless::livePaletteCount(), 1u);
  EXPECT_EQ(vx::passThroughClose(driver), 0);
  EXPECT_EQ(platform::headless::livePaletteCount(), 0u);
  EXPECT_EQ(driver.passThrough.palette, nullptr);
  EXPECT_TRUE(driver.passThrough.bits.empty() && driver.passThrough.line.empty() && driver.passThrough.header.empty());
  EXPECT_EQ(vx::passThroughClose(driver), 0);
  EXPECT_EQ(vx::passThroughPaint(driver, hostDc()), 0);
  EXPECT_EQ(platform::headless::bitmapDrawCount(), 0u);

  // Nothing to show: an image too small for one reduced row.
  driver.commands.acquireRect = platform::Rect{0, 0, 64, 1};
  EXPECT_EQ(vx::passThroughOpen(driver, 0, 0, &w, &h), 4);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(platform::headless::livePaletteCount(), 0u);
  EXPECT_TRUE(driver.passThrough.header.empty());
}

} // namespace
