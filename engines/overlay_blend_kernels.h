// The vector loops of the overlay blend, for runs of 3- and 4-byte pixels
// under a black key colour. They give the plain loops' bytes exactly:
//
// For 0 <= a <= 1 with a = 0 or a >= 2^-21 the plain loop's sum
// d (1 - a) + o a is exact in double, so its truncation is
// d + floor((o - d) a) (the sum lies between d and o, never below 0). With
// u = o - d in [-255, 255], floor(u a) is found with one 16-bit
// multiplication: floor(u M / 2^16) for a multiplier M that gives it for
// every u, or, for a >= 1/2, u + floor(-u M' / 2^16) with M' standing for
// 1 - a, so that M always fits 15 bits. Then the pixel is
// d + floor(u M / 2^16), or o + floor(-u M' / 2^16) ("complement").
//
// The bitmap's opacities are a = alpha byte x 0.003921569 in float; for
// alpha byte v the multiplier 257 v + 1 (v from 1 to 127) and the
// complement multiplier 257 (255 - v) (v from 128 to 255) work, as the
// exhaustive test of every overlay, image and alpha byte shows. A pixel is
// drawn opaquely with the complement and multiplier 0, and left as it is
// (black overlay pixel, fourth byte) with multiplier 0 and no complement.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engines::detail {

enum class Opacity { Opaque, Constant, Bitmap };

// One run of pixels of an image row under the overlay.
struct BlendRun {
  std::uint8_t* destination;    // first pixel of the run in the buffer
  const std::uint8_t* overlay;  // matching overlay pixel, 3 bytes each
  const std::uint8_t* alpha;    // matching alpha pixel (Bitmap only)
  std::int64_t count;           // pixels in the run
};

// A constant opacity as the vector loops take it.
struct ConstantMix {
  std::int16_t multiplier = 0;
  bool complement = false;
};

// The exact form of opacity `a` (already limited to 0 .. 1), or false when
// it has none (0 < a < 2^-21, where the plain loop's sum needs more than
// double precision, or no 15-bit multiplier fits).
bool constantMix(float a, ConstantMix& mix);

// Whether the processor and the vector level allow the loops below.
bool vectorBlendAvailable();

// Blends the first pixels of the run (whole blocks, leaving the run's last
// few) for 3- or 4-byte pixels and returns how many; the caller finishes the
// rest with the plain loop.
std::int64_t blendRunVector(const BlendRun& run, int bytesPerPixel, Opacity opacity, ConstantMix mix);

} // namespace engines::detail
