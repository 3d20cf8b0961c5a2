#include "test_files.h"

namespace hostimg_test {

std::vector<std::uint8_t> pattern(std::size_t size, unsigned seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
  return bytes;
}

}  // namespace hostimg_test
