#include "ui/dialog_binding.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vx {
namespace {

// A handful of dialogs at most: the options window and its open panels.
std::vector<std::pair<Window, DriverState*>>& bindings() {
  static std::vector<std::pair<Window, DriverState*>> list;
  return list;
}

} // namespace

void bindDialog(Window dialog, DriverState* state) {
  if (dialog == nullptr) return;
  auto& list = bindings();
  for (auto& entry : list) {
    if (entry.first == dialog) {
      entry.second = state;
      return;
    }
  }
  list.emplace_back(dialog, state);
}

void unbindDialog(Window dialog) {
  auto& list = bindings();
  list.erase(std::remove_if(list.begin(), list.end(), [dialog](const auto& e) { return e.first == dialog; }),
             list.end());
}

DriverState* boundState(Window dialog) {
  for (const auto& entry : bindings())
    if (entry.first == dialog) return entry.second;
  return nullptr;
}

} // namespace vx
