// Reading host images from TIFF files and writing them as TIFF or PNG.
#pragma once

#include "hostimaging/image_store.h"

#include <cstdint>
#include <string>
#include <variant>

namespace hostimg::detail {

struct FileFailure {
  std::int32_t code = ErrorUnreadable;  // ImageError
  std::string message;
};

// The first image of a TIFF file, as the content of a new host image.
std::variant<ImageContent, FileFailure> readTiff(const std::string& path);

// Return an empty string on success, otherwise what went wrong.
std::string writeTiff(const Image& image, const std::string& path);
std::string writePng(const Image& image, const std::string& path);

}  // namespace hostimg::detail
