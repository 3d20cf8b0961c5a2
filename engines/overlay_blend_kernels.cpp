#include "overlay_blend_kernels.h"

#include "base/vector_level.h"

#include <cmath>
#include <initializer_list>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VX_HAVE_VECTOR_PATHS 1
#endif

namespace engines::detail {

bool constantMix(float a, ConstantMix& mix) {
  if (!(a >= 0.0f && a <= 1.0f)) return false;
  if (a == 0.0f) {
    mix = ConstantMix{};
    return true;
  }
  if (a < 0x1p-21f) return false;
  const bool complement = a >= 0.5f;
  // Exact: a has 24 significant bits and 1 - a at most as many.
  const double b = complement ? 1.0 - static_cast<double>(a) : static_cast<double>(a);
  const auto centre = static_cast<std::int32_t>(std::floor(b * 65536.0));
  for (const std::int32_t delta : {0, 1, -1, 2, -2}) {
    const std::int32_t m = centre + delta;
    if (m < 0 || m > 32767) continue;
    bool exact = true;
    for (std::int32_t u = -255; u <= 255 && exact; ++u)
      exact = ((u * m) >> 16) == static_cast<std::int32_t>(std::floor(u * b));
    if (exact) {
      mix = ConstantMix{static_cast<std::int16_t>(m), complement};
      return true;
    }
  }
  return false;
}

#if defined(VX_HAVE_VECTOR_PATHS)
namespace {

// Sixteen 16-bit lanes hold sixteen channel values (bytes) of the image.

__attribute__((target("avx2"))) inline __m128i load16(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Sixteen bytes in both halves, for in-half shuffles that spread them.
__attribute__((target("avx2"))) inline __m256i both(__m128i bytes) { return _mm256_broadcastsi128_si256(bytes); }

// The lanes' multipliers and complement masks for the bitmap's opacity
// bytes `alpha` (one per lane).
__attribute__((target("avx2"))) inline void bitmapMix(__m256i alpha, __m256i& multiplier, __m256i& complement) {
  complement = _mm256_cmpgt_epi16(alpha, _mm256_set1_epi16(127));
  // 255 - v for the complement, v otherwise; times 257.
  const __m256i t = _mm256_xor_si256(alpha, _mm256_and_si256(complement, _mm256_set1_epi16(255)));
  multiplier = _mm256_or_si256(_mm256_slli_epi16(t, 8), t);
  // + 1 where v is 1 .. 127.
  multiplier = _mm256_sub_epi16(
      multiplier, _mm256_andnot_si256(complement, _mm256_cmpgt_epi16(alpha, _mm256_setzero_si256())));
}

// The new channel values: d + floor(u M / 2^16), or with the complement
// o + floor(-u M / 2^16), where u = o - d.
__attribute__((target("avx2"))) inline __m256i mixLanes(__m256i d, __m256i o, __m256i multiplier, __m256i complement) {
  const __m256i u = _mm256_sub_epi16(o, d);
  const __m256i signedU = _mm256_sub_epi16(_mm256_xor_si256(u, complement), complement);
  const __m256i base = _mm256_add_epi16(d, _mm256_and_si256(u, complement));
  return _mm256_add_epi16(base, _mm256_mulhi_epi16(signedU, multiplier));
}

// Shuffle that gives lane i (of 16) byte pattern[i] of a 16-byte piece
// held in both halves, zero-extended.
__attribute__((target("avx2"))) inline __m256i spread(const std::int8_t (&pattern)[16]) {
  std::int8_t bytes[32];
  for (int i = 0; i < 16; ++i) {
    bytes[2 * i] = pattern[i];
    bytes[2 * i + 1] = -1;
  }
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

// ---- 3-byte pixels: 16 pixels (48 bytes) per block ------------------------
//
// The block's channels are three groups of 16. The opacity byte and the
// key test of a channel belong to its pixel's first byte: group g takes
// them from a piece starting at the first byte of the pixel its first
// channel is in (bytes 0, 15 and 30), spread by one shuffle per group.

constexpr int kPieceStart[3] = {0, 15, 30};

struct Rgb24Constants {
  __m256i toPixelStart[3];
};

__attribute__((target("avx2"))) Rgb24Constants rgb24Constants() {
  Rgb24Constants k{};
  for (int g = 0; g < 3; ++g) {
    std::int8_t pattern[16];
    for (int i = 0; i < 16; ++i) {
      const int at = 16 * g + i;
      pattern[i] = static_cast<std::int8_t>(at - at % 3 - kPieceStart[g]);
    }
    k.toPixelStart[g] = spread(pattern);
  }
  return k;
}

template <Opacity O>
__attribute__((target("avx2"))) inline void blendBlock24(std::uint8_t* d, const std::uint8_t* o, const std::uint8_t* alpha,
                                                          const Rgb24Constants& k, __m256i constantMultiplier,
                                                          __m256i constantComplement) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i overlayHead = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o));
  const __m128i overlayTail = load16(o + 32);
  // Bit per overlay byte that is 0: a black (key) pixel needs all three.
  const auto zeros = static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                         _mm256_movemask_epi8(_mm256_cmpeq_epi8(overlayHead, zero)))) |
                     static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                         _mm_movemask_epi8(_mm_cmpeq_epi8(overlayTail, _mm_setzero_si128()))))
                         << 32;
  if (zeros == 0xFFFFFFFFFFFFull) return;  // sixteen black pixels: nothing is drawn
  if (O == Opacity::Opaque && zeros == 0) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), overlayHead);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), overlayTail);
    return;
  }
  __m256i result[3];
  for (int g = 0; g < 3; ++g) {
    const std::uint8_t* piece = o + kPieceStart[g];
    const __m256i overlay = _mm256_cvtepu8_epi16(load16(o + 16 * g));
    const __m256i image = _mm256_cvtepu8_epi16(load16(d + 16 * g));
    __m256i multiplier = constantMultiplier;
    __m256i complement = constantComplement;
    if constexpr (O == Opacity::Bitmap)
      bitmapMix(_mm256_shuffle_epi8(both(load16(alpha + kPieceStart[g])), k.toPixelStart[g]), multiplier, complement);
    if (zeros != 0) {
      // The OR of each pixel's three bytes, at its first byte, is 0 for a
      // black pixel, which keeps its image bytes.
      const __m128i any = _mm_or_si128(_mm_or_si128(load16(piece), load16(piece + 1)), load16(piece + 2));
      const __m256i black = _mm256_cmpeq_epi16(_mm256_shuffle_epi8(both(any), k.toPixelStart[g]), zero);
      multiplier = _mm256_andnot_si256(black, multiplier);
      complement = _mm256_andnot_si256(black, complement);
    }
    result[g] = mixLanes(image, overlay, multiplier, complement);
  }
  const __m256i head = _mm256_permute4x64_epi64(_mm256_packus_epi16(result[0], result[1]), _MM_SHUFFLE(3, 1, 2, 0));
  const __m256i tail = _mm256_permute4x64_epi64(_mm256_packus_epi16(result[2], result[2]), _MM_SHUFFLE(3, 1, 2, 0));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), head);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm256_castsi256_si128(tail));
}

// Bit i set where byte i of a 32-byte piece is 0.
__attribute__((target("avx2"))) inline std::uint32_t zeroBytes(__m256i bytes, __m256i zero) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, zero)));
}

// Whether any of 32 three-byte pixels is black, from the zero-byte bits of
// its 96 bytes: a pixel is black where the bits of its three bytes are all
// set. A zero byte alone is common in an image; a black pixel is the key.
inline bool anyBlackPixel(std::uint32_t bytes0, std::uint32_t bytes32, std::uint32_t bytes64) {
  constexpr std::uint64_t kLowStarts = 0x9249249249249249ull;  // bits 0, 3, ..., 63
  constexpr std::uint32_t kHighStarts = 0x24924924u;           // bits 66, 69, ..., 93 less 64
  const std::uint64_t low = bytes0 | static_cast<std::uint64_t>(bytes32) << 32;
  const std::uint32_t high = bytes64;
  const std::uint64_t lowBlack = low & (low >> 1 | static_cast<std::uint64_t>(high) << 63) &
                                 (low >> 2 | static_cast<std::uint64_t>(high) << 62) & kLowStarts;
  const std::uint32_t highBlack = high & high >> 1 & high >> 2 & kHighStarts;
  return (lowBlack | highBlack) != 0;
}

template <Opacity O>
__attribute__((target("avx2"))) std::int64_t blendRun24(const BlendRun& run, ConstantMix mix) {
  const Rgb24Constants k = rgb24Constants();
  const __m256i multiplier = _mm256_set1_epi16(O == Opacity::Constant ? mix.multiplier : 0);
  const __m256i complement =
      _mm256_set1_epi16(O == Opacity::Opaque || (O == Opacity::Constant && mix.complement) ? -1 : 0);
  std::int64_t p = 0;
  if constexpr (O == Opacity::Opaque) {
    // Opaque: 32 pixels without a black one are the overlay's bytes; only
    // blocks with one need the image.
    const __m256i zero = _mm256_setzero_si256();
    for (; p + 32 <= run.count; p += 32) {
      const std::uint8_t* o = run.overlay + 3 * p;
      std::uint8_t* d = run.destination + 3 * p;
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o + 32));
      const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o + 64));
      if (!anyBlackPixel(zeroBytes(a, zero), zeroBytes(b, zero), zeroBytes(c, zero))) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 64), c);
      } else {
        blendBlock24<O>(d, o, nullptr, k, multiplier, complement);
        blendBlock24<O>(d + 48, o + 48, nullptr, k, multiplier, complement);
      }
    }
  }
  for (; p + 16 <= run.count; p += 16)
    blendBlock24<O>(run.destination + 3 * p, run.overlay + 3 * p, O == Opacity::Bitmap ? run.alpha + 3 * p : nullptr,
                    k, multiplier, complement);
  return p;
}

// ---- 4-byte pixels: 8 pixels (32 bytes) per block -------------------------
//
// Two groups of four pixels; each overlay and opacity piece (12 bytes, read
// as 16) is spread to four lanes per pixel, the fourth lane 0: opacity 0
// without the complement keeps the image's fourth byte.

struct Rgb32Constants {
  __m256i toLanes;       // overlay bytes of four pixels, fourth lanes 0
  __m256i toPixelStart;  // each pixel's first byte to its three colour lanes
  __m256i colour;        // all ones in the three colour lanes of each pixel
};

__attribute__((target("avx2"))) Rgb32Constants rgb32Constants() {
  std::int8_t lanes[16], starts[16];
  for (int i = 0; i < 16; ++i) {
    const int pixel = i / 4, c = i % 4;
    lanes[i] = static_cast<std::int8_t>(c < 3 ? 3 * pixel + c : -1);
    starts[i] = static_cast<std::int8_t>(c < 3 ? 3 * pixel : -1);
  }
  return Rgb32Constants{spread(lanes), spread(starts), _mm256_set1_epi64x(0x0000FFFFFFFFFFFFll)};
}

template <Opacity O>
__attribute__((target("avx2"))) std::int64_t blendRun32(const BlendRun& run, ConstantMix mix) {
  const Rgb32Constants k = rgb32Constants();
  const __m256i zero = _mm256_setzero_si256();
  const __m256i constantMultiplier =
      _mm256_and_si256(_mm256_set1_epi16(O == Opacity::Constant ? mix.multiplier : 0), k.colour);
  const __m256i constantComplement = _mm256_and_si256(
      _mm256_set1_epi16(O == Opacity::Opaque || (O == Opacity::Constant && mix.complement) ? -1 : 0), k.colour);
  std::int64_t p = 0;
  // Each group reads 16 overlay (and opacity) bytes for its 12: two pixels
  // to spare past the block.
  for (; p + 10 <= run.count; p += 8) {
    std::uint8_t* d = run.destination + 4 * p;
    const std::uint8_t* o = run.overlay + 3 * p;
    __m256i result[2];
    for (int g = 0; g < 2; ++g) {
      const __m256i overlay = _mm256_shuffle_epi8(both(load16(o + 12 * g)), k.toLanes);
      const __m256i image = _mm256_cvtepu8_epi16(load16(d + 16 * g));
      __m256i multiplier = constantMultiplier;
      __m256i complement = constantComplement;
      if constexpr (O == Opacity::Bitmap)
        bitmapMix(_mm256_shuffle_epi8(both(load16(run.alpha + 3 * p + 12 * g)), k.toPixelStart), multiplier,
                  complement);
      // A pixel's four lanes are 0 together only for a black pixel.
      const __m256i black = _mm256_cmpeq_epi64(overlay, zero);
      multiplier = _mm256_andnot_si256(black, multiplier);
      complement = _mm256_andnot_si256(black, complement);
      result[g] = mixLanes(image, overlay, multiplier, complement);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                        _mm256_permute4x64_epi64(_mm256_packus_epi16(result[0], result[1]), _MM_SHUFFLE(3, 1, 2, 0)));
  }
  return p;
}

} // namespace
#endif

bool vectorBlendAvailable() {
#if defined(VX_HAVE_VECTOR_PATHS)
  return vx::vectorLevel() >= vx::VectorLevel::Avx2;
#else
  return false;
#endif
}

std::int64_t blendRunVector(const BlendRun& run, int bytesPerPixel, Opacity opacity, ConstantMix mix) {
#if defined(VX_HAVE_VECTOR_PATHS)
  if (bytesPerPixel == 3) {
    switch (opacity) {
      case Opacity::Opaque: return blendRun24<Opacity::Opaque>(run, mix);
      case Opacity::Constant: return blendRun24<Opacity::Constant>(run, mix);
      case Opacity::Bitmap: return blendRun24<Opacity::Bitmap>(run, mix);
    }
  } else if (bytesPerPixel == 4) {
    switch (opacity) {
      case Opacity::Opaque: return blendRun32<Opacity::Opaque>(run, mix);
      case Opacity::Constant: return blendRun32<Opacity::Constant>(run, mix);
      case Opacity::Bitmap: return blendRun32<Opacity::Bitmap>(run, mix);
    }
  }
#else
  (void)run;
  (void)bytesPerPixel;
  (void)opacity;
  (void)mix;
#endif
  return 0;
}

} // namespace engines::detail
