// Shared set-up for the camera session tests: a fresh platform, simulator and
// host library per test, a local driver (its DriverState, CameraSession and
// options window), Free pacing, and helpers that read the SDK journal, the
// debug output and the message boxes.
#pragma once

#include "camera/camera_session.h"
#include "driver/driver.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace camtest {

using Journal = std::vector<vzsim::JournalEntry>;

// Calls of one SDK function, in order.
inline Journal calls(const std::string& function, const Journal& all = vzsim::journal()) {
  Journal found;
  for (const auto& e : all)
    if (e.function == function) found.push_back(e);
  return found;
}

// VarcamSetProperty calls on one property, in order.
inline Journal writes(int property, const Journal& all = vzsim::journal()) {
  Journal found;
  for (const auto& e : all)
    if (e.function == "VarcamSetProperty" && e.args.at(0) == std::to_string(property))
      found.push_back(e);
  return found;
}

// The properties written with VarcamSetProperty, in order.
inline std::vector<int> writtenProperties(const Journal& all = vzsim::journal()) {
  std::vector<int> ids;
  for (const auto& e : all)
    if (e.function == "VarcamSetProperty") ids.push_back(std::atoi(e.args.at(0).c_str()));
  return ids;
}

// Frames delivered to one target ("TakeVideo", "streaming", "rgbPreview", "display").
inline Journal frames(const std::string& target, const Journal& all = vzsim::journal()) {
  Journal found;
  for (const auto& e : all)
    if (e.function == "frame" && e.target == target) found.push_back(e);
  return found;
}

// The SDK calls alone, without frame deliveries.
inline Journal sdkCalls(const Journal& all = vzsim::journal()) {
  Journal found;
  for (const auto& e : all)
    if (e.function != "frame") found.push_back(e);
  return found;
}

// Index of the first entry at or after `from` that matches, or -1.
template <class Match>
int indexOf(const Journal& all, Match match, int from = 0) {
  for (int i = from; i < static_cast<int>(all.size()); ++i)
    if (match(all[static_cast<std::size_t>(i)])) return i;
  return -1;
}

inline auto isCall(const std::string& function, std::initializer_list<std::string> leadingArgs = {}) {
  std::vector<std::string> want(leadingArgs);
  return [function, want](const vzsim::JournalEntry& e) {
    if (e.function != function || e.args.size() < want.size()) return false;
    return std::equal(want.begin(), want.end(), e.args.begin());
  };
}

inline std::vector<std::string> lines() { return platform::headless::debugLines(); }
inline bool logged(const std::string& line) {
  const auto all = lines();
  return std::find(all.begin(), all.end(), line) != all.end();
}
inline int countLogged(const std::string& line) {
  const auto all = lines();
  return static_cast<int>(std::count(all.begin(), all.end(), line));
}
inline std::vector<std::string> boxTexts() {
  std::vector<std::string> texts;
  for (const auto& box : platform::headless::messageBoxes()) texts.push_back(box.text);
  return texts;
}

inline vzsim::PropertySpec absent() {
  vzsim::PropertySpec spec;
  spec.present = false;
  return spec;
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::headless::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    hostimg::reset();
    state.hostWindow = platform::headless::createHostWindow("Host", {0, 0, 1024, 768});
  }

  void TearDown() override {
    if (opened_) camera.close();
    vzsim::reset();
    platform::headless::reset();
  }

  // Attaches these cameras (the first is the one opened when alone).
  static void attach(std::initializer_list<vzsim::CameraModel> models) {
    ASSERT_TRUE(vzsim::setCameras(std::vector<vzsim::CameraModel>(models)));
  }

  // Opens the session; the journal and the recorded output start afresh
  // after it unless `keepRecords`.
  int open(bool keepRecords = false) {
    opened_ = true;
    const int result = camera.open();
    if (!keepRecords) clearRecords();
    return result;
  }

  static void clearRecords() {
    vzsim::clearJournal();
    platform::headless::clearDebugLines();
    platform::headless::clearMessageBoxes();
    platform::headless::clearWindowOperations();
  }

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
    driver.options.place(section).panel = panel;
    state.panel(section).panelOpen = 1;
    state.panel(section).openedOnce = 1;
    return panel;
  }

  static std::string text(platform::Window dialog, int id) {
    return platform::headless::controlInfo(dialog, id).text;
  }

  vx::Driver driver{nullptr};
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;
  vx::OptionsWindow& options = driver.options;

 private:
  bool opened_ = false;
  static std::intptr_t panelProc(platform::Window, unsigned, std::uintptr_t, std::intptr_t) { return 0; }
  std::vector<std::vector<platform::ControlTemplate>> panelControls_;
};

} // namespace camtest
