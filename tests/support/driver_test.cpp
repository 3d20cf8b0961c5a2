#include "support/driver_test.h"

#include "driver/time_lapse.h"
#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"

#include <vector>

namespace vxtest {
namespace {

vx::Driver* runningDriver = nullptr;

} // namespace

void DriverTest::SetUp() {
  resetWorld();
  runningDriver = &driver;
}

void DriverTest::TearDown() {
  // What a host's AcqClose would release, so that nothing the test opened
  // outlives its driver.
  options.destroy();
  if (cameraOpened_ || driver.sessionHeld) camera.close();
  runningDriver = nullptr;
  vzsim::reset();
  hostimg::reset();
  platform::headless::reset();
}

void DriverTest::attach(std::initializer_list<vzsim::CameraModel> models) {
  ASSERT_TRUE(vzsim::setCameras(std::vector<vzsim::CameraModel>(models)));
}

int DriverTest::openCamera(bool keepRecords) {
  cameraOpened_ = true;
  const int result = camera.open();
  if (!keepRecords) clearRecords();
  return result;
}

void DriverTest::openDriver() {
  driver.sessionHeld = true;
  ASSERT_EQ(openCamera(), 1);
  driver.driverOpen = 1;
}

void DriverTest::lapseTimerProc(platform::Window, unsigned, std::uintptr_t, std::uint32_t) {
  if (runningDriver != nullptr) vx::timeLapseTick(*runningDriver);
}

} // namespace vxtest
