#include "camera/correction_frames.h"

#include <utility>

namespace vx {

void CorrectionFrames::replaceDark(std::unique_ptr<DarkFrame> frame) {
  std::unique_ptr<DarkFrame> old;
  {
    std::lock_guard lock(darkMutex_);
    old = std::exchange(dark_, std::move(frame));
  }
  // `old` is freed here, after any callback holding the lock has finished.
}

void CorrectionFrames::replaceBackground(std::unique_ptr<BackgroundFactors> factors) {
  std::unique_ptr<BackgroundFactors> old;
  {
    std::lock_guard lock(backgroundMutex_);
    old = std::exchange(background_, std::move(factors));
  }
}

bool CorrectionFrames::hasDark() const {
  std::lock_guard lock(darkMutex_);
  return dark_ != nullptr;
}

bool CorrectionFrames::hasBackground() const {
  std::lock_guard lock(backgroundMutex_);
  return background_ != nullptr;
}

} // namespace vx
