#include "ui/overlay_panel.h"

#include "engines/preview_overlay.h"
#include "ui/dialog_binding.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "ui/panel_lifecycle.h"

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

void initialise(DriverState& state, Window panel) {
  state.overlayPanelOn = state.overlayOn;
  state.overlayPanelOnPreview = state.overlayOnPreview;
  state.overlayPanelOnCapture = state.overlayOnCapture;
  state.overlayPanelColumn = state.overlayColumn;
  state.overlayPanelRow = state.overlayRow;
  state.overlayPanelFilePath = state.overlayFilePath;
  state.overlayPanelAlphaFilePath = state.alphaFilePath;
  state.overlayPanelAlphaOn = state.alphaOn;
  state.overlayPanelAlphaFromValue = state.alphaFromValue;
  state.overlayPanelAlphaValue = state.alphaValue;

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
  panelOpened(state, Section::Overlay, panel);
}

void switchesClicked(DriverState& state, Window panel) {
  state.overlayOn = checkedFlag(panel, kOverlayUse);
  state.overlayOnPreview = checkedFlag(panel, kOverlayOnPreview);
  state.overlayOnCapture = checkedFlag(panel, kOverlayOnCapture);
  PreviewOverlay* overlay = state.previewOverlay.get();
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

void openOverlayFile(DriverState& state, Window panel) {
  char path[kPathSize];
  if (!chooseBitmap(panel, "Open bitmap overlay file", path)) return;
  PreviewOverlay* overlay = state.previewOverlay.get();
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

void openAlphaFile(DriverState& state, Window panel) {
  char path[kPathSize];
  if (!chooseBitmap(panel, "Open alpha blending bitmap file", path)) return;
  PreviewOverlay* overlay = state.previewOverlay.get();
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

void alphaSwitchesClicked(DriverState& state, Window panel) {
  state.alphaOn = checkedFlag(panel, kOverlayUseAlpha);
  state.alphaFromValue = checkedFlag(panel, kOverlayAlphaValueRadio);
  PreviewOverlay* overlay = state.previewOverlay.get();
  if (overlay == nullptr) return;
  if (state.alphaOn != 0)
    overlay->setAlphaMode(state.alphaFromValue);
  else
    overlay->alphaOff();
}

void applyAlphaValue(DriverState& state, Window panel) {
  float value = state.alphaValue;
  readAlphaValue(panel, value);
  if (value < 0.0f) value = 0.0f;
  if (value > 100.0f) value = 100.0f;
  writeAlphaValue(panel, value);
  state.alphaValue = value;
  if (PreviewOverlay* overlay = state.previewOverlay.get()) overlay->setAlphaValue(value);
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

void positionClicked(DriverState& state, std::int32_t row, std::int32_t column) {
  state.overlayRow = row;
  state.overlayColumn = column;
  if (PreviewOverlay* overlay = state.previewOverlay.get()) overlay->setPlacement(column, row);
}

// Close takes the panel's controls as the settings; nothing is sent to the
// overlay object here.
void closePanel(DriverState& state, Window panel) {
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
  closePanelItself(state, Section::Overlay);
}

// Cancel restores the settings of the opening; the overlay object keeps what
// the panel last set until the next change.
void cancelPanel(DriverState& state) {
  state.overlayOn = state.overlayPanelOn;
  state.overlayOnPreview = state.overlayPanelOnPreview;
  state.overlayOnCapture = state.overlayPanelOnCapture;
  state.overlayColumn = state.overlayPanelColumn;
  state.overlayRow = state.overlayPanelRow;
  state.overlayFilePath = state.overlayPanelFilePath;
  state.alphaFilePath = state.overlayPanelAlphaFilePath;
  state.alphaOn = state.overlayPanelAlphaOn;
  state.alphaFromValue = state.overlayPanelAlphaFromValue;
  state.alphaValue = state.overlayPanelAlphaValue;
  closePanelItself(state, Section::Overlay);
}

std::intptr_t command(DriverState& state, Window panel, std::uintptr_t wParam) {
  if (!isClick(wParam)) return 0;
  const int id = commandId(wParam);
  std::int32_t row = 0;
  std::int32_t column = 0;
  if (positionOf(id, row, column)) {
    positionClicked(state, row, column);
    return 1;
  }
  switch (id) {
    case kOverlayUse:
    case kOverlayOnPreview:
    case kOverlayOnCapture: switchesClicked(state, panel); return 1;
    case kOverlayOpenFile: openOverlayFile(state, panel); return 1;
    case kOverlayOpenAlphaFile: openAlphaFile(state, panel); return 1;
    case kOverlayUseAlpha:
    case kOverlayAlphaValueRadio:
    case kOverlayAlphaFromBitmap: alphaSwitchesClicked(state, panel); return 1;
    case kOverlayApply: applyAlphaValue(state, panel); return 1;
    case kPanelClose: closePanel(state, panel); return 1;
    case kPanelCancel: cancelPanel(state); return 1;
    default: return 0;
  }
}

} // namespace

std::intptr_t overlayPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  static const PanelBehaviour behaviour{Section::Overlay, &initialise, &command, &closePanel};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
