// Snapshots at the acquisition settings, converted to 24-bit RGB, and the
// acquisition geometry, mirroring and colour-correction settings.
//
// Runs on the host's user-interface thread.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

// Takes one snapshot into `raw` (one byte per pixel) and `rgb` (B, G, R per
// pixel, rows bottom-up). Returns 1 with both filled, or 0 after a message
// with both released (a failure before the buffers are touched leaves them).
int takeSnapshot(DriverState& state, HeapBuffer<std::uint8_t>& raw,
                 HeapBuffer<std::uint8_t>& rgb);
// The snapshot into the driver's own buffers; on success the line cursor
// points at the image's last row.
int takeDriverSnapshot(DriverState& state);

int setAcquisitionMode(DriverState& state, int index);
int setAcquisitionGeometry(DriverState& state, int index, int width, int height, int offsetX,
                           int offsetY, int factorX, int factorY, int binningX, int binningY);
// PropFlipping = mirrorHorizontal + 2 x mirrorVertical.
int setMirroring(DriverState& state);
// PropCorrectionMatrix for the light source.
int setColourCorrection(DriverState& state, int lightSource);
int snapshotModeQuery(const DriverState& state);

// 14, 5, 2, 1 for light sources 0 to 3 (14, no correction, for any other).
std::uint32_t correctionCodeFor(int lightSource);
// The same, telling the user "Should not happen" for an index outside 0..3.
std::uint32_t correctionCodeWithWarning(const DriverState& state, int lightSource);

// Width and height of the snapshot image (acquisition or preview size).
int snapshotWidth(const DriverState& state);
int snapshotHeight(const DriverState& state);

} // namespace vx
