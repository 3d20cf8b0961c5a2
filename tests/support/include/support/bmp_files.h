// Small BMP files for the reader, overlay and panel tests, written into a
// scratch folder of the test's own that goes with the object.
#pragma once

#include "support/scratch_folder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vxtest {

// The header fields a test varies; the rest are those of a plain
// uncompressed file.
struct BmpHeader {
  std::int32_t width = 4;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t pixelOffset = 54;
};

// The 54 header bytes of a BMP file followed by `pixels`.
std::vector<std::uint8_t> bmpBytes(const BmpHeader& header, const std::vector<std::uint8_t>& pixels);

class BmpFolder {
 public:
  // Writes `bytes` as the file `name`; returns its path.
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  // A width x height file whose every pixel is the three bytes (b, g, r),
  // with `bitCount` in its header (the pixels are three bytes whatever it
  // says, so that a header that lies can be written too).
  std::string writeSolid(const std::string& name, std::int32_t width, std::int32_t height, std::uint8_t b = 10,
                         std::uint8_t g = 20, std::uint8_t r = 30, std::uint16_t bitCount = 24) const;

  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  ScratchFolder folder_;
};

} // namespace vxtest
