// Writes small BMP files for the reader and overlay tests into a scratch
// folder that is removed with the object.
#pragma once

#include "support/scratch_folder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>


namespace engines::testing {

struct BmpHeader {
  std::int32_t width = 4;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t pixelOffset = 54;
};

inline void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The 54 header bytes of a BMP file followed by `pixels`.
inline std::vector<std::uint8_t> bmpBytes(const BmpHeader& h, const std::vector<std::uint8_t>& pixels) {
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  putLe(out, static_cast<std::uint32_t>(54 + pixels.size()), 4);
  putLe(out, 0, 4);
  putLe(out, h.pixelOffset, 4);
  putLe(out, 40, 4);
  putLe(out, static_cast<std::uint32_t>(h.width), 4);
  putLe(out, static_cast<std::uint32_t>(h.height), 4);
  putLe(out, 1, 2);
  putLe(out, h.bitCount, 2);
  for (int i = 0; i < 6; ++i) putLe(out, 0, 4);  // compression .. clrImportant
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

  // A valid 24-bit BMP of width x height whose every pixel is (b, g, r).
  std::string writeSolid(const std::string& name, std::int32_t width, std::int32_t height,
                         std::uint8_t b, std::uint8_t g, std::uint8_t r) const {
    std::vector<std::uint8_t> pixels;
    for (std::int32_t i = 0; i < width * height; ++i) {
      pixels.push_back(b);
      pixels.push_back(g);
      pixels.push_back(r);
    }
    return write(name, bmpBytes({width, height, 24, 54}, pixels));
  }

  std::filesystem::path path() const { return path_; }

 private:
  vxtest::ScratchFolder folder_;
  std::filesystem::path path_ = folder_.path();
};

}  // namespace engines::testing
