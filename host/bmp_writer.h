// Writes 24-bit uncompressed BMP files, the format of overlay bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// `pixels` holds width x height B, G, R triples, top row first; the file
// stores them bottom-up as BMP does. The width must be a multiple of 4.
bool writeBmp24(const std::string& path, std::int32_t width, std::int32_t height,
                const std::vector<std::uint8_t>& pixels);

// A demonstration overlay: a coloured frame and cross on black (black is
// transparent), and a matching alpha bitmap fading from left to right.
bool writeDemoOverlay(const std::string& overlayPath, const std::string& alphaPath);

} // namespace host
