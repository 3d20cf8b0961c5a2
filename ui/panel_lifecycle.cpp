#include "ui/panel_lifecycle.h"

#include "ui/section_table.h"

namespace vx {

void panelOpened(DriverState& state, Section section, Window panel) {
  SectionState& s = state.section(section);
  s.panel = panel;
  s.panelOpen = 1;
}

void rememberPanelPosition(DriverState& state, Section section) {
  SectionState& s = state.section(section);
  Rect rect{};
  if (s.panel != nullptr && platform::getWindowRect(s.panel, &rect)) {
    s.positionX = rect.left;
    s.positionY = rect.top;
  }
}

void setSectionCaption(DriverState& state, Section section, bool open) {
  if (state.optionsWindow == nullptr) return;
  platform::setDlgItemText(state.optionsWindow, sectionRow(section).buttonId,
                           sectionCaption(section, open).c_str());
}

void closePanelItself(DriverState& state, Section section) {
  SectionState& s = state.section(section);
  rememberPanelPosition(state, section);
  setSectionCaption(state, section, false);
  Window panel = s.panel;
  s.panel = nullptr;
  s.panelOpen = 0;
  if (panel != nullptr) platform::destroyWindow(panel);
}

void panelDestroyed(DriverState& state, Section section, Window panel) {
  SectionState& s = state.section(section);
  if (s.panel != panel) return;
  s.panel = nullptr;
  s.panelOpen = 0;
}

std::int32_t checkedFlag(Window panel, int id) {
  return platform::isDlgButtonChecked(panel, id) == platform::BST_CHECKED ? 1 : 0;
}

void setChecked(Window panel, int id, std::int32_t flag) {
  platform::checkDlgButton(panel, id, flag != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
}

} // namespace vx
