// Dark frames and backgrounds captured from the running preview, and their
// correction of the live preview through SDK frame callbacks.
//
// Captures and switches run on the host's user-interface thread; the
// callbacks on the SDK's streaming thread.
#pragma once

#include "driver/driver_state.h"

#include <cstddef>
#include <cstdint>

namespace vx {

// One frame into a new dark frame. 1 stored, 0 failed (the stored one stays).
int captureDarkFrame(DriverState& state);
// Four frames averaged into a new background. 1 stored, 0 failed.
int captureBackground(DriverState& state);
// The image correction panel's "Grab new frame" actions: the preview must
// run, the user confirms, then the capture; on success the frame is marked
// stored. 1 stored, 0 not.
int grabDarkFrame(DriverState& state);
int grabBackground(DriverState& state);
// Switches both corrections off and forgets both frames; run whenever the
// preview size, preview factors or acquisition size change.
void discardStoredFrames(DriverState& state);

// Correction switches with their SDK callbacks.
void enableDarkSubtraction(DriverState& state);
void disableDarkSubtraction(DriverState& state);
void enableBackgroundCorrection(DriverState& state);
void disableBackgroundCorrection(DriverState& state);

// frame[i] -= dark[i], saturating at 0, for i below both sizes.
void subtractDarkFrame(std::uint8_t* frame, std::size_t frameSize, const std::uint8_t* dark,
                       std::size_t darkSize);
// Each of the first three bytes of every pixel multiplied by its factor and
// capped at 255; a fourth byte is left alone.
void applyBackgroundFactors(std::uint8_t* pixels, std::size_t pixelCount, int bytesPerPixel,
                            const double* factors);

} // namespace vx
