// A local driver state with the simulated camera opened through the camera
// session, a host window, and helpers to drive the options window.
#pragma once

#include "camera/camera_session.h"
#include "camera/preview_stream.h"
#include "driver/driver.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"
#include "ui/options_window.h"
#include "ui/section_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace hl = platform::headless;

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    // Frames come back to back; however slow the machine (sanitizers), a
    // grab waits for them rather than timing out.
    vzsim::setTakeVideoTimeout(600000);
    hostimg::reset();
    host = hl::createHostWindow("Host", platform::Rect{0, 0, 800, 600});
    state.hostWindow = host;
    ASSERT_EQ(camera.open(), 1);
    hl::clearDebugLines();
    hl::clearMessageBoxes();
    vzsim::clearJournal();
  }

  void TearDown() override {
    options.destroy();
    camera.close();
    vzsim::reset();
    hl::reset();
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

  static bool logged(const std::string& line) {
    const auto all = hl::debugLines();
    return std::find(all.begin(), all.end(), line) != all.end();
  }
  // SDK calls of one function in the journal.
  static std::vector<vzsim::JournalEntry> calls(const std::string& function) {
    std::vector<vzsim::JournalEntry> found;
    for (const auto& entry : vzsim::journal())
      if (entry.function == function) found.push_back(entry);
    return found;
  }
  // VarcamSetProperty calls on one property (args: property, value, flags).
  static std::vector<vzsim::JournalEntry> propertyWrites(int property) {
    std::vector<vzsim::JournalEntry> found;
    for (const auto& entry : calls("VarcamSetProperty"))
      if (!entry.args.empty() && entry.args[0] == std::to_string(property)) found.push_back(entry);
    return found;
  }

  vx::Driver driver{nullptr};
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  vx::OptionsWindow& options = driver.options;
  platform::Window host = nullptr;
  platform::Window previewWindow = nullptr;
};
