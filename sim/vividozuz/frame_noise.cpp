#include "vividozuz/frame_noise.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vzsim {

namespace {

// Bytes of a frame that one stretch of the table covers; the table holds
// twice that, so any offset up to kChunk leaves a whole chunk after it.
constexpr std::size_t kChunk = std::size_t{1} << 16;
constexpr std::size_t kTable = 2 * kChunk;

std::uint64_t mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15ull;
    return mix(state_);
  }

private:
  std::uint64_t state_;
};

// Where chunk `chunk` of frame `frame` starts reading the table.
std::size_t chunkOffset(std::uint32_t seed, std::uint64_t frame, std::size_t chunk) {
  const std::uint64_t h = mix(mix((std::uint64_t{seed} << 32) ^ frame) + chunk);
  return static_cast<std::size_t>(h % (kChunk + 1));
}

void addSaturated(const std::uint8_t* clean, const std::uint8_t* raise, const std::uint8_t* lower,
                  std::uint8_t* out, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(clean + i));
    const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raise + i));
    const __m128i down = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_subs_epu8(_mm_adds_epu8(v, up), down));
  }
#endif
  for (; i < n; ++i) {
    const int raised = std::min(clean[i] + raise[i], 255);
    out[i] = static_cast<std::uint8_t>(std::max(raised - lower[i], 0));
  }
}

} // namespace

void FrameNoise::prepare(std::uint32_t seed, bool twoBytes) {
  if (seed != seed_) {
    ready8_ = ready16_ = false;
    seed_ = seed;
  }
  Random random(mix(seed) ^ (twoBytes ? 0x5851F42D4C957F2Dull : 0));
  if (!twoBytes && !ready8_) {
    raise_.assign(kTable, 0);
    lower_.assign(kTable, 0);
    for (std::size_t i = 0; i < kTable; ++i) {
      const auto r = static_cast<int>(random.next() % 24u);
      const int delta = r == 0 ? -2 : r < 8 ? -1 : r < 16 ? 0 : r < 23 ? 1 : 2;
      raise_[i] = static_cast<std::uint8_t>(std::max(delta, 0));
      lower_[i] = static_cast<std::uint8_t>(std::max(-delta, 0));
    }
    ready8_ = true;
  }
  if (twoBytes && !ready16_) {
    delta16_.assign(kTable / 2, 0);
    for (std::int16_t& d : delta16_) {
      d = static_cast<std::int16_t>(static_cast<int>(random.next() % 769u) - 384);
    }
    ready16_ = true;
  }
}

void FrameNoise::apply(const std::uint8_t* clean, std::uint8_t* out, std::size_t bytes,
                       bool twoBytes, bool highByteSample, std::uint32_t seed,
                       std::uint64_t frameNumber) {
  prepare(seed, twoBytes);
  const std::size_t hi = highByteSample ? 1 : 0;
  const std::size_t lo = 1 - hi;
  for (std::size_t start = 0, chunk = 0; start < bytes; start += kChunk, ++chunk) {
    const std::size_t n = std::min(kChunk, bytes - start);
    const std::size_t offset = chunkOffset(seed, frameNumber, chunk);
    if (!twoBytes) {
      addSaturated(clean + start, raise_.data() + offset, lower_.data() + offset, out + start, n);
      continue;
    }
    // kChunk is even, so a chunk holds whole pixels.
    const std::int16_t* delta = delta16_.data() + offset / 2;
    const std::uint8_t* from = clean + start;
    std::uint8_t* to = out + start;
    for (std::size_t p = 0; p + 1 < n; p += 2) {
      const int sample = (from[p + hi] << 8) | from[p + lo];
      const int v = std::clamp(sample + delta[p / 2], 0, 65535);
      to[p + hi] = static_cast<std::uint8_t>(v >> 8);
      to[p + lo] = static_cast<std::uint8_t>(v & 0xFF);
    }
  }
}

} // namespace vzsim
