#include "dialog_snapshot.h"

#include "platform/headless_control.h"

#include <algorithm>
#include <set>

namespace host {
namespace {

using platform::ControlKind;

// A control that shares its id with an earlier one (the labels without an
// id) is read from its window: the dialog model finds controls by id only.
// `origin` is the dialog's client origin on screen.
ControlSnapshot fromWindow(platform::Window control, int originX, int originY) {
  const platform::headless::WindowInfo info = platform::headless::windowInfo(control);
  ControlSnapshot c;
  c.id = info.controlId;
  c.kind = info.className == "Static" ? ControlKind::Static : ControlKind::GroupBox;
  c.text = info.text;
  c.enabled = info.enabled;
  c.visible = info.visible;
  const platform::Rect& r = info.windowRect;
  c.rect = {r.left - originX, r.top - originY, r.right - originX, r.bottom - originY};
  return c;
}

ControlSnapshot fromControl(const platform::headless::ControlInfo& info, int id) {
  ControlSnapshot c;
  c.id = id;
  c.kind = info.kind;
  c.style = info.style;
  c.text = info.text;
  c.checked = info.checked;
  c.items = info.items;
  c.selection = info.selection;
  c.rangeMin = info.rangeMin;
  c.rangeMax = info.rangeMax;
  c.position = info.position;
  c.enabled = info.enabled;
  c.visible = info.visible;
  c.rect = info.rect;
  return c;
}

bool checkable(ControlKind kind) { return kind == ControlKind::CheckBox || kind == ControlKind::RadioButton; }
bool ranged(ControlKind kind) { return kind == ControlKind::Trackbar || kind == ControlKind::UpDown; }

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string checkState(int checked) {
  if (checked == platform::BST_CHECKED) return "checked";
  if (checked == platform::BST_UNCHECKED) return "unchecked";
  return "state " + std::to_string(checked);
}

std::string stateOf(const ControlSnapshot& c) {
  if (checkable(c.kind)) return checkState(c.checked);
  if (ranged(c.kind))
    return "position " + std::to_string(c.position) + ", range " + std::to_string(c.rangeMin) + ".." +
           std::to_string(c.rangeMax);
  if (c.kind == ControlKind::ComboBox) {
    const std::string count = std::to_string(c.items.size()) + (c.items.size() == 1 ? " item" : " items");
    if (c.selection < 0) return "no selection of " + count;
    return "item " + std::to_string(c.selection) + " of " + count;
  }
  return "";
}

std::vector<std::string> flagsOf(const ControlSnapshot& c) {
  std::vector<std::string> flags;
  if (!c.enabled) flags.emplace_back("disabled");
  if (!c.visible) flags.emplace_back("hidden");
  if (c.kind == ControlKind::Edit) {
    if ((c.style & platform::ES_READONLY) != 0) flags.emplace_back("read-only");
    if ((c.style & platform::ES_NUMBER) != 0) flags.emplace_back("digits only");
  }
  if (c.kind == ControlKind::ComboBox)
    flags.emplace_back((c.style & platform::CBS_TYPEMASK) == platform::CBS_DROPDOWNLIST ? "list" : "typed");
  if (c.kind == ControlKind::UpDown && (c.style & platform::UDS_HORZ) != 0) flags.emplace_back("horizontal");
  if (c.kind == ControlKind::Trackbar && (c.style & platform::TBS_VERT) != 0) flags.emplace_back("vertical");
  if ((c.style & platform::WS_GROUP) != 0) flags.emplace_back("group start");
  return flags;
}

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const auto& w : words) out += (out.empty() ? "" : separator) + w;
  return out;
}

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

nlohmann::json rectJson(const platform::Rect& r) { return nlohmann::json::array({r.left, r.top, r.right, r.bottom}); }

} // namespace

DialogSnapshot snapshotDialog(platform::Window dialog, const std::string& name, int templateId) {
  DialogSnapshot snapshot;
  snapshot.name = name;
  snapshot.templateId = templateId;
  const platform::headless::WindowInfo info = platform::headless::windowInfo(dialog);
  snapshot.title = info.text;
  snapshot.visible = info.visible;
  snapshot.windowRect = info.windowRect;
  std::set<int> seen;
  for (platform::Window child : info.children) {
    const int id = platform::dialogControlId(child);
    if (!seen.insert(id).second) {
      snapshot.controls.push_back(fromWindow(child, info.windowRect.left + platform::headless::kFrameLeft,
                                             info.windowRect.top + platform::headless::kFrameTop));
      continue;
    }
    const platform::headless::ControlInfo control = platform::headless::controlInfo(dialog, id);
    // Children that are not controls of the template (a status bar) are left out.
    if (!control.exists) continue;
    snapshot.controls.push_back(fromControl(control, id));
  }
  return snapshot;
}

const char* kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "label";
    case ControlKind::Button: return "button";
    case ControlKind::CheckBox: return "check";
    case ControlKind::RadioButton: return "radio";
    case ControlKind::Edit: return "edit";
    case ControlKind::ComboBox: return "combo";
    case ControlKind::Trackbar: return "trackbar";
    case ControlKind::UpDown: return "up-down";
    case ControlKind::GroupBox: return "group";
  }
  return "?";
}

std::string formatTable(const DialogSnapshot& dialog) {
  std::string out = (dialog.name == "options" ? "Options window " : "Panel ") + quoted(dialog.title) + " (" +
                    dialog.name + ", template " + std::to_string(dialog.templateId) + ") at " +
                    std::to_string(dialog.windowRect.left) + "," + std::to_string(dialog.windowRect.top) + ", " +
                    std::to_string(dialog.windowRect.right - dialog.windowRect.left) + " x " +
                    std::to_string(dialog.windowRect.bottom - dialog.windowRect.top) +
                    (dialog.visible ? "" : ", hidden") + "\n";
  // The text column is as wide as its longest text, within reason.
  std::size_t textWidth = 4;
  std::size_t stateWidth = 5;
  for (const ControlSnapshot& c : dialog.controls) {
    textWidth = std::max(textWidth, std::min<std::size_t>(quoted(c.text).size(), 36));
    stateWidth = std::max(stateWidth, stateOf(c).size());
  }
  out += "  " + padded("id", 6) + padded("kind", 10) + padded("text", textWidth + 2) + padded("state", stateWidth + 2) +
         "flags\n";
  for (const ControlSnapshot& c : dialog.controls) {
    const std::string id = c.id < 0 ? "-" : std::to_string(c.id);
    const bool showText = !c.text.empty() || c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox;
    std::string line = "  " + padded(id, 6) + padded(kindName(c.kind), 10) +
                       padded(showText ? quoted(c.text) : "", textWidth + 2) + padded(stateOf(c), stateWidth + 2) +
                       joined(flagsOf(c), ", ");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
    if (!c.items.empty()) {
      std::vector<std::string> items;
      for (std::size_t i = 0; i < c.items.size(); ++i) items.push_back(std::to_string(i) + " " + quoted(c.items[i]));
      out += "        items: " + joined(items, ", ") + "\n";
    }
  }
  return out;
}

nlohmann::json toJson(const DialogSnapshot& dialog) {
  nlohmann::json controls = nlohmann::json::array();
  for (const ControlSnapshot& c : dialog.controls) {
    nlohmann::json j{{"id", c.id},       {"kind", kindName(c.kind)}, {"text", c.text},
                     {"enabled", c.enabled}, {"visible", c.visible}, {"rect", rectJson(c.rect)},
                     {"flags", flagsOf(c)}};
    if (checkable(c.kind)) j["checked"] = c.checked;
    if (ranged(c.kind)) {
      j["position"] = c.position;
      j["range"] = {c.rangeMin, c.rangeMax};
    }
    if (c.kind == ControlKind::ComboBox) {
      j["items"] = c.items;
      j["selection"] = c.selection;
    }
    controls.push_back(std::move(j));
  }
  return nlohmann::json{{"name", dialog.name},       {"title", dialog.title},
                        {"template", dialog.templateId}, {"visible", dialog.visible},
                        {"rect", rectJson(dialog.windowRect)}, {"controls", std::move(controls)}};
}

} // namespace host
