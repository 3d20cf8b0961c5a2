#include "driver/time_lapse.h"

namespace vx {

// Time-lapse arrives with the host file writer; until then no timer starts.
std::int32_t timeLapse(DriverState&, const char*, std::int32_t, std::int32_t, std::uint32_t interval,
                       AcqRect*, AcqLapseCallback, std::int32_t) {
  return interval < 2 ? 6 : 4;
}
void timeLapseTick(DriverState&) {}
std::int32_t timeLapseKill(DriverState&) { return 1; }

} // namespace vx
