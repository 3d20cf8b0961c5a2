// The resolution panel: the preview mode, the capture mode and the preview
// window's mode from the model's resolution table, a custom preview size
// held to the model's steps, the preview offsets, the sampling of each axis
// (none, binning or subsampling by a typed ratio) and the preview window's
// size. Every change of the preview format restarts the preview at once; a
// capture mode is only stored for the next snapshot.
//
// User-interface thread.
#pragma once

#include "ui/options_window.h"

namespace vx {

// Control ids of template 116 that only the panel uses (the lists and
// edits other parts of the driver write into are in ui/panel_ids.h).
inline constexpr int kResolutionApplySize = 1015;
inline constexpr int kResolutionApplyOffsets = 1006;
inline constexpr int kResolutionApplyWindow = 1010;
inline constexpr int kResolutionNoSamplingX = 1022;
inline constexpr int kResolutionBinningX = 1019;
inline constexpr int kResolutionSubsamplingX = 1020;
inline constexpr int kResolutionRatioX = 1021;
inline constexpr int kResolutionNoSamplingY = 1031;
inline constexpr int kResolutionBinningY = 1028;
inline constexpr int kResolutionSubsamplingY = 1029;
inline constexpr int kResolutionRatioY = 1030;
inline constexpr int kResolutionKelvoLabel = 1112;
inline constexpr int kResolutionKelvoRatio = 1023;

// The smallest custom preview size.
inline constexpr int kMinimumPreviewWidth = 160;
inline constexpr int kMinimumPreviewHeight = 120;

// A typed preview width or height held within the sensor, raised to the
// minimum, then rounded to a multiple of the model's step (up when the
// remainder exceeds half the step, else down).
int roundPreviewExtent(int typed, int sensorMaximum, int minimum, int step);

// The sampling radios and ratio fields of both axes for these factors and
// binning flags: factor 1 is "No sampling", else binning or subsampling.
void showSampling(Window panel, int factorX, int binningX, int factorY, int binningY);

std::intptr_t resolutionPanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vx
