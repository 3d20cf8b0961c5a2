// One attached camera: its model, live properties, format and rate, stream,
// callbacks, TakeVideo requests and display, and the per-frame pipeline that
// runs on its streaming thread: raw frame -> TakeVideo copies -> streaming
// callbacks (in place) -> RGB preview -> RGB preview callbacks (in place) ->
// display. SDK semantics live here; the C layer only checks handles,
// injects faults and journals calls.
#pragma once

#include "vividozuz/callback_registry.h"
#include "vividozuz/converter.h"
#include "vividozuz/frame_format.h"
#include "vividozuz/frame_renderer.h"
#include "vividozuz/journal.h"
#include "vividozuz/property_store.h"
#include "vividozuz/scene.h"
#include "vividozuz/stream_thread.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vzsim {

struct DeviceDefaults {
  Pacing pacing = Pacing::Realtime;
  bool stalled = false;
  bool noise = false;
  std::uint32_t noiseSeed = 1;
  std::uint32_t takeVideoTimeoutMs = 10000;
};

class CameraDevice final : private FrameProducer {
public:
  // `model` must have been normalised (normaliseModel).
  CameraDevice(int index, CameraModel model, Journal& journal, const DeviceDefaults& defaults);
  ~CameraDevice() override;
  CameraDevice(const CameraDevice&) = delete;
  CameraDevice& operator=(const CameraDevice&) = delete;

  int index() const { return index_; }
  std::uint32_t cameraId() const { return cameraId_; }
  CameraVersionRecord version() const { return version_; }

  // ---- SDK operations: each returns an error code, ErrorNone on success.
  std::uint32_t open();
  std::uint32_t close();
  std::uint32_t getProperty(int property, float& value, std::uint32_t& flags) const;
  std::uint32_t setProperty(int property, float value, std::uint32_t flags);
  std::uint32_t propertyRange(int property, float& minimum, float& maximum, float& defaultValue,
                              std::uint32_t& flags) const;
  std::uint32_t getFormat(FrameFormatRecord& format, float& rate) const;
  std::uint32_t setFormat(const FrameFormatRecord& format, float rate);
  std::vector<float> offeredRateValues() const;
  std::uint32_t streamControl(int mode, VarcamWindow window);
  int streamState() const;
  std::uint32_t destroyDisplayWindow();
  VarcamWindow displayWindow() const;
  float displayFrameRate() const;
  std::uint32_t videoImageFormat(std::uint32_t* record) const;
  std::uint32_t takeVideo(int count, std::uint8_t* buffer);
  std::uint32_t convertToRgb24(std::uint8_t* destination, const std::uint8_t* source, int width,
                               int height, int pixelFormat, const ConversionRecord& conversion);
  std::uint32_t setCustomMatrix(const float* matrix);
  int rgbPreviewFormat() const;
  int addStreamingCallback(VarcamStreamingCallback callback, void* context, std::uint32_t& error);
  int addRgbPreviewCallback(VarcamRgbPreviewCallback callback, void* context, int format,
                            std::uint32_t& error);
  std::uint32_t removeStreamingCallback(int id);
  std::uint32_t removeRgbPreviewCallback(int id);
  std::uint32_t oneShotAutoExposure(int target, int x, int y, int width, int height);
  std::uint32_t oneShotWhiteBalance(int x, int y, int width, int height);

  // ---- control
  bool isOpen() const;
  int streamMode() const;
  CameraModel modelSnapshot() const;
  bool forcePropertyValue(int property, float value);
  std::optional<PropertySpec> propertySpec(int property) const;
  bool replacePropertySpec(int property, const PropertySpec& spec);
  FrameFormatRecord currentFormat() const;
  float currentRate() const;
  bool setFrameRates(std::vector<FrameRateSpec> rates);
  bool setRgbPreviewFormat(int format);
  void setScene(Scene scene);
  void setPacing(Pacing pacing) { stream_.setPacing(pacing); }
  void setStalled(bool stalled) { stream_.setStalled(stalled); }
  void releaseFrames(int count);
  bool advanceFrames(int count, std::uint32_t timeoutMs);
  bool waitForFrames(int count, std::uint32_t timeoutMs);
  std::uint64_t framesDelivered() const;
  void setNoise(bool on, std::uint32_t seed);
  void setTakeVideoTimeout(std::uint32_t milliseconds);
  std::optional<DisplayedFrame> lastDisplayedFrame() const;
  // Stops everything before the camera is detached.
  void shutdown();

private:
  using Clock = std::chrono::steady_clock;

  struct TakeRequest {
    std::uint8_t* buffer = nullptr;
    int count = 0;
    int got = 0;
    std::size_t frameBytes = 0;
    std::uint64_t firstFrame = 0;
    bool done = false;
    std::uint32_t error = ErrorNone;
  };

  // What one frame is made with, copied at the frame's start.
  struct FrameJob {
    std::uint64_t frameNumber = 0;
    FrameFormatRecord format{};
    float rate = 0.0f;
    float rateMaxExposure = 0.0f;
    PropertyValues values;
    ToneSettings tone;
    int mode = 0;
    VarcamWindow window = nullptr;
    int rgbFormat = VarcamRgb24;
    Matrix3 customMatrix = kIdentity;
    bool noise = false;
    std::uint32_t noiseSeed = 1;
  };

  double produceFrame() override;
  void deliverToTakeVideo(const FrameStamp& stamp, std::size_t bytes);
  void display(const FrameJob& job, const FrameStamp& stamp, const FrameGeometry& geometry);
  void cameraAutoExposure(const FrameJob& job, const FrameGeometry& geometry);
  void abortRequests(std::uint32_t error);
  bool waitDelivered(std::uint64_t target, std::uint32_t timeoutMs);
  std::shared_ptr<const SceneImage> scene();
  // Under stateMutex_:
  float clockFactorLocked() const;
  std::vector<FrameRateSpec> formatRatesLocked(const FrameFormatRecord& format) const;
  void reconcileRateLocked();
  Matrix3 previewMatrixLocked(const PropertyValues& values, const Matrix3& custom) const;

  const int index_;
  const std::uint32_t cameraId_;
  const CameraVersionRecord version_;
  const std::uint32_t sensorWidth_;
  const std::uint32_t sensorHeight_;
  const bool colour_;
  Journal& journal_;

  mutable std::mutex stateMutex_;
  CameraModel model_;  // its property map is not kept up to date: props_ is
  PropertyStore props_;
  FrameFormatRecord format_{};
  float rate_ = 0.0f;
  float rateMaxExposure_ = 0.0f;
  int mode_ = 0;
  VarcamWindow window_ = nullptr;
  bool open_ = false;
  std::uint64_t frameCounter_ = 0;
  Matrix3 customMatrix_ = kIdentity;
  bool noise_ = false;
  std::uint32_t noiseSeed_ = 1;
  std::uint32_t takeVideoTimeoutMs_ = 10000;

  std::mutex streamControlMutex_;  // serialises stream start/stop and close

  std::mutex sceneMutex_;
  Scene sceneKind_ = Scene::Chart;
  std::shared_ptr<const SceneImage> scene_;

  mutable std::mutex deliverMutex_;
  std::condition_variable deliverCv_;
  std::vector<TakeRequest*> requests_;
  std::uint64_t delivered_ = 0;

  CallbackRegistry<VarcamStreamingCallback> streaming_;
  CallbackRegistry<VarcamRgbPreviewCallback> rgbPreview_;

  mutable std::mutex displayMutex_;
  std::optional<DisplayedFrame> displayed_;
  std::array<Clock::time_point, 16> displayTimes_{};
  std::size_t displayTimeCount_ = 0;

  // Used by the streaming thread only.
  FrameRenderer renderer_;
  Converter converter_;
  std::vector<std::uint8_t> raw_;
  std::vector<std::uint8_t> rgb_;

  StreamThread stream_;  // last: stopped before anything it uses goes away
};

} // namespace vzsim
