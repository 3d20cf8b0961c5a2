// Reading numbers from the settings file: leading numbers, values that are
// no numbers, empty values, and the 64-byte read buffer.
#include "settings_fixture.h"

#include "driver/profile_values.h"

namespace {

TEST(ProfileNumbers, IntegersTakeTheLeadingDigits) {
  EXPECT_EQ(vx::parseProfileInteger("12.7"), 12);
  EXPECT_EQ(vx::parseProfileInteger(" -3.9"), -3);
  EXPECT_EQ(vx::parseProfileInteger("+5"), 5);
  EXPECT_EQ(vx::parseProfileInteger("42abc"), 42);
  EXPECT_EQ(vx::parseProfileInteger("abc"), 0);
  EXPECT_EQ(vx::parseProfileInteger("-"), 0);
  EXPECT_EQ(vx::parseProfileInteger(""), 0);
  // Wraps like a 32-bit value, as the profile's integer reader does.
  EXPECT_EQ(vx::parseProfileInteger("4294967297"), 1);
  EXPECT_EQ(vx::parseProfileInteger("-2147483648"), INT32_MIN);
}

TEST(ProfileNumbers, DecimalsTakeTheLeadingNumber) {
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("50.0"), 50.0f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("2.5x"), 2.5f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal(" -0.125"), -0.125f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal(".5"), 0.5f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("5."), 5.0f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("-1e2"), -100.0f);
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("1e"), 1.0f) << "an exponent without digits is not part of it";
  EXPECT_FLOAT_EQ(vx::parseProfileDecimal("170"), 170.0f);
}

TEST(ProfileNumbers, DecimalsThatAreNoUsableNumberReadAsZero) {
  for (const char* text : {"abc", "-", ".", "e5", "nan", "inf", "-infinity", "1e400", "-1e39", "0x10"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(vx::parseProfileDecimal(text), 0.0f);
  }
}

using ProfileReading = DriverSettingsTest;

TEST_F(ProfileReading, MissingAndEmptyValuesGiveTheDefault) {
  writeText(file("p.ini"), "[S]\nEmpty=\nBlank=  \nWord=word\n");
  const vx::ProfileReader reader(file("p.ini"));
  EXPECT_EQ(reader.integerText("S", "Missing", "640"), 640);
  EXPECT_EQ(reader.integerText("S", "Empty", "640"), 640);
  EXPECT_EQ(reader.integerText("S", "Blank", "640"), 640);
  EXPECT_EQ(reader.integerText("S", "Word", "640"), 0);
  EXPECT_FLOAT_EQ(reader.decimalText("S", "Empty", "50.0"), 50.0f);
  EXPECT_FLOAT_EQ(reader.decimalText("S", "Word", "50.0"), 0.0f);
  EXPECT_EQ(reader.integer("S", "Empty", 1), 1);
  EXPECT_EQ(reader.integer("S", "Word", 1), 0);
  const vx::ProfileReader missingFile(file("none.ini"));
  EXPECT_FLOAT_EQ(missingFile.decimalText("S", "Word", "1.0"), 1.0f);
}

TEST_F(ProfileReading, ValuesAreReadThroughA64ByteBuffer) {
  const std::string fits = std::string(62, '0') + "7";       // 63 characters
  const std::string cut = std::string(63, '0') + "7";        // the 7 is the 64th
  writeText(file("long.ini"), "[S]\nFits=" + fits + "\nCut=" + cut + "\n");
  const vx::ProfileReader reader(file("long.ini"));
  EXPECT_EQ(reader.integerText("S", "Fits", "1"), 7);
  EXPECT_EQ(reader.integerText("S", "Cut", "1"), 0);
}

} // namespace
