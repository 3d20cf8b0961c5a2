#include "pictures.h"

#include "hostimaging/host_imaging_control.h"

#include "hostlib/host_imaging.h"

#include <filesystem>

namespace host {
namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

bool saveHostImage(std::int32_t image, const std::string& path) {
  if (endsWith(path, ".tif") || endsWith(path, ".tiff") || endsWith(path, ".TIF"))
    return hostimg::saveTiff(image, path);
  return hostimg::savePng(image, path);
}

bool saveBottomUpPicture(const std::vector<std::uint8_t>& pixels, std::uint32_t width, std::uint32_t height,
                         int bytesPerPixel, const std::string& path, std::size_t rowBytes) {
  if (width == 0 || height == 0 || bytesPerPixel <= 0) return false;
  const std::size_t pictureRow = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
  const std::size_t stride = rowBytes == 0 ? pictureRow : rowBytes;
  if (stride < pictureRow || pixels.size() < stride * height) return false;
  const bool colour = bytesPerPixel >= 3;
  std::vector<std::uint8_t> upright(static_cast<std::size_t>(width) * height * (colour ? 3u : 1u));
  std::size_t out = 0;
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::uint8_t* source = pixels.data() + stride * (height - 1 - row);
    for (std::uint32_t x = 0; x < width; ++x, source += bytesPerPixel) {
      if (colour) {
        upright[out++] = source[2];
        upright[out++] = source[1];
        upright[out++] = source[0];
      } else {
        upright[out++] = source[0];
      }
    }
  }
  const std::int32_t image = hostimg::createImage(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                                                  colour ? 3 : 1, upright);
  if (image < 0) return false;
  const bool ok = saveHostImage(image, path);
  HostImageRelease(image);
  return ok;
}

bool ensureFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return !error;
}

} // namespace host
