// The driver library loaded by path, as a host loads it, afresh for every
// test: the platform, the simulated camera and the host imaging stand-in are
// reset, the library is loaded, and after the test it is closed, everything
// that could still call into it is dropped, and it is unloaded. A library
// that stays mapped after that would carry one test's state into the next,
// so both ends check that it is really gone.
#pragma once

#include "host/driver_library.h"
#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"
#include "support/journal.h"
#include "support/output.h"
#include "support/world.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using vxtest::boxTexts;
using vxtest::calls;
using vxtest::lines;
using vxtest::logged;

class LibraryTest : public ::testing::Test {
 protected:
  // Whether the driver library is mapped into the process right now.
  static bool driverMapped() { return host::DriverLibrary::mapped(host::defaultDriverPath()); }

  void SetUp() override {
    ASSERT_FALSE(driverMapped())
        << "the driver library is still loaded from an earlier test; its state would carry over";
    vxtest::resetWorld();
    library_ = std::make_unique<host::DriverLibrary>();
    ASSERT_TRUE(library_->load(host::defaultDriverPath())) << library_->error();
    acq = library_.get();
  }

  void TearDown() override {
    if (library_ == nullptr) return;
    if (library_->loaded()) acq->close();
    // A host unloads the library after closing it: a timer or a dialog the
    // driver left behind would then call into unmapped code.
    EXPECT_TRUE(platform::headless::activeTimers().empty()) << "a timer outlived AcqClose";
    for (const auto& dialog : platform::headless::dialogsShown())
      EXPECT_FALSE(platform::headless::windowInfo(dialog.dialog).exists)
          << "dialog " << dialog.templateId << " outlived AcqClose";
    // Nothing may call into the library once it is unmapped: the reset
    // stops the simulator's streams (and with them the driver's frame
    // callbacks) and drops the platform's timers and dialog procedures.
    vzsim::reset();
    platform::headless::reset();
    hostimg::reset();
    acq = nullptr;
    library_.reset();
    EXPECT_FALSE(driverMapped()) << "the driver library stayed loaded after it was closed and unloaded";
    // What the library's static destructors did while it was unloaded:
    // after a close there is nothing left for them to hand back.
    for (const auto& entry : vzsim::journal())
      ADD_FAILURE() << "unloading the driver called " << entry.function;
    for (const auto& call : hostimg::callLog())
      ADD_FAILURE() << "unloading the driver called " << call.function;
  }

  host::DriverLibrary* acq = nullptr;

 private:
  std::unique_ptr<host::DriverLibrary> library_;
};
