#include "camera/property_scale.h"

#include <cmath>

namespace vx {
namespace {

struct Ranges {
  double cMin, cMax, uMin, uMax;
  explicit Ranges(const PropertyPair& p)
      : cMin(p.cameraMin), cMax(p.cameraMax), uMin(p.userMin), uMax(p.userMax) {}
};

} // namespace

// Ranges come from the camera; a camera reporting an empty range (minimum
// equal to maximum) maps everything onto the bottom of the other scale
// instead of producing infinities.
float userFromCamera(const PropertyPair& p, float camera) {
  const Ranges r(p);
  if (r.cMax == r.cMin) return p.userMin;
  return static_cast<float>(r.uMin + (r.uMax - r.uMin) / (r.cMax - r.cMin) * (double{camera} - r.cMin));
}

float cameraFromUser(const PropertyPair& p, float user) {
  const Ranges r(p);
  if (r.uMax == r.uMin) return p.cameraMin;
  return static_cast<float>(r.cMin + (double{user} - r.uMin) * (r.cMax - r.cMin) / (r.uMax - r.uMin));
}

float contrastUserFromCamera(const PropertyPair& p, float camera) {
  const Ranges r(p);
  const double v = camera;
  if (v >= 1.0) {
    if (r.cMax == 1.0) return 0.0f;
    return static_cast<float>(100.0 / (r.cMax - 1.0) * (v - 1.0));
  }
  if (r.cMin == 1.0) return -100.0f;
  return static_cast<float>(-100.0 + 100.0 / (1.0 - r.cMin) * (v - r.cMin));
}

float contrastCameraFromUser(const PropertyPair& p, float user) {
  const Ranges r(p);
  const double u = user;
  if (u >= 0.0) return static_cast<float>(u / (100.0 / (r.cMax - 1.0)) + 1.0);
  return static_cast<float>(r.cMin + (u + 100.0) / (100.0 / (1.0 - r.cMin)));
}

float cameraValueFor(const CameraSession& camera, NumericProperty property, float user) {
  const PropertyPair& p = camera.state().pair(property);
  switch (property) {
    case NumericProperty::Contrast:
      return contrastCameraFromUser(p, user);
    case NumericProperty::Saturation:
      return cameraFromUser(p, camera.grayscaleRequested != 0 ? -100.0f : user);
    default:
      return cameraFromUser(p, user);
  }
}

// A float that stands for a hundredth (the nearest float to it) keeps it:
// 7.99 is stored as 7.98999977, and truncating that times 100 taken exactly
// would give 7.98. Any other value is cut down to the hundredth below it
// (toward zero), so 7.999 still becomes 7.99.
float roundToHundredths(float x) {
  const double hundredths = double{x} * 100.0;
  const double nearest = std::round(hundredths);
  if (static_cast<float>(nearest / 100.0) == x) return x;
  return static_cast<float>(std::trunc(hundredths) / 100.0);
}

} // namespace vx
