// Sample layout of the host image type codes (see hostlib/host_imaging.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hostimg::detail {

// Largest side an image may have: the size attribute packs each into 16 bits.
constexpr std::int32_t kMaxSide = 65535;
// Most sample bytes one image may hold.
constexpr std::size_t kMaxSampleBytes = std::size_t{1} << 30;

struct TypeLayout {
  int samplesPerPixel = 0;  // 1 or 3
  int bytesPerSample = 0;   // 1, 2 or 4
  int bytesPerPixel() const { return samplesPerPixel * bytesPerSample; }
};

// Layout of a type code, or nothing for a code the store does not know.
inline std::optional<TypeLayout> typeLayout(std::int32_t type) {
  switch (type) {
    case 1:  // 8-bit grey
    case 2:  // 8-bit palette index
      return TypeLayout{1, 1};
    case 3:  // R, G, B bytes
      return TypeLayout{3, 1};
    case 4:  // 10/12-bit grey in 16 bits
    case 6:  // 16-bit grey
      return TypeLayout{1, 2};
    case 5:  // 32-bit samples
      return TypeLayout{1, 4};
    case 8:  // 3 x 12-bit in 16 bits
    case 9:  // 3 x 16 bits
      return TypeLayout{3, 2};
    default:
      return std::nullopt;
  }
}

}  // namespace hostimg::detail
