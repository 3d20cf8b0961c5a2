#include "driver/config_dialog.h"

namespace vx {

// The configuration dialog arrives later; until then it handles no message.
std::intptr_t configDialogProc(DriverState&, platform::Window, unsigned, std::uintptr_t,
                               std::intptr_t) {
  return 0;
}

} // namespace vx
