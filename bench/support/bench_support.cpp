#include "bench/against_memcpy.h"

#include <algorithm>
#include <chrono>

#if defined(__unix__)
#include <time.h>
#endif

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

double threadSeconds() {
#if defined(__unix__) && defined(CLOCK_THREAD_CPUTIME_ID)
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double>& values) {
  if (values.empty()) return 0.0;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  const double upper = values[mid];
  if (values.size() % 2 != 0) return upper;
  return (*std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid)) + upper) / 2.0;
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
