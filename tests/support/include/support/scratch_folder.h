// A folder of one test's own for the files it writes: a fresh directory
// under TMPDIR, named after the running test with a unique suffix, removed
// with its contents when the object goes. Tests that run at the same time
// (several presets, several checkouts) or one after another in one process
// never meet each other's files.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vxtest {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = "vx_";
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
      name += std::string(test->test_suite_name()) + "_" + test->name() + "_";
    // Parameterised names hold '/'; keep the name one path element.
    for (char& c : name)
      if (c == '/') c = '_';
    std::string pattern = (std::filesystem::temp_directory_path() / (name + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("cannot create a scratch folder like " + pattern);
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // A file name inside the folder (nothing is created).
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

} // namespace vxtest
