// Seeded per-frame noise for raw frames, cheap enough for every frame of a
// stream: the deltas come from a table made once per seed, read in chunks
// at offsets that depend on the seed, the frame number and the chunk, and
// are added with saturation. Frames with the same seed and frame number get
// the same noise.
//
// 8-bit pixels change by -2..+2 levels with the odds 1:7:8:7:1, which is
// what a uniform +-1.5 levels before truncation to 8 bits gives; 16-bit
// samples change by a uniform -384..+384. Not thread-safe: one per renderer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vzsim {

class FrameNoise {
public:
  // out = clean + noise, `bytes` long. Two-byte pixels are 16-bit samples,
  // little-endian when `highByteSample` is set, big-endian otherwise.
  void apply(const std::uint8_t* clean, std::uint8_t* out, std::size_t bytes, bool twoBytes,
             bool highByteSample, std::uint32_t seed, std::uint64_t frameNumber);

private:
  void prepare(std::uint32_t seed, bool twoBytes);

  bool ready8_ = false;
  bool ready16_ = false;
  std::uint32_t seed_ = 0;
  // 8-bit deltas split into what is added and what is taken away, both
  // with saturation: delta = raise - lower, one of them 0.
  std::vector<std::uint8_t> raise_;
  std::vector<std::uint8_t> lower_;
  std::vector<std::int16_t> delta16_;
};

} // namespace vzsim
