#include "image_correction_panel.h"

#include "camera/image_correction.h"
#include "camera/snapshot.h"
#include "panel_lifecycle.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

namespace vx {
namespace {

constexpr const char* kLightSources[] = {"No correction", "Tungsten/Halogen", "Daylight", "Fluorescent"};
constexpr const char* kFrequencies[] = {"None / DC", "50 Hz", "60 Hz"};

void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  for (const char* name : kLightSources) platform::comboAddString(panel, kCorrectionLightSource, name);
  for (const char* name : kFrequencies) platform::comboAddString(panel, kCorrectionFrequency, name);
  platform::comboSetCurSel(panel, kCorrectionLightSource, state.lightSource);
  platform::comboSetCurSel(panel, kCorrectionFrequency, state.flickerMode);

  options.correctionPanelLightSource = state.lightSource;
  options.correctionPanelFlicker = state.flickerMode;
  setColourCorrection(options.camera(), state.lightSource);

  setChecked(panel, kCorrectionUseBackground, options.backgroundChecked);
  setChecked(panel, kCorrectionUseDark, options.darkFrameChecked);

  platform::setDlgItemText(panel, kCorrectionDarkStatus,
                           state.darkFrameStored != 0 ? "Dark frame stored" : "No frame taken");
  platform::setDlgItemText(panel, kCorrectionBackgroundStatus,
                           state.backgroundStored != 0 ? "Calculated." : "No frame taken");
  panelOpened(options, Section::ImageCorrection, panel);
}

void backgroundClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  if (checkedFlag(panel, kCorrectionUseBackground) == 0) {
    disableBackgroundCorrection(camera);
    return;
  }
  if (state.backgroundStored == 0) pressButton(panel, kCorrectionGrabBackground);
  if (state.backgroundStored == 0) {
    setChecked(panel, kCorrectionUseBackground, 0);
    return;
  }
  // A callback that a Cancel left registered is removed first, so that the
  // factors are never applied twice to one frame.
  if (camera.backgroundCallbackId != -1 || state.backgroundCorrectionOn != 0) disableBackgroundCorrection(camera);
  enableBackgroundCorrection(camera, panel);
}

void darkClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  if (checkedFlag(panel, kCorrectionUseDark) == 0) {
    disableDarkSubtraction(camera);
    return;
  }
  if (state.darkFrameStored == 0) pressButton(panel, kCorrectionGrabDark);
  if (state.darkFrameStored == 0) {
    setChecked(panel, kCorrectionUseDark, 0);
    return;
  }
  // As above: never two subtractions of one frame.
  if (camera.darkCallbackId != -1 || state.darkSubtractionOn != 0) disableDarkSubtraction(camera);
  enableDarkSubtraction(camera, panel);
}

// Close keeps the check boxes as the stored choice; both switches follow it.
void closePanel(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  options.backgroundChecked = checkedFlag(panel, kCorrectionUseBackground);
  options.darkFrameChecked = checkedFlag(panel, kCorrectionUseDark);
  state.darkSubtractionOn = options.darkFrameChecked;
  state.backgroundCorrectionOn = options.backgroundChecked;
  closePanelItself(options, Section::ImageCorrection);
}

// Cancel returns to the light source and frequency of the opening and to the
// switches of the last Close. The restored light source's matrix reaches the
// camera at the next opening.
void cancelPanel(OptionsWindow& options) {
  DriverState& state = options.state();
  state.lightSource = options.correctionPanelLightSource;
  state.flickerMode = options.correctionPanelFlicker;
  state.darkSubtractionOn = options.darkFrameChecked;
  state.backgroundCorrectionOn = options.backgroundChecked;
  closePanelItself(options, Section::ImageCorrection);
}

std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  DriverState& state = options.state();
  const int id = commandId(wParam);
  const unsigned code = platform::hiWord(wParam);
  if (code == platform::CBN_SELCHANGE) {
    const int index = platform::comboGetCurSel(panel, id);
    if (index < 0) return 0;
    if (id == kCorrectionLightSource) {
      state.lightSource = index;
      setColourCorrection(options.camera(), index);
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
    case kCorrectionUseBackground: backgroundClicked(options, panel); return 1;
    case kCorrectionUseDark: darkClicked(options, panel); return 1;
    case kCorrectionGrabDark: grabDarkFrame(options.camera(), panel); return 1;
    case kCorrectionGrabBackground: grabBackground(options.camera(), panel); return 1;
    case kPanelClose: closePanel(options, panel); return 1;
    case kPanelCancel: cancelPanel(options); return 1;
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
