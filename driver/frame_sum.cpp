#include "driver/frame_sum.h"

#include "base/vector_level.h"
#include "driver/snapshot_rows.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VX_HAVE_VECTOR_PATHS 1
#endif

namespace vx {
namespace {

template <class T>
T load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void store(std::uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// plane[x] += sample x of the line (every `stride`-th byte from `line`).
template <class Acc>
void addPlane(std::uint8_t* plane, const std::uint8_t* line, std::int32_t width, int stride,
              const std::uint16_t* wide) {
  for (std::int32_t x = 0; x < width; ++x, plane += sizeof(Acc), line += stride) {
    const unsigned value = wide != nullptr ? wide[*line] : *line;
    store<Acc>(plane, static_cast<Acc>(load<Acc>(plane) + value));
  }
}

// The three planes of a colour line in one pass over it.
template <class Acc>
void addColourPlanes(const FrameAccumulator::PlaneRows& rows, const std::uint8_t* line, std::int32_t width,
                     const std::uint16_t* wide) {
  std::uint8_t* red = rows[0];
  std::uint8_t* green = rows[1];
  std::uint8_t* blue = rows[2];
  for (std::int32_t x = 0; x < width; ++x, line += 3, red += sizeof(Acc), green += sizeof(Acc), blue += sizeof(Acc)) {
    const unsigned r = wide != nullptr ? wide[line[0]] : line[0];
    const unsigned g = wide != nullptr ? wide[line[1]] : line[1];
    const unsigned b = wide != nullptr ? wide[line[2]] : line[2];
    store<Acc>(red, static_cast<Acc>(load<Acc>(red) + r));
    store<Acc>(green, static_cast<Acc>(load<Acc>(green) + g));
    store<Acc>(blue, static_cast<Acc>(load<Acc>(blue) + b));
  }
}

template <class Acc, class Out>
void dividePlanes(const FrameAccumulator::PlaneRows& rows, int planes, std::uint8_t* out, std::int32_t width,
                  const Divider& divider, std::uint32_t cap) {
  for (int c = 0; c < planes; ++c) {
    const std::uint8_t* plane = rows[static_cast<std::size_t>(c)];
    std::uint8_t* dst = out + static_cast<std::size_t>(c) * sizeof(Out);
    const std::size_t step = static_cast<std::size_t>(planes) * sizeof(Out);
    for (std::int32_t x = 0; x < width; ++x, dst += step) {
      const std::uint32_t sum = plane != nullptr ? load<Acc>(plane + static_cast<std::size_t>(x) * sizeof(Acc)) : 0u;
      store<Out>(dst, static_cast<Out>(std::min(divider(sum), cap)));
    }
  }
}


#if defined(VX_HAVE_VECTOR_PATHS)

// ---- AVX2: 8-bit samples summed in 16-bit planes, divided into bytes ----
//
// The planes wrap at 2^16 like the plain loops (a sum of 256 frames stays
// below), and the division is the Divider's multiplication by its
// reciprocal done in 16-bit pieces, exact under the same condition.

__attribute__((target("avx2"))) inline __m256i loadPair(const std::uint8_t* low, const std::uint8_t* high) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(high), reinterpret_cast<const __m128i*>(low));
}

__attribute__((target("avx2"))) inline void addTo(std::uint8_t* plane, __m256i samples) {
  auto* p = reinterpret_cast<__m256i*>(plane);
  _mm256_storeu_si256(p, _mm256_add_epi16(_mm256_loadu_si256(p), samples));
}

// Shuffle pattern that takes colour `c` of pixels `first` .. `last` of a
// 16-byte piece (pixel k at byte 3k + c - offset) into 16-bit lanes k, and
// zero elsewhere; the same in both halves.
struct Pick {
  std::int8_t bytes[32];
};
constexpr Pick pickColour(int c, int offset, int first, int last) {
  Pick pick{};
  for (int half = 0; half < 2; ++half)
    for (int k = 0; k < 8; ++k) {
      const bool take = k >= first && k <= last;
      pick.bytes[16 * half + 2 * k] = static_cast<std::int8_t>(take ? 3 * k + c - offset : -1);
      pick.bytes[16 * half + 2 * k + 1] = -1;
    }
  return pick;
}
// Pixels 0 .. 7 span bytes 0 .. 23: the first piece (bytes 0 .. 15) holds
// red of pixels 0 .. 5 and green and blue of pixels 0 .. 4; the second
// (bytes 8 .. 23) the rest.
constexpr Pick kFirstPiece[3] = {pickColour(0, 0, 0, 5), pickColour(1, 0, 0, 4), pickColour(2, 0, 0, 4)};
constexpr Pick kSecondPiece[3] = {pickColour(0, 8, 6, 7), pickColour(1, 8, 5, 7), pickColour(2, 8, 5, 7)};

__attribute__((target("avx2"))) inline __m256i pickLoad(const Pick& pick) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pick.bytes));
}

// Sixteen pixels per step: the halves of two registers hold bytes 0 .. 15
// and 24 .. 39, and 8 .. 23 and 32 .. 47, so that pixels 0 .. 7 and 8 .. 15
// sit at the same offsets in both halves. Returns the pixels done.
__attribute__((target("avx2"))) std::int32_t addColourAvx2(const FrameAccumulator::PlaneRows& rows,
                                                         const std::uint8_t* line, std::int32_t width) {
  __m256i first[3], second[3];
  for (int c = 0; c < 3; ++c) {
    first[c] = pickLoad(kFirstPiece[c]);
    second[c] = pickLoad(kSecondPiece[c]);
  }
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const std::uint8_t* s = line + 3 * x;
    const __m256i a = loadPair(s, s + 24);
    const __m256i b = loadPair(s + 8, s + 32);
    for (std::size_t c = 0; c < 3; ++c)
      addTo(rows[c] + 2 * x, _mm256_or_si256(_mm256_shuffle_epi8(a, first[c]), _mm256_shuffle_epi8(b, second[c])));
  }
  return x;
}

__attribute__((target("avx2"))) std::int32_t addGreyAvx2(std::uint8_t* plane, const std::uint8_t* line,
                                                       std::int32_t width) {
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16)
    addTo(plane + 2 * x, _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x))));
  return x;
}

// n / divisor for 16-bit sums n, as (n * r) >> 32 with r = rh * 2^16 + rl:
// floor(n * rl / 2^16) added to n * rh, whose high half and carry are the
// quotient. A divisor of 1 (r = 2^32 + 1) is the sum itself.
struct Quotient {
  __m256i rl, rh;
  bool one;
};

__attribute__((target("avx2"))) inline __m256i quotient(const Quotient& q, __m256i n) {
  if (q.one) return n;
  const __m256i low = _mm256_mullo_epi16(n, q.rh);
  const __m256i sum = _mm256_add_epi16(low, _mm256_mulhi_epu16(n, q.rl));
  const __m256i noCarry = _mm256_cmpeq_epi16(_mm256_max_epu16(sum, low), sum);
  return _mm256_sub_epi16(_mm256_mulhi_epu16(n, q.rh), _mm256_xor_si256(noCarry, _mm256_set1_epi16(-1)));
}

__attribute__((target("avx2"))) inline __m256i loadSums(const std::uint8_t* plane, std::int32_t x) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plane + 2 * x));
}

// Bytes of eight pixels' red and green (x) and blue (y) per half into
// their R, G, B order: output byte j takes colour j mod 3 of pixel j / 3.
constexpr Pick interleave(bool blue, int from) {
  Pick pick{};
  for (int half = 0; half < 2; ++half)
    for (int i = 0; i < 16; ++i) {
      const int j = from + i;
      const int p = j / 3, c = j % 3;
      const bool inRange = j < 24;
      std::int8_t index = -1;
      if (inRange && blue && c == 2) index = static_cast<std::int8_t>(p);
      if (inRange && !blue && c < 2) index = static_cast<std::int8_t>(8 * c + p);
      pick.bytes[16 * half + i] = index;
    }
  return pick;
}
constexpr Pick kRedGreenFirst = interleave(false, 0), kBlueFirst = interleave(true, 0);
constexpr Pick kRedGreenRest = interleave(false, 16), kBlueRest = interleave(true, 16);

__attribute__((target("avx2"))) std::int32_t divideColourAvx2(const FrameAccumulator::PlaneRows& rows,
                                                            std::uint8_t* out, std::int32_t width,
                                                            const Quotient& q, std::uint16_t cap) {
  const __m256i top = _mm256_set1_epi16(static_cast<short>(cap));
  const __m256i rgFirst = pickLoad(kRedGreenFirst), bFirst = pickLoad(kBlueFirst);
  const __m256i rgRest = pickLoad(kRedGreenRest), bRest = pickLoad(kBlueRest);
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m256i r = _mm256_min_epu16(quotient(q, loadSums(rows[0], x)), top);
    const __m256i g = _mm256_min_epu16(quotient(q, loadSums(rows[1], x)), top);
    const __m256i b = _mm256_min_epu16(quotient(q, loadSums(rows[2], x)), top);
    // Per half: red and green of eight pixels, and their blue.
    const __m256i redGreen = _mm256_packus_epi16(r, g);
    const __m256i blue = _mm256_packus_epi16(b, b);
    const __m256i head = _mm256_or_si256(_mm256_shuffle_epi8(redGreen, rgFirst), _mm256_shuffle_epi8(blue, bFirst));
    const __m256i tail = _mm256_or_si256(_mm256_shuffle_epi8(redGreen, rgRest), _mm256_shuffle_epi8(blue, bRest));
    std::uint8_t* d = out + 3 * x;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(head));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm256_castsi256_si128(tail));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 24), _mm256_extracti128_si256(head, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 40), _mm256_extracti128_si256(tail, 1));
  }
  return x;
}

__attribute__((target("avx2"))) std::int32_t divideGreyAvx2(const std::uint8_t* plane, std::uint8_t* out,
                                                          std::int32_t width, const Quotient& q,
                                                          std::uint16_t cap) {
  const __m256i top = _mm256_set1_epi16(static_cast<short>(cap));
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m256i v = _mm256_min_epu16(quotient(q, loadSums(plane, x)), top);
    const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(bytes));
  }
  return x;
}

__attribute__((target("avx2"))) Quotient makeQuotient(const Divider& divider) {
  const std::uint64_t r = divider.reciprocal();
  return Quotient{_mm256_set1_epi16(static_cast<short>(r & 0xFFFFu)),
                  _mm256_set1_epi16(static_cast<short>((r >> 16) & 0xFFFFu)), divider.divisor() == 1};
}

#endif

// Plane rows moved on by `x` samples of `bytes` each.
FrameAccumulator::PlaneRows advanced(const FrameAccumulator::PlaneRows& rows, std::int32_t x, std::size_t bytes) {
  FrameAccumulator::PlaneRows moved{};
  for (std::size_t c = 0; c < rows.size(); ++c)
    moved[c] = rows[c] != nullptr ? rows[c] + static_cast<std::size_t>(x) * bytes : nullptr;
  return moved;
}

} // namespace

SumPlan sumPlan(std::int32_t depth) {
  switch (depth) {
    case 24: return {3, 6, 3, 256, 255, 8};
    case 10: return {1, 5, 4, 16, 4095, 10};
    case 12: return {1, 5, 4, 16, 4095, 12};
    // 16-bit samples saturate at their largest value instead of wrapping.
    case 16: return {1, 5, 6, 16, 65535, 16};
    case 30: return {3, 5, 8, 16, 4095, 10};
    case 36: return {3, 5, 8, 16, 4095, 12};
    case 48: return {3, 5, 9, 16, 65535, 16};
    default: return {1, 6, 1, 256, 255, 8};
  }
}

Divider::Divider(std::uint32_t divisor, std::uint64_t largest) : divisor_(std::max<std::uint32_t>(divisor, 1)) {
  // With m = floor(2^32 / d) + 1, (n * m) >> 32 equals n / d for every
  // n with n * d < 2^32.
  fast_ = largest * divisor_ < (std::uint64_t{1} << 32);
  reciprocal_ = (std::uint64_t{1} << 32) / divisor_ + 1;
}

FrameAccumulator::FrameAccumulator(const SumPlan& plan, std::int32_t width, int lineSamples)
    : plan_(plan),
      width_(std::max(width, 0)),
      lineSamples_(lineSamples == 3 ? 3 : 1),
      wide_(plan.sampleBits > 8 ? wideSampleTable(plan.sampleBits) : nullptr) {}

std::uint64_t FrameAccumulator::largestSum(std::int32_t frames) const {
  const std::uint64_t sample = wide_ != nullptr ? wide_[255] : 255u;
  return sample * static_cast<std::uint64_t>(std::max(frames, 0));
}

void FrameAccumulator::add(const PlaneRows& rows, const std::uint8_t* line) const {
#if defined(VX_HAVE_VECTOR_PATHS)
  // 8-bit samples into 16-bit planes, every plane there.
  if (plan_.accumulatorType == 6 && wide_ == nullptr && vectorLevel() >= VectorLevel::Avx2) {
    std::int32_t done = -1;
    if (plan_.planes == 3 && lineSamples_ == 3 && rows[0] != nullptr && rows[1] != nullptr && rows[2] != nullptr)
      done = addColourAvx2(rows, line, width_);
    else if (plan_.planes == 1 && lineSamples_ == 1 && rows[0] != nullptr)
      done = addGreyAvx2(rows[0], line, width_);
    if (done >= 0) {
      FrameAccumulator rest(*this);
      rest.width_ = width_ - done;
      rest.addPlain(advanced(rows, done, 2), line + static_cast<std::size_t>(done) * static_cast<std::size_t>(lineSamples_));
      return;
    }
  }
#endif
  addPlain(rows, line);
}

void FrameAccumulator::addPlain(const PlaneRows& rows, const std::uint8_t* line) const {
  if (plan_.planes == 3 && lineSamples_ == 3 && rows[0] != nullptr && rows[1] != nullptr && rows[2] != nullptr) {
    if (plan_.accumulatorType == 6) addColourPlanes<std::uint16_t>(rows, line, width_, wide_);
    else addColourPlanes<std::uint32_t>(rows, line, width_, wide_);
    return;
  }
  for (int c = 0; c < plan_.planes; ++c) {
    std::uint8_t* plane = rows[static_cast<std::size_t>(c)];
    if (plane == nullptr) continue;
    const std::uint8_t* first = line + (lineSamples_ == 3 ? c : 0);
    if (plan_.accumulatorType == 6) addPlane<std::uint16_t>(plane, first, width_, lineSamples_, wide_);
    else addPlane<std::uint32_t>(plane, first, width_, lineSamples_, wide_);
  }
}

void FrameAccumulator::divide(const PlaneRows& rows, std::uint8_t* out, const Divider& divider) const {
#if defined(VX_HAVE_VECTOR_PATHS)
  // 16-bit sums into bytes, by a reciprocal that is exact for them.
  if (out != nullptr && plan_.accumulatorType == 6 && plan_.sampleBits == 8 && plan_.cap <= 255 &&
      divider.exactByReciprocal() && vectorLevel() >= VectorLevel::Avx2) {
    const auto cap = static_cast<std::uint16_t>(plan_.cap);
    std::int32_t done = -1;
    if (plan_.planes == 3 && rows[0] != nullptr && rows[1] != nullptr && rows[2] != nullptr)
      done = divideColourAvx2(rows, out, width_, makeQuotient(divider), cap);
    else if (plan_.planes == 1 && rows[0] != nullptr)
      done = divideGreyAvx2(rows[0], out, width_, makeQuotient(divider), cap);
    if (done >= 0) {
      FrameAccumulator rest(*this);
      rest.width_ = width_ - done;
      rest.dividePlain(advanced(rows, done, 2), out + static_cast<std::size_t>(done) * static_cast<std::size_t>(plan_.planes),
                       divider);
      return;
    }
  }
#endif
  dividePlain(rows, out, divider);
}

void FrameAccumulator::dividePlain(const PlaneRows& rows, std::uint8_t* out, const Divider& divider) const {
  if (out == nullptr) return;
  const bool wideOut = plan_.sampleBits > 8;
  if (plan_.accumulatorType == 6) {
    if (wideOut) dividePlanes<std::uint16_t, std::uint16_t>(rows, plan_.planes, out, width_, divider, plan_.cap);
    else dividePlanes<std::uint16_t, std::uint8_t>(rows, plan_.planes, out, width_, divider, plan_.cap);
  } else {
    if (wideOut) dividePlanes<std::uint32_t, std::uint16_t>(rows, plan_.planes, out, width_, divider, plan_.cap);
    else dividePlanes<std::uint32_t, std::uint8_t>(rows, plan_.planes, out, width_, divider, plan_.cap);
  }
}

} // namespace vx
