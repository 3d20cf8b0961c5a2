// Reader for the overlay and alpha files: uncompressed 24-bit BMP files whose
// width is a multiple of 4, so that every row is 3 x width bytes without
// padding. Rows are kept in file order.
#pragma once

#include <cstdint>
#include <vector>

namespace engines {

struct Bitmap24 {
  std::vector<std::uint8_t> pixels;  // width x height x 3 bytes
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Largest pixel array accepted, in bytes; it keeps every pixel index within
// 32 bits, as on the 32-bit hosts the driver runs in.
inline constexpr std::uint64_t kMaxBitmapBytes = 0x7FFFFFFFu;

// Reads `path` into `bitmap` and returns 1. Returns -1 and leaves `bitmap`
// untouched when the path is empty or null, the file cannot be opened, is
// shorter than its 54 header bytes or than its pixels, is not 24 bits per
// pixel, has a width that is not a positive multiple of 4, a height of 0 or
// less, or more pixel bytes than kMaxBitmapBytes. The pixels are read
// straight after the headers; the header's pixel-data offset is not used.
int readBmp24(const char* path, Bitmap24& bitmap);

}  // namespace engines
