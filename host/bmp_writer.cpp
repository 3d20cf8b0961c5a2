#include "bmp_writer.h"

#include <cstdio>
#include <memory>

namespace host {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

} // namespace

bool writeBmp24(const std::string& path, std::int32_t width, std::int32_t height,
                const std::vector<std::uint8_t>& pixels) {
  if (width <= 0 || height <= 0 || width % 4 != 0) return false;
  const auto w = static_cast<std::uint32_t>(width);
  const auto h = static_cast<std::uint32_t>(height);
  if (pixels.size() != static_cast<std::size_t>(w) * h * 3) return false;
  std::vector<std::uint8_t> file;
  const std::uint32_t imageBytes = w * h * 3;
  file.push_back('B');
  file.push_back('M');
  put32(file, 54 + imageBytes);
  put32(file, 0);
  put32(file, 54);
  put32(file, 40);
  put32(file, w);
  put32(file, h);
  put16(file, 1);
  put16(file, 24);
  put32(file, 0);
  put32(file, imageBytes);
  put32(file, 2835);
  put32(file, 2835);
  put32(file, 0);
  put32(file, 0);
  for (std::uint32_t row = 0; row < h; ++row) {
    const std::uint8_t* source = pixels.data() + static_cast<std::size_t>(h - 1 - row) * w * 3;
    file.insert(file.end(), source, source + static_cast<std::size_t>(w) * 3);
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!out) return false;
  return std::fwrite(file.data(), 1, file.size(), out.get()) == file.size();
}

bool writeDemoOverlay(const std::string& overlayPath, const std::string& alphaPath) {
  constexpr std::int32_t kWidth = 160;
  constexpr std::int32_t kHeight = 120;
  std::vector<std::uint8_t> overlay(static_cast<std::size_t>(kWidth * kHeight * 3), 0);
  std::vector<std::uint8_t> alpha(overlay.size(), 0);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::size_t i = static_cast<std::size_t>((y * kWidth + x) * 3);
      const bool frame = x < 6 || y < 6 || x >= kWidth - 6 || y >= kHeight - 6;
      const bool cross = (x >= kWidth / 2 - 2 && x < kWidth / 2 + 2) || (y >= kHeight / 2 - 2 && y < kHeight / 2 + 2);
      if (frame) {
        overlay[i] = 0;        // blue
        overlay[i + 1] = 220;  // green
        overlay[i + 2] = 255;  // red: an amber frame
      } else if (cross) {
        overlay[i] = 255;
        overlay[i + 1] = 255;
        overlay[i + 2] = 255;
      }
      const auto level = static_cast<std::uint8_t>(64 + (191 * x) / (kWidth - 1));
      alpha[i] = alpha[i + 1] = alpha[i + 2] = level;
    }
  }
  return writeBmp24(overlayPath, kWidth, kHeight, overlay) && writeBmp24(alphaPath, kWidth, kHeight, alpha);
}

} // namespace host
