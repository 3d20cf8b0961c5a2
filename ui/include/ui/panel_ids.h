// Control ids of the options window's panels that other parts of the driver
// write into while a panel is open.
#pragma once

namespace vx {

// Numeric property panels (brightness, contrast, hue, saturation, gamma, gain).
inline constexpr int kNumericLock = 1058;
inline constexpr int kNumericPreviewEdit = 1059;
inline constexpr int kNumericAcquireEdit = 1060;

// White balance panel: preview edit, acquisition edit and lock of each gain.
inline constexpr int kWhiteBalanceRedPreview = 1092;
inline constexpr int kWhiteBalanceRedAcquire = 1093;
inline constexpr int kWhiteBalanceRedLock = 1070;
inline constexpr int kWhiteBalanceGreenPreview = 1073;
inline constexpr int kWhiteBalanceGreenAcquire = 1078;
inline constexpr int kWhiteBalanceGreenLock = 1074;
inline constexpr int kWhiteBalanceBluePreview = 1082;
inline constexpr int kWhiteBalanceBlueAcquire = 1087;
inline constexpr int kWhiteBalanceBlueLock = 1083;

// Exposure panel.
inline constexpr int kExposureLock = 1058;
inline constexpr int kExposureFrameRate = 1009;
inline constexpr int kExposureUseAuto = 1069;
inline constexpr int kExposureBrightnessTarget = 1074;

// Resolution panel.
inline constexpr int kResolutionOffsetX = 1001;
inline constexpr int kResolutionOffsetY = 1003;
inline constexpr int kResolutionWindowWidth = 1007;
inline constexpr int kResolutionWindowHeight = 1008;
inline constexpr int kResolutionWidth = 1012;
inline constexpr int kResolutionHeight = 1013;
inline constexpr int kResolutionWindowList = 1113;
inline constexpr int kResolutionPreviewList = 1114;
inline constexpr int kResolutionCaptureList = 1115;

// Mirror panel.
inline constexpr int kMirrorHorizontal = 1007;
inline constexpr int kMirrorVertical = 1008;

// Image correction panel.
inline constexpr int kCorrectionLightSource = 1064;
inline constexpr int kCorrectionFrequency = 1068;
inline constexpr int kCorrectionUseBackground = 1065;
inline constexpr int kCorrectionGrabBackground = 1107;
inline constexpr int kCorrectionBackgroundStatus = 1108;
inline constexpr int kCorrectionUseDark = 1066;
inline constexpr int kCorrectionGrabDark = 1106;
inline constexpr int kCorrectionDarkStatus = 1105;

// Overlay panel.
inline constexpr int kOverlayUse = 1027;
inline constexpr int kOverlayOnPreview = 1035;
inline constexpr int kOverlayOnCapture = 1036;
inline constexpr int kOverlayUseAlpha = 1030;
inline constexpr int kOverlayAlphaValueRadio = 1031;
inline constexpr int kOverlayAlphaValue = 1032;
inline constexpr int kOverlayAlphaFromBitmap = 1033;
inline constexpr int kOverlayApply = 1038;
// Position buttons by row and column.
inline constexpr int kOverlayPosition[3][3] = {
    {1041, 1044, 1058}, {1065, 1066, 1067}, {1068, 1069, 1070}};

} // namespace vx
