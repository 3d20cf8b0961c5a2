// Small 24-bit BMP files in a scratch folder removed with the object.
#pragma once

#include "support/scratch_folder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>


class BmpScratch {
 public:
  BmpScratch() = default;
  BmpScratch(const BmpScratch&) = delete;
  BmpScratch& operator=(const BmpScratch&) = delete;

  // A width x height BMP of `bitCount` bits whose every pixel is (b, g, r).
  std::string write(const std::string& name, std::int32_t width, std::int32_t height, std::uint8_t b = 10,
                    std::uint8_t g = 20, std::uint8_t r = 30, std::uint16_t bitCount = 24) const {
    std::vector<std::uint8_t> bytes{'B', 'M'};
    const auto pixelBytes = static_cast<std::uint32_t>(3 * width * height);
    put(bytes, 54 + pixelBytes, 4);
    put(bytes, 0, 4);
    put(bytes, 54, 4);
    put(bytes, 40, 4);
    put(bytes, static_cast<std::uint32_t>(width), 4);
    put(bytes, static_cast<std::uint32_t>(height), 4);
    put(bytes, 1, 2);
    put(bytes, bitCount, 2);
    for (int i = 0; i < 6; ++i) put(bytes, 0, 4);
    for (std::int32_t i = 0; i < width * height; ++i) {
      bytes.push_back(b);
      bytes.push_back(g);
      bytes.push_back(r);
    }
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

  std::filesystem::path path() const { return path_; }

 private:
  static void put(std::vector<std::uint8_t>& out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  vxtest::ScratchFolder folder_;
  std::filesystem::path path_ = folder_.path();
};
