#include "driver/frame_sum.h"

#include "driver/snapshot_rows.h"

#include <algorithm>
#include <cstring>

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
