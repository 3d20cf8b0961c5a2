#include "driver/driver.h"

namespace vx {

Driver::Driver(platform::TimerProc lapseTimerProc) : lapse(lapseTimerProc) {}

} // namespace vx
