#include "vividozuz/camera_device.h"

#include "vividozuz/camera_model.h"
#include "vividozuz/one_shot.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vzsim {

namespace {

bool isDisplayMode(int mode) { return mode == VarcamStreamDisplay || mode == VarcamStreamDisplayGdi; }

} // namespace

CameraDevice::CameraDevice(int index, CameraModel model, Journal& journal,
                           const DeviceDefaults& defaults)
    : index_(index),
      cameraId_(model.cameraId),
      version_(model.version),
      sensorWidth_(model.sensorWidth),
      sensorHeight_(model.sensorHeight),
      colour_(model.colour),
      journal_(journal),
      model_(std::move(model)),
      noise_(defaults.noise),
      noiseSeed_(defaults.noiseSeed),
      takeVideoTimeoutMs_(defaults.takeVideoTimeoutMs),
      stream_(*this) {
  props_.load(model_.properties);
  model_.properties.clear();
  format_ = fullSensorFormat(model_);
  rate_ = 0.0f;
  reconcileRateLocked();
  stream_.setPacing(defaults.pacing);
  stream_.setStalled(defaults.stalled);
  requests_.reserve(8);
}

CameraDevice::~CameraDevice() { shutdown(); }

void CameraDevice::shutdown() {
  if (stream_.onThread()) return;  // the owner never detaches from a callback
  {
    std::lock_guard control(streamControlMutex_);
    {
      std::lock_guard lock(stateMutex_);
      mode_ = VarcamStreamStop;
    }
    stream_.stop();
  }
  abortRequests(ErrorAborted);
}

// ---------------------------------------------------------------------------
// Open and close

std::uint32_t CameraDevice::open() {
  {
    std::lock_guard lock(stateMutex_);
    if (open_) return ErrorBusy;
    open_ = true;
    frameCounter_ = 0;
  }
  {
    std::lock_guard lock(deliverMutex_);
    delivered_ = 0;
  }
  stream_.resetCounters();
  return ErrorNone;
}

std::uint32_t CameraDevice::close() {
  if (stream_.onThread()) return ErrorBusy;
  {
    std::lock_guard control(streamControlMutex_);
    {
      std::lock_guard lock(stateMutex_);
      mode_ = VarcamStreamStop;
    }
    stream_.stop();
  }
  abortRequests(ErrorAborted);
  streaming_.clear();
  rgbPreview_.clear();
  std::lock_guard lock(stateMutex_);
  window_ = nullptr;
  open_ = false;
  return ErrorNone;
}

bool CameraDevice::isOpen() const {
  std::lock_guard lock(stateMutex_);
  return open_;
}

// ---------------------------------------------------------------------------
// Properties

std::uint32_t CameraDevice::getProperty(int property, float& value, std::uint32_t& flags) const {
  std::lock_guard lock(stateMutex_);
  return props_.get(property, value, flags);
}

std::uint32_t CameraDevice::setProperty(int property, float value, std::uint32_t flags) {
  std::lock_guard lock(stateMutex_);
  // The exposure range accepted here is the slowest rate's: a longer exposure
  // than the current frame period lengthens the period.
  return props_.set(property, value, flags);
}

std::uint32_t CameraDevice::propertyRange(int property, float& minimum, float& maximum,
                                          float& defaultValue, std::uint32_t& flags) const {
  std::lock_guard lock(stateMutex_);
  const std::uint32_t error = props_.range(property, minimum, maximum, defaultValue, flags);
  if (error == ErrorNone && property == PropExposure) maximum = rateMaxExposure_;
  return error;
}

// ---------------------------------------------------------------------------
// Format and frame rates

float CameraDevice::clockFactorLocked() const {
  const PropertySpec* clock = props_.find(PropClockSpeed);
  if (clock == nullptr || !(clock->value > 0.0f) || !(clock->maximum > 0.0f)) return 1.0f;
  return std::max(1.0f, clock->maximum / clock->value);
}

std::vector<FrameRateSpec> CameraDevice::formatRatesLocked(const FrameFormatRecord& format) const {
  return ratesForFormat(model_.frameRates, model_.rowReadoutMs, clockFactorLocked(), format);
}

void CameraDevice::reconcileRateLocked() {
  float exposure = 0.0f;
  std::uint32_t flags = 0;
  if (props_.get(PropExposure, exposure, flags) != ErrorNone) exposure = model_.minExposure;
  const std::vector<FrameRateSpec> formatRates = formatRatesLocked(format_);
  const std::vector<FrameRateSpec> offered = offeredRates(formatRates, exposure);
  for (const FrameRateSpec& r : offered) {
    if (sameRate(r.rate, rate_)) {
      rate_ = r.rate;
      rateMaxExposure_ = r.maxExposure;
      return;
    }
  }
  // The rate in use is gone (or none was set yet): the fastest offered one
  // not above it, else the slowest; at first the fastest of all.
  const float wanted = rate_ > 0.0f ? rate_ : 1e9f;
  const FrameRateSpec* choice = chooseRate(offered, wanted);
  if (choice == nullptr) choice = &model_.frameRates.front();
  rate_ = choice->rate;
  rateMaxExposure_ = choice->maxExposure;
}

std::uint32_t CameraDevice::getFormat(FrameFormatRecord& format, float& rate) const {
  std::lock_guard lock(stateMutex_);
  format = format_;
  rate = rate_;
  return ErrorNone;
}

std::uint32_t CameraDevice::setFormat(const FrameFormatRecord& format, float rate) {
  if (!std::isfinite(rate) || !(rate > 0.0f)) return ErrorInvalidArgument;
  std::lock_guard lock(stateMutex_);
  const std::uint32_t error = validateFormat(model_, format);
  if (error != ErrorNone) return error;
  float exposure = 0.0f;
  std::uint32_t flags = 0;
  if (props_.get(PropExposure, exposure, flags) != ErrorNone) exposure = model_.minExposure;
  const std::vector<FrameRateSpec> offered = offeredRates(formatRatesLocked(format), exposure);
  const FrameRateSpec* choice = chooseRate(offered, rate);
  if (choice == nullptr) return ErrorOutOfRange;
  format_ = format;
  rate_ = choice->rate;
  rateMaxExposure_ = choice->maxExposure;
  return ErrorNone;
}

std::vector<float> CameraDevice::offeredRateValues() const {
  std::lock_guard lock(stateMutex_);
  float exposure = 0.0f;
  std::uint32_t flags = 0;
  if (props_.get(PropExposure, exposure, flags) != ErrorNone) exposure = model_.minExposure;
  std::vector<float> out;
  for (const FrameRateSpec& r : offeredRates(formatRatesLocked(format_), exposure)) {
    out.push_back(r.rate);
  }
  return out;
}

// ---------------------------------------------------------------------------
// Stream and display

std::uint32_t CameraDevice::streamControl(int mode, VarcamWindow window) {
  if (mode != VarcamStreamStop && mode != VarcamStreamNoDisplay && !isDisplayMode(mode)) {
    return ErrorInvalidArgument;
  }
  if (isDisplayMode(mode) && window == nullptr) return ErrorInvalidArgument;

  // A callback may start or stop its own stream, but must not wait for a
  // thread that is joining it.
  std::unique_lock control(streamControlMutex_, std::defer_lock);
  if (stream_.onThread()) {
    if (!control.try_lock()) return ErrorBusy;
  } else {
    control.lock();
  }

  if (mode == VarcamStreamStop) {
    {
      std::lock_guard lock(stateMutex_);
      mode_ = VarcamStreamStop;
    }
    stream_.stop();
    control.unlock();
    abortRequests(ErrorAborted);
    return ErrorNone;
  }

  bool displayStarts = false;
  int previousMode = 0;
  {
    std::lock_guard lock(stateMutex_);
    previousMode = mode_;
    displayStarts = isDisplayMode(mode) && !isDisplayMode(mode_);
    mode_ = mode;
    if (isDisplayMode(mode)) window_ = window;
  }
  if (displayStarts) {
    std::lock_guard lock(displayMutex_);
    displayTimeCount_ = 0;
  }
  const std::uint32_t error = stream_.start();
  if (error != ErrorNone) {
    std::lock_guard lock(stateMutex_);
    mode_ = previousMode;
  }
  return error;
}

int CameraDevice::streamState() const {
  std::lock_guard lock(stateMutex_);
  switch (mode_) {
  case VarcamStreamDisplay: return VarcamStateDisplaying;
  case VarcamStreamNoDisplay: return VarcamStateStreaming;
  case VarcamStreamDisplayGdi: return VarcamStateDisplayingGdi;
  default: return VarcamStateStopped;
  }
}

int CameraDevice::streamMode() const {
  std::lock_guard lock(stateMutex_);
  return mode_;
}

std::uint32_t CameraDevice::destroyDisplayWindow() {
  std::lock_guard lock(stateMutex_);
  if (isDisplayMode(mode_)) return ErrorBusy;
  window_ = nullptr;
  return ErrorNone;
}

VarcamWindow CameraDevice::displayWindow() const {
  std::lock_guard lock(stateMutex_);
  return window_;
}

float CameraDevice::displayFrameRate() const {
  if (!isDisplayMode(streamMode())) return 0.0f;
  std::lock_guard lock(displayMutex_);
  const std::size_t n = std::min(displayTimeCount_, displayTimes_.size());
  if (n < 2) return 0.0f;
  const std::size_t last = (displayTimeCount_ - 1) % displayTimes_.size();
  const std::size_t first = (displayTimeCount_ - n) % displayTimes_.size();
  const double seconds =
      std::chrono::duration<double>(displayTimes_[last] - displayTimes_[first]).count();
  if (seconds <= 0.0) return 0.0f;
  return static_cast<float>(static_cast<double>(n - 1) / seconds);
}

std::uint32_t CameraDevice::videoImageFormat(std::uint32_t* record) const {
  if (record == nullptr || record[0] != VARCAM_VIDEO_IMAGE_FORMAT_SIZE) return ErrorInvalidArgument;
  std::lock_guard lock(stateMutex_);
  const FrameGeometry g = geometryOf(format_);
  float exposure = 0.0f;
  std::uint32_t flags = 0;
  props_.get(PropExposure, exposure, flags);
  record[1] = g.width;
  record[2] = g.height;
  record[3] = g.bytesPerPixel * 8;
  record[4] = format_.pixelFormat;
  record[5] = static_cast<std::uint32_t>(g.frameBytes());
  record[6] = g.width * g.bytesPerPixel;
  record[7] = colour_ ? 1u : 0u;  // 1 = RGGB mosaic
  record[8] = format_.flagsX | (format_.flagsY << 1);
  record[VARCAM_VIDEO_IMAGE_FORMAT_FIELD_LAYOUT] = model_.interlacedFields ? 1u : 0u;
  record[10] = static_cast<std::uint32_t>(std::lround(static_cast<double>(rate_) * 1000.0));
  record[11] = static_cast<std::uint32_t>(std::lround(static_cast<double>(exposure) * 1000.0));
  record[12] = model_.twoBytePixels && model_.highByteSample ? 1u : 0u;
  return ErrorNone;
}

// ---------------------------------------------------------------------------
// TakeVideo

std::uint32_t CameraDevice::takeVideo(int count, std::uint8_t* buffer) {
  if (count <= 0) return ErrorInvalidArgument;
  // The frames it waits for would have to come from the caller itself.
  if (stream_.onThread()) return ErrorBusy;
  TakeRequest request;
  request.buffer = buffer;
  request.count = count;
  double periodMs = 0.0;
  std::uint32_t timeoutMs = 0;
  std::unique_lock deliver(deliverMutex_, std::defer_lock);
  {
    std::lock_guard lock(stateMutex_);
    if (mode_ == VarcamStreamStop) return ErrorNotStreaming;
    request.frameBytes = geometryOf(format_).frameBytes();
    request.firstFrame = frameCounter_ + 1;
    periodMs = framePeriodMs(rate_, props_.snapshot().get(PropExposure, 0.0f));
    timeoutMs = takeVideoTimeoutMs_;
    // Registered under the state lock, so that a stop either sees the
    // request or is seen by it.
    deliver.lock();
    requests_.push_back(&request);
  }
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(
                         static_cast<double>(timeoutMs) + periodMs * count));
  const bool finished = deliverCv_.wait_until(
      deliver, deadline, [&] { return request.done || request.error != ErrorNone; });
  requests_.erase(std::find(requests_.begin(), requests_.end(), &request));
  if (request.error != ErrorNone) return request.error;
  return finished ? ErrorNone : ErrorTimeout;
}

void CameraDevice::abortRequests(std::uint32_t error) {
  std::lock_guard lock(deliverMutex_);
  for (TakeRequest* request : requests_) {
    if (!request->done && request->error == ErrorNone) request->error = error;
  }
  deliverCv_.notify_all();
}

void CameraDevice::deliverToTakeVideo(const FrameStamp& stamp, std::size_t bytes) {
  std::lock_guard lock(deliverMutex_);
  bool changed = false;
  for (TakeRequest* request : requests_) {
    if (request->done || request->error != ErrorNone || stamp.frameNumber < request->firstFrame) {
      continue;
    }
    changed = true;
    if (request->frameBytes != bytes) {
      // The format changed after the request was made: its buffer does not
      // fit these frames.
      request->error = ErrorAborted;
      continue;
    }
    if (request->buffer != nullptr) {
      std::memcpy(request->buffer + static_cast<std::size_t>(request->got) * bytes, raw_.data(),
                  bytes);
    }
    ++request->got;
    journal_.recordFrame(FrameTarget::TakeVideo, stamp);
    if (request->got == request->count) request->done = true;
  }
  if (changed) deliverCv_.notify_all();
}

// ---------------------------------------------------------------------------
// The frame pipeline (streaming thread)

std::shared_ptr<const SceneImage> CameraDevice::scene() {
  std::lock_guard lock(sceneMutex_);
  if (!scene_) {
    scene_ = SceneImage::build(sceneKind_, sensorWidth_, sensorHeight_, colour_, version_.serialNumber);
  }
  return scene_;
}

Matrix3 CameraDevice::previewMatrixLocked(const PropertyValues& values,
                                          const Matrix3& custom) const {
  if (!colour_) return kIdentity;
  Matrix3 correction = kIdentity;
  const int code = static_cast<int>(values.get(PropCorrectionMatrix, 14.0f));
  if (!correctionMatrix(code, custom, correction)) correction = kIdentity;
  const Matrix3 look =
      saturationHueMatrix(values.get(PropSaturation, 1.0f), values.get(PropHue, 0.0f));
  return multiply(look, correction);
}

double CameraDevice::produceFrame() {
  FrameJob job;
  bool highByteSample = true;
  bool fieldLayout = false;
  {
    std::lock_guard lock(stateMutex_);
    job.frameNumber = ++frameCounter_;
    job.format = format_;
    job.rate = rate_;
    job.rateMaxExposure = rateMaxExposure_;
    job.values = props_.snapshot();
    job.tone = toneFrom(model_, job.values);
    job.mode = mode_;
    job.window = window_;
    job.rgbFormat = model_.rgbPreviewFormat;
    job.customMatrix = customMatrix_;
    job.noise = noise_;
    job.noiseSeed = noiseSeed_;
    highByteSample = model_.highByteSample;
    fieldLayout = model_.interlacedFields;
  }
  const std::shared_ptr<const SceneImage> image = scene();
  const FrameGeometry geometry = geometryOf(job.format);
  const std::size_t bytes = geometry.frameBytes();
  raw_.resize(bytes);

  RenderSettings render;
  render.format = job.format;
  render.flipping = static_cast<int>(job.values.get(PropFlipping, 0.0f)) & 3;
  render.fieldLayout = fieldLayout;
  render.highByteSample = highByteSample;
  render.tone = job.tone;
  render.noise = job.noise;
  render.noiseSeed = job.noiseSeed;
  render.frameNumber = job.frameNumber;
  renderer_.render(*image, render, raw_.data());

  const FrameStamp stamp{index_, job.frameNumber, job.format, job.rate, job.values};
  deliverToTakeVideo(stamp, bytes);

  const auto byteCount = static_cast<std::uint32_t>(bytes);
  const int streamed = streaming_.forEach(
      job.frameNumber, [](const auto&) { return true; },
      [&](const auto& entry) { entry.function(entry.context, raw_.data(), byteCount); });
  if (streamed > 0) journal_.recordFrame(FrameTarget::Streaming, stamp);

  if (isDisplayMode(job.mode)) display(job, stamp, geometry);
  cameraAutoExposure(job, geometry);

  {
    std::lock_guard lock(deliverMutex_);
    ++delivered_;
  }
  deliverCv_.notify_all();
  return framePeriodMs(job.rate, job.tone.exposure);
}

void CameraDevice::display(const FrameJob& job, const FrameStamp& stamp,
                           const FrameGeometry& geometry) {
  const int bpp = bytesPerRgbPixel(job.rgbFormat);
  const std::size_t size = static_cast<std::size_t>(geometry.width) * geometry.height *
                           static_cast<std::size_t>(bpp);
  rgb_.resize(size);
  Matrix3 matrix;
  bool fieldLayout = false;
  bool highByteSample = true;
  {
    std::lock_guard lock(stateMutex_);
    matrix = previewMatrixLocked(job.values, job.customMatrix);
    fieldLayout = model_.interlacedFields;
    highByteSample = model_.highByteSample;
  }
  RawLayout layout;
  layout.width = geometry.width;
  layout.height = geometry.height;
  layout.twoBytes = geometry.bytesPerPixel == 2;
  layout.highByteSample = highByteSample;
  layout.fieldLayout = fieldLayout;
  layout.colour = colour_;
  converter_.convert(raw_.data(), layout, matrix, job.rgbFormat, rgb_.data());

  const auto byteCount = static_cast<std::uint32_t>(size);
  const auto formatWord = static_cast<std::uint32_t>(job.rgbFormat);
  const int previewed = rgbPreview_.forEach(
      job.frameNumber, [&](const auto& entry) { return entry.format == job.rgbFormat; },
      [&](const auto& entry) { entry.function(entry.context, rgb_.data(), byteCount, formatWord); });
  if (previewed > 0) journal_.recordFrame(FrameTarget::RgbPreview, stamp);

  {
    std::lock_guard lock(displayMutex_);
    if (!displayed_) displayed_.emplace();
    DisplayedFrame& shown = *displayed_;
    shown.width = geometry.width;
    shown.height = geometry.height;
    shown.bytesPerPixel = bpp;
    // The frame is shown as the callbacks left it: the buffer changes hands
    // instead of being copied, and the previous one is the next frame's.
    shown.pixels.swap(rgb_);
    shown.window = job.window;
    shown.sequence = job.frameNumber;
    displayTimes_[displayTimeCount_ % displayTimes_.size()] = Clock::now();
    ++displayTimeCount_;
  }
  journal_.recordFrame(FrameTarget::Display, stamp);
}

void CameraDevice::cameraAutoExposure(const FrameJob& job, const FrameGeometry& geometry) {
  if ((job.values.flagsOf(PropExposure) & VARCAM_FLAG_CAMERA_AUTO_EXPOSURE) == 0) return;
  const std::size_t pixels = static_cast<std::size_t>(geometry.width) * geometry.height;
  if (pixels == 0) return;
  const std::size_t bpp = geometry.bytesPerPixel;
  std::size_t sampleByte = 0;
  if (bpp == 2) {
    std::lock_guard lock(stateMutex_);
    sampleByte = model_.highByteSample ? 1 : 0;
  }
  double sum = 0.0;
  std::size_t n = 0;
  for (std::size_t i = 0; i < pixels; i += 7) {
    sum += raw_[i * bpp + sampleByte];
    ++n;
  }
  const double mean = sum / static_cast<double>(n);
  const double target = static_cast<double>(job.values.get(PropAutoExposureTarget, 170.0f));
  const double factor = mean < 1.0 ? 2.0 : std::pow(target / mean, 0.7);
  std::lock_guard lock(stateMutex_);
  PropertySpec* exposure = props_.find(PropExposure);
  if (exposure == nullptr || (exposure->flags & VARCAM_FLAG_CAMERA_AUTO_EXPOSURE) == 0 ||
      exposure->value != job.tone.exposure) {
    return;  // switched off or changed by the application meanwhile
  }
  exposure->value = std::clamp(static_cast<float>(static_cast<double>(job.tone.exposure) * factor), exposure->minimum,
                               rateMaxExposure_);
}

// ---------------------------------------------------------------------------
// Conversion

std::uint32_t CameraDevice::convertToRgb24(std::uint8_t* destination, const std::uint8_t* source,
                                           int width, int height, int pixelFormat,
                                           const ConversionRecord& conversion) {
  if (destination == nullptr || source == nullptr) return ErrorInvalidArgument;
  if (width <= 0 || height <= 0 || width > 65536 || height > 65536) return ErrorInvalidArgument;
  if (pixelFormat != 0 && pixelFormat != 1) return ErrorInvalidArgument;
  if (conversion.demosaicMethod != 1) return ErrorInvalidArgument;
  Matrix3 correction;
  RawLayout layout;
  Matrix3 look = kIdentity;
  {
    std::lock_guard lock(stateMutex_);
    if (!correctionMatrix(static_cast<int>(conversion.correctionCode), customMatrix_, correction)) {
      return ErrorInvalidArgument;
    }
    const PropertyValues values = props_.snapshot();
    look = saturationHueMatrix(values.get(PropSaturation, 1.0f), values.get(PropHue, 0.0f));
    layout.highByteSample = model_.highByteSample;
    layout.fieldLayout = model_.interlacedFields;
  }
  layout.width = static_cast<std::uint32_t>(width);
  layout.height = static_cast<std::uint32_t>(height);
  layout.twoBytes = pixelFormat == 1;
  layout.colour = colour_;
  Converter converter;
  converter.convert(source, layout, colour_ ? multiply(look, correction) : kIdentity, VarcamRgb24,
                    destination);
  return ErrorNone;
}

std::uint32_t CameraDevice::setCustomMatrix(const float* matrix) {
  if (matrix == nullptr) return ErrorInvalidArgument;
  Matrix3 m;
  for (std::size_t i = 0; i < m.size(); ++i) {
    if (!std::isfinite(matrix[i])) return ErrorInvalidArgument;
    m[i] = matrix[i];
  }
  std::lock_guard lock(stateMutex_);
  customMatrix_ = m;
  return ErrorNone;
}

int CameraDevice::rgbPreviewFormat() const {
  std::lock_guard lock(stateMutex_);
  return model_.rgbPreviewFormat;
}

// ---------------------------------------------------------------------------
// Callbacks

int CameraDevice::addStreamingCallback(VarcamStreamingCallback callback, void* context,
                                       std::uint32_t& error) {
  if (callback == nullptr) {
    error = ErrorInvalidArgument;
    return -1;
  }
  std::lock_guard lock(stateMutex_);
  return streaming_.add(callback, context, 0, frameCounter_ + 1);
}

int CameraDevice::addRgbPreviewCallback(VarcamRgbPreviewCallback callback, void* context,
                                        int format, std::uint32_t& error) {
  std::lock_guard lock(stateMutex_);
  // The preview is made in one format; a callback expecting another one
  // would read past its pixels.
  if (callback == nullptr || format != model_.rgbPreviewFormat) {
    error = ErrorInvalidArgument;
    return -1;
  }
  return rgbPreview_.add(callback, context, format, frameCounter_ + 1);
}

std::uint32_t CameraDevice::removeStreamingCallback(int id) {
  return streaming_.remove(id, stream_.onThread()) ? ErrorNone : ErrorInvalidArgument;
}

std::uint32_t CameraDevice::removeRgbPreviewCallback(int id) {
  return rgbPreview_.remove(id, stream_.onThread()) ? ErrorNone : ErrorInvalidArgument;
}

// ---------------------------------------------------------------------------
// One-shot adjustments

std::uint32_t CameraDevice::oneShotAutoExposure(int target, int x, int y, int width, int height) {
  if (target < 0 || target > 255) return ErrorInvalidArgument;
  RenderSettings render;
  float minimum = 0.0f;
  float maximum = 0.0f;
  Region region;
  {
    std::lock_guard lock(stateMutex_);
    const PropertySpec* exposure = props_.find(PropExposure);
    if (exposure == nullptr) return ErrorNotSupported;
    const FrameGeometry g = geometryOf(format_);
    if (!makeRegion(x, y, width, height, g.width, g.height, region)) return ErrorInvalidArgument;
    const PropertyValues values = props_.snapshot();
    render.format = format_;
    render.flipping = static_cast<int>(values.get(PropFlipping, 0.0f)) & 3;
    render.tone = toneFrom(model_, values);
    minimum = exposure->minimum;
    maximum = rateMaxExposure_;
  }
  RegionMeter meter(scene(), render, region);
  const float exposure = solveExposure(meter, render.tone, target, minimum, maximum);
  std::lock_guard lock(stateMutex_);
  props_.forceValue(PropExposure, exposure);
  return ErrorNone;
}

std::uint32_t CameraDevice::oneShotWhiteBalance(int x, int y, int width, int height) {
  RenderSettings render;
  float minimum = 0.0f;
  float maximum = 0.0f;
  Region region;
  {
    std::lock_guard lock(stateMutex_);
    const PropertySpec* red = props_.find(PropGainRed);
    const PropertySpec* blue = props_.find(PropGainBlue);
    if (!colour_ || red == nullptr || blue == nullptr) return ErrorNotSupported;
    const FrameGeometry g = geometryOf(format_);
    if (!makeRegion(x, y, width, height, g.width, g.height, region)) return ErrorInvalidArgument;
    const PropertyValues values = props_.snapshot();
    render.format = format_;
    render.flipping = static_cast<int>(values.get(PropFlipping, 0.0f)) & 3;
    render.tone = toneFrom(model_, values);
    minimum = std::max(red->minimum, blue->minimum);
    maximum = std::min(red->maximum, blue->maximum);
  }
  RegionMeter meter(scene(), render, region);
  float red = 1.0f;
  float blue = 1.0f;
  solveWhiteBalance(meter, render.tone, minimum, maximum, red, blue);
  std::lock_guard lock(stateMutex_);
  props_.forceValue(PropGainRed, red);
  props_.forceValue(PropGainBlue, blue);
  return ErrorNone;
}

// ---------------------------------------------------------------------------
// Control

CameraModel CameraDevice::modelSnapshot() const {
  std::lock_guard lock(stateMutex_);
  CameraModel model = model_;
  model.properties = props_.specs();
  return model;
}

bool CameraDevice::forcePropertyValue(int property, float value) {
  std::lock_guard lock(stateMutex_);
  return props_.forceValue(property, value);
}

std::optional<PropertySpec> CameraDevice::propertySpec(int property) const {
  std::lock_guard lock(stateMutex_);
  const PropertySpec* spec = props_.find(property);
  if (spec == nullptr) return std::nullopt;
  PropertySpec out = *spec;
  if (property == PropExposure) out.maximum = rateMaxExposure_;
  return out;
}

bool CameraDevice::replacePropertySpec(int property, const PropertySpec& spec) {
  std::lock_guard lock(stateMutex_);
  return props_.replace(property, spec);
}

FrameFormatRecord CameraDevice::currentFormat() const {
  std::lock_guard lock(stateMutex_);
  return format_;
}

float CameraDevice::currentRate() const {
  std::lock_guard lock(stateMutex_);
  return rate_;
}

bool CameraDevice::setFrameRates(std::vector<FrameRateSpec> rates) {
  if (!normaliseRates(rates)) return false;
  std::lock_guard lock(stateMutex_);
  model_.frameRates = std::move(rates);
  if (PropertySpec* exposure = props_.find(PropExposure)) {
    exposure->maximum = model_.frameRates.front().maxExposure;
    exposure->value = std::min(exposure->value, exposure->maximum);
  }
  reconcileRateLocked();
  return true;
}

bool CameraDevice::setRgbPreviewFormat(int format) {
  if (!validRgbPreviewFormat(format)) return false;
  std::lock_guard lock(stateMutex_);
  model_.rgbPreviewFormat = format;
  return true;
}

void CameraDevice::setScene(Scene kind) {
  auto image = SceneImage::build(kind, sensorWidth_, sensorHeight_, colour_, version_.serialNumber);
  std::lock_guard lock(sceneMutex_);
  sceneKind_ = kind;
  scene_ = std::move(image);
}

void CameraDevice::releaseFrames(int count) {
  if (count > 0) stream_.release(static_cast<std::uint64_t>(count));
}

bool CameraDevice::waitDelivered(std::uint64_t target, std::uint32_t timeoutMs) {
  std::unique_lock lock(deliverMutex_);
  return deliverCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return delivered_ >= target; });
}

bool CameraDevice::advanceFrames(int count, std::uint32_t timeoutMs) {
  if (count <= 0) return true;
  return waitDelivered(stream_.releaseAndTarget(static_cast<std::uint64_t>(count)), timeoutMs);
}

bool CameraDevice::waitForFrames(int count, std::uint32_t timeoutMs) {
  if (count <= 0) return true;
  return waitDelivered(stream_.target(static_cast<std::uint64_t>(count), false), timeoutMs);
}

std::uint64_t CameraDevice::framesDelivered() const {
  std::lock_guard lock(deliverMutex_);
  return delivered_;
}

void CameraDevice::setNoise(bool on, std::uint32_t seed) {
  std::lock_guard lock(stateMutex_);
  noise_ = on;
  noiseSeed_ = seed;
}

void CameraDevice::setTakeVideoTimeout(std::uint32_t milliseconds) {
  std::lock_guard lock(stateMutex_);
  takeVideoTimeoutMs_ = milliseconds;
}

std::optional<DisplayedFrame> CameraDevice::lastDisplayedFrame() const {
  std::lock_guard lock(displayMutex_);
  return displayed_;
}

} // namespace vzsim
