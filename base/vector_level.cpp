#include "base/vector_level.h"

#include <algorithm>
#include <atomic>

namespace vx {
namespace {

std::atomic<VectorLevel> g_limit{VectorLevel::Avx512};

VectorLevel detect() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0 &&
      __builtin_cpu_supports("avx512vl") != 0 && __builtin_cpu_supports("avx2") != 0 &&
      __builtin_cpu_supports("fma") != 0)
    return VectorLevel::Avx512;
  if (__builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0) return VectorLevel::Avx2;
#endif
  return VectorLevel::Scalar;
}

} // namespace

VectorLevel processorVectorLevel() {
  static const VectorLevel level = detect();
  return level;
}

VectorLevel vectorLevel() { return std::min(processorVectorLevel(), g_limit.load(std::memory_order_relaxed)); }

void limitVectorLevel(VectorLevel highest) { g_limit.store(highest, std::memory_order_relaxed); }

const char* vectorLevelName(VectorLevel level) {
  switch (level) {
    case VectorLevel::Avx512: return "avx512";
    case VectorLevel::Avx2: return "avx2";
    case VectorLevel::Scalar: break;
  }
  return "scalar";
}

} // namespace vx
