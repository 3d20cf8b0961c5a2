// What a dialog of the driver shows at one moment, read through the headless
// platform's inspection: every control in template order with its text and
// state, printable as a table or as JSON.
#pragma once

#include "platform/platform.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace host {

struct ControlSnapshot {
  int id = 0;  // -1 for labels and frames nothing refers to
  platform::ControlKind kind = platform::ControlKind::Static;
  std::uint32_t style = 0;
  std::string text;
  int checked = 0;
  std::vector<std::string> items;
  int selection = -1;
  int rangeMin = 0;
  int rangeMax = 0;
  int position = 0;
  bool enabled = true;
  bool visible = true;
  platform::Rect rect{};
};

struct DialogSnapshot {
  std::string name;   // the section name, or "options"
  std::string title;  // the window's caption
  int templateId = 0;
  bool visible = true;
  platform::Rect windowRect{};  // screen pixels
  std::vector<ControlSnapshot> controls;
};

DialogSnapshot snapshotDialog(platform::Window dialog, const std::string& name, int templateId);

// "check", "edit", "trackbar", ...
const char* kindName(platform::ControlKind kind);

// A readable table: one line per control with its id, kind, text, state and
// flags, and the combo items on the lines below their combo.
std::string formatTable(const DialogSnapshot& dialog);
nlohmann::json toJson(const DialogSnapshot& dialog);

} // namespace host
