// The options window as the panel view: what the camera layer's changes
// write into an open panel. Each route writes only while its section's
// panel is open, and says whether it was.
#include "ui/options_window.h"

#include "base/debug_log.h"
#include "exposure_fields.h"
#include "exposure_panel.h"
#include "panel_lifecycle.h"
#include "panel_numbers.h"
#include "resolution_panel.h"
#include "ui/panel_ids.h"

#include <cstdio>

namespace vx {
namespace {

// Where a numeric property is shown: its panel's edits and lock check box.
struct PropertyControls {
  Section section;
  int previewEdit;
  int acquireEdit;
  int lockBox;
  bool integerEdit;  // "%d" of the truncated value, else "%.2f"
};

PropertyControls controlsOf(NumericProperty property) {
  switch (property) {
    case NumericProperty::Brightness:
      return {Section::Brightness, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, true};
    case NumericProperty::Contrast:
      return {Section::Contrast, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, true};
    case NumericProperty::Hue: return {Section::Hue, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, true};
    case NumericProperty::Saturation:
      return {Section::Saturation, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, true};
    case NumericProperty::Gamma:
      return {Section::Gamma, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, false};
    case NumericProperty::GlobalGain:
      return {Section::GlobalGain, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, false};
    case NumericProperty::RedGain:
      return {Section::WhiteBalance, kWhiteBalanceRedPreview, kWhiteBalanceRedAcquire, kWhiteBalanceRedLock, false};
    case NumericProperty::GreenGain:
      return {Section::WhiteBalance, kWhiteBalanceGreenPreview, kWhiteBalanceGreenAcquire, kWhiteBalanceGreenLock,
              false};
    case NumericProperty::BlueGain:
      return {Section::WhiteBalance, kWhiteBalanceBluePreview, kWhiteBalanceBlueAcquire, kWhiteBalanceBlueLock,
              false};
  }
  return {Section::Brightness, kNumericPreviewEdit, kNumericAcquireEdit, kNumericLock, true};
}

// A host's value of any size (or NaN) gives a defined text; the panel's
// range check then deals with it.
void writeEdit(Window panel, int id, bool integer, float value) {
  platform::setDlgItemText(panel, id, formatValue(value, integer).data());
}

void writeNumber(Window panel, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  platform::setDlgItemText(panel, id, text);
}

void writeTwoDecimals(Window panel, int id, float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  platform::setDlgItemText(panel, id, text);
}

} // namespace

// ---- numeric property panels -----------------------------------------------------------

bool OptionsWindow::setPreviewValue(NumericProperty property, float value) {
  const PropertyControls c = controlsOf(property);
  Window panel = openPanel(c.section);
  if (panel == nullptr) return false;
  panelBackup(property).preview = value;
  writeEdit(panel, c.previewEdit, c.integerEdit, value);
  return true;
}

bool OptionsWindow::setAcquireValue(NumericProperty property, float value) {
  const PropertyControls c = controlsOf(property);
  Window panel = openPanel(c.section);
  if (panel == nullptr) return false;
  panelBackup(property).acquire = value;
  writeEdit(panel, c.acquireEdit, c.integerEdit, value);
  return true;
}

bool OptionsWindow::setLockBox(NumericProperty property, std::int32_t locked) {
  const PropertyControls c = controlsOf(property);
  Window panel = openPanel(c.section);
  if (panel == nullptr) return false;
  setChecked(panel, c.lockBox, locked);
  return true;
}

bool OptionsWindow::showSaturation(float preview) {
  Window panel = openPanel(Section::Saturation);
  if (panel == nullptr) return false;
  writeEdit(panel, kNumericPreviewEdit, true, preview);
  return true;
}

// ---- exposure panel -------------------------------------------------------------------------

// The preview exposure is taken in by the panel, which writes it to the
// camera (and, under the lock, copies it to the acquisition exposure). The
// acquisition fields then show the acquisition exposure as it stands now:
// the value passed may be the one the lock has just replaced, and taking
// it in would copy it back over the new preview exposure.
bool OptionsWindow::showExposures(float preview, float /*acquire*/) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  showPreviewExposureFields(*this, panel, preview);
  showAcquireExposureQuietly(*this, panel, state_.exposure.acquire);
  return true;
}

bool OptionsWindow::showPreviewExposure(float preview) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  showPreviewExposureFields(*this, panel, preview);
  return true;
}

bool OptionsWindow::setAcquireExposure(float acquire) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  // The panel ignores its own field notifications while its update flag is
  // set; the second write lets it take the value in.
  exposureEditState = 1;
  writeExposureFields(panel, kAcquireExposureFields, acquire);
  exposureEditState = 0;
  writeExposureFields(panel, kAcquireExposureFields, acquire);
  return true;
}

bool OptionsWindow::setExposureLockBox(std::int32_t locked) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  setChecked(panel, kExposureLock, locked);
  return true;
}

bool OptionsWindow::setBrightnessTarget(float target) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  exposurePanelTarget = target;
  writeNumber(panel, kExposureBrightnessTarget, truncateToInt(target));
  return true;
}

bool OptionsWindow::switchCameraAutoExposure(std::int32_t on) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  setChecked(panel, kExposureUseAuto, on);
  pressButton(panel, kExposureUseAuto);
  return true;
}

bool OptionsWindow::showFrameRates(float current, std::span<const float> rates) {
  Window panel = openPanel(Section::Exposure);
  if (panel == nullptr) return false;
  platform::comboResetContent(panel, kExposureFrameRate);
  writeTwoDecimals(panel, kExposureFrameRate, current);
  for (float rate : rates) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(rate));
    platform::comboAddString(panel, kExposureFrameRate, text);
  }
  return true;
}

// ---- white balance panel -----------------------------------------------------------------------

bool OptionsWindow::showWhiteBalanceGains(float red, float green, float blue) {
  Window panel = openPanel(Section::WhiteBalance);
  if (panel == nullptr) return false;
  writeTwoDecimals(panel, kWhiteBalanceRedPreview, red);
  writeTwoDecimals(panel, kWhiteBalanceGreenPreview, green);
  writeTwoDecimals(panel, kWhiteBalanceBluePreview, blue);
  return true;
}

// ---- resolution panel -----------------------------------------------------------------------------

bool OptionsWindow::showPreviewOffsets(std::optional<std::int32_t> x, std::optional<std::int32_t> y) {
  Window panel = openPanel(Section::Resolution);
  if (panel == nullptr) return false;
  if (x) writeNumber(panel, kResolutionOffsetX, *x);
  if (y) writeNumber(panel, kResolutionOffsetY, *y);
  return true;
}

bool OptionsWindow::showPreviewGeometry(const CaptureRegion& preview) {
  Window panel = openPanel(Section::Resolution);
  if (panel == nullptr) return false;
  platform::comboSetCurSel(panel, kResolutionPreviewList, preview.index);
  refreshPreviewFields(preview);
  showSampling(panel, preview.factorX, preview.binningX, preview.factorY, preview.binningY);
  return true;
}

bool OptionsWindow::refreshPreviewFields(const CaptureRegion& preview) {
  Window panel = openPanel(Section::Resolution);
  if (panel == nullptr) return false;
  writeNumber(panel, kResolutionWidth, preview.width);
  writeNumber(panel, kResolutionHeight, preview.height);
  writeNumber(panel, kResolutionOffsetX, preview.offsetX);
  writeNumber(panel, kResolutionOffsetY, preview.offsetY);
  return true;
}

bool OptionsWindow::showDisplaySize(const DisplaySize& display) {
  Window panel = openPanel(Section::Resolution);
  if (panel == nullptr) return false;
  platform::comboSetCurSel(panel, kResolutionWindowList, display.index);
  writeNumber(panel, kResolutionWindowWidth, display.width);
  writeNumber(panel, kResolutionWindowHeight, display.height);
  return true;
}

bool OptionsWindow::showAcquisitionMode(const CaptureRegion& acquisition) {
  Window panel = openPanel(Section::Resolution);
  if (panel == nullptr) return false;
  platform::comboSetCurSel(panel, kResolutionCaptureList, acquisition.index);
  return true;
}

// ---- mirror panel -------------------------------------------------------------------------------------

bool OptionsWindow::setMirrorBoxes(std::int32_t horizontal, std::int32_t vertical) {
  Window panel = openPanel(Section::Mirror);
  if (panel == nullptr) return false;
  if (horizontal == 1) setChecked(panel, kMirrorHorizontal, 1);
  if (vertical == 1) setChecked(panel, kMirrorVertical, 1);
  return true;
}

// ---- image correction panel --------------------------------------------------------------------------

bool OptionsWindow::selectLightSource(std::int32_t index) {
  Window panel = openPanel(Section::ImageCorrection);
  if (panel == nullptr) return false;
  correctionPanelLightSource = index;
  platform::comboSetCurSel(panel, kCorrectionLightSource, index);
  return true;
}

bool OptionsWindow::selectFlickerMode(std::int32_t index) {
  Window panel = openPanel(Section::ImageCorrection);
  if (panel == nullptr) return false;
  correctionPanelFlicker = index;
  platform::comboSetCurSel(panel, kCorrectionFrequency, index);
  return true;
}

bool OptionsWindow::showFrameStored(CorrectionFrame frame) {
  Window panel = openPanel(Section::ImageCorrection);
  if (panel == nullptr) return false;
  if (frame == CorrectionFrame::Dark)
    platform::setDlgItemText(panel, kCorrectionDarkStatus, "Dark frame stored");
  else
    platform::setDlgItemText(panel, kCorrectionBackgroundStatus, "Calculated.");
  return true;
}

bool OptionsWindow::showFrameDiscarded(CorrectionFrame frame) {
  Window panel = openPanel(Section::ImageCorrection);
  if (panel == nullptr) return false;
  const bool dark = frame == CorrectionFrame::Dark;
  platform::setDlgItemText(panel, dark ? kCorrectionDarkStatus : kCorrectionBackgroundStatus, "No frame taken");
  setChecked(panel, dark ? kCorrectionUseDark : kCorrectionUseBackground, 0);
  return true;
}

// ---- overlay panel ------------------------------------------------------------------------------------

bool OptionsWindow::setOverlayOptions(const OverlayOptions& options) {
  Window panel = openPanel(Section::Overlay);
  if (panel == nullptr) return false;
  setChecked(panel, kOverlayUse, options.on);
  setChecked(panel, kOverlayOnPreview, options.onPreview);
  setChecked(panel, kOverlayOnCapture, options.onCapture);
  for (const auto& row : kOverlayPosition)
    for (int id : row) setChecked(panel, id, 0);
  if (options.row >= 0 && options.row <= 2 && options.column >= 0 && options.column <= 2)
    setChecked(panel, kOverlayPosition[options.row][options.column], 1);
  pressButton(panel, kOverlayUse);
  return true;
}

bool OptionsWindow::setAlphaOptions(const AlphaOptions& options) {
  Window panel = openPanel(Section::Overlay);
  if (panel == nullptr) return false;
  setChecked(panel, kOverlayUseAlpha, options.on);
  setChecked(panel, kOverlayAlphaValueRadio, 0);
  setChecked(panel, kOverlayAlphaFromBitmap, 0);
  setChecked(panel, options.fromValue != 0 ? kOverlayAlphaValueRadio : kOverlayAlphaFromBitmap, 1);
  overlayPanel.alpha.value = options.value;
  writeNumber(panel, kOverlayAlphaValue, static_cast<int>(options.value));
  pressButton(panel, kOverlayApply);
  pressButton(panel, kOverlayUseAlpha);
  return true;
}

} // namespace vx
