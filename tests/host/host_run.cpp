// What running varnex-host means on every system: scratch folders and the
// names of the files a run wrote. Starting the program and reading PNG
// files are the system's (host_run_<system>.cpp).
#include "host_run.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace host_test {
namespace {

std::string testName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "suite";
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

std::string randomSuffix(std::random_device& random) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string text(6, ' ');
  for (char& c : text) c = kLetters[random() % (sizeof kLetters - 1)];
  return text;
}

} // namespace

std::string readWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ScratchFolder::ScratchFolder() : ScratchFolder(testName()) {}

ScratchFolder::ScratchFolder(const std::string& name) {
  // A unique suffix: the same test may run in two processes at once (its
  // own and the suite's one-process run), and each needs its own folder.
  // create_directory says false when the name is taken.
  std::filesystem::create_directories(VX_HOST_SCRATCH);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path candidate = std::filesystem::path(VX_HOST_SCRATCH) / (name + "-" + randomSuffix(random));
    if (std::filesystem::create_directory(candidate)) path_ = candidate;
  }
  if (path_.empty()) throw std::runtime_error("cannot create a folder like " + name + "-XXXXXX in " VX_HOST_SCRATCH);
}

ScratchFolder::~ScratchFolder() {
  if (!keep_ && !::testing::Test::HasFailure()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  } else {
    std::fprintf(stderr, "files kept in %s\n", path_.string().c_str());
  }
}

std::vector<std::string> writtenFiles(const std::string& out) {
  std::vector<std::string> files;
  std::istringstream lines(out);
  const std::string marker = "  wrote ";
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(marker, 0) == 0) files.push_back(line.substr(marker.size()));
  }
  return files;
}

} // namespace host_test
