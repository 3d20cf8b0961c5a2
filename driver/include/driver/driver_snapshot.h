// The snapshot the host's transfers read: taken by the camera session into
// the driver's own buffers.
#pragma once

#include "driver/driver.h"

namespace vx {

// The snapshot into the driver's buffers; on success the line cursor points
// at the image's last row, on failure the snapshot is empty.
int takeDriverSnapshot(Driver& driver);

} // namespace vx
