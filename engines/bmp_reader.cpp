#include "engines/bmp_reader.h"

#include <array>
#include <cstdio>
#include <memory>

namespace engines {
namespace {

constexpr long kFileHeaderSize = 14;
constexpr long kInfoHeaderSize = 40;
constexpr long kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t readLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t readLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

int readBmp24(const char* path, Bitmap24& bitmap) {
  if (path == nullptr || path[0] == '\0') return -1;
  File file(std::fopen(path, "rb"));
  if (!file) return -1;

  std::array<std::uint8_t, kHeadersSize> headers{};
  if (std::fread(headers.data(), 1, headers.size(), file.get()) != headers.size()) return -1;
  const std::uint8_t* info = headers.data() + kFileHeaderSize;
  const auto width = static_cast<std::int32_t>(readLe32(info + 4));
  const auto height = static_cast<std::int32_t>(readLe32(info + 8));
  const std::uint16_t bitCount = readLe16(info + 14);
  if (bitCount != 24 || width <= 0 || width % 4 != 0 || height <= 0) return -1;

  const std::uint64_t bytes =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3u;
  if (bytes > kMaxBitmapBytes) return -1;

  // Check the file's length before allocating, so that a header claiming a
  // huge bitmap costs nothing.
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return -1;
  const long fileSize = std::ftell(file.get());
  if (fileSize < 0 || static_cast<std::uint64_t>(fileSize) < kHeadersSize + bytes) return -1;
  if (std::fseek(file.get(), kHeadersSize, SEEK_SET) != 0) return -1;

  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bytes));
  if (std::fread(pixels.data(), 1, pixels.size(), file.get()) != pixels.size()) return -1;

  bitmap.pixels = std::move(pixels);
  bitmap.width = width;
  bitmap.height = height;
  return 1;
}

}  // namespace engines
