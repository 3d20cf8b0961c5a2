#include "vividozuz/converter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

// The loops that carry most of the work (decoding rows and demosaicing
// them) are built twice, for plain x86-64 and for AVX2, from one source,
// and the converter picks one at run time. Both give the same bytes: the
// arithmetic is the same IEEE single-precision operations lane by lane, and
// no multiply and add are fused (see CMakeLists.txt). Run-time selection
// rather than load-time (ifunc) selection: sanitizer runtimes cannot run
// code while the library is being relocated.
#if defined(__x86_64__) && defined(__GNUC__)
#define VZSIM_AVX2_KERNEL 1
#define VZSIM_AVX2 __attribute__((target("avx2")))
#endif
#define VZSIM_LOOP_BODY inline __attribute__((always_inline))

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

constexpr std::size_t kSpan = 512;  // pixels converted per pass over a row

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

namespace {

VZSIM_LOOP_BODY void decodeLoop(const std::uint8_t* __restrict p, std::size_t w, bool twoBytes,
                                bool highByteSample, float* __restrict out) {
  if (!twoBytes) {
    for (std::size_t x = 0; x < w; ++x) out[x] = static_cast<float>(p[x]);
    return;
  }
  // The 8-bit sample is the high byte of the 16-bit value: value / 257
  // maps 0..65535 onto 0..255.
  const std::size_t hi = highByteSample ? 1 : 0;
  const std::size_t lo = 1 - hi;
  for (std::size_t x = 0; x < w; ++x) {
    const auto value = static_cast<std::uint32_t>((p[2 * x + hi] << 8) | p[2 * x + lo]);
    out[x] = static_cast<float>(value) / 257.0f;
  }
}

void decodePlain(const std::uint8_t* p, std::size_t w, bool twoBytes, bool highByteSample,
                 float* out) {
  decodeLoop(p, w, twoBytes, highByteSample, out);
}

#if defined(VZSIM_AVX2_KERNEL)
VZSIM_AVX2 void decodeAvx2(const std::uint8_t* p, std::size_t w, bool twoBytes,
                           bool highByteSample, float* out) {
  decodeLoop(p, w, twoBytes, highByteSample, out);
}
#endif

} // namespace

void Converter::decodeRow(const std::uint8_t* raw, const RawLayout& layout, std::uint32_t row,
                          float* out) const {
  const std::uint32_t evenRows = (layout.height + 1u) / 2u;
  const std::uint32_t stored =
      layout.fieldLayout ? (row % 2u == 0 ? row / 2u : evenRows + row / 2u) : row;
  const std::size_t bpp = layout.twoBytes ? 2 : 1;
  const std::uint8_t* p = raw + static_cast<std::size_t>(stored) * layout.width * bpp;
#if defined(VZSIM_AVX2_KERNEL)
  if (avx2Enabled()) {
    decodeAvx2(p, layout.width, layout.twoBytes, layout.highByteSample, out);
    return;
  }
#endif
  decodePlain(p, layout.width, layout.twoBytes, layout.highByteSample, out);
}

namespace {

// Bilinear demosaic of pixel x of an RGGB row, with neighbours reflected
// at the frame's edges. The row loop below computes the same sums in the
// same order, so both give the same floats.
void demosaicPixel(const float* up, const float* mid, const float* down, std::uint32_t x,
                   std::uint32_t w, bool evenRow, float& r, float& g, float& b) {
  const std::uint32_t xl = reflect(static_cast<std::int64_t>(x) - 1, w);
  const std::uint32_t xr = reflect(static_cast<std::int64_t>(x) + 1, w);
  const bool evenCol = x % 2u == 0;
  const float cross = (mid[xl] + mid[xr] + up[x] + down[x]) * 0.25f;
  const float diagonal = (up[xl] + up[xr] + down[xl] + down[xr]) * 0.25f;
  const float horizontal = (mid[xl] + mid[xr]) * 0.5f;
  const float vertical = (up[x] + down[x]) * 0.5f;
  if (evenRow && evenCol) {  // red
    r = mid[x]; g = cross; b = diagonal;
  } else if (evenRow) {      // green on a red row
    r = horizontal; g = mid[x]; b = vertical;
  } else if (evenCol) {      // green on a blue row
    r = vertical; g = mid[x]; b = horizontal;
  } else {                   // blue
    r = diagonal; g = cross; b = mid[x];
  }
}

// `a` when the mask is all ones, `b` when it is zero, bit for bit.
inline float pick(std::uint32_t mask, float a, float b) {
  return std::bit_cast<float>((mask & std::bit_cast<std::uint32_t>(a)) |
                              (~mask & std::bit_cast<std::uint32_t>(b)));
}

// Pixels first .. first + count - 1 of a row, all with both neighbours
// inside the row, into planes that start at pixel `first`. Every candidate
// value is computed for every pixel and the column's colour picks among
// them with a bit mask: no edge tests and no branches, so the compiler
// vectorises the loop.
template <bool EvenRow>
VZSIM_LOOP_BODY void demosaicLoop(const float* __restrict up, const float* __restrict mid,
                                     const float* __restrict down, std::size_t first,
                                     std::size_t count, float* __restrict r,
                                     float* __restrict g, float* __restrict b) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t x = first + i;
    const std::uint32_t odd = 0u - static_cast<std::uint32_t>(x & 1u);
    const float sides = mid[x - 1] + mid[x + 1];
    const float cross = (sides + up[x] + down[x]) * 0.25f;
    const float diagonal = (up[x - 1] + up[x + 1] + down[x - 1] + down[x + 1]) * 0.25f;
    const float horizontal = sides * 0.5f;
    const float vertical = (up[x] + down[x]) * 0.5f;
    if constexpr (EvenRow) {  // red, green, red, ...
      r[i] = pick(odd, horizontal, mid[x]);
      g[i] = pick(odd, mid[x], cross);
      b[i] = pick(odd, vertical, diagonal);
    } else {                  // green, blue, green, ...
      r[i] = pick(odd, diagonal, vertical);
      g[i] = pick(odd, cross, mid[x]);
      b[i] = pick(odd, mid[x], horizontal);
    }
  }
}

void demosaicInteriorPlain(const float* up, const float* mid, const float* down,
                           std::size_t first, std::size_t count, bool evenRow, float* r,
                           float* g, float* b) {
  if (evenRow) demosaicLoop<true>(up, mid, down, first, count, r, g, b);
  else demosaicLoop<false>(up, mid, down, first, count, r, g, b);
}

#if defined(VZSIM_AVX2_KERNEL)
VZSIM_AVX2 void demosaicInteriorAvx2(const float* up, const float* mid, const float* down,
                                     std::size_t first, std::size_t count, bool evenRow,
                                     float* r, float* g, float* b) {
  if (evenRow) demosaicLoop<true>(up, mid, down, first, count, r, g, b);
  else demosaicLoop<false>(up, mid, down, first, count, r, g, b);
}
#endif

// Pixels x0 .. x1 - 1 of a row of width w into planes that start at x0.
void demosaicSpan(const float* up, const float* mid, const float* down, std::uint32_t w,
                  bool evenRow, std::uint32_t x0, std::uint32_t x1, bool avx2, float* r,
                  float* g, float* b) {
  // Columns 1 .. w - 2 have both neighbours; the edge columns reflect.
  const std::uint32_t first = std::max(x0, 1u);
  const std::uint32_t last = std::min(x1, w - 1);  // one past
  for (std::uint32_t x = x0; x < std::min(first, x1); ++x) {
    demosaicPixel(up, mid, down, x, w, evenRow, r[x - x0], g[x - x0], b[x - x0]);
  }
  if (first < last) {
    const std::size_t skip = first - x0;
#if defined(VZSIM_AVX2_KERNEL)
    if (avx2) {
      demosaicInteriorAvx2(up, mid, down, first, last - first, evenRow, r + skip, g + skip,
                           b + skip);
    } else
#endif
    {
      (void)avx2;
      demosaicInteriorPlain(up, mid, down, first, last - first, evenRow, r + skip, g + skip,
                            b + skip);
    }
  }
  for (std::uint32_t x = std::max(first, last); x < x1; ++x) {
    demosaicPixel(up, mid, down, x, w, evenRow, r[x - x0], g[x - x0], b[x - x0]);
  }
}

// The colour matrix on three planes.
void applyMatrix(const Matrix3& m, std::size_t w, const float* __restrict r,
                 const float* __restrict g, const float* __restrict b, float* __restrict r2,
                 float* __restrict g2, float* __restrict b2) {
  const float m0 = m[0], m1 = m[1], m2 = m[2], m3 = m[3], m4 = m[4], m5 = m[5], m6 = m[6],
              m7 = m[7], m8 = m[8];
  for (std::size_t x = 0; x < w; ++x) {
    r2[x] = m0 * r[x] + m1 * g[x] + m2 * b[x];
    g2[x] = m3 * r[x] + m4 * g[x] + m5 * b[x];
    b2[x] = m6 * r[x] + m7 * g[x] + m8 * b[x];
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

void toBytes(const float* __restrict in, std::size_t w, std::uint8_t* __restrict out) {
  std::size_t x = 0;
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

void luma(const float* __restrict r, const float* __restrict g, const float* __restrict b,
          std::size_t w, float* __restrict out) {
  for (std::size_t x = 0; x < w; ++x) out[x] = kLumaR * r[x] + kLumaG * g[x] + kLumaB * b[x];
}

// Planes to B, G, R (and A = 255) pixels.
template <std::size_t Step>
void interleave(const std::uint8_t* __restrict r, const std::uint8_t* __restrict g,
                const std::uint8_t* __restrict b, std::size_t w, std::uint8_t* __restrict out) {
  for (std::size_t x = 0; x < w; ++x) {
    out[Step * x] = b[x];
    out[Step * x + 1] = g[x];
    out[Step * x + 2] = r[x];
    if constexpr (Step == 4) out[Step * x + 3] = 255;
  }
}

#if defined(VZSIM_AVX2_KERNEL)
bool processorHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has;
}

// Byte masks that spread 16 blue, green and red bytes over 48 bytes of
// B, G, R pixels: block k, byte j holds channel (16k + j) % 3 of pixel
// (16k + j) / 3; 0x80 leaves a zero for the other channels to fill.
struct BgrMasks {
  alignas(16) std::uint8_t m[3][3][16];  // [block][channel B, G, R][byte]
  constexpr BgrMasks() : m{} {
    for (int k = 0; k < 3; ++k) {
      for (int c = 0; c < 3; ++c) {
        for (int j = 0; j < 16; ++j) {
          const int at = 16 * k + j;
          m[k][c][j] = static_cast<std::uint8_t>(at % 3 == c ? at / 3 : 0x80);
        }
      }
    }
  }
};
constexpr BgrMasks kBgrMasks;

VZSIM_AVX2 inline __m256 matrixRow(__m256 m0, __m256 m1, __m256 m2, __m256 r, __m256 g,
                                   __m256 b) {
  return _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(m0, r), _mm256_mul_ps(m1, g)),
                       _mm256_mul_ps(m2, b));
}

// 16 values rounded and held to 0..255 (NaN to 0) as 16 bytes, in order.
VZSIM_AVX2 inline __m128i bytes16(__m256 lo, __m256 hi) {
  const __m256 half = _mm256_set1_ps(0.5f);
  const __m256 zero = _mm256_setzero_ps();
  const __m256 top = _mm256_set1_ps(255.0f);
  lo = _mm256_min_ps(_mm256_max_ps(_mm256_add_ps(lo, half), zero), top);
  hi = _mm256_min_ps(_mm256_max_ps(_mm256_add_ps(hi, half), zero), top);
  // packs works within 128-bit lanes: lo 0-3, hi 0-3 | lo 4-7, hi 4-7.
  const __m256i words = _mm256_permute4x64_epi64(
      _mm256_packs_epi32(_mm256_cvttps_epi32(lo), _mm256_cvttps_epi32(hi)), 0xD8);
  return _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

// The colour matrix (unless `matrix` is null), rounding, clamping and the
// pixel layout for pixels of three planes, 16 at a time, with the same
// single-precision operations in the same order as the portable loops.
// Returns how many pixels it wrote (a multiple of 16).
VZSIM_AVX2 std::size_t packAvx2(const float* r, const float* g, const float* b,
                                std::size_t count, const Matrix3* matrix, std::size_t bpp,
                                std::uint8_t* out) {
  __m256 m[9];
  if (matrix != nullptr) {
    for (std::size_t i = 0; i < 9; ++i) m[i] = _mm256_set1_ps((*matrix)[i]);
  }
  const __m256 lumaR = _mm256_set1_ps(kLumaR);
  const __m256 lumaG = _mm256_set1_ps(kLumaG);
  const __m256 lumaB = _mm256_set1_ps(kLumaB);
  std::size_t x = 0;
  for (; x + 16 <= count; x += 16) {
    __m256 rs[2], gs[2], bs[2];
    for (std::size_t h = 0; h < 2; ++h) {
      rs[h] = _mm256_loadu_ps(r + x + 8 * h);
      gs[h] = _mm256_loadu_ps(g + x + 8 * h);
      bs[h] = _mm256_loadu_ps(b + x + 8 * h);
      if (matrix != nullptr) {
        const __m256 r2 = matrixRow(m[0], m[1], m[2], rs[h], gs[h], bs[h]);
        const __m256 g2 = matrixRow(m[3], m[4], m[5], rs[h], gs[h], bs[h]);
        const __m256 b2 = matrixRow(m[6], m[7], m[8], rs[h], gs[h], bs[h]);
        rs[h] = r2;
        gs[h] = g2;
        bs[h] = b2;
      }
    }
    if (bpp == 1) {
      const __m128i grey = bytes16(matrixRow(lumaR, lumaG, lumaB, rs[0], gs[0], bs[0]),
                                   matrixRow(lumaR, lumaG, lumaB, rs[1], gs[1], bs[1]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), grey);
      continue;
    }
    const __m128i red = bytes16(rs[0], rs[1]);
    const __m128i green = bytes16(gs[0], gs[1]);
    const __m128i blue = bytes16(bs[0], bs[1]);
    std::uint8_t* px = out + bpp * x;
    if (bpp == 3) {
      for (std::size_t k = 0; k < 3; ++k) {
        auto mask = [&](std::size_t c) {
          return _mm_load_si128(reinterpret_cast<const __m128i*>(kBgrMasks.m[k][c]));
        };
        const __m128i block = _mm_or_si128(
            _mm_or_si128(_mm_shuffle_epi8(blue, mask(0)), _mm_shuffle_epi8(green, mask(1))),
            _mm_shuffle_epi8(red, mask(2)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(px + 16 * k), block);
      }
    } else {
      const __m128i alpha = _mm_set1_epi8(-1);
      const __m128i bgLow = _mm_unpacklo_epi8(blue, green);
      const __m128i bgHigh = _mm_unpackhi_epi8(blue, green);
      const __m128i raLow = _mm_unpacklo_epi8(red, alpha);
      const __m128i raHigh = _mm_unpackhi_epi8(red, alpha);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(px), _mm_unpacklo_epi16(bgLow, raLow));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(px + 16), _mm_unpackhi_epi16(bgLow, raLow));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(px + 32), _mm_unpacklo_epi16(bgHigh, raHigh));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(px + 48), _mm_unpackhi_epi16(bgHigh, raHigh));
    }
  }
  return x;
}
#endif

} // namespace

bool Converter::avx2Enabled() const {
#if defined(VZSIM_AVX2_KERNEL)
  return allowAvx2_ && processorHasAvx2();
#else
  return false;
#endif
}

void Converter::pack(const float* r, const float* g, const float* b, std::size_t count,
                     const Matrix3* matrix, std::size_t bpp, std::uint8_t* out) {
  std::size_t done = 0;
#if defined(VZSIM_AVX2_KERNEL)
  if (avx2Enabled()) done = packAvx2(r, g, b, count, matrix, bpp, out);
#endif
  if (done == count) return;
  r += done;
  g += done;
  b += done;
  out += done * bpp;
  const std::size_t n = count - done;
  float* scratch = planes_.data() + 3 * kSpan;
  if (matrix != nullptr) {
    applyMatrix(*matrix, n, r, g, b, scratch, scratch + kSpan, scratch + 2 * kSpan);
    r = scratch;
    g = scratch + kSpan;
    b = scratch + 2 * kSpan;
  }
  if (bpp == 1) {
    float* grey = planes_.data() + 6 * kSpan;
    luma(r, g, b, n, grey);
    toBytes(grey, n, out);
    return;
  }
  std::uint8_t* redBytes = bytes_.data();
  std::uint8_t* greenBytes = redBytes + kSpan;
  std::uint8_t* blueBytes = greenBytes + kSpan;
  toBytes(r, n, redBytes);
  toBytes(g, n, greenBytes);
  toBytes(b, n, blueBytes);
  if (bpp == 3) interleave<3>(redBytes, greenBytes, blueBytes, n, out);
  else interleave<4>(redBytes, greenBytes, blueBytes, n, out);
}

void Converter::convert(const std::uint8_t* raw, const RawLayout& layout, const Matrix3& matrix,
                        int outFormat, std::uint8_t* dest) {
  const std::uint32_t w = layout.width;
  const std::uint32_t h = layout.height;
  if (w == 0 || h == 0) return;
  const std::size_t n = w;
  lines_.resize(n * 3);
  // Rows are converted in spans short enough that a span's planes stay in
  // the first-level cache between the passes over them: demosaiced red,
  // green, blue; the same after the matrix; grey.
  planes_.resize(kSpan * 7);
  bytes_.resize(kSpan * 3);
  const std::size_t bpp = outFormat == 0 ? 1 : (outFormat == 6 ? 4 : 3);
  // Grey sensors replicate their sample and take no matrix.
  const Matrix3* colourMatrix = layout.colour && matrix != kIdentity ? &matrix : nullptr;
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
  float* green = red + kSpan;
  float* blue = green + kSpan;
  const bool avx2 = avx2Enabled();

  for (std::uint32_t y = 0; y < h; ++y) {
    const float* mid = row(y);
    const float* up = mid;
    const float* down = mid;
    if (layout.colour) {
      up = row(reflect(static_cast<std::int64_t>(y) - 1, h));
      down = row(reflect(static_cast<std::int64_t>(y) + 1, h));
    }
    std::uint8_t* outRow = dest + static_cast<std::size_t>(h - 1u - y) * n * bpp;
    for (std::uint32_t x0 = 0; x0 < w; x0 += static_cast<std::uint32_t>(kSpan)) {
      const std::uint32_t x1 = static_cast<std::uint32_t>(std::min<std::size_t>(w, x0 + kSpan));
      std::uint8_t* out = outRow + x0 * bpp;
      if (layout.colour) {
        demosaicSpan(up, mid, down, w, y % 2u == 0, x0, x1, avx2, red, green, blue);
        pack(red, green, blue, x1 - x0, colourMatrix, bpp, out);
      } else {
        pack(mid + x0, mid + x0, mid + x0, x1 - x0, nullptr, bpp, out);
      }
    }
  }
}

} // namespace vzsim
