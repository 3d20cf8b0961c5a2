#include "resolution_panel.h"

#include "camera/image_correction.h"
#include "camera/preview_stream.h"
#include "engines/resolution_table.h"
#include "panel_lifecycle.h"
#include "panel_numbers.h"
#include "ui/panel_controls.h"
#include "ui/panel_ids.h"

#include <algorithm>

namespace vx {
namespace {

struct Axis {
  int none, binning, subsampling, ratio;
};
constexpr Axis kAxisX{kResolutionNoSamplingX, kResolutionBinningX, kResolutionSubsamplingX, kResolutionRatioX};
constexpr Axis kAxisY{kResolutionNoSamplingY, kResolutionBinningY, kResolutionSubsamplingY, kResolutionRatioY};

void showAxis(Window panel, const Axis& axis, int factor, int binning) {
  const int checked = factor == 1 ? axis.none : binning != 0 ? axis.binning : axis.subsampling;
  for (int id : {axis.none, axis.binning, axis.subsampling}) setChecked(panel, id, id == checked ? 1 : 0);
  writeIntField(panel, axis.ratio, factor);
}

const ResolutionMode* modeAt(const std::array<ResolutionMode, engines::kMaxModes>& modes, int count, int index) {
  if (index < 0 || index >= count) return nullptr;
  return &modes[static_cast<std::size_t>(index)];
}

const ResolutionMode* previewMode(const CameraSession& camera, int index) {
  const ResolutionTable* table = camera.resolutionTable();
  return table != nullptr ? modeAt(table->previewModes, table->previewCount, index) : nullptr;
}

const ResolutionMode* acquireMode(const CameraSession& camera, int index) {
  const ResolutionTable* table = camera.resolutionTable();
  return table != nullptr ? modeAt(table->acquireModes, table->acquireCount, index) : nullptr;
}

// Stored dark frames and backgrounds were taken at the old preview size:
// they go when the preview size or sampling changes, as the grab prompts
// tell the user.
void changePreview(CameraSession& camera, int width, int height, int factorX, int factorY) {
  const CaptureRegion& preview = camera.state().preview;
  if (width != preview.width || height != preview.height || factorX != preview.factorX || factorY != preview.factorY)
    discardStoredFrames(camera);
}

void writePreviewSize(Window panel, const CaptureRegion& preview) {
  writeIntField(panel, kResolutionWidth, preview.width);
  writeIntField(panel, kResolutionHeight, preview.height);
}

void writeOffsets(Window panel, const CaptureRegion& preview) {
  writeIntField(panel, kResolutionOffsetX, preview.offsetX);
  writeIntField(panel, kResolutionOffsetY, preview.offsetY);
}

void writeDisplaySize(Window panel, const DisplaySize& display) {
  writeIntField(panel, kResolutionWindowWidth, display.width);
  writeIntField(panel, kResolutionWindowHeight, display.height);
}

void fillList(Window panel, int id, const std::array<ResolutionMode, engines::kMaxModes>& modes, int count) {
  for (int i = 0; i < count; ++i) platform::comboAddString(panel, id, modes[static_cast<std::size_t>(i)].name);
}

void initialise(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  if (const ResolutionTable* table = camera.resolutionTable()) {
    fillList(panel, kResolutionWindowList, table->previewModes, table->previewCount);
    fillList(panel, kResolutionPreviewList, table->previewModes, table->previewCount);
    fillList(panel, kResolutionCaptureList, table->acquireModes, table->acquireCount);
  }
  platform::comboSetCurSel(panel, kResolutionWindowList, state.display.index);
  platform::comboSetCurSel(panel, kResolutionPreviewList, state.preview.index);
  platform::comboSetCurSel(panel, kResolutionCaptureList, state.acquisition.index);
  writeDisplaySize(panel, state.display);
  writePreviewSize(panel, state.preview);
  writeOffsets(panel, state.preview);
  if (const ResolutionMode* mode = previewMode(camera, state.preview.index))
    showSampling(panel, mode->factorX, mode->binningX, mode->factorY, mode->binningY);
  else
    showSampling(panel, state.preview.factorX, state.preview.binningX, state.preview.factorY, state.preview.binningY);
  panelOpened(options, Section::Resolution, panel);
}

void previewModeChosen(OptionsWindow& options, Window panel) {
  CameraSession& camera = options.camera();
  CaptureRegion& preview = options.state().preview;
  const int index = platform::comboGetCurSel(panel, kResolutionPreviewList);
  const ResolutionMode* mode = previewMode(camera, index);
  if (mode == nullptr) return;
  changePreview(camera, mode->width, mode->height, mode->factorX, mode->factorY);
  preview.index = index;
  preview.width = preview.selectedWidth = mode->width;
  preview.height = preview.selectedHeight = mode->height;
  preview.factorX = mode->factorX;
  preview.factorY = mode->factorY;
  preview.binningX = mode->binningX;
  preview.binningY = mode->binningY;
  restartPreview(camera);
  writePreviewSize(panel, preview);
  showSampling(panel, mode->factorX, mode->binningX, mode->factorY, mode->binningY);
}

// Stored for the next snapshot; the camera keeps the preview.
void captureModeChosen(OptionsWindow& options, Window panel) {
  CameraSession& camera = options.camera();
  CaptureRegion& acquisition = options.state().acquisition;
  const int index = platform::comboGetCurSel(panel, kResolutionCaptureList);
  const ResolutionMode* mode = acquireMode(camera, index);
  if (mode == nullptr) return;
  if (mode->width != acquisition.width || mode->height != acquisition.height) discardStoredFrames(camera);
  acquisition.index = index;
  acquisition.width = acquisition.selectedWidth = mode->width;
  acquisition.height = acquisition.selectedHeight = mode->height;
  acquisition.factorX = mode->factorX;
  acquisition.factorY = mode->factorY;
  acquisition.binningX = mode->binningX;
  acquisition.binningY = mode->binningY;
}

void windowModeChosen(OptionsWindow& options, Window panel) {
  CameraSession& camera = options.camera();
  DisplaySize& display = options.state().display;
  const int index = platform::comboGetCurSel(panel, kResolutionWindowList);
  const ResolutionMode* mode = previewMode(camera, index);
  if (mode == nullptr) return;
  display.index = index;
  display.width = mode->width / std::max<int>(mode->factorX, 1);
  display.height = mode->height / std::max<int>(mode->factorY, 1);
  resizeDisplay(camera);
  writeDisplaySize(panel, display);
}

void applySize(OptionsWindow& options, Window panel) {
  DriverState& state = options.state();
  CameraSession& camera = options.camera();
  CaptureRegion& preview = state.preview;
  const int width = roundPreviewExtent(readIntField(panel, kResolutionWidth, preview.width), camera.sensorMaxWidth,
                                       kMinimumPreviewWidth, state.model.roiWidthStep);
  const int height = roundPreviewExtent(readIntField(panel, kResolutionHeight, preview.height),
                                        camera.sensorMaxHeight, kMinimumPreviewHeight, state.model.roiHeightStep);
  changePreview(camera, width, height, preview.factorX, preview.factorY);
  preview.width = width;
  preview.height = height;
  restartPreview(camera);
  writePreviewSize(panel, preview);
}

void applyOffsets(OptionsWindow& options, Window panel) {
  CaptureRegion& preview = options.state().preview;
  preview.offsetX = readIntField(panel, kResolutionOffsetX, preview.offsetX);
  preview.offsetY = readIntField(panel, kResolutionOffsetY, preview.offsetY);
  restartPreview(options.camera());
  writeOffsets(panel, preview);
}

void applyWindow(OptionsWindow& options, Window panel) {
  DisplaySize& display = options.state().display;
  display.width = readIntField(panel, kResolutionWindowWidth, display.width);
  display.height = readIntField(panel, kResolutionWindowHeight, display.height);
  resizeDisplay(options.camera());
  writeDisplaySize(panel, display);
}

// A sampling radio of one axis: binning or subsampling take the typed
// ratio (as typed, 0 included; a text without a number keeps the factor),
// "No sampling" sets the factor to 1 and keeps the binning flag.
void samplingClicked(OptionsWindow& options, Window panel, const Axis& axis, int id, bool horizontal) {
  CameraSession& camera = options.camera();
  CaptureRegion& preview = options.state().preview;
  std::int32_t& factor = horizontal ? preview.factorX : preview.factorY;
  std::int32_t& binning = horizontal ? preview.binningX : preview.binningY;
  int newFactor = 1;
  if (id != axis.none) newFactor = readIntField(panel, axis.ratio, factor);
  changePreview(camera, preview.width, preview.height, horizontal ? newFactor : preview.factorX,
                horizontal ? preview.factorY : newFactor);
  factor = newFactor;
  if (id == axis.binning) binning = 1;
  if (id == axis.subsampling) binning = 0;
  restartPreview(camera);
}

std::intptr_t command(OptionsWindow& options, Window panel, std::uintptr_t wParam) {
  const int id = commandId(wParam);
  const unsigned code = platform::hiWord(wParam);
  if (code == platform::CBN_SELCHANGE) {
    switch (id) {
      case kResolutionPreviewList: previewModeChosen(options, panel); return 1;
      case kResolutionCaptureList: captureModeChosen(options, panel); return 1;
      case kResolutionWindowList: windowModeChosen(options, panel); return 1;
      default: return 0;
    }
  }
  if (code != platform::BN_CLICKED) return 0;
  for (const auto& [axis, horizontal] : {std::pair{kAxisX, true}, std::pair{kAxisY, false}}) {
    if (id == axis.none || id == axis.binning || id == axis.subsampling) {
      samplingClicked(options, panel, axis, id, horizontal);
      return 1;
    }
  }
  switch (id) {
    case kResolutionApplySize: applySize(options, panel); return 1;
    case kResolutionApplyOffsets: applyOffsets(options, panel); return 1;
    case kResolutionApplyWindow: applyWindow(options, panel); return 1;
    case kPanelClose: closePanelItself(options, Section::Resolution); return 1;
    default: return 0;
  }
}

} // namespace

int roundPreviewExtent(int typed, int sensorMaximum, int minimum, int step) {
  int value = std::min(typed, sensorMaximum);
  value = std::max(value, minimum);
  if (step <= 0) return value;
  const int remainder = value % step;
  if (remainder == 0) return value;
  if (remainder > step / 2) return value + (step - remainder);
  return value - remainder;
}

void showSampling(Window panel, int factorX, int binningX, int factorY, int binningY) {
  showAxis(panel, kAxisX, factorX, binningX);
  showAxis(panel, kAxisY, factorY, binningY);
}

std::intptr_t resolutionPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  // No Cancel: the close box closes the panel as its Close does.
  static const PanelBehaviour behaviour{Section::Resolution, &initialise, &command, nullptr};
  return runPanelMessage(behaviour, panel, message, wParam, lParam);
}

} // namespace vx
