// INI (private profile) files as the settings file uses them.
#include "platform/platform.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace platform;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:

  void writeRaw(const std::string& content) {
    std::ofstream out(path_, std::ios::binary);
    out << content;
  }
  std::string readRaw() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string get(const char* section, const char* key, const char* def = "DEF",
                  std::uint32_t size = 256) {
    std::string buffer(size, '\xAA');
    const std::uint32_t n =
        getPrivateProfileString(section, key, def, buffer.data(), size, path_.c_str());
    EXPECT_EQ(buffer[n], '\0');
    return buffer.substr(0, n);
  }
  int getInt(const char* section, const char* key, int def = -99) {
    return static_cast<int>(getPrivateProfileInt(section, key, def, path_.c_str()));
  }
  bool write(const char* section, const char* key, const char* value) {
    return writePrivateProfileString(section, key, value, path_.c_str());
  }

  vxtest::ScratchFolder scratch_;
  std::filesystem::path dir_ = scratch_.path();
  std::string path_ = (dir_ / "settings.ini").string();
};

TEST_F(ProfileFileTest, MatchesSectionsAndKeysWithoutRegardToCaseAndTrimsBlanks) {
  writeRaw("[Exposure]\n  ValuePvw =  12.5  \n\t[ White Balance ]\nLockedR=1\n");
  EXPECT_EQ(get("exposure", "VALUEPVW"), "12.5");
  EXPECT_EQ(get("White Balance", "lockedr"), "1");
  EXPECT_EQ(get("  EXPOSURE ", " valuepvw"), "12.5");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(get("Exposure", "ValuePvw", "50.0"), "50.0");  // no file yet
  writeRaw("[Exposure]\nValuePvw=60\nEmpty=\n");
  EXPECT_EQ(get("Gamma", "ValuePvw", "1.0"), "1.0");
  EXPECT_EQ(get("Exposure", "ValueAcq", "50.0"), "50.0");
  EXPECT_EQ(get("Exposure", "ValueAcq", "abc  \t"), "abc");  // trailing blanks of the default go
  EXPECT_EQ(get("Exposure", "ValueAcq", nullptr), "");
  EXPECT_EQ(get("Exposure", "Empty", "x"), "");  // a present but empty value is not the default
  EXPECT_EQ(getInt("Exposure", "Locked", 1), 1);
  EXPECT_EQ(getInt("Nothing", "Locked", 7), 7);
}

TEST_F(ProfileFileTest, LongValuesAreCutToTheBuffer) {
  const std::string value(100, 'v');
  writeRaw("[Overlay]\nFilePath=" + value + "\n");
  EXPECT_EQ(get("Overlay", "FilePath", "0", 64), std::string(63, 'v'));
  EXPECT_EQ(get("Overlay", "FilePath", "0", 1), "");
  EXPECT_EQ(get("Overlay", "Missing", "0123456789", 5), "0123");

  char untouched = 'x';
  EXPECT_EQ(getPrivateProfileString("Overlay", "FilePath", "", &untouched, 0, path_.c_str()), 0u);
  EXPECT_EQ(untouched, 'x');
}

TEST_F(ProfileFileTest, OnePairOfSurroundingQuotesIsRemoved) {
  writeRaw("[S]\nA=\"quoted value\"\nB='single'\nC=\"mixed'\nD=\"\"inner\"\"\nE=\"\n");
  EXPECT_EQ(get("S", "A"), "quoted value");
  EXPECT_EQ(get("S", "B"), "single");
  EXPECT_EQ(get("S", "C"), "\"mixed'");
  EXPECT_EQ(get("S", "D"), "\"inner\"");
  EXPECT_EQ(get("S", "E"), "\"");
}

TEST_F(ProfileFileTest, IntegersTakeTheLeadingDecimalDigits) {
  writeRaw("[Hue]\nValuePvw=12.7\nText=abc\nNeg=-5\nPlus=+7\nBlank=\nQuoted=\"42\"\nHex=0x10\n");
  EXPECT_EQ(getInt("Hue", "ValuePvw"), 12);
  EXPECT_EQ(getInt("Hue", "Text"), 0);
  EXPECT_EQ(getInt("Hue", "Neg"), -5);
  EXPECT_EQ(getInt("Hue", "Plus"), 7);
  EXPECT_EQ(getInt("Hue", "Blank", 3), 3);
  EXPECT_EQ(getInt("Hue", "Quoted"), 42);
  EXPECT_EQ(getInt("Hue", "Hex"), 0);
  EXPECT_EQ(getInt("Hue", "Missing", 1), 1);
}

TEST_F(ProfileFileTest, ReplacingAValueKeepsEveryOtherByte) {
  const std::string before =
      "; settings written by hand\n"
      "[Camera]\n"
      "ID=421\n"
      "\n"
      "[Exposure]\n"
      "ValuePvw=50.000\n"
      "# unknown comment\n"
      "Custom Key = keep me \n"
      "ValueAcq = 40.000\n"
      "\n"
      "[Overlay]\n"
      "FilePath=C:\\overlay.bmp\n";
  writeRaw(before);
  ASSERT_TRUE(write("exposure", "VALUEACQ", "75.500"));
  ASSERT_TRUE(write("Camera", "id", "346"));
  std::string expected = before;
  expected.replace(expected.find("ValueAcq = 40.000"), 17, "ValueAcq=75.500");
  expected.replace(expected.find("ID=421"), 6, "ID=346");
  EXPECT_EQ(readRaw(), expected);
  EXPECT_EQ(get("Overlay", "FilePath"), "C:\\overlay.bmp");
}

TEST_F(ProfileFileTest, NewKeyGoesAfterTheLastNonBlankLineOfItsSection) {
  writeRaw("[A]\nx=1\n; note\n\n\n[B]\ny=2");
  ASSERT_TRUE(write("a", "z", "3"));
  EXPECT_EQ(readRaw(), "[A]\nx=1\n; note\nz=3\n\n\n[B]\ny=2");
  // The last line had no line ending; it gets one before the new key.
  ASSERT_TRUE(write("B", "w", "4"));
  EXPECT_EQ(readRaw(), "[A]\nx=1\n; note\nz=3\n\n\n[B]\ny=2\nw=4\n");
}

TEST_F(ProfileFileTest, MissingSectionIsAppendedAndMissingFileCreated) {
  ASSERT_TRUE(write("Camera", "ID", "421"));
  EXPECT_EQ(readRaw(), "[Camera]\nID=421\n");
  ASSERT_TRUE(write("Exposure", "Locked", "1"));
  EXPECT_EQ(readRaw(), "[Camera]\nID=421\n[Exposure]\nLocked=1\n");
  EXPECT_EQ(getInt("Exposure", "Locked", 0), 1);
}

TEST_F(ProfileFileTest, CrLfFilesKeepTheirLineEndings) {
  writeRaw("[Mirror]\r\nX=0\r\n\r\n[Gamma]\r\nLocked=1\r\n");
  EXPECT_EQ(get("Mirror", "X"), "0");  // no stray '\r' in values
  ASSERT_TRUE(write("Mirror", "Y", "1"));
  ASSERT_TRUE(write("Gamma", "Locked", "0"));
  ASSERT_TRUE(write("Hue", "ValuePvw", "12"));
  EXPECT_EQ(readRaw(),
            "[Mirror]\r\nX=0\r\nY=1\r\n\r\n[Gamma]\r\nLocked=0\r\n[Hue]\r\nValuePvw=12\r\n");
}

TEST_F(ProfileFileTest, NullValueDeletesTheKeyAndNullKeyTheSection) {
  writeRaw("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  ASSERT_TRUE(write("A", "X", nullptr));
  EXPECT_EQ(readRaw(), "[A]\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  ASSERT_TRUE(write("b", nullptr, nullptr));
  EXPECT_EQ(readRaw(), "[A]\ny=2\n[C]\nw=4\n");
  EXPECT_EQ(get("B", "z", "gone"), "gone");
  // Deleting what is not there changes nothing.
  ASSERT_TRUE(write("A", "missing", nullptr));
  ASSERT_TRUE(write("Missing", nullptr, nullptr));
  EXPECT_EQ(readRaw(), "[A]\ny=2\n[C]\nw=4\n");
}

TEST_F(ProfileFileTest, FirstOfRepeatedSectionsAndKeysIsUsed) {
  writeRaw("[A]\nx=1\nX=2\n[a]\nx=3\n");
  EXPECT_EQ(get("A", "x"), "1");
  ASSERT_TRUE(write("A", "x", "9"));
  EXPECT_EQ(readRaw(), "[A]\nx=9\nX=2\n[a]\nx=3\n");
}

TEST_F(ProfileFileTest, KeyAndSectionNamesCanBeListed) {
  writeRaw("[A]\nx=1\ny=2\n[B]\n");
  char buffer[32];
  EXPECT_EQ(getPrivateProfileString("A", nullptr, "", buffer, sizeof buffer, path_.c_str()), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("x\0y\0\0", 5));
  EXPECT_EQ(getPrivateProfileString(nullptr, nullptr, "", buffer, sizeof buffer, path_.c_str()),
            4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("A\0B\0\0", 5));
}

TEST_F(ProfileFileTest, UnwritableFileReportsFailure) {
  EXPECT_FALSE(writePrivateProfileString("A", "x", "1", (dir_ / "no" / "such.ini").string().c_str()));
  EXPECT_FALSE(writePrivateProfileString("A", "x", "1", dir_.string().c_str()));
  EXPECT_FALSE(writePrivateProfileString("A", "x", "1", nullptr));
}

} // namespace
