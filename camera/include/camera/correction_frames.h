// The stored correction frames of the live preview: the dark frame and the
// background factors, shared between the user-interface thread, which takes
// and discards them, and the SDK's frame callbacks on the streaming thread,
// which apply them.
#pragma once

#include "base/heap_buffer.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace vx {

// A stored dark frame: one raw byte per pixel of the delivered preview.
struct DarkFrame {
  std::int32_t width = 0;
  std::int32_t height = 0;
  HeapBuffer<std::uint8_t> bytes;
};

// A stored background: one gain factor per pixel, row-major in the order of
// the RGB preview frames.
struct BackgroundFactors {
  std::int32_t width = 0;
  std::int32_t height = 0;
  HeapBuffer<double> factors;
};

// A callback holds the frame's lock while it reads it, so a frame replaced
// or released by the user-interface thread is freed only after the callback
// in flight has finished with it.
class CorrectionFrames {
 public:
  // User-interface thread: install a new frame (null releases the stored one).
  void replaceDark(std::unique_ptr<DarkFrame> frame);
  void replaceBackground(std::unique_ptr<BackgroundFactors> factors);
  bool hasDark() const;
  bool hasBackground() const;

  // Streaming thread: run `use` with the stored frame (or null) while it
  // cannot be freed.
  template <class Use>
  void withDark(Use&& use) {
    std::lock_guard lock(darkMutex_);
    use(static_cast<const DarkFrame*>(dark_.get()));
  }
  template <class Use>
  void withBackground(Use&& use) {
    std::lock_guard lock(backgroundMutex_);
    use(static_cast<const BackgroundFactors*>(background_.get()));
  }

 private:
  mutable std::mutex darkMutex_;
  std::unique_ptr<DarkFrame> dark_;
  mutable std::mutex backgroundMutex_;
  std::unique_ptr<BackgroundFactors> background_;
};

} // namespace vx
