// A local driver state opened on the simulated camera, with the platform,
// the simulator and the host imaging stand-in reset around every test, and
// a scratch folder that is also the working directory while the test runs
// (files with Windows names such as "c:\Varcamtemp.tif" land there).
#pragma once

#include "driver/driver_lifecycle.h"
#include "driver/driver.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

class DriverSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::headless::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    hostimg::reset();
    std::string pattern = (std::filesystem::temp_directory_path() / "vx_settings_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch_);
  }

  void TearDown() override {
    vx::closeDriver(driver);
    vzsim::reset();
    hostimg::reset();
    std::filesystem::current_path(previousDirectory_);
    std::error_code ignored;
    std::filesystem::remove_all(scratch_, ignored);
  }

  // Attaches one camera of this model and opens the driver on it.
  void openCamera(const vzsim::CameraModel& model) {
    ASSERT_TRUE(vzsim::setCameras({model}));
    ASSERT_EQ(vx::openDriver(driver), 0);
    state.hostWindow = platform::headless::createHostWindow("Host", platform::Rect{0, 0, 1024, 768});
    platform::headless::clearMessageBoxes();
    platform::headless::clearDebugLines();
  }

  std::string file(const std::string& name) const { return (scratch_ / name).string(); }

  static void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
  }
  static std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The "key=value" lines of one section, in file order.
  static std::vector<std::string> sectionLines(const std::string& path, const std::string& section) {
    std::istringstream in(readText(path));
    std::vector<std::string> lines;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.front() == '[') {
        inside = line == "[" + section + "]";
        continue;
      }
      if (inside && !line.empty()) lines.push_back(line);
    }
    return lines;
  }
  // The section headers of a file, in order.
  static std::vector<std::string> sections(const std::string& path) {
    std::istringstream in(readText(path));
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line))
      if (!line.empty() && line.front() == '[') names.push_back(line.substr(1, line.find(']') - 1));
    return names;
  }

  static std::vector<std::string> lines() { return platform::headless::debugLines(); }
  static std::vector<platform::headless::MessageBoxRecord> boxes() {
    return platform::headless::messageBoxes();
  }

  vx::Driver driver{nullptr};
  vx::DriverState& state = driver.state;
  vx::CameraSession& camera = driver.camera;

 private:
  std::filesystem::path scratch_;
  std::filesystem::path previousDirectory_;
};
