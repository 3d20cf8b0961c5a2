// The widest vector unit the per-frame kernels may use: what the processor
// (and the operating system) supports, unless limited to a narrower one.
// Every level gives the same bytes; the limit exists so that tests can
// compare the paths and benchmarks can time each one. Any thread may ask;
// the limit is process-wide.
#pragma once

namespace vx {

// AVX2 here means AVX2 with FMA; AVX-512 means its F, BW and VL parts.
enum class VectorLevel { Scalar = 0, Avx2 = 1, Avx512 = 2 };

// What the processor supports, detected once.
VectorLevel processorVectorLevel();
// The level the kernels use now: the processor's, capped by the limit.
VectorLevel vectorLevel();
// Caps the level (VectorLevel::Avx512 removes the cap).
void limitVectorLevel(VectorLevel highest);
// "scalar", "avx2" or "avx512".
const char* vectorLevelName(VectorLevel level);

} // namespace vx
