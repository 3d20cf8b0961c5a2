// Summing frames into accumulator planes and dividing them into a result
// image: the arithmetic of the frame sum, kept apart from the host calls.
#pragma once

#include <array>
#include <cstdint>

namespace vx {

// How a depth is summed.
struct SumPlan {
  int planes = 1;              // accumulator planes: one per colour
  int accumulatorType = 6;     // host type of each plane: 6 (16-bit) or 5 (32-bit samples)
  int resultType = 1;          // host type of the result image
  int frameLimit = 256;        // most frames a sum may have
  std::uint32_t cap = 255;     // largest result sample
  int sampleBits = 8;          // bits per result sample: 8, or 10, 12, 16 written as 16 bits
};

// 8 and 24 bits sum 8-bit samples in 16-bit planes; 10, 12 and 16 (grey)
// and 30, 36 and 48 (colour) sum 16-bit samples in 32-bit planes. Any
// other depth is summed as 8-bit grey.
SumPlan sumPlan(std::int32_t depth);

// n / divisor with integer division, by one multiplication when every
// numerator up to `largest` allows it exactly.
class Divider {
 public:
  Divider(std::uint32_t divisor, std::uint64_t largest);
  std::uint32_t operator()(std::uint32_t n) const {
    return fast_ ? static_cast<std::uint32_t>((n * reciprocal_) >> 32) : n / divisor_;
  }

 private:
  std::uint32_t divisor_;
  std::uint64_t reciprocal_ = 0;
  bool fast_ = false;
};

// Adds lines to accumulator rows and divides them into result rows. A line
// holds `lineSamples` 8-bit samples per pixel (3: red, green, blue; 1:
// grey). Rows are the host images' row pointers; a null row is skipped.
class FrameAccumulator {
 public:
  using PlaneRows = std::array<std::uint8_t*, 3>;

  FrameAccumulator(const SumPlan& plan, std::int32_t width, int lineSamples);

  // The largest value a plane sample reaches after `frames` frames.
  std::uint64_t largestSum(std::int32_t frames) const;
  // Adds one line to one row of every plane. A grey line feeds every plane.
  void add(const PlaneRows& rows, const std::uint8_t* line) const;
  // Writes one result row: each sample the plane's sum divided, capped at
  // the plan's cap, as 8 or 16 bits, red, green, blue per pixel in colour.
  void divide(const PlaneRows& rows, std::uint8_t* out, const Divider& divider) const;

 private:
  SumPlan plan_;
  std::int32_t width_;
  int lineSamples_;
  const std::uint16_t* wide_;  // 8-bit sample -> the depth's range, or null
};

} // namespace vx
