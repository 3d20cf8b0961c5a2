#include "driver/driver_lifecycle.h"

#include "base/debug_log.h"
#include "driver/soft_pass_through.h"

namespace vx {

std::int32_t openDriver(Driver& driver) {
  logLine("Opening ZAV Digital Driver...");
  logLine("ACQOpen...");
  driver.driverOpen = 0;
  driver.capture.greyMode = 0;
  driver.commands.hostValue74 = 0;
  // A session left by an earlier failed open is opened afresh.
  driver.sessionHeld = true;
  if (driver.camera.open() == 0) return 2;
  driver.driverOpen = 1;
  return 0;
}

std::int32_t closeDriver(Driver& driver) {
  logLine("Closing camera...");
  logLine("ACQClose...");
  if (driver.sessionHeld) {
    driver.camera.close();
    driver.snapshot.release();
    // A pass-through the host left open holds a bitmap and a palette.
    passThroughClose(driver);
    driver.sessionHeld = false;
  }
  const std::int32_t wasOpen = driver.driverOpen;
  driver.driverOpen = 0;
  return wasOpen;
}

} // namespace vx
