// What the driver showed: its debug lines and its message boxes, as the
// headless platform recorded them.
#pragma once

#include "platform/headless_control.h"

#include <string>
#include <vector>

namespace vxtest {

// Every debug line written since the last reset or clear, in order.
std::vector<std::string> lines();
bool logged(const std::string& line);
int countLogged(const std::string& line);

std::vector<platform::headless::MessageBoxRecord> boxes();
// The texts of the message boxes shown, in order.
std::vector<std::string> boxTexts();

} // namespace vxtest
