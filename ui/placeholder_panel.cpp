#include "placeholder_panel.h"

#include "ui/panel_controls.h"
#include "panel_lifecycle.h"

namespace vx {
namespace {

// One procedure per section, so that each knows whose panel it is.
template <Section S>
std::intptr_t placeholderProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{S};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace

platform::DialogProc placeholderPanelProc(Section section) {
  switch (section) {
    case Section::Resolution: return &placeholderProc<Section::Resolution>;
    case Section::Exposure: return &placeholderProc<Section::Exposure>;
    case Section::GlobalGain: return &placeholderProc<Section::GlobalGain>;
    case Section::WhiteBalance: return &placeholderProc<Section::WhiteBalance>;
    case Section::Gamma: return &placeholderProc<Section::Gamma>;
    case Section::Hue: return &placeholderProc<Section::Hue>;
    case Section::Brightness: return &placeholderProc<Section::Brightness>;
    case Section::Saturation: return &placeholderProc<Section::Saturation>;
    case Section::Contrast: return &placeholderProc<Section::Contrast>;
    case Section::Mirror: return &placeholderProc<Section::Mirror>;
    case Section::ImageCorrection: return &placeholderProc<Section::ImageCorrection>;
    case Section::Overlay: return &placeholderProc<Section::Overlay>;
    case Section::CameraInfo: return &placeholderProc<Section::CameraInfo>;
  }
  return nullptr;
}

} // namespace vx
