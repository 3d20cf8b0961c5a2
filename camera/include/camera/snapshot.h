// Snapshots at the acquisition settings, converted to 24-bit RGB, and the
// acquisition geometry, mirroring and colour-correction settings.
//
// Runs on the host's user-interface thread.
#pragma once

#include "camera/camera_session.h"

#include <cstdint>

namespace vx {

// Takes one snapshot into `raw` (one byte per pixel) and `rgb` (B, G, R per
// pixel, rows bottom-up). Returns 1 with both filled, or 0 after a message
// with both released (a failure before the buffers are touched leaves them).
int takeSnapshot(CameraSession& camera, HeapBuffer<std::uint8_t>& raw,
                 HeapBuffer<std::uint8_t>& rgb);

int setAcquisitionMode(CameraSession& camera, int index);
int setAcquisitionGeometry(CameraSession& camera, int index, int width, int height, int offsetX,
                           int offsetY, int factorX, int factorY, int binningX, int binningY);
// PropFlipping = mirrorHorizontal + 2 x mirrorVertical.
int setMirroring(CameraSession& camera);
// PropCorrectionMatrix for the light source.
int setColourCorrection(CameraSession& camera, int lightSource);
int snapshotModeQuery(const CameraSession& camera);

// 14, 5, 2, 1 for light sources 0 to 3 (14, no correction, for any other).
std::uint32_t correctionCodeFor(int lightSource);
// The same, telling the user "Should not happen" for an index outside 0..3.
std::uint32_t correctionCodeWithWarning(const CameraSession& camera, int lightSource);

// Width and height of the snapshot image (acquisition or preview size).
int snapshotWidth(const CameraSession& camera);
int snapshotHeight(const CameraSession& camera);

} // namespace vx
