#include "state/driver_state.h"

namespace vx {

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

} // namespace vx
