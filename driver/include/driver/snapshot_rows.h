// Rows of the snapshot buffer copied out in the layouts the host takes.
//
// The snapshot buffer holds snapWidth x snapHeight pixels of three bytes
// (blue, green, red), rows bottom-up: image row 0, the top of the picture,
// is the last row in memory. Every copy here stays inside that buffer: a
// copy that asks for pixels outside the snapshot is clipped to it, a copy
// without a snapshot (or after its buffer was freed) copies nothing, and a
// null destination copies nothing. Copies write straight into the
// destination and allocate nothing.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// How copied pixels are laid out.
struct RowLayout {
  // true: three samples red, green, blue (buffer bytes 2, 1, 0); false: one
  // grey sample, the pixel's red byte (buffer byte 2).
  bool colour = false;
  // null: 8-bit samples. Otherwise 16-bit samples (machine byte order), each
  // 8-bit value looked up in this 256-entry table.
  const std::uint16_t* wide = nullptr;

  int samplesPerPixel() const { return colour ? 3 : 1; }
  int bytesPerPixel() const { return samplesPerPixel() * (wide != nullptr ? 2 : 1); }
};

// The line copier's own layout: 8-bit samples, colour in the colour mode
// (greyMode 0 and colourCamera 1), grey otherwise.
RowLayout lineCopierLayout(const Driver& driver);

// The 8-bit value spread over `bits` bits (10, 12 or 16) by repeating its
// top bits, so that 0 stays 0 and 255 becomes the largest value of the
// depth. Any other `bits` gives the 16-bit table.
const std::uint16_t* wideSampleTable(int bits);

// What a copy wrote: `count` pixels starting `first` pixels after the
// destination's start (pixel x0 of the request).
struct CopiedSpan {
  std::int64_t first = 0;
  std::int64_t count = 0;
};

// Copies pixels x0 .. x1-1 of image row `imageRow` (0 = top of the picture)
// into `out`, pixel x0 at out[0]. Leaves the line cursor alone.
CopiedSpan copyImageRow(const Driver& driver, std::int32_t imageRow, std::int32_t x0,
                        std::int32_t x1, std::uint8_t* out, const RowLayout& layout);

// The line copier: copies pixels x0 .. x1-1 of the buffer row at
// lineCursor into `out`, then lowers the cursor by one, also when nothing
// was copied. A cursor below 0 copies nothing.
CopiedSpan copyCursorRow(Driver& driver, std::int32_t x0, std::int32_t x1, std::uint8_t* out,
                         const RowLayout& layout);

// Lowers the line cursor by `rows` without copying (never below -1).
void skipCursorRows(Driver& driver, std::int32_t rows);

// Zeroes the pixels of out[0 .. pixels) that `span` did not write, so that a
// short or missing row reads as black rather than as stale bytes.
void clearUncopied(std::uint8_t* out, std::int64_t pixels, CopiedSpan span, const RowLayout& layout);

} // namespace vx
