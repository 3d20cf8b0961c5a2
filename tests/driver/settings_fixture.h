// The settings file and configuration dialog tests: a local driver in a
// freshly reset world (see support/driver_test.h), opened as AcqOpen opens
// it, and a scratch folder that is also the working directory while the
// test runs (files with Windows names such as "c:\Varcamtemp.tif" land
// there).
#pragma once

#include "driver/driver_lifecycle.h"
#include "support/driver_test.h"
#include "hostimaging/host_imaging_control.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using vxtest::boxes;
using vxtest::lines;

class DriverSettingsTest : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    scratch_ = std::make_unique<vxtest::ScratchFolder>();
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch_->path());
  }

  void TearDown() override {
    vx::closeDriver(driver);
    DriverTest::TearDown();
    std::filesystem::current_path(previousDirectory_);
    scratch_.reset();
  }

  // Attaches one camera of this model and opens the driver on it.
  void openDriverOn(const vzsim::CameraModel& model) {
    ASSERT_TRUE(vzsim::setCameras({model}));
    ASSERT_EQ(vx::openDriver(driver), 0);
    state.hostWindow = platform::headless::createHostWindow("Host", platform::Rect{0, 0, 1024, 768});
    platform::headless::clearMessageBoxes();
    platform::headless::clearDebugLines();
  }

  std::string file(const std::string& name) const { return scratch_->file(name); }

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

 private:
  std::unique_ptr<vxtest::ScratchFolder> scratch_;
  std::filesystem::path previousDirectory_;
};
