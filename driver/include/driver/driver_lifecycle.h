// Opening and closing the driver: the open/closed state that every export
// checks first.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// 0 when the camera session opened, 2 when it did not (the session has told
// the user why; every export stays refused until an open succeeds).
std::int32_t openDriver(Driver& driver);
// Closes and frees the session (also one left by a failed open) and the
// snapshot buffers. Returns the previous driverOpen.
std::int32_t closeDriver(Driver& driver);

} // namespace vx
