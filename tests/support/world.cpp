#include "support/world.h"

#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

namespace vxtest {

void resetWorld() {
  platform::headless::reset();
  vzsim::reset();
  vzsim::setPacing(vzsim::Pacing::Free);
  // However slow the build (sanitizers), a grab waits for its frames rather
  // than timing out; tests of a stalled camera shorten this themselves.
  vzsim::setTakeVideoTimeout(600000);
  hostimg::reset();
}

void clearRecords() {
  vzsim::clearJournal();
  platform::headless::clearDebugLines();
  platform::headless::clearMessageBoxes();
  platform::headless::clearWindowOperations();
}

} // namespace vxtest
