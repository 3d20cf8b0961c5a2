#include "ui/options_window.h"

#include "base/debug_log.h"
#include "ui/automatic_exposure.h"
#include "ui/camera_info_panel.h"
#include "ui/dialog_binding.h"
#include "ui/dialog_templates.h"
#include "ui/image_correction_panel.h"
#include "ui/mirror_panel.h"
#include "ui/overlay_panel.h"
#include "ui/panel_lifecycle.h"
#include "ui/placeholder_panel.h"
#include "ui/section_table.h"

#include <array>

namespace vx {
namespace {

platform::DialogProc panelProc(Section section) {
  switch (section) {
    case Section::Mirror: return &mirrorPanelProc;
    case Section::CameraInfo: return &cameraInfoPanelProc;
    case Section::ImageCorrection: return &imageCorrectionPanelProc;
    case Section::Overlay: return &overlayPanelProc;
    default: return placeholderPanelProc(section);
  }
}

// Destroys every panel that exists, in the window's order, and clears every
// open flag.
void destroyPanels(DriverState& state) {
  for (Section s : panelOrder()) {
    SectionState& section = state.section(s);
    Window panel = section.panel;
    section.panel = nullptr;
    section.panelOpen = 0;
    if (panel != nullptr) platform::destroyWindow(panel);
  }
}

// Shows the window's visible set and stacks its buttons.
void layOut(Window window) {
  const ColumnLayout layout = layoutColumn(defaultVisibleSet());
  for (const SectionRow& row : sectionTable()) {
    Window button = platform::dialogItem(window, row.buttonId);
    const auto s = static_cast<std::size_t>(row.section);
    if (!layout.visible[s]) {
      platform::showWindow(button, platform::SW_HIDE);
      continue;
    }
    const Rect& r = layout.buttons[s];
    platform::moveWindow(button, r.left, r.top, r.right - r.left, r.bottom - r.top, true);
    platform::showWindow(button, platform::SW_SHOW);
  }
  const Rect& c = layout.closeButton;
  platform::moveWindow(platform::dialogItem(window, kOptionsCloseButton), c.left, c.top, c.right - c.left,
                       c.bottom - c.top, true);
  platform::setWindowPos(window, nullptr, 0, 0, layout.windowWidth, layout.windowHeight,
                         platform::SWP_NOMOVE | platform::SWP_NOZORDER);
}

void initialise(DriverState& state, Window window) {
  state.optionsWindow = window;
  state.optionsOpen = 1;
  logLine("Option opening inside 1");
  layOut(window);
}

void closePanelFromWindow(DriverState& state, Section section) {
  SectionState& s = state.section(section);
  std::array<LockBinding, 3> locks{};
  const std::size_t count = lockBindings(state, section, locks);
  for (std::size_t i = 0; i < count; ++i)
    *locks[i].flag = checkedFlag(s.panel, locks[i].controlId);
  if (section == Section::Exposure) endCameraAutoExposure(state);
  rememberPanelPosition(state, section);
  Window panel = s.panel;
  s.panel = nullptr;
  s.panelOpen = 0;
  platform::destroyWindow(panel);
  setSectionCaption(state, section, false);
}

void openPanelFromWindow(DriverState& state, Section section) {
  if (section == Section::WhiteBalance && (state.redGainAvailable == 0 || state.blueGainAvailable == 0)) {
    platform::messageBox(state.optionsParent, "This camera does not supports whitebalance", "Error",
                         platform::MB_OK);
    return;
  }
  Window panel = platform::createDialog(panelTemplate(section), state.optionsParent, panelProc(section),
                                        initParamFor(state));
  SectionState& s = state.section(section);
  s.panel = panel;
  setSectionCaption(state, section, true);
  if (s.openedOnce == 0) {
    Rect window{};
    Rect button{};
    platform::getWindowRect(state.optionsWindow, &window);
    platform::getWindowRect(platform::dialogItem(state.optionsWindow, sectionRow(section).buttonId), &button);
    s.positionX = window.right;
    s.positionY = button.top;
  }
  platform::setWindowPos(panel, nullptr, s.positionX, s.positionY, 0, 0,
                         platform::SWP_NOSIZE | platform::SWP_NOZORDER);
  platform::showWindow(panel, platform::SW_SHOW);
  s.openedOnce = 1;
}

void closeWindow(DriverState& state, Window window) {
  platform::destroyWindow(window);
  if (state.optionsWindow == window) state.optionsWindow = nullptr;
  state.optionsOpen = 0;
}

// Shows or hides the window and its panels with the host application.
void followApplication(DriverState& state, Window window, std::uintptr_t active, std::intptr_t otherThread) {
  int command = 0;
  if (active == 1) {
    logLine("Application opening: %u", static_cast<unsigned>(otherThread));
    command = platform::SW_SHOWNOACTIVATE;
  } else if (active == 0) {
    logLine("Application closing: %u", static_cast<unsigned>(otherThread));
    command = platform::SW_HIDE;
  } else {
    return;
  }
  platform::showWindow(window, command);
  for (Section s : panelOrder()) {
    if (Window panel = state.section(s).panel) platform::showWindow(panel, command);
  }
}

std::intptr_t optionsWindowProc(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case platform::WM_INITDIALOG: {
      DriverState* state = stateFromInitParam(lParam);
      bindDialog(window, state);
      if (state != nullptr) initialise(*state, window);
      return 1;
    }
    case platform::WM_COMMAND: {
      DriverState* state = boundState(window);
      if (state == nullptr || !isClick(wParam)) return 0;
      const int id = commandId(wParam);
      if (id == kOptionsCloseButton) {
        closeWindow(*state, window);
        return 1;
      }
      if (const SectionRow* row = sectionByButton(id)) {
        toggleSection(*state, row->section);
        return 1;
      }
      return 0;
    }
    case platform::WM_CLOSE:
      platform::sendMessage(window, platform::WM_COMMAND,
                            platform::makeWParam(static_cast<unsigned>(kOptionsCloseButton), platform::BN_CLICKED),
                            reinterpret_cast<std::intptr_t>(platform::dialogItem(window, kOptionsCloseButton)));
      return 1;
    case platform::WM_ACTIVATEAPP:
      if (DriverState* state = boundState(window)) followApplication(*state, window, wParam, lParam);
      return 0;
    case platform::WM_DESTROY:
      if (DriverState* state = boundState(window)) {
        destroyPanels(*state);
        // The window may go with its owner; it is then no longer open.
        if (state->optionsWindow == window) {
          state->optionsWindow = nullptr;
          state->optionsOpen = 0;
        }
      }
      unbindDialog(window);
      return 0;
    default:
      return 0;
  }
}

} // namespace

int openOptionsWindow(DriverState& state, Window parent, int x, int y) {
  if (state.optionsOpen != 0) {
    logLine("Options window allready opened!");
    return 1;
  }
  state.optionsParent = parent;
  Window window = platform::createDialog(optionsWindowTemplate(), parent, &optionsWindowProc, initParamFor(state));
  state.optionsWindow = window;
  platform::setWindowPos(window, nullptr, x, y, 0, 0, platform::SWP_NOSIZE | platform::SWP_NOZORDER);
  platform::showWindow(window, platform::SW_SHOW);
  state.optionsOpen = 1;
  return 1;
}

int toggleSection(DriverState& state, Section section) {
  if (state.section(section).panel != nullptr)
    closePanelFromWindow(state, section);
  else
    openPanelFromWindow(state, section);
  return 1;
}

void destroyOptionsWindow(DriverState& state) {
  destroyPanels(state);
  Window window = state.optionsWindow;
  state.optionsWindow = nullptr;
  state.optionsOpen = 0;
  if (window != nullptr) platform::destroyWindow(window);
}

} // namespace vx
