#include "ui/options_window.h"

#include "automatic_exposure.h"
#include "base/debug_log.h"
#include "camera/camera_session.h"
#include "camera_info_panel.h"
#include "dialog_templates.h"
#include "exposure_panel.h"
#include "image_correction_panel.h"
#include "mirror_panel.h"
#include "numeric_panel.h"
#include "overlay_panel.h"
#include "panel_lifecycle.h"
#include "resolution_panel.h"
#include "ui/section_table.h"
#include "white_balance_panel.h"

#include <array>

namespace vx {
namespace {

platform::DialogProc panelProc(Section section) {
  switch (section) {
    case Section::Mirror: return &mirrorPanelProc;
    case Section::CameraInfo: return &cameraInfoPanelProc;
    case Section::ImageCorrection: return &imageCorrectionPanelProc;
    case Section::Overlay: return &overlayPanelProc;
    case Section::Brightness:
    case Section::Contrast:
    case Section::Hue:
    case Section::Saturation:
    case Section::GlobalGain:
    case Section::Gamma: return numericPanelProc(section);
    case Section::WhiteBalance: return &whiteBalancePanelProc;
    case Section::Exposure: return &exposurePanelProc;
    case Section::Resolution: return &resolutionPanelProc;
  }
  return nullptr;
}

// Destroys every panel that exists, in the window's order, and clears every
// open flag.
void destroyPanels(OptionsWindow& options) {
  for (Section s : panelOrder()) {
    PanelPlace& place = options.place(s);
    Window panel = place.panel;
    place.panel = nullptr;
    options.state().panel(s).panelOpen = 0;
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

void initialise(OptionsWindow& options, Window window) {
  options.optionsWindow = window;
  options.optionsOpen = 1;
  logLine("Option opening inside 1");
  layOut(window);
}

void closePanelFromWindow(OptionsWindow& options, Section section) {
  DriverState& state = options.state();
  PanelPlace& place = options.place(section);
  std::array<LockBinding, 3> locks{};
  const std::size_t count = lockBindings(state, section, locks);
  for (std::size_t i = 0; i < count; ++i)
    *locks[i].flag = checkedFlag(place.panel, locks[i].controlId);
  if (section == Section::Exposure) endCameraAutoExposure(options.camera(), AutoExposureEnd::AdoptCameraExposure);
  rememberPanelPosition(options, section);
  Window panel = place.panel;
  place.panel = nullptr;
  state.panel(section).panelOpen = 0;
  platform::destroyWindow(panel);
  setSectionCaption(options, section, false);
}

void openPanelFromWindow(OptionsWindow& options, Section section) {
  DriverState& state = options.state();
  if (section == Section::WhiteBalance &&
      (state.model.redGainAvailable == 0 || state.model.blueGainAvailable == 0)) {
    platform::messageBox(state.optionsParent, "This camera does not supports whitebalance", "Error",
                         platform::MB_OK);
    return;
  }
  Window panel = platform::createDialog(panelTemplate(section), state.optionsParent, panelProc(section),
                                        initParamFor(options));
  PanelPlace& place = options.place(section);
  PanelFlags& flags = state.panel(section);
  place.panel = panel;
  setSectionCaption(options, section, true);
  if (flags.openedOnce == 0) {
    Rect window{};
    Rect button{};
    platform::getWindowRect(options.optionsWindow, &window);
    platform::getWindowRect(platform::dialogItem(options.optionsWindow, sectionRow(section).buttonId), &button);
    place.positionX = window.right;
    place.positionY = button.top;
  }
  platform::setWindowPos(panel, nullptr, place.positionX, place.positionY, 0, 0,
                         platform::SWP_NOSIZE | platform::SWP_NOZORDER);
  platform::showWindow(panel, platform::SW_SHOW);
  flags.openedOnce = 1;
}

void closeWindow(OptionsWindow& options, Window window) {
  platform::destroyWindow(window);
  if (options.optionsWindow == window) options.optionsWindow = nullptr;
  options.optionsOpen = 0;
}

// Shows or hides the window and its panels with the host application.
void followApplication(const OptionsWindow& options, Window window, std::uintptr_t active,
                       std::intptr_t otherThread) {
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
    if (Window panel = options.panelWindow(s)) platform::showWindow(panel, command);
  }
}

std::intptr_t optionsWindowProc(Window window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == platform::WM_INITDIALOG) bindDialog(window, lParam);
  OptionsWindow* options = optionsWindowOf(window);
  switch (message) {
    case platform::WM_INITDIALOG:
      if (options != nullptr) initialise(*options, window);
      return 1;
    case platform::WM_COMMAND: {
      if (options == nullptr || !isClick(wParam)) return 0;
      const int id = commandId(wParam);
      if (id == kOptionsCloseButton) {
        closeWindow(*options, window);
        return 1;
      }
      if (const SectionRow* row = sectionByButton(id)) {
        options->toggleSection(row->section);
        return 1;
      }
      return 0;
    }
    case platform::WM_CLOSE:
      pressButton(window, kOptionsCloseButton);
      return 1;
    case platform::WM_ACTIVATEAPP:
      if (options != nullptr) followApplication(*options, window, wParam, lParam);
      return 0;
    case platform::WM_DESTROY:
      if (options != nullptr) {
        destroyPanels(*options);
        // The window may go with its owner; it is then no longer open.
        if (options->optionsWindow == window) {
          options->optionsWindow = nullptr;
          options->optionsOpen = 0;
        }
      }
      return 0;
    default:
      return 0;
  }
}

} // namespace

OptionsWindow* optionsWindowOf(Window dialog) {
  return reinterpret_cast<OptionsWindow*>(platform::windowUserData(dialog));
}

std::intptr_t initParamFor(OptionsWindow& options) { return reinterpret_cast<std::intptr_t>(&options); }

void bindDialog(Window dialog, std::intptr_t initParam) { platform::setWindowUserData(dialog, initParam); }

OptionsWindow::OptionsWindow(DriverState& state, CameraSession& camera) : state_(state), camera_(camera) {}

// The window is closed before it goes (by the camera's close or by its
// owner): its dialogs find this object through their user data. Nothing is
// done here, because a driver destroyed with its library may outlive the
// platform's own state at process exit.
OptionsWindow::~OptionsWindow() = default;

Window OptionsWindow::openPanel(Section section) const {
  return state_.panelOpen(section) ? place(section).panel : nullptr;
}

int OptionsWindow::open(Window parent, int x, int y) {
  if (optionsOpen != 0) {
    logLine("Options window allready opened!");
    return 1;
  }
  state_.optionsParent = parent;
  Window window = platform::createDialog(optionsWindowTemplate(), parent, &optionsWindowProc, initParamFor(*this));
  optionsWindow = window;
  platform::setWindowPos(window, nullptr, x, y, 0, 0, platform::SWP_NOSIZE | platform::SWP_NOZORDER);
  platform::showWindow(window, platform::SW_SHOW);
  optionsOpen = 1;
  return 1;
}

int OptionsWindow::toggleSection(Section section) {
  if (place(section).panel != nullptr)
    closePanelFromWindow(*this, section);
  else
    openPanelFromWindow(*this, section);
  return 1;
}

void OptionsWindow::destroy() {
  destroyPanels(*this);
  Window window = optionsWindow;
  optionsWindow = nullptr;
  optionsOpen = 0;
  if (window != nullptr) platform::destroyWindow(window);
}

bool OptionsWindow::closeOptionsWindow() {
  if (optionsOpen == 0) return false;
  destroy();
  return true;
}

} // namespace vx
