#include "driver/driver_snapshot.h"

#include "camera/snapshot.h"
#include "driver/driver_snapshot.h"

namespace vx {

int takeDriverSnapshot(Driver& driver) {
  SnapshotImage& snapshot = driver.snapshot;
  const int result = takeSnapshot(driver.camera, snapshot.raw, snapshot.rgb);
  if (result != 0) {
    snapshot.width = snapshotWidth(driver.camera);
    snapshot.height = snapshotHeight(driver.camera);
    snapshot.lineCursor = snapshot.height - 1;
  } else {
    snapshot.width = snapshot.height = 0;
    snapshot.lineCursor = -1;
  }
  return result;
}

} // namespace vx
