// Moving the snapshot into the host's images: the line copier, whole images
// and frame sums. Called only while the driver is open.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

// Copies pixels x0 .. x1-1 of the buffer row at lineCursor into `out` and
// lowers the cursor.
std::int32_t copySnapshotLine(DriverState& state, std::int32_t x0, std::int32_t row,
                              std::int32_t x1, std::uint8_t* out);
// AcqGetImage: the id filled, -999 creation failed, -998 lock failed.
std::int32_t transferImage(DriverState& state, std::int32_t image);
// AcqAdd: a new image id or a negative code.
std::int32_t addFrames(DriverState& state, std::int32_t frameCount, std::int32_t divisor,
                       AcqProgressRecord* progress);

} // namespace vx
