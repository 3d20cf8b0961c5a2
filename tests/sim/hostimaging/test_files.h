// Helpers for the host imaging tests: a scratch directory, and TIFF/PNG
// files written and read directly, independent of the library under test:
// with libtiff and libpng on Linux, with the Windows Imaging Component on
// Windows (which writes uncompressed strip files of 8-bit grey, palette and
// RGB and 16-bit grey and RGB samples only).
#pragma once

#include "support/scratch_folder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hostimg_test {

// The file formats' own numbers for what the pictures hold.
inline constexpr int kMinIsWhite = 0;  // TIFF photometric interpretations
inline constexpr int kMinIsBlack = 1;
inline constexpr int kTiffRgb = 2;
inline constexpr int kTiffPalette = 3;
inline constexpr int kUncompressed = 1;  // TIFF compressions
inline constexpr int kLzw = 5;
inline constexpr int kDeflate = 8;
inline constexpr std::uint16_t kContiguous = 1;  // TIFF planar configurations
inline constexpr std::uint16_t kSeparatePlanes = 2;
inline constexpr std::uint16_t kUnsigned = 1;  // TIFF sample formats
inline constexpr std::uint16_t kSigned = 2;
inline constexpr std::uint16_t kFloat = 3;
inline constexpr int kPngGrey = 0;  // PNG colour types
inline constexpr int kPngRgb = 2;
inline constexpr int kPngPalette = 3;

// A fresh directory, removed with its contents at the end of the test.
class ScratchDir {
 public:
  ScratchDir() = default;
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  vxtest::ScratchFolder folder_;
  std::filesystem::path path_ = folder_.path();
};

struct Picture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int samples = 0;      // per pixel
  int bits = 0;         // per sample
  int photometric = -1; // TIFF photometric, or PNG colour type
  int compression = 1;  // TIFF only
  std::vector<std::uint8_t> bytes;     // rows; 16-bit samples in machine order
  std::vector<std::uint8_t> palette;   // 768 bytes when there is one
};

// Writes a strip TIFF (or a tiled one with tileSide > 0). A palette of 768
// bytes becomes the colour map.
void writeTiff(const std::string& path, const Picture& picture, std::uint16_t planar = 1,
               std::uint16_t sampleFormat = 1, std::uint32_t tileSide = 0);
// Reads a TIFF's first image; width 0 when it cannot be read.
Picture readTiff(const std::string& path);
// Reads a PNG without transformations; width 0 when it cannot be read.
Picture readPng(const std::string& path);

// Deterministic sample bytes: byte i is (i * 7 + seed) & 0xFF.
std::vector<std::uint8_t> pattern(std::size_t size, unsigned seed = 0);

}  // namespace hostimg_test
