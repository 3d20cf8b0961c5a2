// The options window tests: a local driver in a freshly reset world (see
// support/driver_test.h) with the simulated camera opened through the
// camera session, a host window, and helpers to drive the options window.
#pragma once

#include "camera/preview_stream.h"
#include "support/driver_test.h"
#include "ui/options_window.h"
#include "ui/section_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hl = platform::headless;
using vxtest::calls;
using vxtest::logged;

class UiTest : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    host = hl::createHostWindow("Host", platform::Rect{0, 0, 800, 600});
    state.hostWindow = host;
    ASSERT_EQ(openCamera(), 1);
  }

  // The options window opened as the control commands open it.
  platform::Window openWindow(int x = 100, int y = 200) {
    options.open(host, x, y);
    return options.optionsWindow;
  }

  // A section button pressed (hidden buttons too: the command reaches the
  // window). Returns the section's panel afterwards.
  platform::Window toggle(vx::Section section) {
    const int id = vx::sectionRow(section).buttonId;
    platform::sendMessage(options.optionsWindow, platform::WM_COMMAND,
                          platform::makeWParam(static_cast<unsigned>(id), platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(options.optionsWindow, id)));
    return options.place(section).panel;
  }

  std::string caption(vx::Section section) const {
    return hl::controlInfo(options.optionsWindow, vx::sectionRow(section).buttonId).text;
  }

  platform::Rect rectOf(platform::Window w) const { return hl::windowInfo(w).windowRect; }

  void startPreview() {
    previewWindow = hl::createHostWindow("Preview", platform::Rect{0, 0, 400, 300});
    ASSERT_EQ(vx::startPreview(camera, previewWindow), 1);
    ASSERT_EQ(state.previewRunning, 1);
  }

  // VarcamSetProperty calls on one property (args: property, value, flags).
  static vxtest::Journal propertyWrites(int property) { return vxtest::writes(property); }

  platform::Window host = nullptr;
  platform::Window previewWindow = nullptr;
};
