// AcqGetLine over a whole frame and AcqGetImage into an existing host image,
// through the exports of the driver library loaded by path as a host loads
// it, against the simulated camera and the host imaging stand-in (its call
// journal off: a host's own library keeps none). Each iteration takes a
// snapshot with commands 50 and 51, untimed, then times the transfer of it
// next to a memcpy of the snapshot's bytes (3 per pixel, also in grey).
// 1280 x 1024 is the whole sensor of camera 160; 2592 x 1944 a capture
// rectangle on the 4008 x 2672 sensor of camera 456.
#include "bench/against_memcpy.h"
#include "driver/acq_control.h"
#include "host/driver_library.h"
#include "hostimaging/host_imaging_control.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The driver loaded and open, with a snapshot size of width x height.
class LoadedDriver {
 public:
  LoadedDriver(std::int32_t width, std::int32_t height, bool grey) {
    platform::headless::reset();
    vzsim::reset();
    hostimg::reset();
    hostimg::setCallLogging(false);
    vzsim::setJournalFrames(false);
    const bool large = width > 1280 || height > 1024;
    auto model = vzsim::defaultModel(large ? 456 : 160);
    if (large) {
      model.sensorWidth = 4008;
      model.sensorHeight = 2672;
    }
    vzsim::setCameras({model});
    vzsim::setPacing(vzsim::Pacing::Free);
    if (!library_.load(host::defaultDriverPath())) {
      error("cannot load the driver: " + library_.error());
      return;
    }
    acq_ = &library_;
    if (acq_->open() != 0) {
      error("AcqOpen failed");
      return;
    }
    // Snapshot mode: snapshots are taken at the preview size, which the
    // image size commands then report.
    if (acq_->control(ACQCMD_STREAM_CONTROL, ACQSTREAM_SNAPSHOT_MODE, nullptr) != 0) {
      error("snapshot mode refused");
      return;
    }
    std::int32_t mode[1] = {0};
    if (acq_->control(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, mode) != 0) {
      error("mode 0 refused");
      return;
    }
    AcqRect rect{0, 0, width - 1, height - 1};
    if (acq_->control(ACQCMD_CAPTRECT, 0, &rect) != 0) {
      error("capture rectangle refused");
      return;
    }
    acq_->control(ACQCMD_GREY_MODE, grey ? 1 : 0, nullptr);
    if (acq_->control(ACQCMD_IMAGE_WIDTH, 0, nullptr) != width ||
        acq_->control(ACQCMD_IMAGE_HEIGHT, 0, nullptr) != height)
      {
      error("the image size is " + std::to_string(acq_->control(ACQCMD_IMAGE_WIDTH, 0, nullptr)) + " x " +
            std::to_string(acq_->control(ACQCMD_IMAGE_HEIGHT, 0, nullptr)));
      return;
    }
  }
  ~LoadedDriver() {
    if (acq_ != nullptr) acq_->close();
    vzsim::reset();
    platform::headless::reset();
    hostimg::reset();
  }
  LoadedDriver(const LoadedDriver&) = delete;
  LoadedDriver& operator=(const LoadedDriver&) = delete;

  const std::string& failure() const { return failure_; }
  host::DriverLibrary& acq() { return *acq_; }

  // A snapshot as a host takes one, with the bookkeeping that piles up
  // meanwhile dropped.
  bool snap() {
    platform::headless::clearDebugLines();
    vzsim::clearJournal();
    vzsim::setPacing(vzsim::Pacing::Free);
    const bool ok = acq_->control(ACQCMD_SNAP, 1, nullptr) == 2 && acq_->control(ACQCMD_SNAP_STATUS, 0, nullptr) == 4;
    // The preview the snapshot restored would stream on beside the timed
    // transfer: held after one more frame, it waits instead.
    vzsim::setPacing(vzsim::Pacing::Held);
    return vzsim::advanceFrames(1, 1) && ok;
  }

 private:
  void error(const std::string& text) {
    failure_ = text;
    if (acq_ != nullptr) acq_->close();
    acq_ = nullptr;
  }

  host::DriverLibrary library_;
  host::DriverLibrary* acq_ = nullptr;
  std::string failure_;
};

void sizesAndColours(benchmark::internal::Benchmark* b) {
  for (const auto& size : vxbench::kFrameSizes)
    for (const int grey : {0, 1}) b->Args({size.width, size.height, grey});
  b->ArgNames({"w", "h", "grey"})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
}

std::string labelStart(const char* path, const benchmark::State& state) {
  // The transfer's copier has one vector path, AVX2; the level cell says
  // which one ran.
  return std::string(path) + (state.range(2) != 0 ? ", grey" : ", colour") + " (exports) | " +
         vxbench::sizeCell(state.range(0), state.range(1)) + " | " +
         (vx::processorVectorLevel() >= vx::VectorLevel::Avx2 ? "avx2" : "scalar") + " | snapshot, 3 B/px";
}

void BM_AcqGetLineFrame(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const bool grey = state.range(2) != 0;
  LoadedDriver driver(w, h, grey);
  if (!driver.failure().empty()) return state.SkipWithError(driver.failure().c_str());
  const std::size_t rowBytes = static_cast<std::size_t>(w) * (grey ? 1u : 3u);
  std::vector<std::uint8_t> out(rowBytes * static_cast<std::size_t>(h));
  auto* getLine = driver.acq().getLine;
  bool snapped = true;
  state.SetLabel(labelStart("AcqGetLine over a frame", state));
  vxbench::againstMemcpy(
      state, static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3,
      [&] { snapped = driver.snap() && snapped; },
      [&] {
        for (std::int32_t y = 0; y < h; ++y) getLine(0, y, w, out.data() + static_cast<std::size_t>(y) * rowBytes);
        benchmark::DoNotOptimize(out.data());
      });
  if (!snapped) state.SkipWithError("a snapshot failed");
}
BENCHMARK(BM_AcqGetLineFrame)->Apply(sizesAndColours);

void BM_AcqGetImage(benchmark::State& state) {
  const auto w = static_cast<std::int32_t>(state.range(0));
  const auto h = static_cast<std::int32_t>(state.range(1));
  const bool grey = state.range(2) != 0;
  LoadedDriver driver(w, h, grey);
  if (!driver.failure().empty()) return state.SkipWithError(driver.failure().c_str());
  const std::int32_t image = HostImageCreate(w, h, grey ? 1 : 3, 0);
  if (image < 0) return state.SkipWithError("no host image");
  auto* getImage = driver.acq().getImage;
  bool ok = true;
  state.SetLabel(labelStart("AcqGetImage into a host image", state));
  vxbench::againstMemcpy(
      state, static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, [&] { ok = driver.snap() && ok; },
      [&] { ok = getImage(image) == image && ok; });
  HostImageRelease(image);
  if (!ok) state.SkipWithError("a snapshot or the transfer failed");
}
BENCHMARK(BM_AcqGetImage)->Apply(sizesAndColours);

} // namespace
