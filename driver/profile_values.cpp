#include "driver/profile_values.h"

#include "platform/platform.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vx {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// Removes an optional sign; returns whether it was a minus.
bool takeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '-' && text.front() != '+')) return false;
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

std::size_t digitRun(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && isDigit(text[end])) ++end;
  return end - from;
}

} // namespace

std::int32_t parseProfileInteger(std::string_view text) {
  text = skipBlanks(text);
  const bool negative = takeSign(text);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < text.size() && isDigit(text[i]); ++i)
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

float parseProfileDecimal(std::string_view text) {
  text = skipBlanks(text);
  const bool negative = takeSign(text);
  // The longest prefix of the form digits [. digits] [e [sign] digits],
  // with at least one digit before the exponent.
  std::size_t length = digitRun(text, 0);
  std::size_t digits = length;
  if (length < text.size() && text[length] == '.') {
    const std::size_t fraction = digitRun(text, length + 1);
    digits += fraction;
    length += 1 + fraction;
  }
  if (digits == 0) return 0.0f;
  if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
    std::size_t at = length + 1;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const std::size_t exponent = digitRun(text, at);
    if (exponent > 0) length = at + exponent;
  }
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + length, value);
  if (result.ec != std::errc() || !std::isfinite(value) ||
      std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
    return 0.0f;
  const auto single = static_cast<float>(value);
  return negative ? -single : single;
}

// ---- writing ----------------------------------------------------------------------

void ProfileWriter::text(const char* section, const char* key, const char* value) const {
  // Failed writes are not reported: the file keeps whatever did get written.
  platform::writePrivateProfileString(section, key, value, path_.c_str());
}

void ProfileWriter::integer(const char* section, const char* key, std::int32_t value) const {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", value);
  text(section, key, buffer);
}

void ProfileWriter::decimal(const char* section, const char* key, float value) const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value));
  text(section, key, buffer);
}

void ProfileWriter::whole(const char* section, const char* key, float value) const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0f", static_cast<double>(value));
  text(section, key, buffer);
}

// ---- reading ----------------------------------------------------------------------

std::string ProfileReader::text(const char* section, const char* key, const char* defaultText) const {
  char buffer[kValueBufferSize] = {};
  platform::getPrivateProfileString(section, key, defaultText, buffer, kValueBufferSize, path_.c_str());
  buffer[kValueBufferSize - 1] = '\0';
  std::string value(buffer);
  // A key written without a value counts as missing, as it does for the
  // integer reader.
  if (skipBlanks(value).empty()) value = defaultText;
  return value;
}

std::int32_t ProfileReader::integer(const char* section, const char* key, int defaultValue) const {
  return static_cast<std::int32_t>(
      platform::getPrivateProfileInt(section, key, defaultValue, path_.c_str()));
}

std::int32_t ProfileReader::integerText(const char* section, const char* key,
                                        const char* defaultText) const {
  return parseProfileInteger(text(section, key, defaultText));
}

float ProfileReader::decimalText(const char* section, const char* key, const char* defaultText) const {
  return parseProfileDecimal(text(section, key, defaultText));
}

} // namespace vx
