#include "white_balance_panel.h"

#include "base/debug_log.h"
#include "camera/camera_session.h"
#include "camera/one_shot.h"
#include "camera/property_scale.h"
#include "panel_lifecycle.h"
#include "property_pair_controls.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

namespace vx {
namespace {

constexpr int kInitialize = 2;
constexpr int kGlobalWhiteBalance = 1090;
constexpr int kSpotWhiteBalance = 1067;
constexpr float kGainDefault = 1.0f;

// A typed preview gain out of range returns to the previous one, pulled into
// the range; an acquisition gain returns to the previous one as it is.
constexpr RangeRule kPreviewRange{"Gain values needs to be between %f and %f.", false, Fallback::PreviousIntoRange,
                                  0.0f};
constexpr RangeRule kAcquireRange{"Gain values needs to be between %f and %f.", false, Fallback::Previous, 0.0f};

constexpr CameraWrite kRedWrite[] = {{PropGainRed, "Could not set red gain: %d",
                                      "PIXORA QUORVEL DRIVER: Red gain has been changed in camera.",
                                      "Value red gain: %.2f", ValueLine::Float}};
// The sensor's two green sites take the same gain, one after the other.
constexpr CameraWrite kGreenWrites[] = {
    {PropGainGreen1, "Could not set green gain: %d", "PIXORA QUORVEL DRIVER: Green gain has been changed in camera.",
     "Value green gain: %d", ValueLine::Integer},
    {PropGainGreen2, "Could not set green gain2: %d", "PIXORA QUORVEL DRIVER: Green gain2 has been changed in camera.",
     "Value green gain 2: %d", ValueLine::Integer}};
constexpr CameraWrite kBlueWrite[] = {{PropGainBlue, "Could not set blue gain: %d",
                                       "PIXORA QUORVEL DRIVER: Blue gain has been changed in camera.",
                                       "Value blue gain: %f", ValueLine::Float}};

constexpr PairTraits channel(NumericProperty property, PairControls controls, std::span<const CameraWrite> writes) {
  return PairTraits{property, controls, false, 100, 0.01, 0.01f, kPreviewRange, kAcquireRange, writes, false, false,
                  TrackbarLine::None};
}

// Red, green, blue: the order in which the panel writes them.
const PairTraits kChannels[] = {
    channel(NumericProperty::RedGain,
            {1071, 1091, kWhiteBalanceRedLock, kWhiteBalanceRedPreview, kWhiteBalanceRedAcquire, 1094, 1095},
            kRedWrite),
    channel(NumericProperty::GreenGain,
            {1072, 1077, kWhiteBalanceGreenLock, kWhiteBalanceGreenPreview, kWhiteBalanceGreenAcquire, 1079, 1080},
            kGreenWrites),
    channel(NumericProperty::BlueGain,
            {1081, 1086, kWhiteBalanceBlueLock, kWhiteBalanceBluePreview, kWhiteBalanceBlueAcquire, 1088, 1089},
            kBlueWrite),
};

const PropertyPair& pairOf(const OptionsWindow& options, const PairTraits& traits) {
  return options.state().pair(traits.property);
}

void initialise(OptionsWindow& options, Window panel) {
  for (const PairTraits& traits : kChannels) showPair(options, panel, traits);
  for (const PairTraits& traits : kChannels) setChecked(panel, traits.controls.lock, pairOf(options, traits).locked);
  panelOpened(options, Section::WhiteBalance, panel);
}

void initialiseGains(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  for (const PairTraits& traits : kChannels) {
    PropertyPair& pair = state.pair(traits.property);
    pair.preview = pair.acquire = kGainDefault;
  }
  for (const PairTraits& traits : kChannels) {
    writePreviewEdit(panel, traits, kGainDefault);
    writeAcquireEdit(panel, traits, kGainDefault);
  }
}

void writePreviewGains(const OptionsWindow& options, Window panel) {
  for (const PairTraits& traits : kChannels) writePreviewEdit(panel, traits, pairOf(options, traits).preview);
}

// Reads a gain the camera reached into its preview value; a failed read is
// reported and leaves the value.
void readBack(OptionsWindow& options, int property, PropertyPair& pair, const char* failure) {
  const DriverState& state = options.state();
  float value = 0.0f;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(options.camera().handle(), property, &value, &flags) != 0)
    pair.preview = userFromCamera(pair, value);
  else
    messageBoxf(state.optionsParent, "ERROR", failure, static_cast<int>(VarcamGetLastError()));
}

// The camera balances the whole preview image; the gains it reached become
// the preview gains, and their edits send them back to the camera and to
// locked acquisition gains.
void globalWhiteBalance(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  // A preview factor of 0 would divide by zero; it counts as 1.
  const int width = state.preview.width / (state.preview.factorX != 0 ? state.preview.factorX : 1);
  const int height = state.preview.height / (state.preview.factorY != 0 ? state.preview.factorY : 1);
  oneShotWhiteBalance(options.camera(), 0, height, 0, width);
  readBack(options, PropGainRed, state.redGain, "Could not get red gain: %d");
  if (state.model.greenGainAvailable != 0)
    readBack(options, PropGainGreen1, state.greenGain, "Could not get green gain: %d");
  readBack(options, PropGainBlue, state.blueGain, "Could not get blue gain: %d");
  writePreviewGains(options, panel);
}

void cancel(OptionsWindow& options, Window panel) {
  for (const PairTraits& traits : kChannels) restorePair(options, traits);
  writePreviewGains(options, panel);
  closePanelItself(options, Section::WhiteBalance);
}

std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  const int id = commandId(wParam);
  for (const PairTraits& traits : kChannels)
    if (pairCommand(options, panel, traits, id, platform::hiWord(wParam))) return 1;
  if (!isClick(wParam)) return 0;
  switch (id) {
    case kInitialize: initialiseGains(options, panel); return 1;
    case kGlobalWhiteBalance: globalWhiteBalance(options, panel); return 1;
    case kSpotWhiteBalance:
      platform::messageBox(panel, "Spot White Balance not implemented yet.", "VARNEX DRIVER", platform::MB_OK);
      return 1;
    case kPanelCancel: cancel(options, panel); return 1;
    case kPanelClose: closePanelItself(options, Section::WhiteBalance); return 1;
    default: return 0;
  }
}

} // namespace

// Id 2 is Initialize here, so the close box is handled by the panel (as
// Close) rather than left to become a press of id 2.
std::intptr_t whiteBalancePanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::WhiteBalance, &initialise, &command, nullptr};
  if (message == platform::WM_HSCROLL || message == platform::WM_VSCROLL) {
    OptionsWindow* options = optionsWindowOf(panel);
    if (options == nullptr) return 0;
    for (const PairTraits& traits : kChannels)
      if (pairScroll(*options, panel, traits, message, wParam, lParam)) return 1;
    return 0;
  }
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
