// Saving what the driver produced as pictures a person can open.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// Saves a host image as PNG and/or TIFF (by the path's extension).
bool saveHostImage(std::int32_t image, const std::string& path);
// Saves rows of B, G, R (or B, G, R, x, or grey) pixels stored bottom-up, as
// the camera's converter and display keep them, as an upright picture of
// `width` pixels. `rowBytes` is the distance between rows in `pixels`: 0 for
// rows without padding; a bitmap's rows padded to 4 bytes give a larger
// value, and the padding is not part of the picture.
bool saveBottomUpPicture(const std::vector<std::uint8_t>& pixels, std::uint32_t width,
                         std::uint32_t height, int bytesPerPixel, const std::string& path,
                         std::size_t rowBytes = 0);
// Creates the folder (and its parents) if needed.
bool ensureFolder(const std::string& folder);

} // namespace host
