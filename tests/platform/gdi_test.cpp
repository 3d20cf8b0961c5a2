// Palettes and bitmap drawing.
#include "platform_fixture.h"

#include <cstring>
#include <string>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

class GdiTest : public PlatformTest {};

DeviceContext fakeDc(std::uintptr_t value) { return reinterpret_cast<DeviceContext>(value); }

// A BITMAPINFO for an 8-bit bitmap with a DIB_PAL_COLORS table of 256
// indices (clrUsed 0).
struct PalBitmapInfo {
  BitmapInfoHeader header;
  std::uint16_t indices[256];
};

PalBitmapInfo greyInfo(std::int32_t width, std::int32_t height) {
  PalBitmapInfo info{};
  info.header.width = width;
  info.header.height = height;
  info.header.bitCount = 8;
  for (std::uint16_t i = 0; i < 256; ++i) info.indices[i] = static_cast<std::uint16_t>(255 - i);
  return info;
}

std::vector<PaletteEntry> greyRamp() {
  std::vector<PaletteEntry> entries(256);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    entries[i] = PaletteEntry{v, v, v, 0};
  }
  return entries;
}

TEST_F(GdiTest, DrawRecordsHeaderIndexTableRowsAndThePaletteInUse) {
  const auto entries = greyRamp();
  const PaletteHandle palette = createPalette(0x300, entries.data(), 256);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(livePaletteCount(), 1u);
  const DeviceContext dc = fakeDc(0x7000);
  EXPECT_EQ(selectPalette(dc, palette, false), nullptr);
  EXPECT_EQ(realizePalette(dc), 256u);

  // Width 5 at 8 bits: rows of 8 bytes.
  const PalBitmapInfo info = greyInfo(5, 3);
  std::vector<std::uint8_t> bits(8 * 3);
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(setDIBitsToDevice(dc, 10, 20, 5, 3, 0, 0, 0, 3, bits.data(), &info, DIB_PAL_COLORS),
            3);

  const auto draws = bitmapDraws();
  ASSERT_EQ(draws.size(), 1u);
  const BitmapDraw& d = draws[0];
  EXPECT_EQ(d.dc, dc);
  EXPECT_EQ(d.x, 10);
  EXPECT_EQ(d.y, 20);
  EXPECT_EQ(d.scanLines, 3u);
  EXPECT_EQ(d.header.width, 5);
  EXPECT_EQ(d.bits, bits);
  ASSERT_EQ(d.paletteIndices.size(), 256u);
  EXPECT_EQ(d.paletteIndices[0], 255);
  EXPECT_EQ(d.paletteIndices[255], 0);
  EXPECT_TRUE(d.paletteSelected);
  ASSERT_EQ(d.palette.size(), 256u);
  EXPECT_EQ(d.palette[128].green, 128);

  EXPECT_TRUE(deletePalette(palette));
  EXPECT_FALSE(deletePalette(palette));
  EXPECT_EQ(livePaletteCount(), 0u);
  // The context no longer holds the deleted palette.
  setDIBitsToDevice(dc, 0, 0, 5, 3, 0, 0, 0, 3, bits.data(), &info, DIB_PAL_COLORS);
  EXPECT_FALSE(bitmapDraws().back().paletteSelected);
  EXPECT_TRUE(bitmapDraws().back().palette.empty());
}

TEST_F(GdiTest, UnrealisedPaletteAndShortTablesAndExcessLines) {
  const auto entries = greyRamp();
  const PaletteHandle palette = createPalette(0x300, entries.data(), 16);
  const DeviceContext dc = fakeDc(0x7100);
  selectPalette(dc, palette, true);

  // clrUsed limits the index table; more lines than the bitmap has are cut.
  PalBitmapInfo info = greyInfo(4, 2);
  info.header.clrUsed = 16;
  const std::vector<std::uint8_t> bits(4 * 2, 9);
  EXPECT_EQ(setDIBitsToDevice(dc, 0, 0, 4, 2, 0, 0, 0, 50, bits.data(), &info, DIB_PAL_COLORS), 2);
  const BitmapDraw d = bitmapDraws().back();
  EXPECT_EQ(d.paletteIndices.size(), 16u);
  EXPECT_EQ(d.bits.size(), 8u);
  EXPECT_FALSE(d.paletteSelected);  // selected but not realised
  EXPECT_EQ(d.palette.size(), 16u);

  EXPECT_EQ(setDIBitsToDevice(nullptr, 0, 0, 4, 2, 0, 0, 0, 2, bits.data(), &info, DIB_PAL_COLORS),
            0);
  EXPECT_EQ(createPalette(0x300, entries.data(), 0), nullptr);
  EXPECT_EQ(selectPalette(dc, nullptr, false), nullptr);
}

TEST_F(GdiTest, DrawRecordIsBounded) {
  const PalBitmapInfo info = greyInfo(4, 1);
  const std::uint8_t bits[4] = {1, 2, 3, 4};
  for (std::size_t i = 0; i < kMaxBitmapDraws + 10; ++i) {
    setDIBitsToDevice(fakeDc(0x7200), static_cast<int>(i), 0, 4, 1, 0, 0, 0, 1, bits, &info,
                      DIB_RGB_COLORS);
  }
  const auto draws = bitmapDraws();
  EXPECT_EQ(draws.size(), kMaxBitmapDraws);
  EXPECT_EQ(draws.front().x, 10);  // the oldest were dropped
  EXPECT_TRUE(draws.front().paletteIndices.empty());  // RGB colours: no index table
  EXPECT_EQ(bitmapDrawCount(), kMaxBitmapDraws + 10);
  clearBitmapDraws();
  EXPECT_EQ(bitmapDrawCount(), 0u);
}

} // namespace
