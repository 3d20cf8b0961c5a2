// A folder of one test's own for the files it writes: a fresh directory
// under TMPDIR, named after the running test with a unique suffix, removed
// with its contents when the object goes. Tests that run at the same time
// (several presets, several checkouts) or one after another in one process
// never meet each other's files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
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
    // A new directory with a random suffix; create_directory says false when
    // the name is taken (by another run), and the next suffix is tried.
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::filesystem::path candidate = base / (name + suffix(random));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("cannot create a scratch folder like " + (base / name).string());
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
  static std::string suffix(std::random_device& random) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string text(8, ' ');
    for (char& c : text) c = kLetters[random() % (sizeof kLetters - 1)];
    return text;
  }

  std::filesystem::path path_;
};

} // namespace vxtest
