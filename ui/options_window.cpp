#include "ui/options_window.h"

namespace vx {
namespace {

// Order in which the window's destruction removes the panels.
constexpr Section kDestroyOrder[] = {
    Section::Brightness, Section::Contrast,   Section::Hue,
    Section::Saturation, Section::Mirror,     Section::Exposure,
    Section::CameraInfo, Section::GlobalGain, Section::Gamma,
    Section::ImageCorrection, Section::Overlay, Section::Resolution,
    Section::WhiteBalance,
};

} // namespace

int openOptionsWindow(DriverState& state, Window parent, int x, int y) {
  // The window and its panels arrive with their own change.
  static_cast<void>(state);
  static_cast<void>(parent);
  static_cast<void>(x);
  static_cast<void>(y);
  return 1;
}

void destroyOptionsWindow(DriverState& state) {
  for (Section s : kDestroyOrder) {
    SectionState& section = state.section(s);
    if (section.panel != nullptr) {
      platform::destroyWindow(section.panel);
      section.panel = nullptr;
    }
    section.panelOpen = 0;
  }
  if (state.optionsWindow != nullptr) {
    platform::destroyWindow(state.optionsWindow);
    state.optionsWindow = nullptr;
  }
  state.optionsOpen = 0;
}

} // namespace vx
