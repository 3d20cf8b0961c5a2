#include "driver/soft_pass_through.h"

namespace vx {

// The software pass-through arrives with the image transfer; until then it
// can't allocate its bitmap.
std::int32_t passThroughOpen(DriverState&, std::int32_t, std::int32_t, std::int32_t*,
                             std::int32_t*) {
  return 4;
}
std::int32_t passThroughPaint(DriverState&, platform::DeviceContext) { return 0; }
std::int32_t passThroughClose(DriverState&) { return 0; }

} // namespace vx
