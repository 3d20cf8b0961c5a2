#include "engines/overlay_blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace engines {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An overlay whose every pixel is (b, g, r).
struct Overlay {
  Overlay(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r)
      : width(w), height(h), pixels(static_cast<std::size_t>(w * h * 3)) {
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
      pixels[i] = b;
      pixels[i + 1] = g;
      pixels[i + 2] = r;
    }
  }
  std::uint8_t* at(int x, int y) { return &pixels[static_cast<std::size_t>((y * width + x) * 3)]; }
  OverlayImage image() const { return {pixels.data(), width, height}; }
  int width, height;
  Bytes pixels;
};

// Runs the blend on a one-pixel image (b bytes) holding `picture`.
Bytes blendOne(const Bytes& picture, const Bytes& overlayPixel, const BlendSettings& settings,
               int pixelFormat = kPixelRgb24) {
  Bytes buffer = picture;
  Overlay overlay(1, 1, overlayPixel[0], overlayPixel[1], overlayPixel[2]);
  EXPECT_EQ(blendOverlay(buffer.data(), buffer.size(), 1, 1, pixelFormat, overlay.image(), settings), 1);
  return buffer;
}

BlendSettings constantAlpha(float percent) {
  BlendSettings s;
  s.blendOn = true;
  s.opacityPercent = percent;
  return s;
}

TEST(OverlayBlend, BlackOverlayPixelsAreNeverDrawn) {
  BlendSettings bitmap;
  bitmap.blendOn = true;
  bitmap.alphaFromBitmap = true;
  Bytes alpha = {255, 255, 255};
  bitmap.alphaPixels = alpha.data();
  for (const BlendSettings& s : {BlendSettings{}, constantAlpha(100), constantAlpha(150), bitmap}) {
    for (int format : {kPixelGrey8, kPixelRgb24, kPixelRgb32}) {
      const Bytes picture(static_cast<std::size_t>(bytesPerPixelOf(format)), 77);
      EXPECT_EQ(blendOne(picture, {0, 0, 0}, s, format), picture);
    }
  }
  // Nearly black is drawn.
  EXPECT_EQ(blendOne({77, 77, 77}, {0, 0, 1}, BlendSettings{}), (Bytes{0, 0, 1}));
}

TEST(OverlayBlend, ConstantOpacityIsLimitedAndTruncated) {
  const Bytes picture = {200, 0, 255};
  const Bytes over = {100, 255, 0};
  EXPECT_EQ(blendOne(picture, over, BlendSettings{}), over);  // blending off: opaque
  EXPECT_EQ(blendOne(picture, over, constantAlpha(100)), over);
  EXPECT_EQ(blendOne(picture, over, constantAlpha(150)), over);
  EXPECT_EQ(blendOne(picture, over, constantAlpha(0)), picture);
  EXPECT_EQ(blendOne(picture, over, constantAlpha(-20)), picture);
  // 50 %: 150, 127.5 -> 127, 127.5 -> 127.
  EXPECT_EQ(blendOne(picture, over, constantAlpha(50)), (Bytes{150, 127, 127}));
  // A tiny opacity still moves a value toward the overlay, and truncation
  // (not rounding) takes 200 - 1e-5 down to 199.
  EXPECT_EQ(blendOne({200, 100, 7}, {100, 100, 7}, constantAlpha(1e-5f)), (Bytes{199, 100, 7}));
}

TEST(OverlayBlend, OpacityFromTheAlphaBitmapsFirstByte) {
  Overlay overlay(3, 1, 100, 100, 100);
  Bytes alpha = {255, 0, 0, 0, 9, 9, 128, 0, 0};  // 255, 0 and 128 in the first bytes
  BlendSettings s;
  s.blendOn = true;
  s.alphaFromBitmap = true;
  s.alphaPixels = alpha.data();
  Bytes buffer = {200, 200, 200, 200, 200, 200, 0, 255, 200};
  ASSERT_EQ(blendOverlay(buffer.data(), buffer.size(), 3, 1, kPixelRgb24, overlay.image(), s), 1);
  // 255: the overlay replaces the picture (also where it is darker).
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{100, 100, 100}));
  // 0: the picture is unchanged.
  EXPECT_EQ(Bytes(buffer.begin() + 3, buffer.begin() + 6), (Bytes{200, 200, 200}));
  // 128: a = 128 x 0.003921569 = 0.50196...; 0 -> 50.19 -> 50, 255 -> 177.2 -> 177,
  // 200 -> 149.8 -> 149.
  EXPECT_EQ(Bytes(buffer.begin() + 6, buffer.end()), (Bytes{50, 177, 149}));

  // Opacity from a bitmap that cannot be used is 0: nothing changes.
  s.alphaPixels = nullptr;
  Bytes untouched = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Bytes copy = untouched;
  blendOverlay(untouched.data(), untouched.size(), 3, 1, kPixelRgb24, overlay.image(), s);
  EXPECT_EQ(untouched, copy);
}

TEST(OverlayBlend, OneBytePixelsBlendAgainstTheirOwnByte) {
  // Opaque: the average of the overlay's three bytes, truncated.
  EXPECT_EQ(blendOne({90}, {10, 20, 31}, BlendSettings{}, kPixelGrey8), (Bytes{20}));
  // 50 %: (90+10)/2 = 50, (90+20)/2 = 55, (90+31)/2 = 60.5 -> 60; (50+55+60)/3 = 55.
  EXPECT_EQ(blendOne({90}, {10, 20, 31}, constantAlpha(50), kPixelGrey8), (Bytes{55}));
}

TEST(OverlayBlend, FourthByteOfFourBytePixelsIsKept) {
  EXPECT_EQ(blendOne({1, 2, 3, 0xAB}, {10, 20, 30}, BlendSettings{}, kPixelRgb32),
            (Bytes{10, 20, 30, 0xAB}));
  EXPECT_EQ(blendOne({0, 0, 0, 0xCD}, {100, 50, 10}, constantAlpha(50), kPixelRgb32),
            (Bytes{50, 25, 5, 0xCD}));
}

TEST(OverlayBlend, UnknownPixelFormatDrawsNothing) {
  Bytes buffer(12, 5);
  Overlay overlay(2, 2, 9, 9, 9);
  EXPECT_EQ(blendOverlay(buffer.data(), buffer.size(), 2, 2, 1, overlay.image(), {}), 0);
  EXPECT_EQ(buffer, Bytes(12, 5));
}

// Which pixels of a W x H one-byte image a blend changed, as rows of '.' and '#'.
std::vector<std::string> drawnMask(int w, int h, const Overlay& overlay, int horizontal,
                                   int vertical, int format = kPixelGrey8) {
  const int b = bytesPerPixelOf(format);
  Bytes buffer(static_cast<std::size_t>(w * h * b), 1);
  BlendSettings s;
  s.horizontalMode = horizontal;
  s.verticalMode = vertical;
  blendOverlay(buffer.data(), buffer.size(), w, h, format, overlay.image(), s);
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      bool changed = false;
      for (int c = 0; c < b; ++c) changed |= buffer[static_cast<std::size_t>((y * w + x) * b + c)] != 1;
      row += changed ? '#' : '.';
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(OverlayBlend, PlacementModesPutTheOverlayAtEdgesOrCentre) {
  const Overlay overlay(2, 2, 90, 90, 90);
  using Rows = std::vector<std::string>;
  // Vertical 0 = last rows, 2 = first rows; horizontal 0 = column 0.
  EXPECT_EQ(drawnMask(7, 5, overlay, 0, 0), (Rows{".......", ".......", ".......", "##.....", "##....."}));
  EXPECT_EQ(drawnMask(7, 5, overlay, 1, 1), (Rows{".......", "..##...", "..##...", ".......", "......."}));
  EXPECT_EQ(drawnMask(7, 5, overlay, 2, 2), (Rows{".....##", ".....##", ".......", ".......", "......."}));
  EXPECT_EQ(drawnMask(7, 5, overlay, 2, 0), (Rows{".......", ".......", ".......", ".....##", ".....##"}));
  // Other values: horizontal acts as 0, vertical as 2.
  EXPECT_EQ(drawnMask(7, 5, overlay, 9, -1), drawnMask(7, 5, overlay, 0, 2));
  // Every pixel format touches the same rectangle.
  EXPECT_EQ(drawnMask(7, 5, overlay, 1, 0, kPixelRgb24), drawnMask(7, 5, overlay, 1, 0));
  EXPECT_EQ(drawnMask(7, 5, overlay, 2, 1, kPixelRgb32), drawnMask(7, 5, overlay, 2, 1));
}

TEST(OverlayBlend, OverlayLargerThanTheImageIsClipped) {
  // 10 x 3 overlay centred on a 6 x 4 image: x0 = -2, y0 = 0; overlay column
  // 2 + x lands on image column x; its stored rows keep their order.
  Overlay overlay(10, 3, 0, 0, 0);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 10; ++x) *overlay.at(x, y) = static_cast<std::uint8_t>(10 * y + x + 1);
  }
  const int w = 6, h = 4;
  Bytes buffer(static_cast<std::size_t>(w * h * 3), 0);
  BlendSettings s;  // centred both ways
  ASSERT_EQ(blendOverlay(buffer.data(), buffer.size(), w, h, kPixelRgb24, overlay.image(), s), 1);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint8_t expected = y < 3 ? static_cast<std::uint8_t>(10 * y + (x + 2) + 1) : 0;
      EXPECT_EQ(buffer[static_cast<std::size_t>((y * w + x) * 3)], expected) << x << "," << y;
    }
  }

  // Taller and wider than the image in both directions: x0 = y0 = -3 with
  // mode 1, and x0 = -6 with mode 2.
  const Overlay big(12, 10, 50, 50, 50);
  using Rows = std::vector<std::string>;
  EXPECT_EQ(drawnMask(6, 4, big, 1, 1), (Rows(4, "######")));
  EXPECT_EQ(drawnMask(6, 4, big, 2, 0), (Rows(4, "######")));
}

TEST(OverlayBlend, StaysInsideTheBufferAndTheImage) {
  const Overlay overlay(4, 4, 90, 90, 90);
  // The buffer holds 2 rows and one byte of a 4 x 3 image: the partial pixel
  // and the missing rows are not touched (the vector is exactly that long).
  Bytes shortBuffer(static_cast<std::size_t>(4 * 2 * 3 + 1), 1);
  BlendSettings s;
  s.verticalMode = 2;
  blendOverlay(shortBuffer.data(), shortBuffer.size(), 4, 3, kPixelRgb24, overlay.image(), s);
  EXPECT_EQ(shortBuffer.back(), 1);
  EXPECT_EQ(shortBuffer[0], 90);

  // A buffer longer than the image: bytes after the image are not drawn.
  Bytes longBuffer(static_cast<std::size_t>(4 * 6), 1);
  blendOverlay(longBuffer.data(), longBuffer.size(), 4, 2, kPixelGrey8, overlay.image(), s);
  EXPECT_EQ(std::count(longBuffer.begin(), longBuffer.end(), 90), 8);
  EXPECT_EQ(std::count(longBuffer.begin() + 8, longBuffer.end(), 1), 16);

  // Nothing to draw into.
  EXPECT_EQ(blendOverlay(nullptr, 0, 4, 4, kPixelRgb24, overlay.image(), s), 1);
  Bytes tiny(3, 1);
  EXPECT_EQ(blendOverlay(tiny.data(), tiny.size(), 0, 1, kPixelRgb24, overlay.image(), s), 1);
  EXPECT_EQ(tiny, Bytes(3, 1));
}

}  // namespace
}  // namespace engines
