// Private-profile (INI) files: reading values and rewriting single keys
// while keeping the rest of the file as it was.
#include "platform/platform.h"
#include "state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <sstream>
#include <string_view>

namespace platform {
namespace {

// File access is serialised within the process so that two writers do not
// lose each other's keys. Held only around file work, never around user code.
std::mutex& fileMutex() {
  static std::mutex* instance = new std::mutex;
  return *instance;
}

struct Line {
  std::string text;  // without its line ending
  std::string end;   // "\r\n", "\n", or "" for a last line without one
};
using Lines = std::vector<Line>;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::string> readFile(const char* fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return content.str();
}

Lines splitLines(const std::string& content) {
  Lines lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t newline = content.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back(Line{content.substr(start), ""});
      break;
    }
    const bool crlf = newline > start && content[newline - 1] == '\r';
    const std::size_t end = crlf ? newline - 1 : newline;
    lines.push_back(Line{content.substr(start, end - start), crlf ? "\r\n" : "\n"});
    start = newline + 1;
  }
  return lines;
}

// "[name]" (blanks around allowed; a missing "]" takes the rest of the line).
bool sectionName(const std::string& text, std::string_view* name) {
  std::string_view s = trim(text);
  if (s.empty() || s.front() != '[') return false;
  s.remove_prefix(1);
  const std::size_t close = s.find(']');
  if (close != std::string_view::npos) s = s.substr(0, close);
  *name = trim(s);
  return true;
}

// "key=value" with blanks around both trimmed.
bool keyValue(const std::string& text, std::string_view* key, std::string_view* value) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  const std::string_view whole(text);
  *key = trim(whole.substr(0, equals));
  *value = trim(whole.substr(equals + 1));
  return true;
}

// The lines of the first section with this name: [header, end).
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> findSection(const Lines& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (!sectionName(lines[i].text, &name) || !sameName(name, section)) continue;
    std::size_t end = i + 1;
    std::string_view ignored;
    while (end < lines.size() && !sectionName(lines[end].text, &ignored)) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> findKey(const Lines& lines, SectionRange range, std::string_view key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    std::string_view k;
    std::string_view v;
    if (keyValue(lines[i].text, &k, &v) && sameName(k, key)) return i;
  }
  return std::nullopt;
}

std::string unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// The value of section/key, or nothing when the file, section or key is missing.
std::optional<std::string> lookUp(const char* section, const char* key, const char* fileName) {
  std::lock_guard<std::mutex> lock(fileMutex());
  const auto content = readFile(fileName);
  if (!content) return std::nullopt;
  const Lines lines = splitLines(*content);
  const auto range = findSection(lines, trim(section));
  if (!range) return std::nullopt;
  const auto at = findKey(lines, *range, trim(key));
  if (!at) return std::nullopt;
  std::string_view k;
  std::string_view v;
  keyValue(lines[*at].text, &k, &v);
  return unquote(v);
}

// Names as a list of terminated strings ending with an extra terminator,
// cut to the buffer as GetPrivateProfileString does; returns the count
// copied without the final terminator.
std::uint32_t copyNameList(const std::vector<std::string>& names, char* buffer, std::uint32_t size) {
  if (size < 2) {
    if (size == 1) buffer[0] = '\0';
    return 0;
  }
  std::string list;
  for (const auto& n : names) {
    list += n;
    list += '\0';
  }
  if (list.size() + 1 > size) {
    // Cut: the last name is cut short, and the list still ends in two
    // terminators; the result is size - 2 as on Win32.
    std::copy_n(list.data(), size - 2, buffer);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
  }
  std::copy(list.begin(), list.end(), buffer);
  buffer[list.size()] = '\0';
  return static_cast<std::uint32_t>(list.size());
}

std::uint32_t listNames(const char* section, char* buffer, std::uint32_t size,
                        const char* fileName) {
  std::vector<std::string> names;
  {
    std::lock_guard<std::mutex> lock(fileMutex());
    const auto content = readFile(fileName);
    if (content) {
      const Lines lines = splitLines(*content);
      if (section == nullptr) {
        for (const Line& line : lines) {
          std::string_view name;
          if (sectionName(line.text, &name)) names.emplace_back(name);
        }
      } else if (const auto range = findSection(lines, trim(section))) {
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
          std::string_view k;
          std::string_view v;
          if (keyValue(lines[i].text, &k, &v)) names.emplace_back(k);
        }
      }
    }
  }
  return copyNameList(names, buffer, size);
}

bool writeFile(const char* fileName, const Lines& lines) {
  std::string content;
  for (const Line& line : lines) {
    content += line.text;
    content += line.end;
  }
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.flush();
  return static_cast<bool>(out);
}

// New lines take the ending the file already uses.
std::string lineEnding(const Lines& lines) {
  for (const Line& line : lines) {
    if (!line.end.empty()) return line.end;
  }
  return "\n";
}

// "key=value" (built by appending: GCC 12 misreports operator+ on strings
// at -O3).
std::string keyLine(std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + value.size() + 1);
  line.append(key).append(1, '=').append(value);
  return line;
}

bool exists(const char* fileName) {
  std::error_code error;
  return std::filesystem::exists(fileName, error);
}

bool isDirectory(const char* fileName) {
  std::error_code error;
  return std::filesystem::is_directory(fileName, error);
}

} // namespace

std::uint32_t getPrivateProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* buffer,
                                      std::uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0 || fileName == nullptr) return 0;
  if (section == nullptr || key == nullptr) return listNames(section, buffer, size, fileName);
  std::optional<std::string> value = lookUp(section, key, fileName);
  if (!value) {
    // The default loses its trailing blanks; none at all reads as "".
    std::string_view d = defaultValue != nullptr ? defaultValue : "";
    while (!d.empty() && (d.back() == ' ' || d.back() == '\t')) d.remove_suffix(1);
    value = std::string(d);
  }
  return static_cast<std::uint32_t>(headless::detail::copyTerminated(*value, buffer, size));
}

std::uint32_t getPrivateProfileInt(const char* section, const char* key, int defaultValue,
                                   const char* fileName) {
  if (section == nullptr || key == nullptr || fileName == nullptr) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  const std::optional<std::string> value = lookUp(section, key, fileName);
  if (!value || value->empty()) return static_cast<std::uint32_t>(defaultValue);
  // An optional sign and the decimal digits that follow; anything after
  // them is ignored ("12.7" is 12, "abc" is 0). Wraps like a 32-bit value.
  std::size_t i = 0;
  bool negative = false;
  if ((*value)[0] == '-' || (*value)[0] == '+') {
    negative = (*value)[0] == '-';
    i = 1;
  }
  std::uint32_t result = 0;
  for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i) {
    result = result * 10u + static_cast<std::uint32_t>((*value)[i] - '0');
  }
  return negative ? 0u - result : result;
}

bool writePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName) {
  if (section == nullptr || fileName == nullptr || isDirectory(fileName)) return false;
  std::lock_guard<std::mutex> lock(fileMutex());
  const auto content = readFile(fileName);
  // A file that exists but can't be read is not replaced by a new one.
  if (!content && exists(fileName)) return false;
  Lines lines = content ? splitLines(*content) : Lines{};
  const std::string ending = lineEnding(lines);
  const std::string_view sectionName = trim(section);
  const auto range = findSection(lines, sectionName);

  if (key == nullptr) {  // delete the section
    if (!range) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    return writeFile(fileName, lines);
  }

  const std::string_view keyName = trim(key);
  const auto at = range ? findKey(lines, *range, keyName) : std::nullopt;
  if (value == nullptr) {  // delete the key
    if (!at) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return writeFile(fileName, lines);
  }

  if (at) {
    // Replaced in place: the key keeps its spelling and its line its ending.
    Line& line = lines[*at];
    std::string_view prefix = std::string_view(line.text).substr(0, line.text.find('='));
    while (!prefix.empty() && isBlank(prefix.back())) prefix.remove_suffix(1);
    line.text = keyLine(prefix, value);
  } else if (range) {
    // After the last non-blank line of the section.
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      if (!trim(lines[i].text).empty()) last = i;
    }
    if (lines[last].end.empty()) lines[last].end = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                 Line{keyLine(keyName, value), ending});
  } else {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = ending;
    std::string header;
    header.append(1, '[').append(sectionName).append(1, ']');
    lines.push_back(Line{std::move(header), ending});
    lines.push_back(Line{keyLine(keyName, value), ending});
  }
  return writeFile(fileName, lines);
}

} // namespace platform
