// Moving the snapshot into the host's images: the line copier, whole images
// and frame sums. Called only while the driver is open.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// AcqGetLine: copies pixels x0 .. x1-1 of the buffer row at lineCursor into
// `out` (R, G, B per pixel in the colour mode, else the red byte) and lowers
// the cursor. `row` is not used: rows come in cursor order, the top of the
// picture first. Returns 0.
std::int32_t copySnapshotLine(Driver& driver, std::int32_t x0, std::int32_t row,
                              std::int32_t x1, std::uint8_t* out);
// AcqGetImage: fills host image `image` (or a new one for -1) from the line
// cursor. Returns the id filled, -999 creation failed, -998 the image could
// not be locked (it is released then) or its size could not be read.
std::int32_t transferImage(Driver& driver, std::int32_t image);
// AcqAdd: sums frameCount frames and divides them by divisor into a new host
// image. Returns its id, -1 stopped (or a frame could not be captured), -5
// divisor below 1, -6 too many frames, -999 an image could not be created,
// -998 an image could not be locked.
std::int32_t addFrames(Driver& driver, std::int32_t frameCount, std::int32_t divisor,
                       AcqProgressRecord* progress);

// Makes the next frame of a sum of several frames the snapshot, with the
// line cursor at its last row. False when the frame could not be had.
using FrameSource = bool (*)(Driver& driver);
// The same sum with frames from `nextFrame` (AcqAdd's own shows the trigger
// prompt and takes a snapshot for each frame).
std::int32_t addFrames(Driver& driver, std::int32_t frameCount, std::int32_t divisor,
                       AcqProgressRecord* progress, FrameSource nextFrame);

// The depth images are transferred at: 8 in grey mode, else the image depth.
std::int32_t effectiveDepth(Driver& driver);
// The host image type code for a depth.
std::int32_t hostImageType(std::int32_t depth);

} // namespace vx
