// The camera session tests: a local driver in a freshly reset world (see
// support/driver_test.h) with a host window, and stand-in panels of the
// options window for the routes into an open panel.
#pragma once

#include "support/driver_test.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace camtest {

using namespace vxtest;

inline vzsim::PropertySpec absent() {
  vzsim::PropertySpec spec;
  spec.present = false;
  return spec;
}

class CameraTest : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    state.hostWindow = platform::headless::createHostWindow("Host", {0, 0, 1024, 768});
  }

  // Opens the session; the journal and the recorded output start afresh
  // after it unless `keepRecords`.
  int open(bool keepRecords = false) { return openCamera(keepRecords); }

  // A modeless stand-in for a panel of the options window with the given
  // edit and check box ids, registered as that section's open panel.
  platform::Window openPanel(vx::Section section, std::initializer_list<int> edits,
                             std::initializer_list<int> checkBoxes = {},
                             std::initializer_list<int> combos = {}) {
    auto& controls = panelControls_.emplace_back();
    int y = 0;
    for (int id : edits) controls.push_back({id, platform::ControlKind::Edit, "", {0, y, 60, y + 20}});
    for (int id : checkBoxes)
      controls.push_back({id, platform::ControlKind::CheckBox, "", {0, y += 22, 60, y + 20}});
    for (int id : combos)
      controls.push_back({id, platform::ControlKind::ComboBox, "", {0, y += 22, 60, y + 80}});
    const platform::DialogTemplate tmpl{900, "Panel", {0, 0, 300, 300}, controls.data(), controls.size()};
    platform::Window panel = platform::createDialog(tmpl, state.hostWindow, &panelProc, 0);
    options.place(section).panel = panel;
    state.panel(section).panelOpen = 1;
    state.panel(section).openedOnce = 1;
    return panel;
  }

  static std::string text(platform::Window dialog, int id) {
    return platform::headless::controlInfo(dialog, id).text;
  }

 private:
  static std::intptr_t panelProc(platform::Window, unsigned, std::uintptr_t, std::intptr_t) { return 0; }
  std::vector<std::vector<platform::ControlTemplate>> panelControls_;
};

} // namespace camtest
