// Control ids of the options window's panels that only the panels
// themselves use (the ids other parts of the driver write into are in
// ui/panel_ids.h).
#pragma once

namespace vx {

// Every panel closes with 1045; the panels that can undo their changes
// cancel with 1046.
inline constexpr int kPanelClose = 1045;
inline constexpr int kPanelCancel = 1046;

// Overlay panel: file buttons and the file names they show.
inline constexpr int kOverlayOpenFile = 1029;
inline constexpr int kOverlayFileName = 1028;
inline constexpr int kOverlayOpenAlphaFile = 1034;
inline constexpr int kOverlayAlphaFileName = 1037;

// Camera information panel: the read-only edits of the six texts.
inline constexpr int kInfoModel = 1102;
inline constexpr int kInfoSerial = 1104;
inline constexpr int kInfoApiVersion = 1106;
inline constexpr int kInfoDriverVersion = 1110;
inline constexpr int kInfoFirmwareVersion = 1112;
inline constexpr int kInfoFpgaVersion = 1114;

} // namespace vx
