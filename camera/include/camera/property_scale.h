// The user scale of the adjustable properties: linear mapping to and from
// camera units, the contrast mapping piecewise around camera 1.0, and the
// rounding to hundredths used for ranges.
#pragma once

#include "camera/camera_session.h"

namespace vx {

// user = uMin + (uMax - uMin) / (cMax - cMin) * (camera - cMin)
float userFromCamera(const PropertyPair& p, float camera);
// camera = cMin + (user - uMin) * (cMax - cMin) / (uMax - uMin)
float cameraFromUser(const PropertyPair& p, float user);
// Camera 1.0 is user 0; the camera maximum is user 100, the minimum -100.
float contrastUserFromCamera(const PropertyPair& p, float camera);
float contrastCameraFromUser(const PropertyPair& p, float user);
// The camera value written for a numeric property's user value (contrast
// piecewise, the others linear; saturation while grey is requested is
// always the value of user -100).
float cameraValueFor(const CameraSession& camera, NumericProperty property, float user);
// truncate(x * 100) * 0.01, for the ranges' maxima: a value already on the
// hundredths grid (as near as a float gets to it) stays there, any other is
// cut down to the hundredth below.
float roundToHundredths(float x);

} // namespace vx
