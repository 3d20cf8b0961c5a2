// Whole snapshots against the simulated camera (frames back to back): the
// acquisition format and values set, warm-up, one frame, conversion to RGB
// and the preview format and values restored. 640 x 480 on camera 160, and
// the largest mode, 4008 x 2672, on a camera 456 with a sensor of that size.
#include "camera/camera_session.h"
#include "camera/snapshot.h"
#include "driver/driver.h"
#include "driver/driver_snapshot.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_Snapshot(benchmark::State& state) {
  const bool largest = state.range(0) != 0;
  platform::headless::reset();
  vzsim::reset();
  vzsim::setJournalFrames(false);
  auto model = vzsim::defaultModel(largest ? 456 : 160);
  if (largest) {
    model.sensorWidth = 4008;
    model.sensorHeight = 2672;
  }
  vzsim::setCameras({model});
  vzsim::setPacing(vzsim::Pacing::Free);
  auto driver = std::make_unique<vx::Driver>(nullptr);
  if (driver->camera.open() != 1) {
    state.SkipWithError("no camera");
    return;
  }
  if (largest) {
    vx::setAcquisitionMode(driver->camera, 0);  // "4008 x 2672"
  } else {
    vx::setAcquisitionGeometry(driver->camera, 0, 640, 480, 0, 0, 1, 1, 0, 0);
  }
  for (auto _ : state) {
    if (vx::takeDriverSnapshot(*driver) != 1) {
      state.SkipWithError("snapshot failed");
      break;
    }
    vzsim::clearJournal();
    platform::headless::clearDebugLines();
  }
  const auto pixels = static_cast<std::int64_t>(driver->snapshot.width) * driver->snapshot.height;
  state.SetLabel(std::to_string(driver->snapshot.width) + " x " + std::to_string(driver->snapshot.height));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * pixels * 4);  // raw + RGB
  driver->camera.close();
  driver.reset();
  vzsim::reset();
  platform::headless::reset();
}
BENCHMARK(BM_Snapshot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
