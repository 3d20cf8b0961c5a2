// The line copier's inner loops over one row of snapshot pixels (blue,
// green, red): the colour layout (red, green, blue) and the grey layout (the
// red byte alone). Each picks the widest vector unit the level allows; the
// plain loops are the reference every vector path gives byte for byte.
// They read only the `pixels` pixels at `src` and write only the output
// bytes of those pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx {

void copyColourPixels(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);
void copyGreyPixels(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);

// The plain loops.
void copyColourPixelsPlain(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);
void copyGreyPixelsPlain(const std::uint8_t* src, std::uint8_t* dst, std::size_t pixels);

} // namespace vx
