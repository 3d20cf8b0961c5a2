// The record that the exposure controller's region measurement shares with
// its streaming callback, and the sampling of one raw frame into it.
#pragma once

#include "platform/platform.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace engines {

struct RegionSample {
  platform::EventHandle event = nullptr;  // manual reset; set once a frame is sampled
  std::atomic<std::int32_t> done{0};      // taken by the first frame's callback
  std::uint32_t frameWidth = 0;           // frame pixels
  std::uint32_t frameHeight = 0;
  std::uint32_t twoBytes = 0;             // two bytes per pixel
  std::uint32_t highByte = 0;             // with two bytes: sample the second byte
  std::uint32_t fieldLayout = 0;          // nonzero: all even lines first, then all odd lines
  std::uint32_t startX = 0;               // region corner in the buffer, after mirroring
  std::uint32_t startY = 0;
  std::uint32_t width = 0;                // region size, both even
  std::uint32_t height = 0;
  // Sums of the sampled bytes at the four places of each 2 x 2 cell: even
  // row even column, even row odd column, odd row even column, odd row odd
  // column (counted from the region's corner).
  std::uint32_t sum0 = 0;
  std::uint32_t sum1 = 0;
  std::uint32_t sum2 = 0;
  std::uint32_t sum3 = 0;
};

// Bytes a frame must hold for every read of sampleRegion to fall inside it.
std::uint64_t regionBytesNeeded(const RegionSample& sample);

// Adds one byte per pixel of the region to the four sums, in one pass.
// Returns false, without reading, when the frame is shorter than
// regionBytesNeeded.
bool sampleRegion(RegionSample& sample, const std::uint8_t* frame, std::size_t byteCount);

}  // namespace engines
