#include "driver/snapshot_rows.h"

#include "copier_kernels.h"
#include "image_geometry.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vx {
namespace {

// The part of the snapshot buffer that really holds rows: the recorded size,
// cut to what the buffer holds (a freed or replaced buffer holds fewer).
struct SnapshotView {
  const std::uint8_t* data = nullptr;
  std::int64_t width = 0;
  std::int64_t rows = 0;
};

SnapshotView snapshotView(const Driver& driver) {
  SnapshotView view;
  if (driver.snapshot.width <= 0 || driver.snapshot.height <= 0 || driver.snapshot.rgb.empty()) return view;
  const std::int64_t rowBytes = std::int64_t{driver.snapshot.width} * 3;
  const auto rowsHeld = static_cast<std::int64_t>(driver.snapshot.rgb.size()) / rowBytes;
  view.data = driver.snapshot.rgb.data();
  view.width = driver.snapshot.width;
  view.rows = std::min<std::int64_t>(driver.snapshot.height, rowsHeld);
  return view;
}

void store16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, sizeof v); }

void copyColour16(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels,
                  const std::uint16_t* table) {
  for (std::size_t i = 0; i < pixels; ++i, src += 3, dst += 6) {
    store16(dst, table[src[2]]);
    store16(dst + 2, table[src[1]]);
    store16(dst + 4, table[src[0]]);
  }
}

void copyGrey16(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels,
                const std::uint16_t* table) {
  for (std::size_t i = 0; i < pixels; ++i, dst += 2) store16(dst, table[src[3 * i + 2]]);
}

CopiedSpan copyBufferRow(const Driver& driver, std::int64_t bufferRow, std::int32_t x0,
                         std::int32_t x1, std::uint8_t* out, const RowLayout& layout) {
  if (out == nullptr || x1 <= x0) return {};
  const SnapshotView view = snapshotView(driver);
  if (view.data == nullptr || bufferRow < 0 || bufferRow >= view.rows) return {};
  const std::int64_t lo = std::max<std::int64_t>(x0, 0);
  const std::int64_t hi = std::min<std::int64_t>(x1, view.width);
  if (hi <= lo) return {};

  const std::uint8_t* src = view.data + (bufferRow * view.width + lo) * 3;
  std::uint8_t* dst = out + (lo - x0) * layout.bytesPerPixel();
  const auto pixels = static_cast<std::size_t>(hi - lo);
  if (layout.wide == nullptr) {
    if (layout.colour) copyColourPixels(src, dst, pixels);
    else copyGreyPixels(src, dst, pixels);
  } else {
    if (layout.colour) copyColour16(src, dst, pixels, layout.wide);
    else copyGrey16(src, dst, pixels, layout.wide);
  }
  return {lo - x0, hi - lo};
}

template <int Bits>
constexpr std::array<std::uint16_t, 256> makeWideTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned v = 0; v < 256; ++v) {
    // Repeat the value's bits below itself until the depth is filled.
    unsigned wide = 0;
    int filled = 0;
    while (filled < Bits) {
      const int shift = Bits - filled - 8;
      wide |= shift >= 0 ? v << shift : v >> -shift;
      filled += 8;
    }
    table[v] = static_cast<std::uint16_t>(wide);
  }
  return table;
}

constexpr auto kWide10 = makeWideTable<10>();
constexpr auto kWide12 = makeWideTable<12>();
constexpr auto kWide16 = makeWideTable<16>();
static_assert(kWide10[255] == 1023 && kWide12[255] == 4095 && kWide16[255] == 65535);
static_assert(kWide12[0x80] == 0x808 && kWide16[0x12] == 0x1212);

} // namespace

RowLayout lineCopierLayout(const Driver& driver) { return RowLayout{colourTransfer(driver), nullptr}; }

const std::uint16_t* wideSampleTable(int bits) {
  switch (bits) {
    case 10: return kWide10.data();
    case 12: return kWide12.data();
    default: return kWide16.data();
  }
}

CopiedSpan copyImageRow(const Driver& driver, std::int32_t imageRow, std::int32_t x0,
                        std::int32_t x1, std::uint8_t* out, const RowLayout& layout) {
  const std::int64_t bufferRow = std::int64_t{driver.snapshot.height} - 1 - imageRow;
  return copyBufferRow(driver, bufferRow, x0, x1, out, layout);
}

CopiedSpan copyCursorRow(Driver& driver, std::int32_t x0, std::int32_t x1, std::uint8_t* out,
                         const RowLayout& layout) {
  CopiedSpan span;
  if (driver.snapshot.lineCursor >= 0) span = copyBufferRow(driver, driver.snapshot.lineCursor, x0, x1, out, layout);
  skipCursorRows(driver, 1);
  return span;
}

void skipCursorRows(Driver& driver, std::int32_t rows) {
  if (rows <= 0) return;
  // Any value below 0 means "no rows left"; -1 keeps it from running down.
  driver.snapshot.lineCursor = static_cast<std::int32_t>(
      std::max<std::int64_t>(std::int64_t{driver.snapshot.lineCursor} - rows, -1));
}

void clearUncopied(std::uint8_t* out, std::int64_t pixels, CopiedSpan span, const RowLayout& layout) {
  if (out == nullptr || pixels <= 0) return;
  const std::int64_t bpp = layout.bytesPerPixel();
  const std::int64_t first = std::clamp<std::int64_t>(span.first, 0, pixels);
  const std::int64_t end = std::clamp<std::int64_t>(span.first + span.count, first, pixels);
  if (first > 0) std::memset(out, 0, static_cast<std::size_t>(first * bpp));
  if (end < pixels) std::memset(out + end * bpp, 0, static_cast<std::size_t>((pixels - end) * bpp));
}

} // namespace vx
