#include "vividozuz/converter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vzsim {

namespace {

constexpr Matrix3 kTungsten = {1.30f, -0.10f, -0.20f, -0.15f, 1.25f, -0.10f,
                               -0.10f, -0.45f, 1.55f};
constexpr Matrix3 kDaylight = {1.60f, -0.45f, -0.15f, -0.25f, 1.45f, -0.20f,
                               -0.05f, -0.50f, 1.55f};
constexpr Matrix3 kFluorescent = {1.45f, -0.30f, -0.15f, -0.35f, 1.55f, -0.20f,
                                  -0.05f, -0.35f, 1.40f};

constexpr float kLumaR = 0.299f;
constexpr float kLumaG = 0.587f;
constexpr float kLumaB = 0.114f;

// Index reflected at the edges so that it keeps its parity (Bayer colour).
std::uint32_t reflect(std::int64_t i, std::uint32_t n) {
  if (n < 2) return 0;
  if (i < 0) return 1;
  if (i >= static_cast<std::int64_t>(n)) return n - 2;
  return static_cast<std::uint32_t>(i);
}

std::uint8_t toByte(float v) {
  return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

} // namespace

bool correctionMatrix(int code, const Matrix3& custom, Matrix3& out) {
  switch (code) {
  case 14: out = kIdentity; return true;
  case 5: out = kTungsten; return true;
  case 2: out = kDaylight; return true;
  case 1: out = kFluorescent; return true;
  case 15: out = custom; return true;
  default: return false;
  }
}

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 m{};
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 3; ++c) {
      float sum = 0.0f;
      for (std::size_t k = 0; k < 3; ++k) sum += a[r * 3 + k] * b[k * 3 + c];
      m[r * 3 + c] = sum;
    }
  }
  return m;
}

Matrix3 saturationHueMatrix(float saturation, float hueDegrees) {
  const float angle = hueDegrees * std::numbers::pi_v<float> / 180.0f;
  const float cs = std::cos(angle) * saturation;
  const float sn = std::sin(angle) * saturation;
  Matrix3 m{};
  for (std::size_t j = 0; j < 3; ++j) {
    const float in[3] = {j == 0 ? 1.0f : 0.0f, j == 1 ? 1.0f : 0.0f, j == 2 ? 1.0f : 0.0f};
    const float y = kLumaR * in[0] + kLumaG * in[1] + kLumaB * in[2];
    const float cb = in[2] - y;
    const float cr = in[0] - y;
    const float cb2 = cb * cs - cr * sn;
    const float cr2 = cb * sn + cr * cs;
    const float r = y + cr2;
    const float b = y + cb2;
    const float g = (y - kLumaR * r - kLumaB * b) / kLumaG;
    m[0 * 3 + j] = r;
    m[1 * 3 + j] = g;
    m[2 * 3 + j] = b;
  }
  return m;
}

void Converter::decodeRow(const std::uint8_t* raw, const RawLayout& layout, std::uint32_t row,
                          float* out) const {
  const std::uint32_t evenRows = (layout.height + 1u) / 2u;
  const std::uint32_t stored =
      layout.fieldLayout ? (row % 2u == 0 ? row / 2u : evenRows + row / 2u) : row;
  const std::size_t bpp = layout.twoBytes ? 2 : 1;
  const std::uint8_t* p = raw + static_cast<std::size_t>(stored) * layout.width * bpp;
  if (!layout.twoBytes) {
    for (std::uint32_t x = 0; x < layout.width; ++x) out[x] = static_cast<float>(p[x]);
    return;
  }
  for (std::uint32_t x = 0; x < layout.width; ++x) {
    const std::uint8_t b0 = p[2 * x];
    const std::uint8_t b1 = p[2 * x + 1];
    const unsigned value = layout.highByteSample ? (unsigned{b1} << 8) | b0
                                                 : (unsigned{b0} << 8) | b1;
    out[x] = static_cast<float>(value) / 257.0f;
  }
}

void Converter::convert(const std::uint8_t* raw, const RawLayout& layout, const Matrix3& matrix,
                        int outFormat, std::uint8_t* dest) {
  const std::uint32_t w = layout.width;
  const std::uint32_t h = layout.height;
  if (w == 0 || h == 0) return;
  lines_.resize(static_cast<std::size_t>(w) * 3);
  const std::size_t bpp = outFormat == 0 ? 1 : (outFormat == 6 ? 4 : 3);
  const bool identity = matrix == kIdentity;
  // Three decoded rows, each decoded once while the window slides down.
  std::int64_t cached[3] = {-1, -1, -1};
  auto row = [&](std::uint32_t r) -> const float* {
    std::size_t slot = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      if (cached[i] == r) return lines_.data() + i * w;
      if (cached[i] < cached[slot]) slot = i;
    }
    // Rows are visited top to bottom: the lowest cached row is no longer needed.
    float* out = lines_.data() + slot * w;
    decodeRow(raw, layout, r, out);
    cached[slot] = r;
    return out;
  };

  for (std::uint32_t y = 0; y < h; ++y) {
    const float* up = row(reflect(static_cast<std::int64_t>(y) - 1, h));
    const float* mid = row(y);
    const float* down = row(reflect(static_cast<std::int64_t>(y) + 1, h));
    std::uint8_t* out = dest + static_cast<std::size_t>(h - 1u - y) * w * bpp;
    const bool evenRow = y % 2u == 0;
    for (std::uint32_t x = 0; x < w; ++x) {
      float r, g, b;
      if (!layout.colour) {
        r = g = b = mid[x];
      } else {
        const std::uint32_t xl = reflect(static_cast<std::int64_t>(x) - 1, w);
        const std::uint32_t xr = reflect(static_cast<std::int64_t>(x) + 1, w);
        const bool evenCol = x % 2u == 0;
        const float cross = (mid[xl] + mid[xr] + up[x] + down[x]) * 0.25f;
        const float diagonal = (up[xl] + up[xr] + down[xl] + down[xr]) * 0.25f;
        const float horizontal = (mid[xl] + mid[xr]) * 0.5f;
        const float vertical = (up[x] + down[x]) * 0.5f;
        if (evenRow && evenCol) {         // red
          r = mid[x]; g = cross; b = diagonal;
        } else if (evenRow) {             // green on a red row
          r = horizontal; g = mid[x]; b = vertical;
        } else if (evenCol) {             // green on a blue row
          r = vertical; g = mid[x]; b = horizontal;
        } else {                          // blue
          r = diagonal; g = cross; b = mid[x];
        }
        if (!identity) {
          const float r2 = matrix[0] * r + matrix[1] * g + matrix[2] * b;
          const float g2 = matrix[3] * r + matrix[4] * g + matrix[5] * b;
          const float b2 = matrix[6] * r + matrix[7] * g + matrix[8] * b;
          r = r2; g = g2; b = b2;
        }
      }
      switch (bpp) {
      case 1:
        out[x] = toByte(kLumaR * r + kLumaG * g + kLumaB * b);
        break;
      case 4:
        out[4 * x] = toByte(b);
        out[4 * x + 1] = toByte(g);
        out[4 * x + 2] = toByte(r);
        out[4 * x + 3] = 255;
        break;
      default:
        out[3 * x] = toByte(b);
        out[3 * x + 1] = toByte(g);
        out[3 * x + 2] = toByte(r);
        break;
      }
    }
  }
}

} // namespace vzsim
