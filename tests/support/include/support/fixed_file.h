// A file the code under test reads by a fixed Windows name such as
// "c:\Varcamtemp.tif". On Linux the name is relative and lands in the
// working folder (a test's scratch folder); on Windows it is one file of the
// whole machine, which every test using the name shares. The object removes
// the file when it is made and again when it goes, so that no test sees
// another's file; tests that use one hold the CTest resource lock named
// after the file, so that no two run at once.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace vxtest {

class FixedFile {
 public:
  explicit FixedFile(const std::string& name) : path_(std::filesystem::absolute(name)) { remove(); }
  ~FixedFile() { remove(); }
  FixedFile(const FixedFile&) = delete;
  FixedFile& operator=(const FixedFile&) = delete;

  // Where the code under test finds the file, as an absolute path.
  std::string path() const { return path_.string(); }

 private:
  void remove() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  std::filesystem::path path_;
};

} // namespace vxtest
