#include "support/bmp_files.h"

#include <fstream>

namespace vxtest {
namespace {

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> bmpBytes(const BmpHeader& header, const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> out{'B', 'M'};
  putLe(out, static_cast<std::uint32_t>(54 + pixels.size()), 4);
  putLe(out, 0, 4);
  putLe(out, header.pixelOffset, 4);
  putLe(out, 40, 4);
  putLe(out, static_cast<std::uint32_t>(header.width), 4);
  putLe(out, static_cast<std::uint32_t>(header.height), 4);
  putLe(out, 1, 2);
  putLe(out, header.bitCount, 2);
  for (int i = 0; i < 6; ++i) putLe(out, 0, 4);  // compression .. clrImportant
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::string BmpFolder::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  const std::string file = folder_.file(name);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file;
}

std::string BmpFolder::writeSolid(const std::string& name, std::int32_t width, std::int32_t height, std::uint8_t b,
                                  std::uint8_t g, std::uint8_t r, std::uint16_t bitCount) const {
  std::vector<std::uint8_t> pixels;
  for (std::int32_t i = 0; i < width * height; ++i) {
    pixels.push_back(b);
    pixels.push_back(g);
    pixels.push_back(r);
  }
  return write(name, bmpBytes({width, height, bitCount, 54}, pixels));
}

} // namespace vxtest
