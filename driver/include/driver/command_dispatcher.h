// AcqControl: the host's numbered command interface.
#pragma once

#include "driver/driver.h"

#include <cstdint>

namespace vx {

// Runs one command. Only the low 16 bits of message and parameter count.
// While the driver is closed only the host settings path command is taken.
std::int32_t dispatchControl(Driver& driver, std::int32_t message, std::int32_t parameter,
                             void* data);

} // namespace vx
