#include "engines/region_sample.h"

namespace engines {
namespace {

struct Walk {
  std::uint64_t bpp;    // bytes per pixel
  std::uint64_t start;  // offset of the region's first sampled byte
  std::uint64_t gap;    // offset from the end of the first field's rows to the second's
};

Walk walkOf(const RegionSample& s) {
  const std::uint64_t bpp = s.twoBytes != 0 ? 2 : 1;
  const std::uint64_t first = (s.twoBytes != 0 && s.highByte != 0) ? 1 : 0;
  const std::uint64_t w = s.frameWidth;
  if (s.fieldLayout == 0) {
    return {bpp, first + (s.startX + w * s.startY) * bpp, 0};
  }
  const std::uint64_t rowsBetween =
      s.frameHeight >= s.height ? (s.frameHeight - s.height) / 2 : 0;
  return {bpp, first + (s.startX + (static_cast<std::uint64_t>(s.startY) * w) / 2) * bpp,
          rowsBetween * w * bpp};
}

}  // namespace

std::uint64_t regionBytesNeeded(const RegionSample& s) {
  if (s.width < 2 || s.height < 2) return 0;  // nothing is read
  const Walk walk = walkOf(s);
  const std::uint64_t stride = static_cast<std::uint64_t>(s.frameWidth) * walk.bpp;
  // Rows walked before the last one, and the last byte read in it.
  const std::uint64_t rowsBefore = s.height - 1;
  const std::uint64_t last = walk.start + rowsBefore * stride + walk.gap +
                             (static_cast<std::uint64_t>(s.width) - 1) * walk.bpp;
  return last + 1;
}

bool sampleRegion(RegionSample& s, const std::uint8_t* frame, std::size_t byteCount) {
  if (frame == nullptr || s.width < 2 || s.height < 2 || s.width > s.frameWidth) return false;
  if (regionBytesNeeded(s) > byteCount) return false;
  const Walk walk = walkOf(s);
  const std::size_t bpp = static_cast<std::size_t>(walk.bpp);
  const std::size_t pairs = s.width / 2;
  const std::size_t skip = static_cast<std::size_t>(s.frameWidth - s.width) * bpp;
  std::size_t at = static_cast<std::size_t>(walk.start);

  // One row of the region: alternate bytes into the even and odd column sums.
  auto sumRow = [&](std::uint32_t& evenColumns, std::uint32_t& oddColumns) {
    for (std::size_t c = 0; c < pairs; ++c) {
      evenColumns += frame[at];
      oddColumns += frame[at + bpp];
      at += 2 * bpp;
    }
    at += skip;
  };

  const std::uint32_t rowPairs = s.height / 2;
  if (s.fieldLayout == 0) {
    for (std::uint32_t r = 0; r < rowPairs; ++r) {
      sumRow(s.sum0, s.sum1);
      sumRow(s.sum2, s.sum3);
    }
  } else {
    // Even lines in the first half of the buffer, odd lines in the second.
    for (std::uint32_t r = 0; r < rowPairs; ++r) sumRow(s.sum0, s.sum1);
    at += static_cast<std::size_t>(walk.gap);
    for (std::uint32_t r = 0; r < rowPairs; ++r) sumRow(s.sum2, s.sum3);
  }
  return true;
}

}  // namespace engines
