// Runs the built varnex-host in a scratch folder of the test's own, and
// reads the pictures it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace host_test {

struct HostRun {
  int status = -1;      // the exit status; -1 when the program did not exit normally
  int signal = 0;       // the signal (on Windows the exception code) that ended it, if one did
  std::string out;      // what it wrote to stdout
  std::string err;      // what it wrote to stderr
};

// Runs varnex-host with `args` in `folder`, which becomes its working
// directory and holds its captured output.
HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& folder);

// A fresh folder named after the running test (with a unique suffix) under
// the suite's scratch folder, removed at the end unless the test failed or
// keep() was called; a kept folder's path is printed.
class ScratchFolder {
 public:
  ScratchFolder();
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  void keep() { keep_ = true; }

 private:
  std::filesystem::path path_;
  bool keep_ = false;
};

// A PNG read as 8-bit grey or RGB samples; width 0 when it cannot be read.
struct Picture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;
  std::vector<std::uint8_t> samples;  // rows top-down, no padding
};
Picture readPng(const std::string& path);

// A file's whole content; empty when it cannot be read.
std::string readWhole(const std::filesystem::path& path);

// The paths named by "  wrote <path>" lines, in order.
std::vector<std::string> writtenFiles(const std::string& out);

} // namespace host_test
