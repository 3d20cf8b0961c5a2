// Fixture shared by the platform tests: every test starts from a reset
// backend and leaves it reset.
#pragma once

#include "platform/headless_control.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

class PlatformTest : public ::testing::Test {
protected:
  void SetUp() override { platform::headless::reset(); }
  void TearDown() override { platform::headless::reset(); }
};
