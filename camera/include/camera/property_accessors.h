// The property accessors: the one place where the host's commands and the
// settings file read and change the adjustable settings. Each numeric
// property is a preview/acquire pair with a lock. With the property's panel
// of the options window open, a setter hands the value to the panel view,
// which writes it into the panel's control, and the panel applies it; with
// the panel closed, a preview setter writes the camera itself. Acquisition values and locks never reach the
// camera from here. Getters return stored values and never ask the camera.
//
// All run on the host's user-interface thread; setters return 1, or 0 when
// the camera refused the value (the value stays stored).
#pragma once

#include "camera/camera_session.h"

#include <cstdint>

namespace vx {

int setPreview(CameraSession& camera, NumericProperty property, float value);
int setAcquire(CameraSession& camera, NumericProperty property, float value);
int setLocked(CameraSession& camera, NumericProperty property, std::int32_t locked);
float getPreview(const CameraSession& camera, NumericProperty property);
float getAcquire(const CameraSession& camera, NumericProperty property);
std::int32_t getLocked(const CameraSession& camera, NumericProperty property);

// Exposure (the preview setter is setPreviewExposure of the preview stream).
int setExposureAcquire(CameraSession& camera, float value);
int setExposureLocked(CameraSession& camera, std::int32_t locked);
float getExposurePreview(const CameraSession& camera);
float getExposureAcquire(const CameraSession& camera);
std::int32_t getExposureLocked(const CameraSession& camera);
int getExposureRange(const CameraSession& camera, float& minimum, float& maximum);
std::int32_t getAutoExposureCapable(const CameraSession& camera);
int setBrightnessTarget(CameraSession& camera, float value);
float getBrightnessTarget(const CameraSession& camera);
int setCameraAutoExposure(CameraSession& camera, std::int32_t on);
std::int32_t getCameraAutoExposure(const CameraSession& camera);
std::int32_t getFrameRateChoice(const CameraSession& camera);

int setMirror(CameraSession& camera, std::int32_t horizontal, std::int32_t vertical);
std::int32_t getMirrorHorizontal(const CameraSession& camera);
std::int32_t getMirrorVertical(const CameraSession& camera);
int setLightSource(CameraSession& camera, std::int32_t index);
int setFlickerMode(CameraSession& camera, std::int32_t index);
std::int32_t getLightSource(const CameraSession& camera);
std::int32_t getFlickerMode(const CameraSession& camera);

int setOverlayOptions(CameraSession& camera, const OverlayOptions& options);
OverlayOptions getOverlayOptions(const CameraSession& camera);
int setAlphaOptions(CameraSession& camera, const AlphaOptions& options);
AlphaOptions getAlphaOptions(const CameraSession& camera);

// The preview region (index, size, offsets, factors, binning).
CaptureRegion getPreviewFormat(const CameraSession& camera);
int setAcquireWindow(CameraSession& camera, std::int32_t width, std::int32_t height,
                     std::int32_t offsetX, std::int32_t offsetY);
int setAcquireMode(CameraSession& camera, std::int32_t index);
CaptureRegion getAcquireGeometry(const CameraSession& camera);
// The acquisition region with the selected entry's size as its size.
CaptureRegion getAcquireSelection(const CameraSession& camera);
DisplaySize getDisplaySize(const CameraSession& camera);

} // namespace vx
