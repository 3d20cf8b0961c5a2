#include "dialog_templates.h"

#include "ui/panel_controls.h"
#include "ui/panel_ids.h"
#include "exposure_fields.h"

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
constexpr ControlTemplate group(const char* caption, Rect r) {
  return ControlTemplate{kNoId, ControlKind::GroupBox, caption, r, true, true};
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

// ---- placeholders of the panels still to come -----------------------------------
constexpr Rect row(int i) { return Rect{10, 10 + 26 * i, 150, 30 + 26 * i}; }
constexpr ControlTemplate placeholderCancel = button(kPanelCancel, "Cancel", Rect{10, 240, 80, 263});
constexpr ControlTemplate placeholderClose = button(kPanelClose, "Close", Rect{90, 240, 160, 263});
constexpr Rect kPlaceholderRect = dialogRect(200, 273);

constexpr std::array<ControlTemplate, 5> kNumericControls{{
    check(kNumericLock, "Lock", row(0)),
    edit(kNumericPreviewEdit, row(1)),
    edit(kNumericAcquireEdit, row(2)),
    placeholderCancel,
    placeholderClose,
}};
constexpr DialogTemplate kBrightness = makeTemplate(103, "Brightness", kPlaceholderRect, kNumericControls);
constexpr DialogTemplate kContrast = makeTemplate(108, "Contrast", kPlaceholderRect, kNumericControls);
constexpr DialogTemplate kSaturation = makeTemplate(109, "Saturation", kPlaceholderRect, kNumericControls);
constexpr DialogTemplate kHue = makeTemplate(110, "Hue", kPlaceholderRect, kNumericControls);
constexpr DialogTemplate kGamma = makeTemplate(112, "Gamma", kPlaceholderRect, kNumericControls);
constexpr DialogTemplate kGlobalGain = makeTemplate(115, "Global Gain", kPlaceholderRect, kNumericControls);

constexpr std::array<ControlTemplate, 11> kWhiteBalanceControls{{
    edit(kWhiteBalanceRedPreview, row(0)),
    edit(kWhiteBalanceRedAcquire, row(1)),
    check(kWhiteBalanceRedLock, "Lock", row(2)),
    edit(kWhiteBalanceGreenPreview, row(3)),
    edit(kWhiteBalanceGreenAcquire, row(4)),
    check(kWhiteBalanceGreenLock, "Lock", row(5)),
    edit(kWhiteBalanceBluePreview, row(6)),
    edit(kWhiteBalanceBlueAcquire, Rect{160, 10, 190, 30}),
    check(kWhiteBalanceBlueLock, "Lock", Rect{160, 36, 190, 56}),
    placeholderCancel,
    placeholderClose,
}};
constexpr DialogTemplate kWhiteBalance =
    makeTemplate(114, "White Balance", kPlaceholderRect, kWhiteBalanceControls);

constexpr Rect small(int i, int j) { return Rect{10 + 36 * j, 10 + 26 * i, 42 + 36 * j, 30 + 26 * i}; }
constexpr std::array<ControlTemplate, 16> kExposureControls{{
    edit(kPreviewExposureFields[0], small(0, 0)),
    edit(kPreviewExposureFields[1], small(0, 1)),
    edit(kPreviewExposureFields[2], small(0, 2)),
    edit(kPreviewExposureFields[3], small(0, 3)),
    edit(kPreviewExposureFields[4], small(0, 4)),
    edit(kAcquireExposureFields[0], small(1, 0)),
    edit(kAcquireExposureFields[1], small(1, 1)),
    edit(kAcquireExposureFields[2], small(1, 2)),
    edit(kAcquireExposureFields[3], small(1, 3)),
    edit(kAcquireExposureFields[4], small(1, 4)),
    check(kExposureLock, "Lock", row(2)),
    combo(kExposureFrameRate, row(3)),
    check(kExposureUseAuto, "Use Auto Exposure", row(4)),
    edit(kExposureBrightnessTarget, row(5)),
    placeholderCancel,
    placeholderClose,
}};
constexpr DialogTemplate kExposure = makeTemplate(105, "Exposure", kPlaceholderRect, kExposureControls);

constexpr std::array<ControlTemplate, 11> kResolutionControls{{
    edit(kResolutionOffsetX, row(0)),
    edit(kResolutionOffsetY, row(1)),
    edit(kResolutionWindowWidth, row(2)),
    edit(kResolutionWindowHeight, row(3)),
    edit(kResolutionWidth, row(4)),
    edit(kResolutionHeight, row(5)),
    combo(kResolutionWindowList, row(6)),
    combo(kResolutionPreviewList, row(7)),
    combo(kResolutionCaptureList, Rect{160, 10, 190, 30}),
    placeholderCancel,
    placeholderClose,
}};
constexpr DialogTemplate kResolution = makeTemplate(116, "Resolution", kPlaceholderRect, kResolutionControls);

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
