// Module handles and file names, for either backend: the build names the
// file of the module that holds the platform code (VX_PLATFORM_MODULE_FILE)
// and of the test program (VX_TEST_PROGRAM_FILE).
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

using namespace platform;

namespace {

std::string fileNameOf(ModuleHandle module) {
  char buffer[4096];
  const std::uint32_t n = moduleFileName(module, buffer, sizeof buffer);
  EXPECT_EQ(n, std::strlen(buffer));
  return buffer;
}

std::string nameOnly(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void functionInTheTestProgram() {}

TEST(ModuleTest, ModulesAreNamedByTheirFiles) {
  const ModuleHandle library = moduleContaining(reinterpret_cast<const void*>(&debugOutput));
  ASSERT_NE(library, nullptr);
  const std::string libraryPath = fileNameOf(library);
  EXPECT_EQ(nameOnly(libraryPath), VX_PLATFORM_MODULE_FILE) << libraryPath;
  EXPECT_TRUE(std::filesystem::path(libraryPath).is_absolute()) << libraryPath;

  const ModuleHandle program =
      moduleContaining(reinterpret_cast<const void*>(&functionInTheTestProgram));
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(program == library, std::string(VX_PLATFORM_MODULE_FILE) == VX_TEST_PROGRAM_FILE);
  EXPECT_EQ(nameOnly(fileNameOf(program)), VX_TEST_PROGRAM_FILE) << fileNameOf(program);
  EXPECT_EQ(fileNameOf(nullptr), fileNameOf(program));

  char small[6];
  EXPECT_EQ(moduleFileName(library, small, sizeof small), 5u);
  EXPECT_EQ(std::strlen(small), 5u);
  EXPECT_EQ(moduleContaining(nullptr), nullptr);
}

} // namespace
