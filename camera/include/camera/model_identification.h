// Model identification and property ranges, run at every camera open: the
// model id and what depends on it, the information texts, every adjustable
// property's range and current value on the user scale, the resets of the
// correction, overlay and resolution choices, and the preview and
// acquisition geometry from the resolution table.
//
// Runs on the host's user-interface thread.
#pragma once

#include "camera/camera_session.h"

#include <cstdint>

namespace vx {

// Returns 1, or 0 when the camera's video format can't be read (the user has
// been told; nothing after the model id is read then).
int identifyModel(CameraSession& camera);

// The model name shown for a camera id ("Unknown model" for ids not listed).
const char* modelNameFor(std::uint32_t cameraId);
// Whether the camera runs its own auto exposure (the exposure panel offers it).
bool autoExposureCapableId(std::uint32_t cameraId);
// Width and height steps to which a custom region is rounded.
std::int32_t roiWidthStepFor(std::uint32_t cameraId);
std::int32_t roiHeightStepFor(std::uint32_t cameraId);

} // namespace vx
