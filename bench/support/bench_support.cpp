#include "bench/against_memcpy.h"

namespace vxbench {

std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed) {
  std::vector<std::uint8_t> v(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return v;
}

bool useLevel(benchmark::State& state, std::int64_t argument) {
  if (vx::processorVectorLevel() < vx::VectorLevel::Avx2) {
    state.SkipWithError("the processor has no AVX2");
    return false;
  }
  vx::limitVectorLevel(argument <= 1 ? vx::VectorLevel::Avx2 : vx::VectorLevel::Avx512);
  return true;
}

std::string levelCell(const char* widestLoop) {
  const std::string level = vx::vectorLevelName(vx::vectorLevel());
  const std::string loop = widestLoop;
  if (loop == "sse2") return level + " (SSE2 loop)";
  if (loop == "avx2" && level == "avx512") return level + " (AVX2 loop)";
  return level;
}

std::string sizeCell(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace vxbench
