// The bitmap overlay drawn into the live preview (from the SDK's RGB preview
// callback, on its streaming thread) and, on request, into captured images.
#pragma once

#include "sdk/varcam_sdk.h"
#include "engines/bmp_reader.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace engines {

class PreviewOverlay {
 public:
  // Placement modes start centred, opacity at 100 %, nothing loaded or
  // registered; the camera's current video format is read (sizes 0 when that
  // fails). The camera is not owned.
  explicit PreviewOverlay(VarcamHandle camera);
  // Releases (see release()).
  ~PreviewOverlay();
  PreviewOverlay(const PreviewOverlay&) = delete;
  PreviewOverlay& operator=(const PreviewOverlay&) = delete;

  // Reads the camera's video format again: 1, or 0 (sizes set to 0).
  int refreshFormat();

  // Registers the RGB preview callback: 1 registered; the callback id when a
  // suspended drawing was only resumed; -1 the format or the preview pixel
  // format cannot be read, or the SDK refused the registration; -2 already
  // registered.
  int startPreviewBlending();
  // 1 removed; -1 the SDK refused the removal; 0 nothing was registered; -2
  // the callback stayed busy for 2 s (the drawing is left suspended).
  int stopPreviewBlending();

  // Load a 24-bit BMP (width a multiple of 4) while the drawing is
  // suspended: 1 loaded; 0 loaded but the overlay and alpha sizes differ; -1
  // rejected (the previous bitmap stays); -2 the callback stayed busy for 5 s.
  int loadOverlayBitmap(const char* path);
  int loadAlphaBitmap(const char* path);

  // Horizontal 0 left, 1 centre, 2 right; vertical 0 last buffer rows, 1
  // centre, 2 first rows. Returns 1.
  int setPlacement(int horizontalMode, int verticalMode);
  // Turns blending on. constant != 0: opacity from the alpha value, returns
  // 1. constant == 0: opacity from the alpha bitmap, returns 1 when one is
  // loaded and matched, else 0 (the opacity source stays as it was).
  int setAlphaMode(int constant);
  int alphaOff();                   // overlay laid on opaquely; returns 1
  int setAlphaValue(float percent); // constant opacity in percent; returns 1

  // Draws the overlay into a width x height image of pixel format 0, 2 or 6
  // (1, 3, 4 bytes per pixel). Returns 1 (0 for another pixel format).
  int blend(std::uint8_t* buffer, std::size_t byteCount, std::int32_t width, std::int32_t height,
            int pixelFormat);

  // Polls the busy flag every 10 ms, at most timeoutMs / 10 times; true when
  // it was found clear.
  bool waitIdle(std::uint32_t timeoutMs);

  // Stops the preview drawing if registered, frees both bitmaps and forgets
  // the camera. Once it returns the callback no longer runs.
  void release();

  // The RGB preview callback; context is the PreviewOverlay.
  static void VARCAM_CALL rgbPreviewCallback(void* context, std::uint8_t* pixels,
                                             std::uint32_t byteCount, std::uint32_t reserved);

  bool registered() const { return registered_; }
  bool suspended() const { return suspended_.load(); }
  bool busy() const { return busy_.load(); }
  int callbackId() const { return callbackId_; }
  int pixelFormat() const { return pixelFormat_.load(std::memory_order_relaxed); }
  int bytesPerPixel() const { return bytesPerPixel_.load(std::memory_order_relaxed); }
  std::uint32_t formatWidth() const { return formatWidth_.load(std::memory_order_relaxed); }
  std::uint32_t formatHeight() const { return formatHeight_.load(std::memory_order_relaxed); }
  std::uint16_t factorX() const { return factorX_.load(std::memory_order_relaxed); }
  std::uint16_t factorY() const { return factorY_.load(std::memory_order_relaxed); }
  std::uint16_t flagsX() const { return flagsX_; }
  std::uint16_t flagsY() const { return flagsY_; }
  int horizontalMode() const { return horizontalMode_.load(std::memory_order_relaxed); }
  int verticalMode() const { return verticalMode_.load(std::memory_order_relaxed); }
  bool overlayLoaded() const { return overlayLoaded_; }
  bool alphaLoaded() const { return alphaLoaded_; }
  bool alphaActive() const { return alphaActive_.load(std::memory_order_relaxed); }
  bool blendOn() const { return blendOn_.load(std::memory_order_relaxed); }
  bool alphaFromBitmap() const { return alphaFromBitmap_.load(std::memory_order_relaxed); }
  float opacityPercent() const { return opacityPercent_.load(std::memory_order_relaxed); }
  std::int32_t overlayWidth() const { return overlay_.width; }
  std::int32_t overlayHeight() const { return overlay_.height; }
  std::int32_t alphaWidth() const { return alpha_.width; }
  std::int32_t alphaHeight() const { return alpha_.height; }

 private:
  friend struct PreviewOverlayTestAccess;

  // Sets suspended and waits for the callback to be idle; false (with the
  // timeout line written) when it stays busy.
  bool suspendDrawing(std::uint32_t timeoutMs);
  int loadBitmap(const char* path, Bitmap24& target);

  // Hand-off with the callback. The callback sets busy, then tests
  // suspended; the host thread sets suspended, then waits for busy clear.
  // Both pairs are sequentially consistent, so once the host thread has seen
  // busy clear no blend can start until suspended is cleared again: only
  // then are the bitmaps replaced or the callback removed.
  std::atomic<bool> busy_{false};
  std::atomic<bool> suspended_{false};
  bool registered_ = false;
  int callbackId_ = -1;

  // Changed while the callback may run (a frame may mix old and new values).
  std::atomic<int> horizontalMode_{1};
  std::atomic<int> verticalMode_{1};
  std::atomic<float> opacityPercent_{100.0f};
  std::atomic<bool> blendOn_{false};
  std::atomic<bool> alphaFromBitmap_{false};
  std::atomic<bool> alphaActive_{false};
  std::atomic<std::uint32_t> formatWidth_{0};
  std::atomic<std::uint32_t> formatHeight_{0};
  std::atomic<std::uint16_t> factorX_{0};
  std::atomic<std::uint16_t> factorY_{0};
  std::atomic<int> pixelFormat_{0};
  std::atomic<int> bytesPerPixel_{0};

  // Changed only while the drawing is suspended and the callback idle.
  Bitmap24 overlay_;
  Bitmap24 alpha_;
  bool overlayLoaded_ = false;
  bool alphaLoaded_ = false;

  // Host thread only.
  VarcamHandle camera_ = nullptr;
  std::uint16_t flagsX_ = 0;
  std::uint16_t flagsY_ = 0;
  const std::array<std::uint32_t, 3> keyColour_{};  // black
};

}  // namespace engines
