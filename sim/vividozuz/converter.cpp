#include "sim/vividozuz/converter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The row loops below are built twice, for plain x86-64 and for AVX2, and
// the processor picks one at load time. Both give the same bytes: the
// arithmetic is the same IEEE single-precision operations lane by lane
// (AVX2 alone does not fuse multiplies and adds).
#if defined(__x86_64__) && defined(__GNUC__) && defined(__ELF__)
#define VZSIM_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define VZSIM_ROW_LOOP
#endif

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
  const std::uint32_t w = layout.width;
  if (!layout.twoBytes) {
    for (std::uint32_t x = 0; x < w; ++x) out[x] = static_cast<float>(p[x]);
    return;
  }
  // The 8-bit sample is the high byte of the 16-bit value: value / 257
  // maps 0..65535 onto 0..255.
  const std::size_t hi = layout.highByteSample ? 1 : 0;
  const std::size_t lo = 1 - hi;
  for (std::uint32_t x = 0; x < w; ++x) {
    const auto value = static_cast<std::uint32_t>((p[2 * x + hi] << 8) | p[2 * x + lo]);
    out[x] = static_cast<float>(value) / 257.0f;
  }
}

namespace {

// Bilinear demosaic of one pixel of an RGGB row, with neighbours reflected
// at the frame's edges. The interior loop below computes the same sums in
// the same order, so both give the same floats.
void demosaicPixel(const float* up, const float* mid, const float* down, std::uint32_t x,
                   std::uint32_t w, bool evenRow, float* r, float* g, float* b) {
  const std::uint32_t xl = reflect(static_cast<std::int64_t>(x) - 1, w);
  const std::uint32_t xr = reflect(static_cast<std::int64_t>(x) + 1, w);
  const bool evenCol = x % 2u == 0;
  const float cross = (mid[xl] + mid[xr] + up[x] + down[x]) * 0.25f;
  const float diagonal = (up[xl] + up[xr] + down[xl] + down[xr]) * 0.25f;
  const float horizontal = (mid[xl] + mid[xr]) * 0.5f;
  const float vertical = (up[x] + down[x]) * 0.5f;
  if (evenRow && evenCol) {  // red
    r[x] = mid[x]; g[x] = cross; b[x] = diagonal;
  } else if (evenRow) {      // green on a red row
    r[x] = horizontal; g[x] = mid[x]; b[x] = vertical;
  } else if (evenCol) {      // green on a blue row
    r[x] = vertical; g[x] = mid[x]; b[x] = horizontal;
  } else {                   // blue
    r[x] = diagonal; g[x] = cross; b[x] = mid[x];
  }
}

// One row of the mosaic into three planes. Inside the row every pixel has
// both neighbours, so pairs of columns (odd, even) go through a loop without
// edge tests or colour branches that the compiler vectorises.
VZSIM_ROW_LOOP void demosaicRow(const float* __restrict up, const float* __restrict mid,
                 const float* __restrict down, std::uint32_t w, bool evenRow,
                 float* __restrict r, float* __restrict g, float* __restrict b) {
  std::uint32_t x = 0;
  if (w >= 4) {
    demosaicPixel(up, mid, down, 0, w, evenRow, r, g, b);
    // Pixel pairs (x odd, x + 1 even) whose right neighbour x + 2 exists.
    const std::uint32_t pairs = (w - 2u) / 2u;
    if (evenRow) {
      // Odd: green on a red row (red from the sides, blue from above and
      // below). Even: red (green from the cross, blue from the diagonals).
      for (std::uint32_t k = 0; k < pairs; ++k) {
        const std::size_t o = 2u * k + 1u;
        const std::size_t e = o + 1u;
        r[o] = (mid[o - 1] + mid[o + 1]) * 0.5f;
        g[o] = mid[o];
        b[o] = (up[o] + down[o]) * 0.5f;
        r[e] = mid[e];
        g[e] = (mid[e - 1] + mid[e + 1] + up[e] + down[e]) * 0.25f;
        b[e] = (up[e - 1] + up[e + 1] + down[e - 1] + down[e + 1]) * 0.25f;
      }
    } else {
      // Odd: blue (green from the cross, red from the diagonals). Even:
      // green on a blue row (red from above and below, blue from the sides).
      for (std::uint32_t k = 0; k < pairs; ++k) {
        const std::size_t o = 2u * k + 1u;
        const std::size_t e = o + 1u;
        r[o] = (up[o - 1] + up[o + 1] + down[o - 1] + down[o + 1]) * 0.25f;
        g[o] = (mid[o - 1] + mid[o + 1] + up[o] + down[o]) * 0.25f;
        b[o] = mid[o];
        r[e] = (up[e] + down[e]) * 0.5f;
        g[e] = mid[e];
        b[e] = (mid[e - 1] + mid[e + 1]) * 0.5f;
      }
    }
    x = 1u + 2u * pairs;
  }
  for (; x < w; ++x) demosaicPixel(up, mid, down, x, w, evenRow, r, g, b);
}

// The colour matrix on three planes, in place.
VZSIM_ROW_LOOP void applyMatrix(const Matrix3& m, std::uint32_t w, float* __restrict r, float* __restrict g,
                 float* __restrict b) {
  const float m0 = m[0], m1 = m[1], m2 = m[2], m3 = m[3], m4 = m[4], m5 = m[5], m6 = m[6],
              m7 = m[7], m8 = m[8];
  for (std::uint32_t x = 0; x < w; ++x) {
    const float r0 = r[x], g0 = g[x], b0 = b[x];
    r[x] = m0 * r0 + m1 * g0 + m2 * b0;
    g[x] = m3 * r0 + m4 * g0 + m5 * b0;
    b[x] = m6 * r0 + m7 * g0 + m8 * b0;
  }
}

// Rounded and held to 0..255; NaN (a custom matrix of huge entries can
// make inf - inf) gives 0. The SSE2 loop is the same operations four at a
// time: max(v, 0) returns 0 for NaN as the scalar test does.
std::uint8_t toByte(float v) {
  v += 0.5f;
  v = v > 0.0f ? v : 0.0f;
  v = v < 255.0f ? v : 255.0f;
  return static_cast<std::uint8_t>(static_cast<std::int32_t>(v));
}

void toBytes(const float* __restrict in, std::uint32_t w, std::uint8_t* __restrict out) {
  std::uint32_t x = 0;
#if defined(__SSE2__)
  const __m128 half = _mm_set1_ps(0.5f);
  const __m128 zero = _mm_setzero_ps();
  const __m128 top = _mm_set1_ps(255.0f);
  auto four = [&](const float* p) {
    const __m128 v = _mm_min_ps(_mm_max_ps(_mm_add_ps(_mm_loadu_ps(p), half), zero), top);
    return _mm_cvttps_epi32(v);
  };
  for (; x + 16 <= w; x += 16) {
    const __m128i a = _mm_packs_epi32(four(in + x), four(in + x + 4));
    const __m128i b = _mm_packs_epi32(four(in + x + 8), four(in + x + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(a, b));
  }
#endif
  for (; x < w; ++x) out[x] = toByte(in[x]);
}

VZSIM_ROW_LOOP void luma(const float* __restrict r, const float* __restrict g,
                         const float* __restrict b, std::uint32_t w, float* __restrict out) {
  for (std::uint32_t x = 0; x < w; ++x) out[x] = kLumaR * r[x] + kLumaG * g[x] + kLumaB * b[x];
}

// Planes to B, G, R (and A = 255) pixels.
template <std::size_t Step>
VZSIM_ROW_LOOP void interleave(const std::uint8_t* __restrict r, const std::uint8_t* __restrict g,
                const std::uint8_t* __restrict b, std::size_t w, std::uint8_t* __restrict out) {
  for (std::size_t x = 0; x < w; ++x) {
    out[Step * x] = b[x];
    out[Step * x + 1] = g[x];
    out[Step * x + 2] = r[x];
    if constexpr (Step == 4) out[Step * x + 3] = 255;
  }
}

} // namespace

void Converter::convert(const std::uint8_t* raw, const RawLayout& layout, const Matrix3& matrix,
                        int outFormat, std::uint8_t* dest) {
  const std::uint32_t w = layout.width;
  const std::uint32_t h = layout.height;
  if (w == 0 || h == 0) return;
  const std::size_t n = w;
  lines_.resize(n * 3);
  planes_.resize(n * 4);
  bytes_.resize(n * 3);
  const std::size_t bpp = outFormat == 0 ? 1 : (outFormat == 6 ? 4 : 3);
  const bool identity = matrix == kIdentity;
  // Three decoded rows, each decoded once while the window slides down.
  std::int64_t cached[3] = {-1, -1, -1};
  auto row = [&](std::uint32_t r) -> const float* {
    std::size_t slot = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      if (cached[i] == r) return lines_.data() + i * n;
      if (cached[i] < cached[slot]) slot = i;
    }
    // Rows are visited top to bottom: the lowest cached row is no longer needed.
    float* out = lines_.data() + slot * n;
    decodeRow(raw, layout, r, out);
    cached[slot] = r;
    return out;
  };
  float* red = planes_.data();
  float* green = red + n;
  float* blue = green + n;
  float* grey = blue + n;
  std::uint8_t* redBytes = bytes_.data();
  std::uint8_t* greenBytes = redBytes + n;
  std::uint8_t* blueBytes = greenBytes + n;

  for (std::uint32_t y = 0; y < h; ++y) {
    const float* mid = row(y);
    std::uint8_t* out = dest + static_cast<std::size_t>(h - 1u - y) * n * bpp;
    const float* r = mid;
    const float* g = mid;
    const float* b = mid;
    if (layout.colour) {
      const float* up = row(reflect(static_cast<std::int64_t>(y) - 1, h));
      const float* down = row(reflect(static_cast<std::int64_t>(y) + 1, h));
      demosaicRow(up, mid, down, w, y % 2u == 0, red, green, blue);
      if (!identity) applyMatrix(matrix, w, red, green, blue);
      r = red;
      g = green;
      b = blue;
    }
    if (bpp == 1) {
      luma(r, g, b, w, grey);
      toBytes(grey, w, out);
      continue;
    }
    toBytes(r, w, redBytes);
    toBytes(g, w, greenBytes);
    toBytes(b, w, blueBytes);
    if (bpp == 3) interleave<3>(redBytes, greenBytes, blueBytes, n, out);
    else interleave<4>(redBytes, greenBytes, blueBytes, n, out);
  }
}

} // namespace vzsim
