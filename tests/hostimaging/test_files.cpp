#include "test_files.h"

#if defined(_WIN32)
#include <process.h>
#define VX_PROCESS_ID _getpid
#else
#include <unistd.h>
#define VX_PROCESS_ID ::getpid
#endif

namespace hostimg_test {

ScratchDir::ScratchDir() {
  static int counter = 0;
  path_ = std::filesystem::temp_directory_path() /
          ("hostimg_test_" + std::to_string(VX_PROCESS_ID()) + "_" + std::to_string(++counter));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> pattern(std::size_t size, unsigned seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
  return bytes;
}

}  // namespace hostimg_test
