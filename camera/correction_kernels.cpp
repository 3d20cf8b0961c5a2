// The per-frame correction kernels: dark-frame subtraction on raw frames and
// background factors on RGB preview frames. Both run for every preview frame
// on the SDK's streaming thread, in place, touching each byte once.
//
// The vector paths give exactly the scalar results: a saturating byte
// subtraction is max(a - b, 0), and the background's products are the same
// IEEE double multiplications lane by lane, capped at 255 and truncated (in
// either order: a cap after the truncation gives what truncating the capped
// product gives).
// The background picks the widest vector unit the processor has at run
// time; the remainder of a frame goes through the scalar loop.
#include "camera/image_correction.h"

#include "base/vector_level.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VX_HAVE_VECTOR_PATHS 1
#endif

namespace vx {
namespace {

void applyBackgroundScalar(std::uint8_t* pixels, std::size_t pixelCount, std::size_t step,
                           const double* factors) {
  for (std::size_t p = 0; p < pixelCount; ++p) {
    std::uint8_t* px = pixels + p * step;
    const double f = factors[p];
    for (std::size_t c = 0; c < 3; ++c) px[c] = static_cast<std::uint8_t>(std::min(px[c] * f, 255.0));
  }
}

#if defined(VX_HAVE_VECTOR_PATHS)

std::uint32_t read32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// ---- AVX2: four channel values at a time ----------------------------------
//
// The processor's shuffle unit is the narrow resource here, so bytes become
// doubles by integer work (each byte in a 64-bit lane under the exponent of
// 2^52, less 2^52), factors are spread to the channels by broadcasting
// loads and blends, and products are capped at 255.0 before they are
// truncated, so that the 32-bit conversion never overflows.

// Four bytes as doubles.
__attribute__((target("avx2"))) inline __m256d fourValues(const std::uint8_t* bytes) {
  const __m256i magic = _mm256_set1_epi64x(0x4330000000000000LL);
  const __m256i lanes = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(static_cast<int>(read32(bytes))));
  return _mm256_sub_pd(_mm256_castsi256_pd(_mm256_or_si256(lanes, magic)), _mm256_castsi256_pd(magic));
}

// Four bytes times four factors, capped at 255.0 and truncated.
__attribute__((target("avx2"))) inline __m128i scaleFour(const std::uint8_t* bytes, __m256d factors) {
  return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_mul_pd(fourValues(bytes), factors), _mm256_set1_pd(255.0)));
}

// Sixteen results of 0 .. 255 as sixteen bytes.
__attribute__((target("avx2"))) inline __m128i packBytes(__m128i a, __m128i b, __m128i c, __m128i d) {
  return _mm_packus_epi16(_mm_packus_epi32(a, b), _mm_packus_epi32(c, d));
}

// Three bytes per pixel, sixteen pixels (48 bytes) per step. Four pixels'
// twelve channels take factors f0 f0 f0 f1 | f1 f1 f2 f2 | f2 f3 f3 f3.
__attribute__((target("avx2"))) std::size_t applyBackgroundAvx2Rgb(std::uint8_t* pixels, std::size_t pixelCount,
                                                                   const double* factors) {
  std::size_t p = 0;
  for (; p + 16 <= pixelCount; p += 16) {
    std::uint8_t* px = pixels + 3 * p;
    __m128i r[12];
    for (std::size_t q = 0; q < 4; ++q) {
      const double* f = factors + p + 4 * q;
      const __m256d f0 = _mm256_broadcast_sd(f), f1 = _mm256_broadcast_sd(f + 1);
      const __m256d f2 = _mm256_broadcast_sd(f + 2), f3 = _mm256_broadcast_sd(f + 3);
      const std::uint8_t* c = px + 12 * q;
      r[3 * q] = scaleFour(c, _mm256_blend_pd(f0, f1, 0x8));
      r[3 * q + 1] = scaleFour(c + 4, _mm256_blend_pd(f1, f2, 0xC));
      r[3 * q + 2] = scaleFour(c + 8, _mm256_blend_pd(f2, f3, 0xE));
    }
    for (std::size_t k = 0; k < 3; ++k)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(px + 16 * k),
                       packBytes(r[4 * k], r[4 * k + 1], r[4 * k + 2], r[4 * k + 3]));
  }
  return p;
}

// Four bytes per pixel, four pixels per step: the fourth lane is multiplied
// by 1.0, which leaves the fourth byte as it was.
__attribute__((target("avx2"))) std::size_t applyBackgroundAvx2Rgba(std::uint8_t* pixels, std::size_t pixelCount,
                                                                    const double* factors) {
  const __m256d one = _mm256_set1_pd(1.0);
  std::size_t p = 0;
  for (; p + 4 <= pixelCount; p += 4) {
    std::uint8_t* px = pixels + 4 * p;
    __m128i r[4];
    for (std::size_t k = 0; k < 4; ++k)
      r[k] = scaleFour(px + 4 * k, _mm256_blend_pd(_mm256_broadcast_sd(factors + p + k), one, 0x8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(px), packBytes(r[0], r[1], r[2], r[3]));
  }
  return p;
}

// ---- AVX-512: eight channel values at a time ------------------------------

// GCC 12's AVX-512 intrinsics start from "undefined" registers, which its
// uninitialised-value analysis reports once they are inlined here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Eight bytes widened to doubles, times eight factors (only the lanes in
// `mask`; the others keep the byte), truncated. A product beyond 32 bits
// becomes 0x80000000, which the unsigned narrowing below caps at 255 like
// every other product above 255.
__attribute__((target("avx512f"))) inline __m256i scaleEight(const std::uint8_t* bytes, __m512d factors,
                                                             __mmask8 mask) {
  const __m512d values =
      _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes))));
  return _mm512_cvttpd_epi32(_mm512_mask_mul_pd(values, mask, values, factors));
}

// Sixteen 32-bit results, capped at 255, stored as sixteen bytes.
__attribute__((target("avx512f"))) inline void storeCapped(std::uint8_t* out, __m256i low, __m256i high) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                   _mm512_cvtusepi32_epi8(_mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1)));
}

// Three bytes per pixel, sixteen pixels per step: eight pixels' 24 channels
// take factors 0 0 0 1 1 1 2 2 | 2 3 3 3 4 4 4 5 | 5 5 6 6 6 7 7 7.
__attribute__((target("avx512f"))) std::size_t applyBackgroundAvx512Rgb(std::uint8_t* pixels,
                                                                        std::size_t pixelCount,
                                                                        const double* factors) {
  const __m512i i0 = _mm512_set_epi64(2, 2, 1, 1, 1, 0, 0, 0);
  const __m512i i1 = _mm512_set_epi64(5, 4, 4, 4, 3, 3, 3, 2);
  const __m512i i2 = _mm512_set_epi64(7, 7, 7, 6, 6, 6, 5, 5);
  std::size_t p = 0;
  for (; p + 16 <= pixelCount; p += 16) {
    std::uint8_t* px = pixels + 3 * p;
    const __m512d f0 = _mm512_loadu_pd(factors + p);
    const __m512d f1 = _mm512_loadu_pd(factors + p + 8);
    const __m256i g0 = scaleEight(px, _mm512_permutexvar_pd(i0, f0), 0xFF);
    const __m256i g1 = scaleEight(px + 8, _mm512_permutexvar_pd(i1, f0), 0xFF);
    const __m256i g2 = scaleEight(px + 16, _mm512_permutexvar_pd(i2, f0), 0xFF);
    const __m256i g3 = scaleEight(px + 24, _mm512_permutexvar_pd(i0, f1), 0xFF);
    const __m256i g4 = scaleEight(px + 32, _mm512_permutexvar_pd(i1, f1), 0xFF);
    const __m256i g5 = scaleEight(px + 40, _mm512_permutexvar_pd(i2, f1), 0xFF);
    storeCapped(px, g0, g1);
    storeCapped(px + 16, g2, g3);
    storeCapped(px + 32, g4, g5);
  }
  return p;
}

// Four bytes per pixel, sixteen pixels per step; the fourth byte of each
// pixel is not multiplied.
__attribute__((target("avx512f"))) std::size_t applyBackgroundAvx512Rgba(std::uint8_t* pixels,
                                                                         std::size_t pixelCount,
                                                                         const double* factors) {
  constexpr __mmask8 kColour = 0x77;
  std::size_t p = 0;
  for (; p + 16 <= pixelCount; p += 16) {
    std::uint8_t* px = pixels + 4 * p;
    __m256i g[8];
    for (std::size_t k = 0; k < 8; ++k) {
      const double* f = factors + p + 2 * k;
      const __m512d pair = _mm512_insertf64x4(_mm512_set1_pd(f[0]), _mm256_set1_pd(f[1]), 1);
      g[k] = scaleEight(px + 8 * k, pair, kColour);
    }
    for (std::size_t k = 0; k < 4; ++k) storeCapped(px + 16 * k, g[2 * k], g[2 * k + 1]);
  }
  return p;
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#endif

} // namespace

void subtractDarkFrame(std::uint8_t* frame, std::size_t frameSize, const std::uint8_t* dark,
                       std::size_t darkSize) {
  const std::size_t n = std::min(frameSize, darkSize);
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 64 <= n; i += 64) {
    for (std::size_t k = 0; k < 64; k += 16) {
      __m128i* f = reinterpret_cast<__m128i*>(frame + i + k);
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dark + i + k));
      _mm_storeu_si128(f, _mm_subs_epu8(_mm_loadu_si128(f), d));
    }
  }
  for (; i + 16 <= n; i += 16) {
    __m128i* f = reinterpret_cast<__m128i*>(frame + i);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dark + i));
    _mm_storeu_si128(f, _mm_subs_epu8(_mm_loadu_si128(f), d));
  }
#endif
  for (; i < n; ++i) {
    const int v = frame[i] - dark[i];
    frame[i] = static_cast<std::uint8_t>(v > 0 ? v : 0);
  }
}

void applyBackgroundFactors(std::uint8_t* pixels, std::size_t pixelCount, int bytesPerPixel,
                            const double* factors) {
  const auto step = static_cast<std::size_t>(bytesPerPixel);
  std::size_t done = 0;
#if defined(VX_HAVE_VECTOR_PATHS)
  switch (vectorLevel()) {
    case VectorLevel::Avx512:
      if (step == 3) done = applyBackgroundAvx512Rgb(pixels, pixelCount, factors);
      else if (step == 4) done = applyBackgroundAvx512Rgba(pixels, pixelCount, factors);
      break;
    case VectorLevel::Avx2:
      if (step == 3) done = applyBackgroundAvx2Rgb(pixels, pixelCount, factors);
      else if (step == 4) done = applyBackgroundAvx2Rgba(pixels, pixelCount, factors);
      break;
    case VectorLevel::Scalar:
      break;
  }
#endif
  applyBackgroundScalar(pixels + done * step, pixelCount - done, step, factors + done);
}

} // namespace vx
