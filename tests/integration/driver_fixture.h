// The driver library loaded by path, as a host loads it, with the platform
// and the simulated camera reset around every test.
#pragma once

#include "host/driver_library.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class DriverTest : public ::testing::Test {
 protected:
  static host::DriverLibrary& library() {
    static host::DriverLibrary lib;
    if (!lib.loaded()) {
      const bool ok = lib.load(host::defaultDriverPath());
      if (!ok) ADD_FAILURE() << lib.error();
    }
    return lib;
  }

  void SetUp() override {
    platform::headless::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    // Frames arrive however slowly a sanitizer build makes them; only tests
    // of a stalled camera shorten this.
    vzsim::setTakeVideoTimeout(600000);
    hostimg::reset();
    ASSERT_TRUE(library().loaded());
    acq = &library();
  }

  void TearDown() override {
    acq->close();
    vzsim::reset();
  }

  // Debug lines written by the driver since the last reset.
  static std::vector<std::string> lines() { return platform::headless::debugLines(); }
  static bool logged(const std::string& line) {
    const auto all = lines();
    return std::find(all.begin(), all.end(), line) != all.end();
  }
  static std::vector<std::string> boxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : platform::headless::messageBoxes()) texts.push_back(box.text);
    return texts;
  }
  // Calls of one SDK function in the journal, in order.
  static std::vector<vzsim::JournalEntry> calls(const std::string& function) {
    std::vector<vzsim::JournalEntry> found;
    for (const auto& entry : vzsim::journal())
      if (entry.function == function) found.push_back(entry);
    return found;
  }

  host::DriverLibrary* acq = nullptr;
};
