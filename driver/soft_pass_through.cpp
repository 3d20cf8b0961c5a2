#include "driver/soft_pass_through.h"

#include "image_geometry.h"
#include "driver/snapshot_rows.h"
#include "hostlib/host_imaging.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vx {
namespace {

constexpr std::size_t kPaletteSize = 256;
// The header block: a bitmap information header followed by 256 16-bit
// palette indices; the block has room for a table of 32-bit entries, and
// the bytes after the indices are zero.
constexpr std::size_t kHeaderBytes = 1068;
static_assert(sizeof(platform::BitmapInfoHeader) + kPaletteSize * sizeof(std::uint16_t) <= kHeaderBytes);

void releaseBlocks(Driver& driver) {
  driver.passThrough.bits.release();
  driver.passThrough.line.release();
  driver.passThrough.header.release();
}

void releasePalette(Driver& driver) {
  if (driver.passThrough.palette != nullptr) platform::deletePalette(driver.passThrough.palette);
  driver.passThrough.palette = nullptr;
}

void fillHeader(std::uint8_t* block, std::int32_t rowBytes, std::int32_t reducedHeight) {
  std::memset(block, 0, kHeaderBytes);
  platform::BitmapInfoHeader header;
  header.size = sizeof header;
  header.width = rowBytes;
  header.height = reducedHeight;  // positive: rows bottom-up
  header.planes = 1;
  header.bitCount = 8;
  std::memcpy(block, &header, sizeof header);
  std::array<std::uint16_t, kPaletteSize> indices{};
  for (std::size_t i = 0; i < kPaletteSize; ++i) indices[i] = static_cast<std::uint16_t>(i);
  std::memcpy(block + sizeof header, indices.data(), sizeof indices);
}

platform::PaletteHandle createGreyPalette() {
  std::array<platform::PaletteEntry, kPaletteSize> entries{};
  for (std::size_t i = 0; i < kPaletteSize; ++i) {
    const auto level = static_cast<std::uint8_t>(i);
    entries[i] = platform::PaletteEntry{level, level, level, 0};
  }
  return platform::createPalette(0x300, entries.data(), static_cast<std::uint16_t>(kPaletteSize));
}

} // namespace

std::int32_t passThroughOpen(Driver& driver, std::int32_t x, std::int32_t y, std::int32_t* width,
                             std::int32_t* height) {
  // An open without a close in between does not leak the earlier bitmap.
  releaseBlocks(driver);
  releasePalette(driver);
  driver.passThrough.x = x;
  driver.passThrough.y = y;
  driver.passThrough.sourceWidth = std::max(imageWidth(driver), 0);
  driver.passThrough.sourceHeight = std::max(imageHeight(driver), 0);
  driver.passThrough.factor = driver.passThrough.sourceWidth < 800 ? 2 : 4;
  const std::int32_t reducedWidth = driver.passThrough.sourceWidth / driver.passThrough.factor;
  const std::int32_t reducedHeight = driver.passThrough.sourceHeight / driver.passThrough.factor;
  if (width != nullptr) *width = reducedWidth;
  if (height != nullptr) *height = reducedHeight;
  driver.passThrough.rowBytes = (reducedWidth + 3) & ~3;

  if (!driver.passThrough.header.allocate(kHeaderBytes)) return 4;
  fillHeader(driver.passThrough.header.data(), driver.passThrough.rowBytes, reducedHeight);
  driver.passThrough.palette = createGreyPalette();
  const auto bitmapBytes =
      static_cast<std::size_t>(reducedHeight) * static_cast<std::size_t>(driver.passThrough.rowBytes);
  if (driver.passThrough.palette == nullptr || !driver.passThrough.line.allocate(static_cast<std::size_t>(driver.passThrough.sourceWidth)) ||
      !driver.passThrough.bits.allocate(bitmapBytes)) {
    releaseBlocks(driver);
    releasePalette(driver);
    return 4;
  }
  // The padding at the end of each row is never drawn into.
  std::memset(driver.passThrough.bits.data(), 0, bitmapBytes);
  return 0;
}

std::int32_t passThroughPaint(Driver& driver, platform::DeviceContext dc) {
  if (!driver.passThrough.bits || !driver.passThrough.line || !driver.passThrough.header) return 0;
  const std::int32_t rows = driver.passThrough.sourceHeight / driver.passThrough.factor;
  const std::int32_t reducedWidth = driver.passThrough.sourceWidth / driver.passThrough.factor;
  const auto rowBytes = static_cast<std::size_t>(driver.passThrough.rowBytes);

  const std::int32_t savedGreyMode = driver.capture.greyMode;
  driver.capture.greyMode = 1;
  platform::selectPalette(dc, driver.passThrough.palette, true);
  platform::realizePalette(dc);

  // Display row i shows picture row factor x i, so the picture is reduced
  // the same way in both directions. Rows are read by their place in the
  // picture, not from the line cursor: a repeated paint shows the same
  // image again, and the host's next transfer still gets every row.
  const RowLayout layout = lineCopierLayout(driver);
  std::uint8_t* line = driver.passThrough.line.data();
  for (std::int32_t i = 0; i < rows; ++i) {
    const CopiedSpan span = copyImageRow(driver, driver.passThrough.factor * i, 0, driver.passThrough.sourceWidth, line, layout);
    clearUncopied(line, driver.passThrough.sourceWidth, span, layout);
    // The bitmap is bottom-up: display row i is bitmap row rows - 1 - i.
    std::uint8_t* bitmapRow = driver.passThrough.bits.data() + static_cast<std::size_t>(rows - 1 - i) * rowBytes;
    HostLineReduce(bitmapRow, line, reducedWidth, static_cast<std::uint16_t>(driver.passThrough.factor));
  }
  platform::setDIBitsToDevice(dc, driver.passThrough.x, driver.passThrough.y, static_cast<std::uint32_t>(driver.passThrough.rowBytes),
                              static_cast<std::uint32_t>(rows), 0, 0, 0, static_cast<std::uint32_t>(rows),
                              driver.passThrough.bits.data(), driver.passThrough.header.data(), platform::DIB_PAL_COLORS);
  driver.capture.greyMode = savedGreyMode;
  return 0;
}

std::int32_t passThroughClose(Driver& driver) {
  releaseBlocks(driver);
  releasePalette(driver);
  return 0;
}

} // namespace vx
