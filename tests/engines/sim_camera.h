// A fixture with one simulated camera open and the headless platform reset,
// and helpers to read the simulator's journal.
#pragma once

#include "sdk/varcam_sdk.h"
#include "platform/headless_control.h"
#include "support/journal.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace engines::testing {

class SimCameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vzsim::reset();
    platform::headless::reset();
  }
  void TearDown() override {
    if (camera_ != nullptr) {
      VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr);
      VarcamCameraClose(camera_);
    }
    vzsim::reset();
    platform::headless::reset();
  }

  // A 320 x 240 colour camera (id 160) offering every one of `rates` for
  // every format; each rate admits exposures up to its period less 2 %.
  static vzsim::CameraModel smallCamera(std::initializer_list<float> rates) {
    vzsim::CameraModel model = vzsim::defaultModel(160);
    model.sensorWidth = 320;
    model.sensorHeight = 240;
    model.rowReadoutMs = 0.0f;
    model.frameRates.clear();
    for (float r : rates) model.frameRates.push_back(vzsim::frameRate(r));
    return model;
  }

  // Attaches `model` as the only camera and opens it.
  VarcamHandle open(const vzsim::CameraModel& model) {
    EXPECT_TRUE(vzsim::setCameras({model}));
    camera_ = VarcamCameraOpen(1);
    EXPECT_NE(camera_, nullptr);
    return camera_;
  }

  static float exposure() { return vzsim::propertyValue(1, PropExposure).value_or(-1.0f); }

  // The modes passed to VarcamStreamVideoControl, in order.
  static std::vector<std::string> streamControls() {
    std::vector<std::string> modes;
    for (const auto& e : vxtest::calls("VarcamStreamVideoControl")) modes.push_back(e.args.at(0));
    return modes;
  }


  VarcamHandle camera_ = nullptr;
};

}  // namespace engines::testing
