// Reading the camera simulator's journal of SDK calls and frame deliveries.
#pragma once

#include "vividozuz/sim_control.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vxtest {

using Journal = std::vector<vzsim::JournalEntry>;

// Calls of one SDK function, in order.
Journal calls(const std::string& function, const Journal& all = vzsim::journal());
// VarcamSetProperty calls on one property, in order.
Journal writes(int property, const Journal& all = vzsim::journal());
// The properties written with VarcamSetProperty, in order.
std::vector<int> writtenProperties(const Journal& all = vzsim::journal());
// Frames delivered to one target ("TakeVideo", "streaming", "rgbPreview", "display").
Journal frames(const std::string& target, const Journal& all = vzsim::journal());
// The SDK calls alone, without frame deliveries.
Journal sdkCalls(const Journal& all = vzsim::journal());

// Whether an entry is a call of `function` whose arguments start with these.
struct CallMatch {
  std::string function;
  std::vector<std::string> leadingArgs;
  bool operator()(const vzsim::JournalEntry& entry) const;
};
inline CallMatch isCall(const std::string& function, std::initializer_list<std::string> leadingArgs = {}) {
  return CallMatch{function, leadingArgs};
}

// Index of the first entry at or after `from` that matches, or -1.
template <class Match>
int indexOf(const Journal& all, Match match, int from = 0) {
  for (int i = from; i < static_cast<int>(all.size()); ++i)
    if (match(all[static_cast<std::size_t>(i)])) return i;
  return -1;
}

} // namespace vxtest
