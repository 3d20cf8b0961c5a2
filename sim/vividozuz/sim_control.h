// Control interface of the camera simulator that implements the vividozuz
// SDK (camera/varcam_sdk.h). Tests and tools configure the attached cameras,
// inject faults, pace the streaming thread and read the journal of SDK calls
// and delivered frames. The driver never includes this header.
//
// Every function is thread-safe.
#pragma once

#include "camera/varcam_sdk.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#define VZSIM_API __attribute__((visibility("default")))

namespace vzsim {

// One property of a camera model. Absent properties fail every call with
// ErrorNoSuchProperty.
struct PropertySpec {
  bool present = true;
  float minimum = 0.0f;
  float maximum = 0.0f;
  float defaultValue = 0.0f;
  float value = 0.0f;
  std::uint32_t flags = 0;       // reported by VarcamGetProperty/VarcamPropertyRange
  bool readOnly = false;
};

// A frame rate offered at full sensor size with the largest exposure (ms)
// that it admits. Smaller formats scale the rates up (see sim docs).
struct FrameRateSpec {
  float rate = 0.0f;
  float maxExposure = 0.0f;
};

struct CameraModel {
  std::uint32_t cameraId = 160;
  std::uint32_t serialNumber = 0;
  CameraVersionRecord version{};       // serialNumber copied in on attach
  std::uint32_t sensorWidth = 1280;
  std::uint32_t sensorHeight = 1024;
  bool colour = true;                  // Bayer mosaic; false = grey sensor
  std::map<int, PropertySpec> properties;
  std::vector<FrameRateSpec> frameRates;  // slowest first
  int rgbPreviewFormat = VarcamRgb24;     // 0, 2 or 6
  bool twoBytePixels = false;             // raw pixel format 1
  bool interlacedFields = false;          // video image format word 9 nonzero
  float minExposure = 0.01f;
};

// The model the simulator presents for a camera id: sensor size by id, a
// colour model with every property unless the id is a monochrome one.
VZSIM_API CameraModel defaultModel(std::uint32_t cameraId);

// ---- attached cameras ------------------------------------------------------
// Restores the initial state: one camera, id 160; no faults; realtime pacing;
// empty journal. Closes anything open (stopping its stream).
VZSIM_API void reset();
VZSIM_API void setCameras(const std::vector<CameraModel>& cameras);
VZSIM_API std::vector<CameraModel> cameras();

// Live state of an attached camera (index from 1), open or not.
VZSIM_API void setPropertyValue(int cameraIndex, int property, float value);
VZSIM_API std::optional<float> propertyValue(int cameraIndex, int property);
VZSIM_API std::optional<std::uint32_t> propertyFlags(int cameraIndex, int property);
VZSIM_API FrameFormatRecord currentFormat(int cameraIndex);
VZSIM_API float currentFrameRate(int cameraIndex);
VZSIM_API int streamMode(int cameraIndex);          // last VarcamStreamVideoControl mode
VZSIM_API bool isOpen(int cameraIndex);
// Frame rates offered for the format at the moment (what Enum returns next).
VZSIM_API std::vector<float> offeredRates(int cameraIndex);

// ---- faults ------------------------------------------------------------------
// The next `count` calls of the named SDK function (e.g. "VarcamSetProperty")
// fail with `errorCode`. With `property` >= 0 only calls on that property id
// count (property functions only).
VZSIM_API void failNext(const std::string& function, int count, std::uint32_t errorCode,
                        int property = -1);
VZSIM_API void clearFaults();
// Streaming thread delivers no frames at all while set (a stalled camera).
VZSIM_API void setStalled(bool stalled);

// Error codes the simulator reports on its own.
enum ErrorCode : std::uint32_t {
  ErrorNone = 0,
  ErrorInvalidHandle = 6,
  ErrorInvalidArgument = 87,
  ErrorNoSuchProperty = 1168,
  ErrorOutOfRange = 1460,
  ErrorNotStreaming = 1461,
  ErrorTimeout = 1462,
};

// ---- pacing --------------------------------------------------------------------
enum class Pacing {
  Realtime,  // frames at the current frame rate (default)
  Free,      // frames back to back, as fast as they can be made
  Held,      // a frame only when released with releaseFrames()
};
VZSIM_API void setPacing(Pacing pacing);
VZSIM_API void releaseFrames(int count);
// Blocks until the streaming thread has delivered `count` more frames to
// everything registered (callbacks, display), or the timeout (real ms)
// passes. Returns whether they arrived.
VZSIM_API bool waitForFrames(int cameraIndex, int count, std::uint32_t timeoutMs = 10000);
// Frames delivered by the streaming thread since the camera was opened.
VZSIM_API std::uint64_t framesDelivered(int cameraIndex);
VZSIM_API void setNoise(bool on, std::uint32_t seed = 1);

// ---- display ---------------------------------------------------------------------
// The last frame shown in the display window: BGR rows bottom-up, as the
// RGB preview callbacks saw it after they ran.
struct DisplayedFrame {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bytesPerPixel = 3;
  std::vector<std::uint8_t> pixels;
  VarcamWindow window = nullptr;
  std::uint64_t sequence = 0;
};
VZSIM_API std::optional<DisplayedFrame> lastDisplayedFrame(int cameraIndex);

// ---- journal -----------------------------------------------------------------------
struct JournalEntry {
  std::uint64_t sequence = 0;
  std::string function;           // "VarcamSetProperty", or "frame" for a delivery
  std::vector<std::string> args;  // arguments after the handle, as text
  bool ok = true;                 // call result
  std::uint32_t error = 0;        // last error on failure
  // For function == "frame": where it went ("TakeVideo", "streaming",
  // "rgbPreview", "display"), the format and rate it was made at, and the
  // property values (id -> value) it was made with.
  std::string target;
  FrameFormatRecord format{};
  float frameRate = 0.0f;
  std::map<int, float> properties;
};
VZSIM_API std::vector<JournalEntry> journal();
VZSIM_API void clearJournal();
VZSIM_API void setJournalFrames(bool recordFrames);  // on by default

} // namespace vzsim
