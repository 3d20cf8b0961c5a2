#include "driver/driver_state.h"

#include "camera/camera_session.h"
#include "engines/exposure_controller.h"
#include "engines/preview_overlay.h"
#include "engines/resolution_table.h"

#include <utility>

namespace vx {

DriverState::DriverState() = default;
DriverState::~DriverState() = default;

PropertyPair& DriverState::pair(NumericProperty property) {
  switch (property) {
    case NumericProperty::Brightness: return brightness;
    case NumericProperty::Contrast: return contrast;
    case NumericProperty::Hue: return hue;
    case NumericProperty::Saturation: return saturation;
    case NumericProperty::Gamma: return gamma;
    case NumericProperty::GlobalGain: return globalGain;
    case NumericProperty::RedGain: return redGain;
    case NumericProperty::GreenGain: return greenGain;
    case NumericProperty::BlueGain: return blueGain;
  }
  return brightness;
}

const PropertyPair& DriverState::pair(NumericProperty property) const {
  return const_cast<DriverState*>(this)->pair(property);
}

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

DriverState& driverState() {
  // Lives until the library is unloaded. The SDK is loaded before the
  // driver, so it is still there when this is destroyed.
  static DriverState state;
  return state;
}

} // namespace vx
