#include "engines/preview_overlay.h"

#include "base/debug_log.h"
#include "engines/overlay_blend.h"
#include "platform/platform.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace engines {
namespace {

constexpr std::uint32_t kStopTimeoutMs = 2000;
constexpr std::uint32_t kLoadTimeoutMs = 5000;
constexpr std::uint32_t kPollMs = 10;

std::int32_t imageSide(std::uint32_t formatSide, std::uint16_t factor) {
  if (factor == 0) return 0;  // no usable format: nothing is drawn
  const std::uint32_t side = formatSide / factor;
  return static_cast<std::int32_t>(
      std::min<std::uint32_t>(side, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

PreviewOverlay::PreviewOverlay(VarcamHandle camera) : camera_(camera) { refreshFormat(); }

PreviewOverlay::~PreviewOverlay() { release(); }

int PreviewOverlay::refreshFormat() {
  FrameFormatRecord format{};
  float rate = 0.0f;
  if (camera_ == nullptr || VarcamGetFormat(camera_, &format, &rate) == 0) {
    formatWidth_.store(0, std::memory_order_relaxed);
    formatHeight_.store(0, std::memory_order_relaxed);
    return 0;
  }
  formatWidth_.store(format.width, std::memory_order_relaxed);
  formatHeight_.store(format.height, std::memory_order_relaxed);
  factorX_.store(format.factorX, std::memory_order_relaxed);
  factorY_.store(format.factorY, std::memory_order_relaxed);
  flagsX_ = format.flagsX;
  flagsY_ = format.flagsY;
  return 1;
}

bool PreviewOverlay::waitIdle(std::uint32_t timeoutMs) {
  const std::uint32_t polls = timeoutMs / kPollMs;
  for (std::uint32_t i = 0; i < polls; ++i) {
    if (!busy_.load()) return true;
    platform::sleep(kPollMs);
  }
  return false;
}

bool PreviewOverlay::suspendDrawing(std::uint32_t timeoutMs) {
  suspended_.store(true);
  if (waitIdle(timeoutMs)) return true;
  vx::logLine("Callback timeout. (deadlock problem)");
  return false;
}

int PreviewOverlay::startPreviewBlending() {
  if (suspended_.load()) {
    // A load or a stop that timed out left the drawing suspended: resume.
    if (registered_ && refreshFormat() == 1) suspended_.store(false);
    return callbackId_;
  }
  if (refreshFormat() != 1) return -1;
  if (registered_ || callbackId_ != -1) return -2;

  int format = 0;
  if (VarcamQueryRgbPreviewPixelFormat(camera_, &format) == 0) return -1;
  int bytes = bytesPerPixelOf(format);
  if (bytes == 0) {
    // Not a code the blend knows: decide from the camera's colour format.
    float colour = 0.0f;
    std::uint32_t flags = 0;
    if (VarcamGetProperty(camera_, PropColorFormat, &colour, &flags) == 0) return -1;
    format = colour != 0.0f ? kPixelRgb24 : kPixelGrey8;
    bytes = bytesPerPixelOf(format);
  }
  pixelFormat_.store(format, std::memory_order_relaxed);
  bytesPerPixel_.store(bytes, std::memory_order_relaxed);

  const int id = VarcamAddRgbPreviewCallback(camera_, &rgbPreviewCallback, this, format);
  if (id == -1) return -1;
  callbackId_ = id;
  registered_ = true;
  suspended_.store(false);
  return 1;
}

int PreviewOverlay::stopPreviewBlending() {
  if (!registered_) {
    callbackId_ = -1;
    suspended_.store(false);
    return 0;
  }
  if (!suspendDrawing(kStopTimeoutMs)) return -2;
  int result = 0;
  if (callbackId_ != -1) {
    result = VarcamRemoveRgbPreviewCallback(camera_, callbackId_) != 0 ? 1 : -1;
  }
  callbackId_ = -1;
  registered_ = false;
  suspended_.store(false);
  return result;
}

int PreviewOverlay::loadBitmap(const char* path, Bitmap24& target) {
  Bitmap24 bitmap;
  if (readBmp24(path, bitmap) != 1) return -1;
  target = std::move(bitmap);  // the old pixels are freed here
  return 1;
}

int PreviewOverlay::loadOverlayBitmap(const char* path) {
  if (!suspendDrawing(kLoadTimeoutMs)) return -2;
  int result = loadBitmap(path, overlay_);
  if (result == 1) {
    if (alphaLoaded_ && (alpha_.width != overlay_.width || alpha_.height != overlay_.height)) {
      alphaActive_.store(false, std::memory_order_relaxed);
      result = 0;
    } else {
      overlayLoaded_ = true;
    }
  }
  suspended_.store(false);
  return result;
}

int PreviewOverlay::loadAlphaBitmap(const char* path) {
  if (!suspendDrawing(kLoadTimeoutMs)) return -2;
  int result = loadBitmap(path, alpha_);
  if (result == 1 && overlayLoaded_) {
    if (alpha_.width != overlay_.width || alpha_.height != overlay_.height) {
      // The new pixels no longer fit the overlay: an alpha bitmap loaded and
      // matched before must not be used with them.
      alphaActive_.store(false, std::memory_order_relaxed);
      alphaLoaded_ = false;
      result = 0;
    } else {
      alphaLoaded_ = true;
      alphaActive_.store(true, std::memory_order_relaxed);
    }
  }
  suspended_.store(false);
  return result;
}

int PreviewOverlay::setPlacement(int horizontalMode, int verticalMode) {
  horizontalMode_.store(horizontalMode, std::memory_order_relaxed);
  verticalMode_.store(verticalMode, std::memory_order_relaxed);
  return 1;
}

int PreviewOverlay::setAlphaMode(int constant) {
  blendOn_.store(true, std::memory_order_relaxed);
  if (constant != 0) {
    alphaFromBitmap_.store(false, std::memory_order_relaxed);
    return 1;
  }
  if (!alphaLoaded_) return 0;
  alphaFromBitmap_.store(true, std::memory_order_relaxed);
  return 1;
}

int PreviewOverlay::alphaOff() {
  blendOn_.store(false, std::memory_order_relaxed);
  return 1;
}

int PreviewOverlay::setAlphaValue(float percent) {
  opacityPercent_.store(percent, std::memory_order_relaxed);
  return 1;
}

int PreviewOverlay::blend(std::uint8_t* buffer, std::size_t byteCount, std::int32_t width,
                          std::int32_t height, int pixelFormat) {
  BlendSettings settings;
  settings.horizontalMode = horizontalMode_.load(std::memory_order_relaxed);
  settings.verticalMode = verticalMode_.load(std::memory_order_relaxed);
  settings.blendOn = blendOn_.load(std::memory_order_relaxed);
  settings.alphaFromBitmap = alphaFromBitmap_.load(std::memory_order_relaxed);
  settings.opacityPercent = opacityPercent_.load(std::memory_order_relaxed);
  settings.keyColour = keyColour_;
  const bool alphaFits = alpha_.width == overlay_.width && alpha_.height == overlay_.height &&
                         !alpha_.pixels.empty();
  if (alphaActive_.load(std::memory_order_relaxed) && alphaFits) {
    settings.alphaPixels = alpha_.pixels.data();
  }
  const OverlayImage image{overlay_.pixels.empty() ? nullptr : overlay_.pixels.data(),
                           overlay_.width, overlay_.height};
  return blendOverlay(buffer, byteCount, width, height, pixelFormat, image, settings);
}

void VARCAM_CALL PreviewOverlay::rgbPreviewCallback(void* context, std::uint8_t* pixels,
                                                    std::uint32_t byteCount,
                                                    std::uint32_t /*reserved*/) {
  auto* self = static_cast<PreviewOverlay*>(context);
  self->busy_.store(true);
  if (!self->suspended_.load()) {
    const std::int32_t w = imageSide(self->formatWidth_.load(std::memory_order_relaxed),
                                     self->factorX_.load(std::memory_order_relaxed));
    const std::int32_t h = imageSide(self->formatHeight_.load(std::memory_order_relaxed),
                                     self->factorY_.load(std::memory_order_relaxed));
    self->blend(pixels, byteCount, w, h, self->pixelFormat_.load(std::memory_order_relaxed));
  }
  self->busy_.store(false);
}

void PreviewOverlay::release() {
  if (registered_ && stopPreviewBlending() == -2) {
    // The callback is still inside a blend. The SDK's removal returns only
    // once that call has finished, so the pixels can go after it.
    if (callbackId_ != -1) VarcamRemoveRgbPreviewCallback(camera_, callbackId_);
    callbackId_ = -1;
    registered_ = false;
  }
  // A callback that the SDK refused to remove finds the drawing suspended
  // from now on and touches nothing.
  suspended_.store(true);
  if (busy_.load()) waitIdle(kStopTimeoutMs);
  overlay_ = Bitmap24{};
  alpha_ = Bitmap24{};
  overlayLoaded_ = false;
  alphaLoaded_ = false;
  alphaActive_.store(false, std::memory_order_relaxed);
  camera_ = nullptr;
}

}  // namespace engines
