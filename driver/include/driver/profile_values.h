// Typed reading and writing of the values in the settings (INI) file.
//
// Numbers are written with "%d", "%.3f" or "%.0f". They are read either
// with the profile's own integer reader or as text (through a 64-byte
// buffer, so longer values come back cut to 63 characters) that is then
// parsed as a number.
//
// Reading rules, the same for every key:
// - a missing key, or one with an empty value, gives the key's default;
// - otherwise the number is the value's leading number ("12.7" read as an
//   integer is 12, "2.5x" read as a decimal is 2.5);
// - a value that does not start with a number reads as 0, which is also
//   what the profile's integer reader gives for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The leading integer of `text` (blanks, an optional sign, decimal digits),
// wrapping like a 32-bit value; 0 when there are no digits.
std::int32_t parseProfileInteger(std::string_view text);
// The leading decimal number of `text` (blanks, sign, digits with an
// optional fraction and exponent); 0 when there is none or when it does not
// fit in a float.
float parseProfileDecimal(std::string_view text);

class ProfileWriter {
 public:
  explicit ProfileWriter(std::string path) : path_(std::move(path)) {}

  void integer(const char* section, const char* key, std::int32_t value) const;  // "%d"
  void decimal(const char* section, const char* key, float value) const;         // "%.3f"
  void whole(const char* section, const char* key, float value) const;           // "%.0f"

 private:
  void text(const char* section, const char* key, const char* value) const;
  std::string path_;
};

class ProfileReader {
 public:
  explicit ProfileReader(std::string path) : path_(std::move(path)) {}

  // Through the profile's integer reader, with a numeric default.
  std::int32_t integer(const char* section, const char* key, int defaultValue) const;
  // As text with a textual default, parsed as an integer ("%d").
  std::int32_t integerText(const char* section, const char* key, const char* defaultText) const;
  // As text with a textual default, parsed as a decimal number ("%f").
  float decimalText(const char* section, const char* key, const char* defaultText) const;

  // Size of the text buffer values are read through.
  static constexpr std::uint32_t kValueBufferSize = 64;

 private:
  std::string text(const char* section, const char* key, const char* defaultText) const;
  std::string path_;
};

} // namespace vx
