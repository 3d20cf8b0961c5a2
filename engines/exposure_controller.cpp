#include "engines/exposure_controller.h"

#include "base/debug_log.h"
#include "engines/region_sample.h"
#include "platform/platform.h"

#include <algorithm>
#include <cmath>

namespace engines {
namespace {

constexpr float kLimitProbeExposure = 0.1f;  // ms; short enough for every rate
constexpr double kOverMaxTolerance = 0.1;    // ms
constexpr float kLevelScale = 0.003921569f;  // 1/255
constexpr std::uint32_t kDarkMean = 24;
constexpr unsigned kResizeFlags =
    platform::SWP_NOMOVE | platform::SWP_NOACTIVATE | platform::SWP_NOOWNERZORDER;  // 0x212

int lastError() { return static_cast<int>(VarcamGetLastError()); }

// A manual-reset event, closed on every path.
class ScopedEvent {
 public:
  ScopedEvent() : handle_(platform::createEvent(true, false)) {}
  ~ScopedEvent() { close(); }
  ScopedEvent(const ScopedEvent&) = delete;
  ScopedEvent& operator=(const ScopedEvent&) = delete;
  platform::EventHandle get() const { return handle_; }
  void close() {
    if (handle_ != nullptr) platform::closeEvent(handle_);
    handle_ = nullptr;
  }

 private:
  platform::EventHandle handle_;
};

// A streaming callback registration, removed on every path. Once remove()
// has returned the callback is not running and will not run again.
class StreamingRegistration {
 public:
  StreamingRegistration(VarcamHandle camera, VarcamStreamingCallback callback, void* context)
      : camera_(camera), id_(VarcamAddStreamingCallback(camera, callback, context)) {}
  ~StreamingRegistration() { remove(); }
  StreamingRegistration(const StreamingRegistration&) = delete;
  StreamingRegistration& operator=(const StreamingRegistration&) = delete;
  bool registered() const { return id_ != -1; }
  void remove() {
    if (id_ != -1) VarcamRemoveStreamingCallback(camera_, id_);
    id_ = -1;
  }

 private:
  VarcamHandle camera_;
  int id_;
};

bool isEven(int v) { return v % 2 == 0; }

}  // namespace

ExposureController::ExposureController(VarcamHandle camera) : camera_(camera) {
  float minimum = 0.0f, maximum = 0.0f, defaultValue = 0.0f;
  std::uint32_t flags = 0;
  if (VarcamPropertyRange(camera_, PropClockSpeed, &minimum, &maximum, &defaultValue, &flags) != 0) {
    VarcamSetProperty(camera_, PropClockSpeed, maximum, flags);
  }
  getFrameRateLimits();
}

float ExposureController::getExposure() const {
  float value = 0.0f;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(camera_, PropExposure, &value, &flags) == 0) {
    vx::logLine("Could not get exposure: %d", lastError());
    return -1.0f;
  }
  return value;
}

bool ExposureController::writeExposure(float exposure, std::uint32_t flags) const {
  return VarcamSetProperty(camera_, PropExposure, exposure, flags) != 0;
}

int ExposureController::getFrameRateLimits() {
  float exposure = 0.0f;
  std::uint32_t exposureFlags = 0;
  if (VarcamGetProperty(camera_, PropExposure, &exposure, &exposureFlags) == 0) {
    vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not get exposure. ERROR: %d",
                lastError());
    return 0;
  }
  if (!writeExposure(kLimitProbeExposure, 0)) {
    vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not set exposure. ERROR: %d",
                lastError());
    return 0;
  }

  const int count =
      VarcamEnumAvailableFrameRates(camera_, rateCount_, rates_.empty() ? nullptr : rates_.data());
  if (count <= 0) {
    vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not enum frame rates. ERROR: %d",
                lastError());
    return 0;
  }
  if (count != rateCount_ || rates_.size() != static_cast<std::size_t>(count)) {
    // A new number of rates: the tables are made again at the new size.
    const auto size = static_cast<std::size_t>(count);
    rates_.assign(size, 0.0f);
    rateMaxExposure_.assign(size, 0.0f);
    rateMinExposure_.assign(size, 0.0f);
    rateCount_ = count;
    rateIndex_ = std::min(rateIndex_, rateCount_ - 1);
  }
  const int filled = VarcamEnumAvailableFrameRates(camera_, rateCount_, rates_.data());
  if (filled < 0) {
    vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not enum frame rates. ERROR: %d",
                lastError());
    return 0;
  }

  FrameFormatRecord format{};
  float currentRate = 0.0f;
  if (VarcamGetFormat(camera_, &format, &currentRate) == 0) {
    vx::logLine("Unable to get camera video format. Snapshot mode disabled.");
    return 0;
  }

  for (int i = 0; i < rateCount_; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (VarcamSetFormat(camera_, &format, rates_[k]) == 0) {
      vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: %d", lastError());
      return 0;
    }
    rateIndex_ = i;  // the camera now runs at this rate
    float minimum = 0.0f, maximum = 0.0f, defaultValue = 0.0f;
    std::uint32_t flags = 0;
    if (VarcamPropertyRange(camera_, PropExposure, &minimum, &maximum, &defaultValue, &flags) == 0) {
      vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: GetPropertyRange ERROR %d", lastError());
      return 0;
    }
    rateMaxExposure_[k] = maximum;
    if (i == 0) maxExposure = maximum;
  }

  for (int j = 0; j < rateCount_; ++j) {
    const auto k = static_cast<std::size_t>(j);
    const float next = j + 1 < rateCount_ ? rateMaxExposure_[k + 1] : 0.0f;
    const float period = 1000.0f / rates_[k];
    rateMinExposure_[k] = period < next ? period : next;
  }
  rateIndex_ = rateCount_ - 1;

  if (!writeExposure(exposure, 0)) {
    vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not set exposure. ERROR: %d",
                lastError());
    return 0;
  }
  return 1;
}

int ExposureController::setExposure(float exposure, std::uint32_t flags) {
  if (std::isnan(exposure)) return 0;
  if (exposure > maxExposure) {
    if (static_cast<double>(exposure) - static_cast<double>(maxExposure) >= kOverMaxTolerance) {
      vx::logLine("VARBASE EXPOSURE: Exposure is too high.");
      return 0;
    }
    exposure = maxExposure;
  }
  exposure = std::max(exposure, minExposure);
  // Without tables (never measured, or released) there is no band to test.
  if (rateIndex_ < 0 || rateIndex_ >= rateCount_) return 0;

  const auto k = static_cast<std::size_t>(rateIndex_);
  if (rateMinExposure_[k] <= exposure && exposure <= rateMaxExposure_[k]) {
    if (!writeExposure(exposure, flags)) {
      vx::logLine("Could not set new exposure. ERROR: %d", lastError());
      return 0;
    }
    return 1;
  }
  return changeFrameRate(exposure, flags);
}

int ExposureController::changeFrameRate(float exposure, std::uint32_t flags) {
  // Stop the stream, remembering how it ran and, for a display, its window.
  const int state = VarcamGetStreamState(camera_, 0);
  platform::Window window = nullptr;
  platform::Rect rect{};
  bool haveRect = false;
  if (state == VarcamStateDisplaying || state == VarcamStateDisplayingGdi) {
    window = VarcamGetDisplayWindowHwnd(camera_);
    haveRect = platform::getWindowRect(window, &rect);
    VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr);
  } else if (state == VarcamStateStreaming) {
    VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr);
  }

  FrameFormatRecord format{};
  float currentRate = 0.0f;
  if (VarcamGetFormat(camera_, &format, &currentRate) == 0) {
    vx::logLine("VARBASE EXPOSURE: setFrameRate: Error:");
    return 0;
  }
  if (!writeExposure(exposure, flags)) {
    vx::logLine("Could not set new exposure. ERROR: %d", lastError());
    return 0;
  }

  float chosenRate = 0.0f;
  int chosenIndex = 0;
  {
    const int offered = VarcamEnumAvailableFrameRates(camera_, 0, nullptr);
    std::vector<float> list(static_cast<std::size_t>(std::max(offered, 0)));
    const int filled =
        offered > 0 ? VarcamEnumAvailableFrameRates(camera_, offered, list.data()) : -1;
    // Only rates that both the camera's list and the tables hold can be used.
    const int usable = std::min({offered, filled, rateCount_});
    if (usable <= 0) {
      vx::logLine("VARBASE EXPOSURE: getFrameRateLimits: Could not enum frame rates. ERROR: %d",
                  lastError());
      return 0;
    }
    // The last rate whose band admits the exposure is the fastest that does;
    // index 0 always does since the exposure is at most maxExposure.
    chosenRate = list[0];
    for (int i = 0; i < usable; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (exposure <= rateMaxExposure_[k]) {
        chosenRate = list[k];
        chosenIndex = i;
      }
    }
  }

  if (VarcamSetFormat(camera_, &format, chosenRate) == 0) {
    vx::logLine("VARBASE EXPOSURE: Set format: %d", lastError());
    return 0;
  }
  if (!writeExposure(exposure, flags)) {
    vx::logLine("VARBASE EXPOSURE: Could not set new exposure. ERROR: %d", lastError());
    return 0;
  }
  rateIndex_ = chosenIndex;

  // Restart the way the stream was running.
  if (state == VarcamStateDisplaying || state == VarcamStateDisplayingGdi) {
    if (haveRect) {
      platform::setWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                             kResizeFlags);
    }
    const bool gdi = state == VarcamStateDisplayingGdi;
    if (VarcamStreamVideoControl(camera_, gdi ? VarcamStreamDisplayGdi : VarcamStreamDisplay,
                                 window) != 0) {
      vx::logLine(gdi ? "VARBASE EXPOSURE: GDI Display started."
                      : "VARBASE EXPOSURE: Display started.");
    } else {
      vx::logLine("VARBASE EXPOSURE: Unable to display.");
    }
  } else if (state == VarcamStateStreaming) {
    VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr);
  }
  return 2;
}

int ExposureController::autoExposeRegion(int target, int x, int y, int width, int height) {
  float current = 0.0f;
  std::uint32_t flags = 0;
  if (VarcamGetProperty(camera_, PropExposure, &current, &flags) == 0) return 0;

  int mirror = 0;
  float flipping = 0.0f;
  if (VarcamGetProperty(camera_, PropFlipping, &flipping, &flags) != 0 && std::isfinite(flipping) &&
      std::fabs(flipping) < 65536.0f) {
    mirror = static_cast<int>(flipping);
  }

  float colourFormat = 0.0f;
  std::uint32_t colourFlags = 0;
  if (VarcamGetProperty(camera_, PropColorFormat, &colourFormat, &colourFlags) == 0) return 0;

  FrameFormatRecord format{};
  float rate = 0.0f;
  if (VarcamGetFormat(camera_, &format, &rate) == 0) return 0;
  if (!(rate >= 0.1f)) return 0;

  std::uint32_t imageFormat[VARCAM_VIDEO_IMAGE_FORMAT_WORDS] = {};
  imageFormat[0] = std::uint32_t{VARCAM_VIDEO_IMAGE_FORMAT_SIZE};  // the record size, on the call
  if (VarcamGetVideoImageFormat(camera_, imageFormat) == 0) return 0;

  if (format.factorX == 0 || format.factorY == 0) return 0;
  const std::uint32_t frameWidth = format.width / format.factorX;
  const std::uint32_t frameHeight = format.height / format.factorY;
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || !isEven(x) || !isEven(y) || !isEven(width) ||
      !isEven(height) || static_cast<std::int64_t>(x) + width > frameWidth ||
      static_cast<std::int64_t>(y) + height > frameHeight) {
    return 0;
  }

  const int state = VarcamGetStreamState(camera_, 0);
  if ((state & 3) == 0 || (state & 8) != 0) return 0;

  // Declared before the registration so that the callback is removed before
  // the event it sets is closed.
  ScopedEvent event;
  if (event.get() == nullptr) return 0;

  RegionSample sample;
  sample.event = event.get();
  sample.frameWidth = frameWidth;
  sample.frameHeight = frameHeight;
  sample.twoBytes = format.pixelFormat == 1 ? 1u : 0u;
  sample.highByte = (colourFlags & VARCAM_FLAG_HIGH_BYTE) != 0 ? 1u : 0u;
  sample.fieldLayout = imageFormat[VARCAM_VIDEO_IMAGE_FORMAT_FIELD_LAYOUT];
  const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
  sample.width = static_cast<std::uint32_t>(width);
  sample.height = static_cast<std::uint32_t>(height);
  sample.startX = (mirror & 1) != 0 ? frameWidth - ux - sample.width : ux;
  sample.startY = (mirror & 2) != 0 ? frameHeight - uy - sample.height : uy;

  std::uint32_t waited = platform::WAIT_FAILED;
  {
    StreamingRegistration registration(camera_, &samplingCallback, &sample);
    if (!registration.registered()) return 0;
    const auto timeout = static_cast<std::uint32_t>(3000.0 / static_cast<double>(rate));
    waited = platform::waitForSingleObject(event.get(), timeout);
    // After this no callback runs, whatever the wait returned, so the sample
    // (on this stack) is ours alone.
    registration.remove();
  }
  event.close();
  if (waited != platform::WAIT_OBJECT_0) return 0;

  const std::uint64_t total = static_cast<std::uint64_t>(sample.sum0) + sample.sum1 +
                              sample.sum2 + sample.sum3;
  const auto mean = static_cast<std::uint32_t>((total / sample.width) / sample.height);
  const float level = static_cast<float>(target & 0xFF);
  float next = 0.0f;
  if (mean < kDarkMean) {
    // Too dark to measure: at least double the exposure.
    next = std::max(level * maxExposure * kLevelScale, 2.0f * current);
  } else {
    next = level * current / static_cast<float>(mean);
  }
  if (next > maxExposure) next = maxExposure;
  return setExposure(next, 0);
}

int ExposureController::autoExposeRegionAndRead(int target, int x, int y, int width, int height,
                                                float& exposure) {
  autoExposeRegion(target, x, y, width, height);
  exposure = getExposure();
  return 1;
}

int ExposureController::releaseTables() {
  rates_ = {};
  rateMaxExposure_ = {};
  rateMinExposure_ = {};
  rateCount_ = 0;
  rateIndex_ = 0;
  return 1;
}

void VARCAM_CALL ExposureController::samplingCallback(void* context, std::uint8_t* frame,
                                                      std::uint32_t byteCount) {
  auto* sample = static_cast<RegionSample*>(context);
  if (sample->done.load() != 0) return;
  // A frame too short for the region is not taken; the next one may be.
  if (regionBytesNeeded(*sample) > byteCount) return;
  if (sample->done.exchange(1) != 0) return;
  sampleRegion(*sample, frame, byteCount);
  platform::setEvent(sample->event);
}

}  // namespace engines
