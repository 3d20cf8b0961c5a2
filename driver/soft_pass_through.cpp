#include "driver/soft_pass_through.h"

#include "driver/image_geometry.h"
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

void releaseBlocks(DriverState& state) {
  state.passBits.release();
  state.passLine.release();
  state.passHeader.release();
}

void releasePalette(DriverState& state) {
  if (state.passPalette != nullptr) platform::deletePalette(state.passPalette);
  state.passPalette = nullptr;
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

std::int32_t passThroughOpen(DriverState& state, std::int32_t x, std::int32_t y, std::int32_t* width,
                             std::int32_t* height) {
  // An open without a close in between does not leak the earlier bitmap.
  releaseBlocks(state);
  releasePalette(state);
  state.passX = x;
  state.passY = y;
  state.passSourceWidth = std::max(imageWidth(state), 0);
  state.passSourceHeight = std::max(imageHeight(state), 0);
  state.passFactor = state.passSourceWidth < 800 ? 2 : 4;
  const std::int32_t reducedWidth = state.passSourceWidth / state.passFactor;
  const std::int32_t reducedHeight = state.passSourceHeight / state.passFactor;
  if (width != nullptr) *width = reducedWidth;
  if (height != nullptr) *height = reducedHeight;
  state.passRowBytes = (reducedWidth + 3) & ~3;

  if (!state.passHeader.allocate(kHeaderBytes)) return 4;
  fillHeader(state.passHeader.data(), state.passRowBytes, reducedHeight);
  state.passPalette = createGreyPalette();
  const auto bitmapBytes =
      static_cast<std::size_t>(reducedHeight) * static_cast<std::size_t>(state.passRowBytes);
  if (state.passPalette == nullptr || !state.passLine.allocate(static_cast<std::size_t>(state.passSourceWidth)) ||
      !state.passBits.allocate(bitmapBytes)) {
    releaseBlocks(state);
    releasePalette(state);
    return 4;
  }
  // The padding at the end of each row is never drawn into.
  std::memset(state.passBits.data(), 0, bitmapBytes);
  return 0;
}

std::int32_t passThroughPaint(DriverState& state, platform::DeviceContext dc) {
  if (!state.passBits || !state.passLine || !state.passHeader) return 0;
  const std::int32_t rows = state.passSourceHeight / state.passFactor;
  const std::int32_t reducedWidth = state.passSourceWidth / state.passFactor;
  const auto rowBytes = static_cast<std::size_t>(state.passRowBytes);

  const std::int32_t savedGreyMode = state.greyMode;
  state.greyMode = 1;
  platform::selectPalette(dc, state.passPalette, true);
  platform::realizePalette(dc);

  // Display row i shows picture row factor x i, so the picture is reduced
  // the same way in both directions. Rows are read by their place in the
  // picture, not from the line cursor: a repeated paint shows the same
  // image again, and the host's next transfer still gets every row.
  const RowLayout layout = lineCopierLayout(state);
  std::uint8_t* line = state.passLine.data();
  for (std::int32_t i = 0; i < rows; ++i) {
    const CopiedSpan span = copyImageRow(state, state.passFactor * i, 0, state.passSourceWidth, line, layout);
    clearUncopied(line, state.passSourceWidth, span, layout);
    // The bitmap is bottom-up: display row i is bitmap row rows - 1 - i.
    std::uint8_t* bitmapRow = state.passBits.data() + static_cast<std::size_t>(rows - 1 - i) * rowBytes;
    HostLineReduce(bitmapRow, line, reducedWidth, static_cast<std::uint16_t>(state.passFactor));
  }
  platform::setDIBitsToDevice(dc, state.passX, state.passY, static_cast<std::uint32_t>(state.passRowBytes),
                              static_cast<std::uint32_t>(rows), 0, 0, 0, static_cast<std::uint32_t>(rows),
                              state.passBits.data(), state.passHeader.data(), platform::DIB_PAL_COLORS);
  state.greyMode = savedGreyMode;
  return 0;
}

std::int32_t passThroughClose(DriverState& state) {
  releaseBlocks(state);
  releasePalette(state);
  return 0;
}

} // namespace vx
