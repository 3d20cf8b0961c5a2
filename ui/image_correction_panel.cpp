#include "ui/image_correction_panel.h"

#include "camera/image_correction.h"
#include "camera/snapshot.h"
#include "ui/dialog_binding.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui/panel_lifecycle.h"

namespace vx {
namespace {

constexpr const char* kLightSources[] = {"No correction", "Tungsten/Halogen", "Daylight", "Fluorescent"};
constexpr const char* kFrequencies[] = {"None / DC", "50 Hz", "60 Hz"};

void initialise(DriverState& state, Window panel) {
  for (const char* name : kLightSources) platform::comboAddString(panel, kCorrectionLightSource, name);
  for (const char* name : kFrequencies) platform::comboAddString(panel, kCorrectionFrequency, name);
  platform::comboSetCurSel(panel, kCorrectionLightSource, state.lightSource);
  platform::comboSetCurSel(panel, kCorrectionFrequency, state.flickerMode);

  state.correctionPanelLightSource = state.lightSource;
  state.correctionPanelFlicker = state.flickerMode;
  setColourCorrection(state, state.lightSource);

  setChecked(panel, kCorrectionUseBackground, state.backgroundChecked);
  setChecked(panel, kCorrectionUseDark, state.darkFrameChecked);

  platform::setDlgItemText(panel, kCorrectionDarkStatus,
                           state.darkFrameStored != 0 ? "Dark frame stored" : "No frame taken");
  platform::setDlgItemText(panel, kCorrectionBackgroundStatus,
                           state.backgroundStored != 0 ? "Calculated." : "No frame taken");
  panelOpened(state, Section::ImageCorrection, panel);
}

void press(Window panel, int id) {
  platform::sendMessage(panel, platform::WM_COMMAND, platform::makeWParam(static_cast<unsigned>(id), platform::BN_CLICKED),
                        reinterpret_cast<std::intptr_t>(platform::dialogItem(panel, id)));
}

void backgroundClicked(DriverState& state, Window panel) {
  if (checkedFlag(panel, kCorrectionUseBackground) == 0) {
    disableBackgroundCorrection(state);
    return;
  }
  if (state.backgroundStored == 0) press(panel, kCorrectionGrabBackground);
  if (state.backgroundStored == 0) {
    setChecked(panel, kCorrectionUseBackground, 0);
    return;
  }
  // A callback that a Cancel left registered is removed first, so that the
  // factors are never applied twice to one frame.
  if (state.backgroundCallbackId != -1 || state.backgroundCorrectionOn != 0) disableBackgroundCorrection(state);
  enableBackgroundCorrection(state);
}

void darkClicked(DriverState& state, Window panel) {
  if (checkedFlag(panel, kCorrectionUseDark) == 0) {
    disableDarkSubtraction(state);
    return;
  }
  if (state.darkFrameStored == 0) press(panel, kCorrectionGrabDark);
  if (state.darkFrameStored == 0) {
    setChecked(panel, kCorrectionUseDark, 0);
    return;
  }
  // As above: never two subtractions of one frame.
  if (state.darkCallbackId != -1 || state.darkSubtractionOn != 0) disableDarkSubtraction(state);
  enableDarkSubtraction(state);
}

// Close keeps the check boxes as the stored choice; both switches follow it.
void closePanel(DriverState& state, Window panel) {
  state.backgroundChecked = checkedFlag(panel, kCorrectionUseBackground);
  state.darkFrameChecked = checkedFlag(panel, kCorrectionUseDark);
  state.darkSubtractionOn = state.darkFrameChecked;
  state.backgroundCorrectionOn = state.backgroundChecked;
  closePanelItself(state, Section::ImageCorrection);
}

// Cancel returns to the light source and frequency of the opening and to the
// switches of the last Close. The restored light source's matrix reaches the
// camera at the next opening.
void cancelPanel(DriverState& state) {
  state.lightSource = state.correctionPanelLightSource;
  state.flickerMode = state.correctionPanelFlicker;
  state.darkSubtractionOn = state.darkFrameChecked;
  state.backgroundCorrectionOn = state.backgroundChecked;
  closePanelItself(state, Section::ImageCorrection);
}

std::intptr_t command(DriverState& state, Window panel, std::uintptr_t wParam) {
  const int id = commandId(wParam);
  const unsigned code = platform::hiWord(wParam);
  if (code == platform::CBN_SELCHANGE) {
    const int index = platform::comboGetCurSel(panel, id);
    if (index < 0) return 0;
    if (id == kCorrectionLightSource) {
      state.lightSource = index;
      setColourCorrection(state, index);
      return 1;
    }
    if (id == kCorrectionFrequency) {
      state.flickerMode = index;
      return 1;
    }
    return 0;
  }
  if (code != platform::BN_CLICKED) return 0;
  switch (id) {
    case kCorrectionUseBackground: backgroundClicked(state, panel); return 1;
    case kCorrectionUseDark: darkClicked(state, panel); return 1;
    case kCorrectionGrabDark: grabDarkFrame(state); return 1;
    case kCorrectionGrabBackground: grabBackground(state); return 1;
    case kPanelClose: closePanel(state, panel); return 1;
    case kPanelCancel: cancelPanel(state); return 1;
    default: return 0;
  }
}

} // namespace

std::intptr_t imageCorrectionPanelProc(Window panel, unsigned message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::ImageCorrection, &initialise, &command, &closePanel};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
