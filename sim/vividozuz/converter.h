// Raw frame to RGB: bilinear demosaic of the RGGB mosaic (grey sensors
// replicate their sample), a 3 x 3 colour matrix, and output as grey, BGR or
// BGRA with rows bottom-up. Used by VarcamConvertFrameToRgb24 and by the
// display path of the streaming thread; line buffers are kept between calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vzsim {

using Matrix3 = std::array<float, 9>;  // row-major: output R, G, B by input R, G, B

inline constexpr Matrix3 kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// The colour correction matrix of a correction code: 14 none, 5 tungsten,
// 2 daylight, 1 fluorescent, 15 the custom matrix. False for other codes.
bool correctionMatrix(int code, const Matrix3& custom, Matrix3& out);

// The linear map that scales chroma by `saturation` and turns its hue by
// `hueDegrees`, keeping luminance.
Matrix3 saturationHueMatrix(float saturation, float hueDegrees);

Matrix3 multiply(const Matrix3& a, const Matrix3& b);

struct RawLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool twoBytes = false;
  bool highByteSample = true;  // two-byte pixels: little-endian
  bool fieldLayout = false;    // even rows first, then odd rows
  bool colour = true;
};

class Converter {
public:
  // outFormat: 0 grey (1 byte), 2 BGR (3 bytes), 6 BGRA (4 bytes, A = 255).
  // `dest` holds width x height pixels, first row in memory = bottom row.
  void convert(const std::uint8_t* raw, const RawLayout& layout, const Matrix3& matrix,
               int outFormat, std::uint8_t* dest);

  // Whether convert may use AVX2 instructions when the processor has them.
  // Both ways give the same bytes; tests and benchmarks compare them.
  void allowAvx2(bool allowed) { allowAvx2_ = allowed; }
  bool avx2Enabled() const;

private:
  // Matrix (none when null), rounding and pixel layout of `count` pixels.
  void pack(const float* r, const float* g, const float* b, std::size_t count,
            const Matrix3* matrix, std::size_t bpp, std::uint8_t* out);
  void decodeRow(const std::uint8_t* raw, const RawLayout& layout, std::uint32_t row,
                 float* out) const;
  bool allowAvx2_ = true;
  std::vector<float> lines_;         // three decoded rows
  std::vector<float> planes_;        // planes of the span being converted
  std::vector<std::uint8_t> bytes_;  // its red, green and blue bytes
};

} // namespace vzsim
