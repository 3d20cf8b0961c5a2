// A camera file whose includes all keep to the layers.
#include "engines/controller.h"
#include "state/driver_state.h"
