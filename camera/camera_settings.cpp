// Camera settings that apply to every frame: mirroring and the colour
// correction matrix chosen by light source.
#include "camera/snapshot.h"

#include "base/debug_log.h"

namespace vx {

std::uint32_t correctionCodeFor(int lightSource) {
  switch (lightSource) {
    case 0: return 14;
    case 1: return 5;
    case 2: return 2;
    case 3: return 1;
    default: return 14;  // outside the list: no correction is the harmless choice
  }
}

std::uint32_t correctionCodeWithWarning(const CameraSession& camera, int lightSource) {
  if (lightSource < 0 || lightSource > 3)
    platform::messageBox(camera.state().hostWindow, "Should not happen", "", platform::MB_OK);
  return correctionCodeFor(lightSource);
}

int setMirroring(CameraSession& camera) {
  const DriverState& state = camera.state();
  const float flipping = static_cast<float>(state.mirrorHorizontal + 2 * state.mirrorVertical);
  if (VarcamSetProperty(camera.handle(), PropFlipping, flipping, 0) == 0) {
    // The mirror panel and the host's mirror commands share this; the box
    // belongs to the options window's parent, like the panel's other boxes.
    messageBoxf(state.optionsParent != nullptr ? state.optionsParent : state.hostWindow, "ERROR",
                "Could not set Flipping: %d",
                static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: Image Flipped in camera.");
  return 1;
}

int setColourCorrection(CameraSession& camera, int lightSource) {
  const DriverState& state = camera.state();
  const float code = static_cast<float>(correctionCodeWithWarning(camera, lightSource));
  if (VarcamSetProperty(camera.handle(), PropCorrectionMatrix, code, 0) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not set Correction matrix: %d",
                static_cast<int>(VarcamGetLastError()));
    return 0;
  }
  logLine("PIXORA QUORVEL DRIVER: Correction Matrix has been changed in camera.");
  return 1;
}

} // namespace vx
