// Settings files through the system's own private-profile functions: what
// the driver relies on, which Windows, Wine and the headless model all do.
// (Byte-for-byte file layout is the headless model's own promise, tested
// with it; the system may rewrite the file in its own layout.)
#include "platform/platform.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

using namespace platform;

namespace {

class SystemProfileTest : public ::testing::Test {
protected:
  std::string get(const char* section, const char* key, const char* def = "DEF") {
    char buffer[128];
    getPrivateProfileString(section, key, def, buffer, sizeof buffer, path_.c_str());
    return buffer;
  }
  vxtest::ScratchFolder scratch_;
  // Absolute (the scratch folder is): a bare file name would land in the
  // Windows folder.
  std::filesystem::path dir_ = scratch_.path();
  std::string path_ = scratch_.file("settings.ini");
};

TEST_F(SystemProfileTest, ValuesWrittenAreReadBackWithoutRegardToCase) {
  EXPECT_EQ(get("Camera", "ID"), "DEF");  // no file yet
  EXPECT_EQ(getPrivateProfileInt("Camera", "ID", 7, path_.c_str()), 7u);
  ASSERT_TRUE(writePrivateProfileString("Camera", "ID", "346", path_.c_str()));
  ASSERT_TRUE(writePrivateProfileString("Exposure", "ValuePvw", "50.000", path_.c_str()));
  EXPECT_EQ(get("camera", "id"), "346");
  EXPECT_EQ(getPrivateProfileInt("CAMERA", "Id", 0, path_.c_str()), 346u);
  EXPECT_EQ(get("Exposure", "ValuePvw"), "50.000");
  EXPECT_EQ(get("Exposure", "ValueAcq"), "DEF");

  ASSERT_TRUE(writePrivateProfileString("Camera", "ID", "421", path_.c_str()));  // replaced
  EXPECT_EQ(get("Camera", "ID"), "421");
  EXPECT_EQ(get("Exposure", "ValuePvw"), "50.000");  // the rest stays
}

TEST_F(SystemProfileTest, ValuesAreCutToTheBufferAndKeysAndSectionsCanGo) {
  ASSERT_TRUE(writePrivateProfileString("Overlay", "FilePath", "C:\\overlays\\grid.bmp", path_.c_str()));
  char small[8];
  EXPECT_EQ(getPrivateProfileString("Overlay", "FilePath", "", small, sizeof small, path_.c_str()), 7u);
  EXPECT_STREQ(small, "C:\\over");
  EXPECT_EQ(getPrivateProfileString("Overlay", "FilePath", "", nullptr, 8, path_.c_str()), 0u);

  ASSERT_TRUE(writePrivateProfileString("A", "x", "1", path_.c_str()));
  ASSERT_TRUE(writePrivateProfileString("A", "y", "2", path_.c_str()));
  ASSERT_TRUE(writePrivateProfileString("A", "x", nullptr, path_.c_str()));  // the key goes
  EXPECT_EQ(get("A", "x"), "DEF");
  EXPECT_EQ(get("A", "y"), "2");
  ASSERT_TRUE(writePrivateProfileString("A", nullptr, nullptr, path_.c_str()));  // the section goes
  EXPECT_EQ(get("A", "y"), "DEF");
  EXPECT_EQ(get("Overlay", "FilePath"), "C:\\overlays\\grid.bmp");

  char names[64];
  const std::uint32_t n = getPrivateProfileString(nullptr, nullptr, "", names, sizeof names, path_.c_str());
  EXPECT_EQ(std::string(names, n), std::string("Overlay\0", 8));
  EXPECT_FALSE(writePrivateProfileString("A", "x", "1", nullptr));
}

} // namespace
