// Dark frames and backgrounds captured from the running preview, and their
// correction of the live preview through SDK frame callbacks.
//
// Captures and switches run on the host's user-interface thread; the
// callbacks on the SDK's streaming thread.
#pragma once

#include "camera/camera_session.h"

#include <cstddef>
#include <cstdint>

namespace vx {

// One frame into a new dark frame. 1 stored, 0 failed (the stored one stays).
int captureDarkFrame(CameraSession& camera);
// Four frames averaged into a new background. 1 stored, 0 failed.
int captureBackground(CameraSession& camera);
// The image correction panel's "Grab new frame" actions: the preview must
// run, the user confirms, then the capture; on success the frame is marked
// stored. 1 stored, 0 not. The reminder that the preview must run and the
// prompt belong to `owner` (the panel); null: the options window's parent,
// else the host's window.
int grabDarkFrame(CameraSession& camera, Window owner = nullptr);
int grabBackground(CameraSession& camera, Window owner = nullptr);
// Switches both corrections off and forgets both frames; run whenever the
// preview size, preview factors or acquisition size change.
void discardStoredFrames(CameraSession& camera);
// The owner of a box of the image correction panel's actions: `owner`,
// else the options window's parent, else the host's window.
Window correctionBoxOwner(const CameraSession& camera, Window owner);

// Correction switches with their SDK callbacks. Switching on without a
// stored frame grabs one first; the boxes of the grab and of a failed
// pixel-format query belong to `owner` as above.
void enableDarkSubtraction(CameraSession& camera, Window owner = nullptr);
void disableDarkSubtraction(CameraSession& camera);
void enableBackgroundCorrection(CameraSession& camera, Window owner = nullptr);
void disableBackgroundCorrection(CameraSession& camera);

// The background's steps: four raw frames of n bytes averaged (floor) into
// the first; the grey level of a B, G, R pixel; and from a width x height
// RGB frame the factor mean / grey per pixel (999999.0 for a grey of 0),
// with the grey levels written over the front of the RGB buffer.
void averageFourFrames(std::uint8_t* frames, std::size_t n);
std::uint8_t greyLevel(const std::uint8_t* pixel);
void backgroundFactorsFromRgb(std::uint8_t* rgb, std::size_t width, std::size_t height, double* factors);

// The SDK callbacks the switches register (streaming thread); the context
// is the CameraSession. Dark subtraction works on raw frames, background
// correction on RGB preview frames of 3 or 4 bytes per pixel.
void VARCAM_CALL darkFrameCallback(void* context, std::uint8_t* frame, std::uint32_t byteCount);
void VARCAM_CALL backgroundCallback(void* context, std::uint8_t* pixels, std::uint32_t byteCount,
                                    std::uint32_t reserved);

// The vector unit the background kernel uses: the widest the processor has,
// unless limited (to compare the paths). Every level gives the same bytes.
enum class KernelLevel { Scalar, Avx2, Avx512 };
KernelLevel kernelLevel();
void limitKernelLevel(KernelLevel highest);

// frame[i] -= dark[i], saturating at 0, for i below both sizes.
void subtractDarkFrame(std::uint8_t* frame, std::size_t frameSize, const std::uint8_t* dark,
                       std::size_t darkSize);
// Each of the first three bytes of every pixel multiplied by its factor and
// capped at 255; a fourth byte is left alone.
void applyBackgroundFactors(std::uint8_t* pixels, std::size_t pixelCount, int bytesPerPixel,
                            const double* factors);

} // namespace vx
