// The fixture of the white-box tests above the engines: a local driver (its
// DriverState, CameraSession, options window and the export layer's own
// state) against the simulated camera, in a freshly reset world. The camera
// is not opened until a test asks.
#pragma once

#include "driver/driver.h"
#include "support/journal.h"
#include "support/output.h"
#include "support/world.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace vxtest {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Attaches these cameras (the first is the one opened when alone).
  static void attach(std::initializer_list<vzsim::CameraModel> models);

  // Opens the camera session; the records start afresh after it unless
  // `keepRecords`. Returns the session's result.
  int openCamera(bool keepRecords = false);
  // The session held and the camera opened, as AcqOpen leaves them.
  void openDriver();

  // The time-lapse timer's procedure: the library's runs its AcqTimerCallBack
  // export, which finds the one driver of the process; here it is the
  // driver of the running test.
  static void lapseTimerProc(platform::Window, unsigned, std::uintptr_t, std::uint32_t);

  vx::Driver driver{&lapseTimerProc};
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  vx::OptionsWindow& options = driver.options;

 private:
  bool cameraOpened_ = false;
};

} // namespace vxtest
