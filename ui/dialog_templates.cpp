#include "dialog_templates.h"

#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "exposure_fields.h"
#include "exposure_panel.h"
#include "resolution_panel.h"

#include <array>

namespace vx {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;

constexpr int kNoId = -1;  // labels and frames nothing refers to

// Outer size of a dialog whose client area is w x h (caption and border).
constexpr Rect dialogRect(int w, int h) { return Rect{0, 0, w + 8, h + 34}; }

template <std::size_t N>
constexpr DialogTemplate makeTemplate(int id, const char* title, Rect rect,
                                      const std::array<ControlTemplate, N>& controls) {
  return DialogTemplate{id, title, rect, controls.data(), controls.size()};
}

constexpr ControlTemplate button(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::Button, caption, r, true, true};
}
constexpr ControlTemplate check(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::CheckBox, caption, r, true, true};
}
constexpr ControlTemplate radio(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::RadioButton, caption, r, true, true};
}
// The first radio button of a group: a click unchecks the others up to the
// next control that starts a group.
constexpr ControlTemplate firstRadio(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::RadioButton, caption, r, true, true, platform::WS_GROUP};
}
constexpr ControlTemplate text(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::Static, caption, r, true, true};
}
constexpr ControlTemplate edit(int id, Rect r) {
  return ControlTemplate{id, ControlKind::Edit, "", r, true, true};
}
constexpr ControlTemplate combo(int id, Rect r) {
  return ControlTemplate{id, ControlKind::ComboBox, "", r, true, true};
}
// A text the user can read and copy but not change.
constexpr ControlTemplate readOnlyEdit(int id, Rect r) {
  return ControlTemplate{id, ControlKind::Edit, "", r, true, true, platform::ES_READONLY};
}
// A drop-down list: the user picks an item and cannot type.
constexpr ControlTemplate list(int id, Rect r) {
  return ControlTemplate{id, ControlKind::ComboBox, "", r, true, true, platform::CBS_DROPDOWNLIST};
}
// An edit that takes typed digits only.
constexpr ControlTemplate numberEdit(int id, Rect r) {
  return ControlTemplate{id, ControlKind::Edit, "", r, true, true, platform::ES_NUMBER};
}
// A horizontal trackbar (its range starts as 0..100).
constexpr ControlTemplate trackbar(int id, Rect r) {
  return ControlTemplate{id, ControlKind::Trackbar, "", r, true, true};
}
// Up and down arrows (range 100..0, so the up arrow lowers the position).
constexpr ControlTemplate spin(int id, Rect r) {
  return ControlTemplate{id, ControlKind::UpDown, "", r, true, true};
}
constexpr ControlTemplate group(const char* caption, Rect r) {
  return ControlTemplate{kNoId, ControlKind::GroupBox, caption, r, true, true};
}
constexpr ControlTemplate group(int id, const char* caption, Rect r) {
  return ControlTemplate{id, ControlKind::GroupBox, caption, r, true, true};
}
// A typed drop-down combo (an edit above its list).
constexpr ControlTemplate typedCombo(int id, Rect r, std::uint32_t extra = 0) {
  return ControlTemplate{id, ControlKind::ComboBox, "", r, true, true, platform::CBS_DROPDOWN | extra};
}
// Starts a group of radio buttons (or the controls after one).
constexpr ControlTemplate startGroup(ControlTemplate c) {
  c.style |= platform::WS_GROUP;
  return c;
}
constexpr ControlTemplate hidden(ControlTemplate c) {
  c.visible = false;
  return c;
}

// Section buttons stacked in table order; the window lays them out anew.
constexpr Rect column(int i) { return Rect{3, 5 + 24 * i, 117, 26 + 24 * i}; }

// ---- options window (80 x 216 dialog units) ---------------------------------------
constexpr std::array<ControlTemplate, 14> kOptionsControls{{
    button(1054, "Resolution >>", column(0)),
    button(1053, "Exposure >>", column(1)),
    button(1055, "Global Gain >>", column(2)),
    button(1049, "White Balance >>", column(3)),
    button(1052, "Gamma >>", column(4)),
    button(1046, "Hue >>", column(5)),
    button(1044, "Brightness >>", column(6)),
    button(1047, "Saturation >>", column(7)),
    button(1045, "Contrast >>", column(8)),
    button(1048, "Mirror >>", column(9)),
    button(1050, " Image Correction >>", column(10)),
    button(1056, "Overlay >>", column(11)),
    button(1051, "Camera Info >>", column(12)),
    button(8, "Close", Rect{25, 5 + 24 * 13, 89, 26 + 24 * 13}),
}};
constexpr DialogTemplate kOptionsWindow = makeTemplate(9, "More Options...", Rect{0, 0, 120, 351}, kOptionsControls);

// ---- mirror (107) -------------------------------------------------------------------
constexpr std::array<ControlTemplate, 3> kMirrorControls{{
    check(kMirrorHorizontal, "Horizontal flip (X)", Rect{10, 10, 180, 28}),
    check(kMirrorVertical, "Vertical flip (Y)", Rect{10, 36, 180, 54}),
    button(kPanelClose, "Close", Rect{60, 66, 130, 89}),
}};
constexpr DialogTemplate kMirror = makeTemplate(107, "Mirror", dialogRect(190, 99), kMirrorControls);

// ---- camera information (104) ---------------------------------------------------
constexpr Rect label(int row) { return Rect{10, 12 + 26 * row, 120, 30 + 26 * row}; }
constexpr Rect field(int row) { return Rect{125, 10 + 26 * row, 280, 30 + 26 * row}; }
constexpr std::array<ControlTemplate, 13> kInfoControls{{
    text(1101, "Camera Model: ", label(0)),
    readOnlyEdit(kInfoModel, field(0)),
    text(1103, "Serial Number: ", label(1)),
    readOnlyEdit(kInfoSerial, field(1)),
    text(1105, "API Version: ", label(2)),
    readOnlyEdit(kInfoApiVersion, field(2)),
    text(1109, "Driver Version: ", label(3)),
    readOnlyEdit(kInfoDriverVersion, field(3)),
    text(1111, "Firmware 1 Version: ", label(4)),
    readOnlyEdit(kInfoFirmwareVersion, field(4)),
    text(1113, "FPGA Version: ", label(5)),
    readOnlyEdit(kInfoFpgaVersion, field(5)),
    button(kPanelClose, "Close", Rect{105, 170, 185, 193}),
}};
constexpr DialogTemplate kCameraInfo =
    makeTemplate(104, "Camera Information", dialogRect(290, 203), kInfoControls);

// ---- image correction (111) -------------------------------------------------------
constexpr std::array<ControlTemplate, 14> kCorrectionControls{{
    text(kNoId, "Light Source:", Rect{10, 12, 100, 30}),
    list(kCorrectionLightSource, Rect{105, 10, 280, 30}),
    text(kNoId, "Frequency:", Rect{10, 40, 100, 58}),
    list(kCorrectionFrequency, Rect{105, 38, 280, 58}),
    group("Background correction", Rect{5, 68, 285, 140}),
    check(kCorrectionUseBackground, "Use background correction", Rect{12, 85, 220, 103}),
    button(kCorrectionGrabBackground, "Grab new frame", Rect{12, 110, 120, 133}),
    text(kCorrectionBackgroundStatus, "", Rect{130, 113, 280, 131}),
    group("Dark frame subtraction", Rect{5, 146, 285, 218}),
    check(kCorrectionUseDark, "Use dark frame subtraction", Rect{12, 163, 220, 181}),
    button(kCorrectionGrabDark, "Grab new frame", Rect{12, 188, 120, 211}),
    text(kCorrectionDarkStatus, "", Rect{130, 191, 280, 209}),
    button(kPanelCancel, "Cancel", Rect{60, 228, 140, 251}),
    button(kPanelClose, "Close", Rect{150, 228, 230, 251}),
}};
constexpr DialogTemplate kImageCorrection =
    makeTemplate(111, "Image Correction", dialogRect(290, 261), kCorrectionControls);

// ---- overlay (117) ----------------------------------------------------------------
// The nine position radios form one group and the two alpha-source radios
// another; each group starts at its first radio button.
constexpr Rect cell(int row, int col) {
  return Rect{90 + 30 * col, 88 + 24 * row, 116 + 30 * col, 110 + 24 * row};
}
constexpr Rect dot(int row, int col) {
  return Rect{94 + 30 * col, 90 + 24 * row, 112 + 30 * col, 108 + 24 * row};
}
constexpr std::array<ControlTemplate, 37> kOverlayControls{{
    check(kOverlayUse, "Use bitmap overlay", Rect{10, 10, 160, 28}),
    button(kOverlayOpenFile, "Open File", Rect{170, 8, 250, 31}),
    text(kOverlayFileName, "", Rect{10, 36, 330, 54}),
    check(kOverlayOnPreview, "On Preview", Rect{10, 60, 120, 78}),
    check(kOverlayOnCapture, "On Capture", Rect{130, 60, 240, 78}),
    text(kNoId, "Position:", Rect{10, 90, 80, 108}),
    text(1042, "", cell(0, 0)),
    text(1043, "", cell(0, 1)),
    text(1057, "", cell(0, 2)),
    text(1059, "", cell(1, 0)),
    text(1060, "", cell(1, 1)),
    text(1061, "", cell(1, 2)),
    text(1062, "", cell(2, 0)),
    text(1063, "", cell(2, 1)),
    text(1064, "", cell(2, 2)),
    firstRadio(kOverlayPosition[0][0], "", dot(0, 0)),
    radio(kOverlayPosition[0][1], "", dot(0, 1)),
    radio(kOverlayPosition[0][2], "", dot(0, 2)),
    radio(kOverlayPosition[1][0], "", dot(1, 0)),
    radio(kOverlayPosition[1][1], "", dot(1, 1)),
    radio(kOverlayPosition[1][2], "", dot(1, 2)),
    radio(kOverlayPosition[2][0], "", dot(2, 0)),
    radio(kOverlayPosition[2][1], "", dot(2, 1)),
    radio(kOverlayPosition[2][2], "", dot(2, 2)),
    check(kOverlayUseAlpha, "Use alpha blending", Rect{10, 166, 160, 184}),
    firstRadio(kOverlayAlphaValueRadio, "Value :", Rect{20, 190, 90, 208}),
    radio(kOverlayAlphaFromBitmap, "From Bitmap", Rect{20, 216, 120, 234}),
    edit(kOverlayAlphaValue, Rect{95, 189, 155, 209}),
    button(kOverlayApply, "Apply", Rect{160, 188, 220, 211}),
    button(kOverlayOpenAlphaFile, "Open File", Rect{130, 214, 210, 237}),
    text(kOverlayAlphaFileName, "", Rect{20, 242, 330, 260}),
    button(kPanelCancel, "Cancel", Rect{90, 270, 170, 293}),
    button(kPanelClose, "Close", Rect{180, 270, 260, 293}),
    // Frames of the groups, after the controls.
    group("Overlay", Rect{4, 2, 336, 82}),
    group("", Rect{4, 84, 336, 160}),
    group("Alpha blending", Rect{4, 160, 336, 264}),
    text(kNoId, "%", Rect{222, 192, 236, 208}),
}};
constexpr DialogTemplate kOverlay = makeTemplate(117, "Overlay", dialogRect(340, 303), kOverlayControls);

// ---- numeric property panels (103, 108, 110, 109, 115, 112) ---------------------------
// One layout for the six: a trackbar, an edit and a spin for the preview and
// for the acquisition value, the lock, and Initialize (id 2), Cancel, Close.
constexpr std::array<ControlTemplate, 12> kNumericControls{{
    text(1054, "Pvw", Rect{8, 14, 36, 30}),
    trackbar(1056, Rect{40, 8, 190, 34}),
    numberEdit(kNumericPreviewEdit, Rect{196, 10, 246, 32}),
    spin(1061, Rect{246, 10, 262, 32}),
    text(1055, "Acq", Rect{8, 48, 36, 64}),
    trackbar(1057, Rect{40, 42, 190, 68}),
    numberEdit(kNumericAcquireEdit, Rect{196, 44, 246, 66}),
    spin(1062, Rect{246, 44, 262, 66}),
    check(kNumericLock, "Lock", Rect{40, 74, 190, 92}),
    button(2, "Initialize", Rect{8, 100, 88, 123}),
    button(kPanelCancel, "Cancel", Rect{96, 100, 176, 123}),
    button(kPanelClose, "Close", Rect{184, 100, 264, 123}),
}};
constexpr Rect kNumericRect = dialogRect(272, 131);
constexpr DialogTemplate kBrightness = makeTemplate(103, "Brightness", kNumericRect, kNumericControls);
constexpr DialogTemplate kContrast = makeTemplate(108, "Contrast", kNumericRect, kNumericControls);
constexpr DialogTemplate kSaturation = makeTemplate(109, "Saturation", kNumericRect, kNumericControls);
constexpr DialogTemplate kHue = makeTemplate(110, "Hue", kNumericRect, kNumericControls);
constexpr DialogTemplate kGamma = makeTemplate(112, "Gamma", kNumericRect, kNumericControls);
constexpr DialogTemplate kGlobalGain = makeTemplate(115, "Global Gain", kNumericRect, kNumericControls);

// ---- white balance (114) ----------------------------------------------------------
// Three channels one under the other, each a preview and an acquisition row
// (trackbar, edit, spin) with its lock; below them the one-shot buttons, and
// Initialize (id 2), Cancel, Close. Spot WB is there but hidden and disabled.
constexpr int channelTop(int c) { return 16 + 82 * c; }
constexpr Rect channelLabel(int c) { return Rect{12, channelTop(c), 80, channelTop(c) + 16}; }
constexpr Rect sideLabel(int c, int row) {
  return Rect{12, channelTop(c) + 24 + 28 * row, 40, channelTop(c) + 40 + 28 * row};
}
constexpr Rect sideTrackbar(int c, int row) {
  return Rect{44, channelTop(c) + 18 + 28 * row, 194, channelTop(c) + 44 + 28 * row};
}
constexpr Rect sideEdit(int c, int row) {
  return Rect{200, channelTop(c) + 20 + 28 * row, 250, channelTop(c) + 42 + 28 * row};
}
constexpr Rect sideSpin(int c, int row) {
  return Rect{250, channelTop(c) + 20 + 28 * row, 266, channelTop(c) + 42 + 28 * row};
}
constexpr Rect channelLock(int c) { return Rect{276, channelTop(c) + 36, 336, channelTop(c) + 54}; }
constexpr std::array<ControlTemplate, 39> kWhiteBalanceControls{{
    text(kNoId, "RED:", channelLabel(0)),
    text(kNoId, "Pvw", sideLabel(0, 0)),
    trackbar(1071, sideTrackbar(0, 0)),
    edit(kWhiteBalanceRedPreview, sideEdit(0, 0)),
    spin(1094, sideSpin(0, 0)),
    text(kNoId, "Acq", sideLabel(0, 1)),
    trackbar(1091, sideTrackbar(0, 1)),
    edit(kWhiteBalanceRedAcquire, sideEdit(0, 1)),
    spin(1095, sideSpin(0, 1)),
    check(kWhiteBalanceRedLock, "Lock", channelLock(0)),
    text(kNoId, "GREEN:", channelLabel(1)),
    text(kNoId, "Pvw", sideLabel(1, 0)),
    trackbar(1072, sideTrackbar(1, 0)),
    edit(kWhiteBalanceGreenPreview, sideEdit(1, 0)),
    spin(1079, sideSpin(1, 0)),
    text(kNoId, "Acq", sideLabel(1, 1)),
    trackbar(1077, sideTrackbar(1, 1)),
    edit(kWhiteBalanceGreenAcquire, sideEdit(1, 1)),
    spin(1080, sideSpin(1, 1)),
    check(kWhiteBalanceGreenLock, "Lock", channelLock(1)),
    text(kNoId, "BLUE:", channelLabel(2)),
    text(kNoId, "Pvw", sideLabel(2, 0)),
    trackbar(1081, sideTrackbar(2, 0)),
    edit(kWhiteBalanceBluePreview, sideEdit(2, 0)),
    spin(1088, sideSpin(2, 0)),
    text(kNoId, "Acq", sideLabel(2, 1)),
    trackbar(1086, sideTrackbar(2, 1)),
    edit(kWhiteBalanceBlueAcquire, sideEdit(2, 1)),
    spin(1089, sideSpin(2, 1)),
    check(kWhiteBalanceBlueLock, "Lock", channelLock(2)),
    button(1090, "Global WB", Rect{12, 268, 112, 291}),
    ControlTemplate{1067, ControlKind::Button, "Spot WB", Rect{120, 268, 220, 291}, false, false},
    button(2, "Initialize", Rect{12, 300, 102, 323}),
    button(kPanelCancel, "Cancel", Rect{128, 300, 218, 323}),
    button(kPanelClose, "Close", Rect{244, 300, 334, 323}),
    // Frames, after the controls.
    group("White balance", Rect{4, 2, 340, 262}),
    group("", Rect{8, channelTop(0) + 14, 272, channelTop(0) + 74}),
    group("", Rect{8, channelTop(1) + 14, 272, channelTop(1) + 74}),
    group("", Rect{8, channelTop(2) + 14, 272, channelTop(2) + 74}),
}};
constexpr DialogTemplate kWhiteBalance =
    makeTemplate(114, "White Balance", dialogRect(344, 331), kWhiteBalanceControls);

// ---- exposure (105) ----------------------------------------------------------------
// Two rows of five time fields (hours to microseconds) under one legend,
// each with its spin and trackbar; the automatic exposure group; the frame
// rate; Initialize (id 2), Cancel and Close.
constexpr Rect timeField(int row, int unit) {
  return Rect{12 + 44 * unit, 46 + 64 * row, 50 + 44 * unit, 66 + 64 * row};
}
constexpr Rect timeSpin(int row) { return Rect{232, 46 + 64 * row, 248, 66 + 64 * row}; }
constexpr Rect timeTrackbar(int row) { return Rect{12, 70 + 64 * row, 330, 94 + 64 * row}; }
constexpr std::array<ControlTemplate, 32> kExposureControls{{
    group(kExposureTimeGroup, "", Rect{4, 4, 336, 170}),
    text(kExposureLegend, kExposureLegendText, Rect{12, 26, 250, 42}),
    text(kNoId, "Pvw", Rect{290, 48, 330, 64}),
    numberEdit(kPreviewExposureFields[0], timeField(0, 0)),
    numberEdit(kPreviewExposureFields[1], timeField(0, 1)),
    numberEdit(kPreviewExposureFields[2], timeField(0, 2)),
    numberEdit(kPreviewExposureFields[3], timeField(0, 3)),
    numberEdit(kPreviewExposureFields[4], timeField(0, 4)),
    spin(kExposurePreviewSpin, timeSpin(0)),
    trackbar(kExposurePreviewTrackbar, timeTrackbar(0)),
    text(kNoId, "Acq", Rect{290, 112, 330, 128}),
    numberEdit(kAcquireExposureFields[0], timeField(1, 0)),
    numberEdit(kAcquireExposureFields[1], timeField(1, 1)),
    numberEdit(kAcquireExposureFields[2], timeField(1, 2)),
    numberEdit(kAcquireExposureFields[3], timeField(1, 3)),
    numberEdit(kAcquireExposureFields[4], timeField(1, 4)),
    spin(kExposureAcquireSpin, timeSpin(1)),
    trackbar(kExposureAcquireTrackbar, timeTrackbar(1)),
    check(kExposureLock, "Lock", Rect{12, 10, 80, 24}),
    check(kExposureExtend, "Extend...", Rect{250, 10, 330, 24}),
    group(kExposureAutoGroup, "Auto Exposure", Rect{4, 176, 336, 282}),
    check(kExposureUseAuto, "Use Auto Exposure", Rect{12, 194, 170, 212}),
    button(kExposureOneShot, "One Shot", Rect{240, 192, 330, 215}),
    text(kExposureTargetLabel, "Target:", Rect{12, 224, 60, 242}),
    numberEdit(kExposureBrightnessTarget, Rect{64, 222, 110, 242}),
    spin(kExposureTargetSpin, Rect{110, 222, 126, 242}),
    trackbar(kExposureTargetTrackbar, Rect{12, 250, 330, 274}),
    text(kExposureFrameRateLabel, "Frame Rate:", Rect{12, 294, 90, 312}),
    typedCombo(kExposureFrameRate, Rect{94, 292, 190, 392}),
    button(kExposureInitialize, "Initialize", Rect{12, 326, 102, 349}),
    button(kPanelCancel, "Cancel", Rect{126, 326, 216, 349}),
    button(kPanelClose, "Close", Rect{240, 326, 330, 349}),
}};
constexpr DialogTemplate kExposure = makeTemplate(105, "Exposure", dialogRect(340, 359), kExposureControls);

// ---- resolution (116) -------------------------------------------------------------
// The two sampling groups each start at their "No sampling" radio button;
// the ratio combo after each starts the next group, so that a click checks
// one radio button of its own axis only.
constexpr std::array<ControlTemplate, 37> kResolutionControls{{
    text(kNoId, "Preview:", Rect{10, 12, 70, 30}),
    list(kResolutionPreviewList, Rect{75, 10, 330, 210}),
    text(kNoId, "Capture:", Rect{10, 40, 70, 58}),
    list(kResolutionCaptureList, Rect{75, 38, 330, 238}),
    group("Preview size", Rect{4, 66, 336, 150}),
    text(kNoId, "Width:", Rect{12, 86, 60, 104}),
    numberEdit(kResolutionWidth, Rect{64, 84, 124, 104}),
    text(kNoId, "Height:", Rect{134, 86, 184, 104}),
    numberEdit(kResolutionHeight, Rect{188, 84, 248, 104}),
    button(kResolutionApplySize, "Apply", Rect{260, 82, 330, 105}),
    text(kNoId, "Offset X:", Rect{12, 118, 60, 136}),
    numberEdit(kResolutionOffsetX, Rect{64, 116, 124, 136}),
    text(kNoId, "Offset Y:", Rect{134, 118, 184, 136}),
    numberEdit(kResolutionOffsetY, Rect{188, 116, 248, 136}),
    button(kResolutionApplyOffsets, "Apply", Rect{260, 114, 330, 137}),
    group("Sampling X Axis", Rect{4, 156, 168, 260}),
    startGroup(radio(kResolutionNoSamplingX, "No sampling", Rect{12, 174, 160, 192})),
    radio(kResolutionBinningX, "Binning", Rect{12, 196, 160, 214}),
    radio(kResolutionSubsamplingX, "Subsampling", Rect{12, 218, 160, 236}),
    text(kNoId, "Ratio:", Rect{12, 240, 52, 256}),
    typedCombo(kResolutionRatioX, Rect{56, 238, 110, 320}, platform::WS_GROUP),
    group("Sampling Y Axis", Rect{172, 156, 336, 260}),
    startGroup(radio(kResolutionNoSamplingY, "No sampling", Rect{180, 174, 328, 192})),
    radio(kResolutionBinningY, "Binning", Rect{180, 196, 328, 214}),
    radio(kResolutionSubsamplingY, "Subsampling", Rect{180, 218, 328, 236}),
    text(kNoId, "Ratio:", Rect{180, 240, 220, 256}),
    typedCombo(kResolutionRatioY, Rect{224, 238, 278, 320}, platform::WS_GROUP),
    group("Preview window size", Rect{4, 266, 336, 350}),
    list(kResolutionWindowList, Rect{12, 284, 330, 484}),
    text(kNoId, "Width:", Rect{12, 318, 60, 336}),
    numberEdit(kResolutionWindowWidth, Rect{64, 316, 124, 336}),
    text(kNoId, "Height:", Rect{134, 318, 184, 336}),
    numberEdit(kResolutionWindowHeight, Rect{188, 316, 248, 336}),
    button(kResolutionApplyWindow, "Apply", Rect{260, 314, 330, 337}),
    hidden(text(kResolutionKelvoLabel, "Kelvo Capture Ratio:", Rect{12, 362, 140, 380})),
    hidden(typedCombo(kResolutionKelvoRatio, Rect{144, 360, 210, 440})),
    button(kPanelClose, "Close", Rect{135, 392, 205, 415}),
}};
constexpr DialogTemplate kResolution = makeTemplate(116, "Resolution", dialogRect(340, 425), kResolutionControls);

} // namespace

const platform::DialogTemplate& optionsWindowTemplate() { return kOptionsWindow; }

const platform::DialogTemplate& panelTemplate(Section section) {
  switch (section) {
    case Section::Resolution: return kResolution;
    case Section::Exposure: return kExposure;
    case Section::GlobalGain: return kGlobalGain;
    case Section::WhiteBalance: return kWhiteBalance;
    case Section::Gamma: return kGamma;
    case Section::Hue: return kHue;
    case Section::Brightness: return kBrightness;
    case Section::Saturation: return kSaturation;
    case Section::Contrast: return kContrast;
    case Section::Mirror: return kMirror;
    case Section::ImageCorrection: return kImageCorrection;
    case Section::Overlay: return kOverlay;
    case Section::CameraInfo: return kCameraInfo;
  }
  return kMirror;
}

} // namespace vx
