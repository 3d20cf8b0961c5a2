// The exposure panel: the preview and the acquisition exposure as hours,
// minutes, seconds, milliseconds and microseconds, with trackbars, spins
// that step the focused field, snapping to the mains flicker period, the
// camera's one-shot and continuous automatic exposure with its brightness
// target, the choice between the normal and the extended exposure range,
// and the camera's frame rate.
//
// User-interface thread.
#pragma once

#include "ui/options_window.h"

namespace vx {

// Control ids of template 105 that only the panel uses (the ids other parts
// of the driver write into are in ui/panel_ids.h).
inline constexpr int kExposureInitialize = 2;
inline constexpr int kExposureOneShot = 3;
inline constexpr int kExposurePreviewTrackbar = 1056;
inline constexpr int kExposureAcquireTrackbar = 1057;
inline constexpr int kExposureTargetTrackbar = 1060;
inline constexpr int kExposurePreviewSpin = 1061;
inline constexpr int kExposureAcquireSpin = 1062;
inline constexpr int kExposureTargetSpin = 1075;
inline constexpr int kExposureLegend = 1103;
inline constexpr int kExposureExtend = 1110;
inline constexpr int kExposureAutoGroup = 1107;
inline constexpr int kExposureTargetLabel = 1108;
inline constexpr int kExposureTimeGroup = 1059;
inline constexpr int kExposureFrameRateLabel = 1008;

// The legend over the time fields when every unit is in reach.
inline constexpr const char* kExposureLegendText = "hh  .   mm   .  ss   .  mmm  .  uuu";

std::intptr_t exposurePanelProc(Window panel, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// Writes one side's five time fields as a whole: first with the panel's
// update flag set, so that no field sees the others half-written, then once
// more with it cleared, so that the panel takes the value in (the preview
// side then reaches the camera).
void showPreviewExposureFields(OptionsWindow& options, Window panel, float milliseconds);
void showAcquireExposureFields(OptionsWindow& options, Window panel, float milliseconds);
// Writes the acquisition fields with the update flag set only: they show
// the value and nothing follows from it.
void showAcquireExposureQuietly(OptionsWindow& options, Window panel, float milliseconds);

} // namespace vx
