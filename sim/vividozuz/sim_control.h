// Control interface of the camera simulator that implements the vividozuz
// SDK (camera/varcam_sdk.h). Tests and tools configure the attached cameras,
// inject faults, pace the streaming thread and read the journal of SDK calls
// and delivered frames. The driver never includes this header.
//
// Every function is thread-safe. Cameras are addressed by their 1-based
// index, the same index VarcamCameraOpen takes. None of these functions may
// be called from inside an SDK callback unless its comment says so.
#pragma once

#include "sdk/varcam_sdk.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(VARCAM_BUILDING_SDK)
#define VZSIM_API __declspec(dllexport)
#else
#define VZSIM_API __declspec(dllimport)
#endif
#else
#define VZSIM_API __attribute__((visibility("default")))
#endif

namespace vzsim {

// One property of a camera model. Absent properties fail every call with
// ErrorNoSuchProperty.
struct PropertySpec {
  bool present = true;
  float minimum = 0.0f;
  float maximum = 0.0f;
  float defaultValue = 0.0f;
  float value = 0.0f;
  std::uint32_t flags = 0;          // reported by VarcamGetProperty/VarcamPropertyRange
  bool readOnly = false;
  std::uint32_t writableFlags = 0;  // flag bits VarcamSetProperty accepts and stores
  bool integer = false;             // values are rounded to whole numbers
};

// A frame rate the camera can run at, with the largest exposure (ms) that it
// admits (below the frame period). A rate is offered for a format only when
// the sensor rows the format reads can be read out within one frame period;
// the slowest rate is offered for every format.
struct FrameRateSpec {
  float rate = 0.0f;
  float maxExposure = 0.0f;
};

// The rate with the largest exposure the default models give it: the frame
// period less 2 %, truncated to hundredths of a millisecond.
VZSIM_API FrameRateSpec frameRate(float rate);

// What the lens sees. Chart: colour patches, grey and hue ramps; Flat: a
// uniform grey surface (a background for flat-field correction); Covered: no
// light at all (dark frame: only the dark level and the hot pixels remain).
// Every scene is vignetted and has the same hot pixels.
enum class Scene { Chart, Flat, Covered };

struct CameraModel {
  std::uint32_t cameraId = 160;
  std::uint32_t serialNumber = 0;
  CameraVersionRecord version{};       // serialNumber copied in on attach
  std::uint32_t sensorWidth = 1280;
  std::uint32_t sensorHeight = 1024;
  bool colour = true;                  // Bayer RGGB mosaic; false = grey sensor
  std::map<int, PropertySpec> properties;
  std::vector<FrameRateSpec> frameRates;  // slowest first
  int rgbPreviewFormat = VarcamRgb24;     // 0, 2 or 6
  bool twoBytePixels = false;             // raw pixel format 1 accepted
  bool highByteSample = true;             // two-byte pixels: 8-bit sample in the second byte
  bool interlacedFields = false;          // video image format word 9 nonzero
  float minExposure = 0.01f;              // ms
  float rowReadoutMs = 0.03125f;          // time to read one sensor row at full clock
  float fullScaleExposureMs = 25.0f;      // exposure that fills a pixel of scene value 1.0
  float darkLevel = 4.0f;                 // black level in 8-bit levels
  std::array<float, 3> channelResponse{0.72f, 1.0f, 0.58f};  // R, G, B sensitivity
};

// The model the simulator presents for a camera id: sensor size by id (640 x
// 480 for ids it does not know), every property with plausible ranges, the
// auxiliary switches on ids 421 and 346, and the rates 3.75 to 200 fps. Id
// 145 is monochrome, every other id colour.
VZSIM_API CameraModel defaultModel(std::uint32_t cameraId);
// The same camera with a grey sensor: no colour gains, PropColorFormat 0,
// grey RGB preview.
VZSIM_API CameraModel asMonochrome(CameraModel model);

// ---- attached cameras ------------------------------------------------------
// Restores the initial state: one camera, defaultModel(160); no faults;
// realtime pacing; not stalled; no noise; empty journal recording frames.
// Closes anything open (stopping its stream); old handles become invalid.
VZSIM_API void reset();
// Attaches these cameras in this order (any open camera is closed first).
// Rates are sorted slowest first, PropColorFormat and the colour gains are
// made to agree with `colour`, `twoBytePixels` and `highByteSample`.
// Returns false (and changes nothing) when a model has no frame rate or an
// empty sensor, or when called from a streaming thread.
VZSIM_API bool setCameras(const std::vector<CameraModel>& cameras);
// The attached cameras as they are now (live property values and rates).
VZSIM_API std::vector<CameraModel> cameras();

// Live state of an attached camera, open or not. Setters bypass the range
// and read-only checks of VarcamSetProperty and return false for an unknown
// camera or property.
VZSIM_API bool setPropertyValue(int cameraIndex, int property, float value);
VZSIM_API std::optional<float> propertyValue(int cameraIndex, int property);
VZSIM_API std::optional<std::uint32_t> propertyFlags(int cameraIndex, int property);
// Replaces a property's whole description (present = false makes it absent).
VZSIM_API bool setPropertySpec(int cameraIndex, int property, const PropertySpec& spec);
VZSIM_API std::optional<PropertySpec> propertySpec(int cameraIndex, int property);
VZSIM_API FrameFormatRecord currentFormat(int cameraIndex);
VZSIM_API float currentFrameRate(int cameraIndex);
VZSIM_API int streamMode(int cameraIndex);  // last VarcamStreamVideoControl mode (0 stopped)
VZSIM_API bool isOpen(int cameraIndex);
// Frame rates offered for the format at the moment (what Enum returns next).
VZSIM_API std::vector<float> offeredRates(int cameraIndex);
// Replaces the camera's rate list (sorted slowest first). The exposure is
// lowered to the new slowest rate's largest exposure when above it, and a
// rate in use that is no longer offered gives way to the fastest offered
// rate below it (else the slowest).
VZSIM_API bool setFrameRates(int cameraIndex, const std::vector<FrameRateSpec>& rates);
VZSIM_API bool setRgbPreviewFormat(int cameraIndex, int format);  // 0, 2 or 6
// Frame callbacks registered on the camera now (closing it drops them all).
struct RegisteredCallbacks {
  std::size_t streaming = 0;
  std::size_t rgbPreview = 0;
  std::size_t total() const { return streaming + rgbPreview; }
};
VZSIM_API RegisteredCallbacks registeredCallbacks(int cameraIndex);
VZSIM_API bool setScene(int cameraIndex, Scene scene);

// ---- faults ------------------------------------------------------------------
// The next `count` calls of the named SDK function (e.g. "VarcamSetProperty")
// fail with `errorCode` and do nothing else. With `property` >= 0 only calls
// on that property id count (VarcamGetProperty, VarcamSetProperty,
// VarcamPropertyRange). Returns false for a name that is not an SDK function
// (VarcamGetLastError cannot fail).
VZSIM_API bool failNext(const std::string& function, int count, std::uint32_t errorCode,
                        int property = -1);
// The `callIndex`-th call of the named SDK function from now on (1 = the
// next one) fails with `errorCode`; the calls before it pass. `property` as
// for failNext. Returns false for an unknown function or an index below 1.
VZSIM_API bool failCall(const std::string& function, int callIndex, std::uint32_t errorCode,
                        int property = -1);
VZSIM_API void clearFaults();
// The streaming thread delivers no frames at all while set (a stalled
// camera). cameraIndex 0 = every camera.
VZSIM_API void setStalled(bool stalled, int cameraIndex = 0);
// Real time VarcamTakeVideo waits beyond n frame periods before it fails
// with ErrorTimeout (10000 ms unless set).
VZSIM_API void setTakeVideoTimeout(std::uint32_t milliseconds);

// Error codes the simulator reports on its own.
enum ErrorCode : std::uint32_t {
  ErrorNone = 0,
  ErrorReadOnly = 5,
  ErrorInvalidHandle = 6,
  ErrorNotSupported = 50,
  ErrorInvalidArgument = 87,
  ErrorBusy = 170,
  ErrorAborted = 995,
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
VZSIM_API Pacing pacing();
// Lets `count` more frames through in Held pacing (kept until streamed).
// cameraIndex 0 = every camera.
VZSIM_API void releaseFrames(int count, int cameraIndex = 0);
// Held pacing: releases `count` frames and blocks until exactly those have
// been delivered to everything registered. Other pacings: waits for `count`
// frames that start after the call. False on timeout (real ms).
VZSIM_API bool advanceFrames(int cameraIndex, int count, std::uint32_t timeoutMs = 10000);
// Blocks until `count` frames that start after the call have been delivered
// to everything registered (callbacks, TakeVideo, display), or the timeout
// (real ms) passes. Returns whether they arrived.
VZSIM_API bool waitForFrames(int cameraIndex, int count, std::uint32_t timeoutMs = 10000);
// Frames delivered by the streaming thread since the camera was opened.
VZSIM_API std::uint64_t framesDelivered(int cameraIndex);
// Realtime pacing: frame slots missed since the camera was opened because
// making and delivering the frame before them took longer than a frame
// period (a stall's time is not counted).
VZSIM_API std::uint64_t framesDropped(int cameraIndex);
// The longest a single streaming or RGB preview callback has run since the
// camera was opened, in microseconds.
VZSIM_API std::uint64_t slowestCallbackMicros(int cameraIndex);
// Seeded noise of about +-1.5 levels on every raw pixel (off by default, so
// that frames are exact functions of the settings). A frame's noise depends
// only on the seed and its frame number.
VZSIM_API void setNoise(bool on, std::uint32_t seed = 1);

// ---- display ---------------------------------------------------------------------
// The last frame shown in the display window: BGR(A) or grey rows bottom-up,
// as the RGB preview callbacks left it.
struct DisplayedFrame {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bytesPerPixel = 3;
  std::vector<std::uint8_t> pixels;
  VarcamWindow window = nullptr;
  std::uint64_t sequence = 0;  // frame number of the streaming thread
};
VZSIM_API std::optional<DisplayedFrame> lastDisplayedFrame(int cameraIndex);

// ---- journal -----------------------------------------------------------------------
// Every SDK call and every frame delivery, in the order they completed.
struct JournalEntry {
  std::uint64_t sequence = 0;
  int camera = 0;                 // 1-based camera index, 0 when no camera is concerned
  std::string function;           // "VarcamSetProperty", or "frame" for a delivery
  std::vector<std::string> args;  // arguments after the handle, as text
  bool ok = true;                 // call result
  std::int64_t result = 0;        // the value the call returned
  std::uint32_t error = 0;        // last error on failure
  // For function == "frame": where it went ("TakeVideo", "streaming",
  // "rgbPreview", "display"), the streaming frame number, the format and rate
  // it was made at, and the property values (id -> value) it was made with.
  std::string target;
  std::uint64_t frameNumber = 0;
  FrameFormatRecord format{};
  float frameRate = 0.0f;
  std::map<int, float> properties;
};
VZSIM_API std::vector<JournalEntry> journal();
VZSIM_API void clearJournal();
VZSIM_API void setJournalFrames(bool recordFrames);  // on by default

} // namespace vzsim
