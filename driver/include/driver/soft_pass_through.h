// The reduced grey preview of the last snapshot drawn in the host's window.
// Called only while the driver is open.
#pragma once

#include "base/heap_buffer.h"
#include "platform/platform.h"

#include <cstdint>

namespace vx {

class Driver;

// What an open pass-through keeps between its calls.
struct PassThrough {
  std::int32_t x = 0;                          // where it is drawn (`passX`, `passY`)
  std::int32_t y = 0;
  std::int32_t sourceWidth = 0;                // the picture it reduces
  std::int32_t sourceHeight = 0;
  std::int32_t factor = 0;                     // reduction in both directions: 2 or 4
  std::int32_t rowBytes = 0;                   // bitmap row, padded to 4 bytes
  HeapBuffer<std::uint8_t> header;             // 40-byte header + 256 16-bit indices
  platform::PaletteHandle palette = nullptr;
  HeapBuffer<std::uint8_t> line;               // one source line
  HeapBuffer<std::uint8_t> bits;               // the bitmap's rows, bottom-up
};

std::int32_t passThroughOpen(Driver& driver, std::int32_t x, std::int32_t y, std::int32_t* width,
                             std::int32_t* height);
std::int32_t passThroughPaint(Driver& driver, platform::DeviceContext dc);
std::int32_t passThroughClose(Driver& driver);

} // namespace vx
