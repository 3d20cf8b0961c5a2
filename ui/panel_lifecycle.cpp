#include "panel_lifecycle.h"

#include "ui/panel_controls.h"
#include "ui/section_table.h"

namespace vx {

void panelOpened(OptionsWindow& options, Section section, Window panel) {
  options.place(section).panel = panel;
  options.state().panel(section).panelOpen = 1;
}

void rememberPanelPosition(OptionsWindow& options, Section section) {
  PanelPlace& place = options.place(section);
  Rect rect{};
  if (place.panel != nullptr && platform::getWindowRect(place.panel, &rect)) {
    place.positionX = rect.left;
    place.positionY = rect.top;
  }
}

void setSectionCaption(const OptionsWindow& options, Section section, bool open) {
  if (options.optionsWindow == nullptr) return;
  platform::setDlgItemText(options.optionsWindow, sectionRow(section).buttonId,
                           sectionCaption(section, open).c_str());
}

void closePanelItself(OptionsWindow& options, Section section) {
  PanelPlace& place = options.place(section);
  rememberPanelPosition(options, section);
  setSectionCaption(options, section, false);
  Window panel = place.panel;
  place.panel = nullptr;
  options.state().panel(section).panelOpen = 0;
  if (panel != nullptr) platform::destroyWindow(panel);
}

void panelDestroyed(OptionsWindow& options, Section section, Window panel) {
  PanelPlace& place = options.place(section);
  if (place.panel != panel) return;
  place.panel = nullptr;
  options.state().panel(section).panelOpen = 0;
}

std::int32_t checkedFlag(Window panel, int id) {
  return platform::isDlgButtonChecked(panel, id) == platform::BST_CHECKED ? 1 : 0;
}

void setChecked(Window panel, int id, std::int32_t flag) {
  platform::checkDlgButton(panel, id, flag != 0 ? platform::BST_CHECKED : platform::BST_UNCHECKED);
}

void pressButton(Window panel, int id) {
  platform::sendMessage(panel, platform::WM_COMMAND,
                        platform::makeWParam(static_cast<unsigned>(id), platform::BN_CLICKED),
                        reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, id)));
}

std::intptr_t runPanelMessage(const PanelBehaviour& behaviour, Window panel, unsigned message,
                              std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == platform::WM_INITDIALOG) bindDialog(panel, lParam);
  OptionsWindow* options = optionsWindowOf(panel);
  switch (message) {
    case platform::WM_INITDIALOG:
      if (options == nullptr) return 1;
      if (behaviour.initialise != nullptr)
        behaviour.initialise(*options, panel);
      else
        panelOpened(*options, behaviour.section, panel);
      return 1;
    case platform::WM_COMMAND:
      if (options == nullptr) return 0;
      if (behaviour.command != nullptr) return behaviour.command(*options, panel, wParam);
      if (!isClick(wParam) || (commandId(wParam) != kPanelClose && commandId(wParam) != kPanelCancel)) return 0;
      closePanelItself(*options, behaviour.section);
      return 1;
    case platform::WM_CLOSE:
      if (options != nullptr) {
        if (behaviour.closeBox != nullptr)
          behaviour.closeBox(*options, panel);
        else
          closePanelItself(*options, behaviour.section);
      }
      return 1;
    case platform::WM_DESTROY:
      if (options != nullptr) panelDestroyed(*options, behaviour.section, panel);
      return 0;
    default:
      return 0;
  }
}

} // namespace vx
