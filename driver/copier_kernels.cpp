#include "copier_kernels.h"

#include "base/vector_level.h"

#include <bit>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VX_HAVE_VECTOR_PATHS 1
#endif

namespace vx {
namespace {

std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void store64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

// Colour without a vector unit: eight pixels (24 bytes) at a time as three
// 64-bit words. Output byte j takes input byte j + 2, j or j - 2 as j mod 3
// is 0, 1 or 2: the words shifted by two bytes either way, masked by byte
// position. Returns the pixels done.
std::size_t copyColourWords(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  if constexpr (std::endian::native != std::endian::little) return 0;
  constexpr std::uint64_t m0 = 0x00FF0000FF0000FFull;  // bytes 0, 3, 6
  constexpr std::uint64_t m1 = 0xFF0000FF0000FF00ull;  // bytes 1, 4, 7
  constexpr std::uint64_t m2 = 0x0000FF0000FF0000ull;  // bytes 2, 5
  std::size_t i = 0;
  for (; i + 8 <= pixels; i += 8, src += 24, dst += 24) {
    const std::uint64_t a = load64(src);
    const std::uint64_t b = load64(src + 8);
    const std::uint64_t c = load64(src + 16);
    const std::uint64_t rightA = (a >> 16) | (b << 48);
    const std::uint64_t rightB = (b >> 16) | (c << 48);
    const std::uint64_t rightC = c >> 16;
    const std::uint64_t leftA = a << 16;
    const std::uint64_t leftB = (b << 16) | (a >> 48);
    const std::uint64_t leftC = (c << 16) | (b >> 48);
    // Byte 8 is position 2 of its triple, byte 16 position 1.
    store64(dst, (rightA & m0) | (a & m1) | (leftA & m2));
    store64(dst + 8, (rightB & m1) | (b & m2) | (leftB & m0));
    store64(dst + 16, (rightC & m2) | (c & m0) | (leftC & m1));
  }
  return i;
}

#if defined(VX_HAVE_VECTOR_PATHS)

__attribute__((target("avx2"))) inline __m256i load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Colour: output byte j takes input byte j + 2, j or j - 2 as j is the
// first, second or third byte of its pixel. So each 32 output bytes are
// three loads of the input, 2 bytes ahead, in place and 2 bytes behind,
// blended by byte position; the positions' pattern repeats every three
// blocks (96 bytes, 32 pixels). The loads reach 2 bytes to either side of
// the block, which is why the loop starts at the second pixel and leaves
// the last pixels to the plain loop. Returns the pixels done, from 1.
__attribute__((target("avx2"))) std::size_t copyColourAvx2(const std::uint8_t* src, std::uint8_t* dst,
                                                           std::size_t pixels) {
  // Block k starts at byte 3 + 32k: its first byte is the first of a pixel
  // for k = 0, the third for k = 1 and the second for k = 2.
  static constexpr std::uint8_t kAhead[3][32] = {
      {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF,
       0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0},
      {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0,
       0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF},
      {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0,
       0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}};
  static constexpr std::uint8_t kBehind[3][32] = {
      {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0,
       0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
      {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF,
       0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0},
      {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0,
       0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF}};
  __m256i ahead[3], behind[3];
  for (int k = 0; k < 3; ++k) {
    ahead[k] = load32(kAhead[k]);
    behind[k] = load32(kBehind[k]);
  }
  if (pixels < 34) return 0;
  // Blocks of 96 bytes from byte 3 while the last load (2 bytes ahead)
  // stays inside the row: 3 + 96 + 2 <= 3 * pixels.
  const std::size_t bytes = 3 * pixels;
  std::size_t at = 3;
  for (; at + 98 <= bytes; at += 96) {
    for (int k = 0; k < 3; ++k) {
      const std::uint8_t* s = src + at + 32 * static_cast<std::size_t>(k);
      const __m256i out = _mm256_blendv_epi8(_mm256_blendv_epi8(load32(s), load32(s + 2), ahead[k]),
                                             load32(s - 2), behind[k]);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + at + 32 * static_cast<std::size_t>(k)), out);
    }
  }
  return at / 3;
}

// 16 bytes from `low` in the low half, 16 from `high` in the high half.
__attribute__((target("avx2"))) inline __m256i pair(const std::uint8_t* low, const std::uint8_t* high) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(high), reinterpret_cast<const __m128i*>(low));
}

// Grey: 32 pixels (96 bytes) give 32 bytes. The input's 16-byte pieces are
// paired so that both halves of each register hold pieces of the same
// phase (0 and 48, 16 and 64, 32 and 80), and one byte shuffle per pair
// moves each piece's third bytes to their places; the three results do not
// overlap and are merged.
__attribute__((target("avx2"))) std::size_t copyGreyAvx2(const std::uint8_t* src, std::uint8_t* dst,
                                                         std::size_t pixels) {
  const __m256i pick0 = _mm256_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                         2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m256i pick1 = _mm256_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1,  //
                                         -1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
  const __m256i pick2 = _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15,  //
                                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
  std::size_t i = 0;
  for (; i + 32 <= pixels; i += 32) {
    const std::uint8_t* s = src + 3 * i;
    const __m256i a = _mm256_shuffle_epi8(pair(s, s + 48), pick0);
    const __m256i b = _mm256_shuffle_epi8(pair(s + 16, s + 64), pick1);
    const __m256i c = _mm256_shuffle_epi8(pair(s + 32, s + 80), pick2);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_or_si256(_mm256_or_si256(a, b), c));
  }
  return i;
}

#endif

} // namespace

void copyColourPixelsPlain(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, src += 3, dst += 3) {
    dst[0] = src[2];
    dst[1] = src[1];
    dst[2] = src[0];
  }
}

void copyGreyPixelsPlain(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) dst[i] = src[3 * i + 2];
}

void copyColourPixels(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
#if defined(VX_HAVE_VECTOR_PATHS)
  if (vectorLevel() >= VectorLevel::Avx2) {
    const std::size_t done = copyColourAvx2(src, dst, pixels);
    if (done > 0) {
      copyColourPixelsPlain(src, dst, 1);
      copyColourPixelsPlain(src + 3 * done, dst + 3 * done, pixels - done);
      return;
    }
  }
#endif
  const std::size_t done = copyColourWords(src, dst, pixels);
  copyColourPixelsPlain(src + 3 * done, dst + 3 * done, pixels - done);
}

void copyGreyPixels(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels) {
  std::size_t done = 0;
#if defined(VX_HAVE_VECTOR_PATHS)
  if (vectorLevel() >= VectorLevel::Avx2) done = copyGreyAvx2(src, dst, pixels);
#endif
  copyGreyPixelsPlain(src + 3 * done, dst + done, pixels - done);
}

} // namespace vx
