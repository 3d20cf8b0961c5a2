#include "overlay_panel.h"

#include "camera/camera_session.h"
#include "engines/preview_overlay.h"
#include "panel_lifecycle.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

#include <cmath>
#include <cstdio>

namespace vx {
namespace {

constexpr unsigned kPathMustExist = 0x00000800;  // OFN_PATHMUSTEXIST
constexpr const char kBitmapFilter[] = "bitmap files (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0";
constexpr const char* kSizeMismatch = "The alpha blending file size does not match with the overlay file size.";
constexpr const char* kInvalidFile = "Invalid file.";

bool validGridIndex(std::int32_t i) { return i >= 0 && i <= 2; }

void writeAlphaValue(Window panel, float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  platform::setDlgItemText(panel, kOverlayAlphaValue, text);
}

// The alpha edit as a number. A text that is not a finite number gives no
// value, and the caller keeps the one it has.
bool readAlphaValue(Window panel, float& value) {
  char text[64];
  platform::getDlgItemText(panel, kOverlayAlphaValue, text, static_cast<int>(sizeof text));
  float parsed = 0.0f;
  if (std::sscanf(text, "%f", &parsed) != 1 || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  options.overlayPanel.overlay.on = state.overlayOn;
  options.overlayPanel.overlay.onPreview = state.overlayOnPreview;
  options.overlayPanel.overlay.onCapture = state.overlayOnCapture;
  options.overlayPanel.overlay.column = state.overlayColumn;
  options.overlayPanel.overlay.row = state.overlayRow;
  options.overlayPanel.overlayFilePath = state.overlayFilePath;
  options.overlayPanel.alphaFilePath = state.alphaFilePath;
  options.overlayPanel.alpha.on = state.alphaOn;
  options.overlayPanel.alpha.fromValue = state.alphaFromValue;
  options.overlayPanel.alpha.value = state.alphaValue;

  setChecked(panel, kOverlayUse, state.overlayOn);
  setChecked(panel, kOverlayOnPreview, state.overlayOnPreview);
  setChecked(panel, kOverlayOnCapture, state.overlayOnCapture);
  // A position outside the grid (from a settings file) checks no radio.
  if (validGridIndex(state.overlayRow) && validGridIndex(state.overlayColumn))
    setChecked(panel, kOverlayPosition[state.overlayRow][state.overlayColumn], 1);
  platform::setDlgItemText(panel, kOverlayFileName, state.overlayFilePath.c_str());

  setChecked(panel, kOverlayUseAlpha, state.alphaOn);
  setChecked(panel, state.alphaFromValue == 1 ? kOverlayAlphaValueRadio : kOverlayAlphaFromBitmap, 1);
  writeAlphaValue(panel, state.alphaValue);
  platform::setDlgItemText(panel, kOverlayAlphaFileName, state.alphaFilePath.c_str());
  panelOpened(options, Section::Overlay, panel);
}

void switchesClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  state.overlayOn = checkedFlag(panel, kOverlayUse);
  state.overlayOnPreview = checkedFlag(panel, kOverlayOnPreview);
  state.overlayOnCapture = checkedFlag(panel, kOverlayOnCapture);
  PreviewOverlay* overlay = camera.previewOverlay();
  if (overlay == nullptr) return;
  if (state.overlayOn != 0 && state.overlayOnPreview != 0)
    overlay->startPreviewBlending();
  else
    overlay->stopPreviewBlending();
}

// The file-open dialog for a bitmap; false when the user cancels.
bool chooseBitmap(Window panel, const char* title, char (&path)[kPathSize]) {
  path[0] = '\0';
  platform::OpenFileRequest request;
  request.owner = panel;
  request.filter = kBitmapFilter;
  request.title = title;
  request.initialDirectory = "c:\\GARBAGE\\";
  request.flags = kPathMustExist | platform::OFN_FILEMUSTEXIST;
  return platform::getOpenFileName(request, path, sizeof path);
}

void openOverlayFile(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  char path[kPathSize];
  if (!chooseBitmap(panel, "Open bitmap overlay file", path)) return;
  PreviewOverlay* overlay = camera.previewOverlay();
  const int result = overlay != nullptr ? overlay->loadOverlayBitmap(path) : -1;
  state.overlayFilePath.assign(path);
  if (result == 0) {
    platform::messageBox(panel, kSizeMismatch, "ERROR", platform::MB_OK);
    state.alphaFilePath.assign(kInvalidFile);
    platform::setDlgItemText(panel, kOverlayAlphaFileName, state.alphaFilePath.c_str());
  } else if (result != 1) {
    state.overlayFilePath.clear();
  }
  platform::setDlgItemText(panel, kOverlayFileName, state.overlayFilePath.c_str());
}

void openAlphaFile(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  char path[kPathSize];
  if (!chooseBitmap(panel, "Open alpha blending bitmap file", path)) return;
  PreviewOverlay* overlay = camera.previewOverlay();
  const int result = overlay != nullptr ? overlay->loadAlphaBitmap(path) : -1;
  state.alphaFilePath.assign(path);
  if (result == 0) {
    platform::messageBox(panel, kSizeMismatch, "ERROR", platform::MB_OK);
    state.alphaFilePath.assign(kInvalidFile);
  } else if (result != 1) {
    state.alphaFilePath.clear();
  }
  platform::setDlgItemText(panel, kOverlayAlphaFileName, state.alphaFilePath.c_str());
}

void alphaSwitchesClicked(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  state.alphaOn = checkedFlag(panel, kOverlayUseAlpha);
  state.alphaFromValue = checkedFlag(panel, kOverlayAlphaValueRadio);
  PreviewOverlay* overlay = camera.previewOverlay();
  if (overlay == nullptr) return;
  if (state.alphaOn != 0)
    overlay->setAlphaMode(state.alphaFromValue);
  else
    overlay->alphaOff();
}

void applyAlphaValue(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  float value = state.alphaValue;
  readAlphaValue(panel, value);
  if (value < 0.0f) value = 0.0f;
  if (value > 100.0f) value = 100.0f;
  writeAlphaValue(panel, value);
  state.alphaValue = value;
  if (PreviewOverlay* overlay = camera.previewOverlay()) overlay->setAlphaValue(value);
}

// The position radio's row and column; false for another control.
bool positionOf(int id, std::int32_t& row, std::int32_t& column) {
  for (std::int32_t r = 0; r < 3; ++r) {
    for (std::int32_t c = 0; c < 3; ++c) {
      if (kOverlayPosition[r][c] == id) {
        row = r;
        column = c;
        return true;
      }
    }
  }
  return false;
}

void positionClicked(OptionsWindow& options, std::int32_t row, std::int32_t column) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  state.overlayRow = row;
  state.overlayColumn = column;
  if (PreviewOverlay* overlay = camera.previewOverlay()) overlay->setPlacement(column, row);
}

// Close takes the panel's controls as the settings; nothing is sent to the
// overlay object here.
void closePanel(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  bool found = false;
  for (std::int32_t r = 0; r < 3 && !found; ++r) {
    for (std::int32_t c = 0; c < 3 && !found; ++c) {
      if (checkedFlag(panel, kOverlayPosition[r][c]) != 0) {
        state.overlayRow = r;
        state.overlayColumn = c;
        found = true;
      }
    }
  }
  state.overlayOn = checkedFlag(panel, kOverlayUse);
  state.overlayOnPreview = checkedFlag(panel, kOverlayOnPreview);
  state.overlayOnCapture = checkedFlag(panel, kOverlayOnCapture);
  state.alphaOn = checkedFlag(panel, kOverlayUseAlpha);
  state.alphaFromValue = checkedFlag(panel, kOverlayAlphaValueRadio);
  readAlphaValue(panel, state.alphaValue);
  // The whole field is read back, so that a long path is kept as it is.
  char text[kPathSize];
  platform::getDlgItemText(panel, kOverlayFileName, text, static_cast<int>(sizeof text));
  state.overlayFilePath.assign(text);
  platform::getDlgItemText(panel, kOverlayAlphaFileName, text, static_cast<int>(sizeof text));
  state.alphaFilePath.assign(text);
  closePanelItself(options, Section::Overlay);
}

// Cancel restores the settings of the opening; the overlay object keeps what
// the panel last set until the next change.
void cancelPanel(OptionsWindow& options) {
  DriverState& state = options.state();
  state.overlayOn = options.overlayPanel.overlay.on;
  state.overlayOnPreview = options.overlayPanel.overlay.onPreview;
  state.overlayOnCapture = options.overlayPanel.overlay.onCapture;
  state.overlayColumn = options.overlayPanel.overlay.column;
  state.overlayRow = options.overlayPanel.overlay.row;
  state.overlayFilePath = options.overlayPanel.overlayFilePath;
  state.alphaFilePath = options.overlayPanel.alphaFilePath;
  state.alphaOn = options.overlayPanel.alpha.on;
  state.alphaFromValue = options.overlayPanel.alpha.fromValue;
  state.alphaValue = options.overlayPanel.alpha.value;
  closePanelItself(options, Section::Overlay);
}

std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  if (!isClick(wParam)) return 0;
  const int id = commandId(wParam);
  std::int32_t row = 0;
  std::int32_t column = 0;
  if (positionOf(id, row, column)) {
    positionClicked(options, row, column);
    return 1;
  }
  switch (id) {
    case kOverlayUse:
    case kOverlayOnPreview:
    case kOverlayOnCapture: switchesClicked(options, panel); return 1;
    case kOverlayOpenFile: openOverlayFile(options, panel); return 1;
    case kOverlayOpenAlphaFile: openAlphaFile(options, panel); return 1;
    case kOverlayUseAlpha:
    case kOverlayAlphaValueRadio:
    case kOverlayAlphaFromBitmap: alphaSwitchesClicked(options, panel); return 1;
    case kOverlayApply: applyAlphaValue(options, panel); return 1;
    case kPanelClose: closePanel(options, panel); return 1;
    case kPanelCancel: cancelPanel(options); return 1;
    default: return 0;
  }
}

} // namespace

std::intptr_t overlayPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::Overlay, &initialise, &command, &closePanel};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
