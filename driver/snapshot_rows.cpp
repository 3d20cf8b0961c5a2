#include "driver/snapshot_rows.h"

#include "image_geometry.h"

#include <algorithm>
#include <array>
#include <bit>
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

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void store64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

void store16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, sizeof v); }

// B, G, R -> R, G, B for `pixels` pixels.
void copyColour8(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight pixels (24 bytes) at a time as three 64-bit words. Output byte j
    // takes input byte j + 2, j or j - 2 as j mod 3 is 0, 1 or 2: the words
    // shifted by two bytes either way, masked by byte position.
    constexpr std::uint64_t m0 = 0x00FF0000FF0000FFull;  // bytes 0, 3, 6
    constexpr std::uint64_t m1 = 0xFF0000FF0000FF00ull;  // bytes 1, 4, 7
    constexpr std::uint64_t m2 = 0x0000FF0000FF0000ull;  // bytes 2, 5
    for (; i + 8 <= pixels; i += 8, src += 24, dst += 24) {
      const std::uint64_t a = load64(src);
      const std::uint64_t b = load64(src + 8);
      const std::uint64_t c = load64(src + 16);
      const std::uint64_t rightA = (a >> 16) | (b << 48);
      const std::uint64_t rightB = (b >> 16) | (c << 48);
      const std::uint64_t rightC = c >> 16;
      const std::uint64_t leftA = a << 16;
      const std::uint64_t leftB = (b << 16) | (a >> 48);
      const std::uint64_t leftC = (c << 16) | (b >> 48);
      // Byte 8 is position 2 of its triple, byte 16 position 1.
      store64(dst, (rightA & m0) | (a & m1) | (leftA & m2));
      store64(dst + 8, (rightB & m1) | (b & m2) | (leftB & m0));
      store64(dst + 16, (rightC & m2) | (c & m0) | (leftC & m1));
    }
  }
  for (; i < pixels; ++i, src += 3, dst += 3) {
    dst[0] = src[2];
    dst[1] = src[1];
    dst[2] = src[0];
  }
}

void copyGrey8(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) dst[i] = src[3 * i + 2];
}

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
    if (layout.colour) copyColour8(src, dst, pixels);
    else copyGrey8(src, dst, pixels);
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
