#include "ui/panel_lifecycle.h"

#include "ui/dialog_binding.h"
#include "ui/panel_controls.h"

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

std::intptr_t runPanelMessage(const PanelBehaviour& behaviour, Window panel, unsigned message,
                              std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case platform::WM_INITDIALOG: {
      DriverState* state = stateFromInitParam(lParam);
      bindDialog(panel, state);
      if (state == nullptr) return 1;
      if (behaviour.initialise != nullptr)
        behaviour.initialise(*state, panel);
      else
        panelOpened(*state, behaviour.section, panel);
      return 1;
    }
    case platform::WM_COMMAND: {
      DriverState* state = boundState(panel);
      if (state == nullptr) return 0;
      if (behaviour.command != nullptr) return behaviour.command(*state, panel, wParam);
      if (!isClick(wParam) || (commandId(wParam) != kPanelClose && commandId(wParam) != kPanelCancel)) return 0;
      closePanelItself(*state, behaviour.section);
      return 1;
    }
    case platform::WM_CLOSE:
      if (DriverState* state = boundState(panel)) {
        if (behaviour.closeBox != nullptr)
          behaviour.closeBox(*state, panel);
        else
          closePanelItself(*state, behaviour.section);
      }
      return 1;
    case platform::WM_DESTROY:
      if (DriverState* state = boundState(panel)) panelDestroyed(*state, behaviour.section, panel);
      unbindDialog(panel);
      return 0;
    default:
      return 0;
  }
}

} // namespace vx
