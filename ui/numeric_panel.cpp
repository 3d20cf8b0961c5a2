#include "numeric_panel.h"

#include "panel_lifecycle.h"
#include "property_pair_controls.h"
#include "sdk/varcam_sdk.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

namespace vx {
namespace {

// Controls shared by the six templates.
constexpr int kPreviewTrackbar = 1056;
constexpr int kAcquireTrackbar = 1057;
constexpr int kPreviewSpin = 1061;
constexpr int kAcquireSpin = 1062;
constexpr int kInitialize = 2;

constexpr PairControls kControls{kPreviewTrackbar, kAcquireTrackbar, kNumericLock, kNumericPreviewEdit,
                                 kNumericAcquireEdit, kPreviewSpin, kAcquireSpin};

struct Member {
  Section section;
  PairTraits pair;
  // Brightness and Hue reset to the camera's reported default, taken as it
  // is as a display value; the others to a fixed value.
  bool defaultFromCamera;
  float fixedDefault;
};

constexpr CameraWrite kBrightnessWrite[] = {
    {PropBrightness, "Could not set Brightness: %d", "PIXORA QUORVEL DRIVER: Brightness has been changed in camera.",
     "Value brightness: %d", ValueLine::Integer}};
constexpr CameraWrite kContrastWrite[] = {
    {PropContrast, "Could not set Contrast: %d", "PIXORA QUORVEL DRIVER: contrast has been changed in camera.",
     "Value Contrast: %d", ValueLine::Integer}};
constexpr CameraWrite kHueWrite[] = {{PropHue, "Could not set Huetrast: %d",
                                      "PIXORA QUORVEL DRIVER: hue has been changed in camera.", "Value hue: %f",
                                      ValueLine::Float}};
constexpr CameraWrite kSaturationWrite[] = {
    {PropSaturation, "Could not set Saturation: %d", "PIXORA QUORVEL DRIVER: saturation has been changed in camera.",
     "Value Saturation: %f", ValueLine::Float}};
constexpr CameraWrite kGainWrite[] = {{PropGain, "Could not set Global Gain: %d",
                                       "PIXORA QUORVEL DRIVER: Global Gain has been changed in camera.",
                                       "Value global gain: %.2f", ValueLine::Float}};
constexpr CameraWrite kGammaWrite[] = {{PropGamma, "Could not set Gamma: %d",
                                        "PIXORA QUORVEL DRIVER: Gamma has been changed in camera.",
                                        "Value gamma: %.2f", ValueLine::Float}};

constexpr RangeRule fixed(const char* message, float value) { return {message, true, Fallback::Fixed, value}; }

constexpr RangeRule kBrightnessRange =
    fixed("Brightness value needs to be between %d and %d. Setting brightness to 0.", 0.0f);
constexpr RangeRule kContrastRange =
    fixed("Contrast value needs to be between %d and %d. Setting contrast to -80.", -80.0f);
constexpr RangeRule kHueRange = fixed("Hue value needs to be between %d and %d. Setting hue to 0.", 0.0f);
constexpr RangeRule kSaturationRange =
    fixed("Saturation value needs to be between %d and %d. Setting saturation to 0.", 0.0f);
constexpr RangeRule kGainRange{"Global gain value needs to be between %f and %f.", false,
                               Fallback::PreviousIntoRange, 0.0f};
constexpr RangeRule kGammaPreviewRange{"Gamma value needs to be between %f and %f. Setting gamma to 1.0.", false,
                                       Fallback::Fixed, 1.0f};
constexpr RangeRule kGammaAcquireRange = fixed("Gamma value needs to be between %d and %d. Setting gamma to 1.0.", 1.0f);

const Member kMembers[] = {
    {Section::Brightness,
     {NumericProperty::Brightness, kControls, true, 100, 0.01, 1.0f, kBrightnessRange, kBrightnessRange,
      kBrightnessWrite, false, false, TrackbarLine::MessageAndHandle},
     true, 0.0f},
    {Section::Contrast,
     {NumericProperty::Contrast, kControls, true, 100, 0.01, 1.0f, kContrastRange, kContrastRange, kContrastWrite,
      true, false, TrackbarLine::None},
     false, 0.0f},
    {Section::Hue,
     {NumericProperty::Hue, kControls, true, 100, 0.01, 1.0f, kHueRange, kHueRange, kHueWrite, false, false,
      TrackbarLine::None},
     true, 0.0f},
    {Section::Saturation,
     {NumericProperty::Saturation, kControls, true, 100, 0.01, 1.0f, kSaturationRange, kSaturationRange,
      kSaturationWrite, false, true, TrackbarLine::None},
     false, 0.0f},
    {Section::GlobalGain,
     {NumericProperty::GlobalGain, kControls, false, 100, 0.01, 0.01f, kGainRange, kGainRange, kGainWrite, false,
      false, TrackbarLine::None},
     false, 1.0f},
    {Section::Gamma,
     {NumericProperty::Gamma, kControls, false, 500, 0.002, 0.01f, kGammaPreviewRange, kGammaAcquireRange,
      kGammaWrite, false, false, TrackbarLine::Position},
     false, 1.0f},
};

const Member& memberOf(Section section) {
  for (const Member& m : kMembers)
    if (m.section == section) return m;
  return kMembers[0];
}

float defaultOf(const OptionsWindow& options, const Member& m) {
  return m.defaultFromCamera ? options.state().pair(m.pair.property).cameraDefault : m.fixedDefault;
}

template <Section S>
void initialise(OptionsWindow& options, Window panel) {
  const Member& m = memberOf(S);
  showPair(options, panel, m.pair);
  setChecked(panel, kNumericLock, options.state().pair(m.pair.property).locked);
  panelOpened(options, S, panel);
}

template <Section S>
std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  const Member& m = memberOf(S);
  const int id = commandId(wParam);
  if (pairCommand(options, panel, m.pair, id, platform::hiWord(wParam))) return 1;
  if (!isClick(wParam)) return 0;
  switch (id) {
    case kInitialize:
      resetPair(options, panel, m.pair, defaultOf(options, m));
      return 1;
    case kPanelCancel:
      // The camera gets the opening's preview value back before the panel goes.
      restorePair(options, m.pair);
      writePreviewEdit(panel, m.pair, options.state().pair(m.pair.property).preview);
      closePanelItself(options, S);
      return 1;
    case kPanelClose:
      closePanelItself(options, S);
      return 1;
    default:
      return 0;
  }
}

// Id 2 is Initialize here, so the close box is handled by the panel (as
// Close) rather than left to become a press of id 2.
template <Section S>
std::intptr_t panelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{S, &initialise<S>, &command<S>, nullptr};
  if (message == platform::WM_HSCROLL || message == platform::WM_VSCROLL) {
    OptionsWindow* options = optionsWindowOf(panel);
    if (options == nullptr) return 0;
    return pairScroll(*options, panel, memberOf(S).pair, message, wParam, lParam) ? 1 : 0;
  }
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace

platform::DialogProc numericPanelProc(Section section) {
  switch (section) {
    case Section::Brightness: return &panelProc<Section::Brightness>;
    case Section::Contrast: return &panelProc<Section::Contrast>;
    case Section::Hue: return &panelProc<Section::Hue>;
    case Section::Saturation: return &panelProc<Section::Saturation>;
    case Section::GlobalGain: return &panelProc<Section::GlobalGain>;
    case Section::Gamma: return &panelProc<Section::Gamma>;
    default: return nullptr;
  }
}

} // namespace vx
