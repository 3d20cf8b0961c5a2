// An engine that reaches up into the camera layer: the layering check must
// refuse it.
#include "camera/camera_session.h"
#include "engines/controller.h"
