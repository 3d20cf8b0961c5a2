#include "support/output.h"

#include <algorithm>

namespace vxtest {

std::vector<std::string> lines() { return platform::headless::debugLines(); }

bool logged(const std::string& line) {
  const auto all = lines();
  return std::find(all.begin(), all.end(), line) != all.end();
}

int countLogged(const std::string& line) {
  const auto all = lines();
  return static_cast<int>(std::count(all.begin(), all.end(), line));
}

std::vector<platform::headless::MessageBoxRecord> boxes() { return platform::headless::messageBoxes(); }

std::vector<std::string> boxTexts() {
  std::vector<std::string> texts;
  for (const auto& box : boxes()) texts.push_back(box.text);
  return texts;
}

} // namespace vxtest
