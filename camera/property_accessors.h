// The property accessors: the one place where the host's commands and the
// settings file read and change the adjustable settings. Each numeric
// property is a preview/acquire pair with a lock. With the property's panel
// of the options window open, a setter writes the value into the panel's
// control and the panel applies it; with the panel closed, a preview setter
// writes the camera itself. Acquisition values and locks never reach the
// camera from here. Getters return stored values and never ask the camera.
//
// All run on the host's user-interface thread; setters return 1, or 0 when
// the camera refused the value (the value stays stored).
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

int setPreview(DriverState& state, NumericProperty property, float value);
int setAcquire(DriverState& state, NumericProperty property, float value);
int setLocked(DriverState& state, NumericProperty property, std::int32_t locked);
float getPreview(const DriverState& state, NumericProperty property);
float getAcquire(const DriverState& state, NumericProperty property);
std::int32_t getLocked(const DriverState& state, NumericProperty property);

// Exposure (the preview setter is setPreviewExposure of the preview stream).
int setExposureAcquire(DriverState& state, float value);
int setExposureLocked(DriverState& state, std::int32_t locked);
float getExposurePreview(const DriverState& state);
float getExposureAcquire(const DriverState& state);
std::int32_t getExposureLocked(const DriverState& state);
int getExposureRange(const DriverState& state, float& minimum, float& maximum);
std::int32_t getAutoExposureCapable(const DriverState& state);
int setBrightnessTarget(DriverState& state, float value);
float getBrightnessTarget(const DriverState& state);
int setCameraAutoExposure(DriverState& state, std::int32_t on);
std::int32_t getCameraAutoExposure(const DriverState& state);
std::int32_t getFrameRateChoice(const DriverState& state);

int setMirror(DriverState& state, std::int32_t horizontal, std::int32_t vertical);
std::int32_t getMirrorHorizontal(const DriverState& state);
std::int32_t getMirrorVertical(const DriverState& state);
int setLightSource(DriverState& state, std::int32_t index);
int setFlickerMode(DriverState& state, std::int32_t index);
std::int32_t getLightSource(const DriverState& state);
std::int32_t getFlickerMode(const DriverState& state);

struct OverlayOptions {
  std::int32_t on = 0, onPreview = 0, onCapture = 0, column = 0, row = 0;
};
int setOverlayOptions(DriverState& state, const OverlayOptions& options);
OverlayOptions getOverlayOptions(const DriverState& state);
struct AlphaOptions {
  std::int32_t on = 0, fromValue = 0;
  float value = 100.0f;
};
int setAlphaOptions(DriverState& state, const AlphaOptions& options);
AlphaOptions getAlphaOptions(const DriverState& state);

// A region of the sensor as the preview or acquisition uses it.
struct RegionGeometry {
  std::int32_t index = 0, width = 0, height = 0, offsetX = 0, offsetY = 0;
  std::int32_t factorX = 1, factorY = 1, binningX = 0, binningY = 0;
};
RegionGeometry getPreviewFormat(const DriverState& state);
int setAcquireWindow(DriverState& state, std::int32_t width, std::int32_t height,
                     std::int32_t offsetX, std::int32_t offsetY);
int setAcquireMode(DriverState& state, std::int32_t index);
RegionGeometry getAcquireGeometry(const DriverState& state);
RegionGeometry getAcquireSelection(const DriverState& state);
struct DisplaySize {
  std::int32_t index = 0, width = 0, height = 0;
};
DisplaySize getDisplaySize(const DriverState& state);

} // namespace vx
