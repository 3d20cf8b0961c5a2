// The constructor that asks the camera for its id, kept apart so that the
// table can be built and tested without the SDK.
#include "engines/resolution_table.h"

namespace engines {

ResolutionTable::ResolutionTable(VarcamHandle camera) {
  std::uint32_t id = 0;
  // An id that cannot be read is treated like an unknown one: 0 is not
  // listed, so the table gets the single 640 x 480 mode.
  if (VarcamGetCameraId(camera, &id) == 0) id = 0;
  build(id, modeSetForCamera(id));
}

}  // namespace engines
