// The image size and depth that the host sees (commands 0, 1 and 14), also
// used by the image transfer, the pass-through and the time-lapse.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// The preview size in snapshot mode, otherwise the acquisition rectangle's
// width (right - left) and height (bottom - top).
std::int32_t imageWidth(const Driver& driver);
std::int32_t imageHeight(const Driver& driver);
// 8 for a monochrome camera (and from then on colourCamera is 0), 24 for a
// colour camera, 12 or 16 for a camera once seen as monochrome.
std::int32_t imageBitDepth(Driver& driver);
// Whether the line copier writes three bytes per pixel (colour) or one.
bool colourTransfer(const Driver& driver);

} // namespace vx
