// Draws an overlay bitmap into a pixel buffer: placement, clipping, the
// transparent key colour, and opaque, constant-alpha or per-pixel-alpha
// blending. Pure: no allocation, no shared state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace engines {

// RGB preview / capture pixel format codes: 1, 3 and 4 bytes per pixel.
inline constexpr int kPixelGrey8 = 0;
inline constexpr int kPixelRgb24 = 2;
inline constexpr int kPixelRgb32 = 6;

// Bytes per pixel of a pixel format code; 0 for a code that is not one.
int bytesPerPixelOf(int pixelFormat);

// Opacity of an alpha bitmap byte: the byte scaled by 1/255.
inline constexpr float kAlphaScale = 0.003921569f;

// The overlay, 3 bytes per pixel, rows in storage order (no flipping).
struct OverlayImage {
  const std::uint8_t* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct BlendSettings {
  // 0 left edge (buffer column 0), 1 centred, 2 right edge; other values act as 0.
  int horizontalMode = 1;
  // 0 last rows of the buffer, 1 centred, 2 first rows; other values act as 2.
  int verticalMode = 1;
  bool blendOn = false;          // off: the overlay is laid on opaquely
  bool alphaFromBitmap = false;  // opacity from alphaPixels instead of opacityPercent
  // Alpha bitmap of the overlay's size, 3 bytes per pixel; its first byte per
  // pixel is the opacity. Null means "not usable": opacity 0 from the bitmap.
  const std::uint8_t* alphaPixels = nullptr;
  float opacityPercent = 100.0f;  // limited to 0..100 when used
  std::array<std::uint32_t, 3> keyColour{};  // transparent overlay colour (black)
};

// Draws the overlay into `buffer` (byteCount bytes; width x height pixels of
// the given format). Only whole pixels inside both the image, the buffer and
// the overlay's rectangle are touched; the fourth byte of 4-byte pixels is
// never written. Returns 1, or 0 for an unknown pixel format (nothing drawn).
int blendOverlay(std::uint8_t* buffer, std::size_t byteCount, std::int32_t width,
                 std::int32_t height, int pixelFormat, const OverlayImage& overlay,
                 const BlendSettings& settings);

}  // namespace engines
