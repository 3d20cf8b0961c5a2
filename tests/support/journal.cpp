#include "support/journal.h"

#include <algorithm>
#include <cstdlib>

namespace vxtest {

Journal calls(const std::string& function, const Journal& all) {
  Journal found;
  for (const auto& e : all)
    if (e.function == function) found.push_back(e);
  return found;
}

Journal writes(int property, const Journal& all) {
  Journal found;
  for (const auto& e : all)
    if (e.function == "VarcamSetProperty" && !e.args.empty() && e.args[0] == std::to_string(property))
      found.push_back(e);
  return found;
}

std::vector<int> writtenProperties(const Journal& all) {
  std::vector<int> ids;
  for (const auto& e : all)
    if (e.function == "VarcamSetProperty" && !e.args.empty()) ids.push_back(std::atoi(e.args[0].c_str()));
  return ids;
}

Journal frames(const std::string& target, const Journal& all) {
  Journal found;
  for (const auto& e : all)
    if (e.function == "frame" && e.target == target) found.push_back(e);
  return found;
}

Journal sdkCalls(const Journal& all) {
  Journal found;
  for (const auto& e : all)
    if (e.function != "frame") found.push_back(e);
  return found;
}

bool CallMatch::operator()(const vzsim::JournalEntry& entry) const {
  if (entry.function != function || entry.args.size() < leadingArgs.size()) return false;
  return std::equal(leadingArgs.begin(), leadingArgs.end(), entry.args.begin());
}

} // namespace vxtest
