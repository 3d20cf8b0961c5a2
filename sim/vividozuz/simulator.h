// The process-wide simulator: the attached cameras, the handles of open
// ones, the settings every camera shares (pacing, noise, timeouts), the
// fault table and the journal.
#pragma once

#include "vividozuz/camera_device.h"
#include "vividozuz/faults.h"
#include "vividozuz/journal.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace vzsim {

class Simulator {
public:
  // Created on first use and never destroyed (streaming threads may outlive
  // static destruction); every stream is stopped when the library unloads.
  static Simulator& instance();
  // Stops every stream, if the simulator was ever created.
  static void shutdownAtExit();

  Journal& journal() { return journal_; }
  FaultTable& faults() { return faults_; }

  int cameraCount() const;
  std::shared_ptr<CameraDevice> device(int index) const;  // 1-based; null if none
  std::shared_ptr<CameraDevice> deviceForHandle(VarcamHandle handle) const;
  std::vector<std::shared_ptr<CameraDevice>> devices() const;

  // VarcamCameraOpen / VarcamCameraClose.
  VarcamHandle open(int index, std::uint32_t& error);
  std::uint32_t close(VarcamHandle handle);

  bool setCameras(const std::vector<CameraModel>& models);
  void reset();

  void setPacing(Pacing pacing);
  Pacing pacing() const;
  void setStalled(bool stalled, int index);
  void setNoise(bool on, std::uint32_t seed);
  void setTakeVideoTimeout(std::uint32_t milliseconds);

private:
  Simulator();
  void attachLocked(const std::vector<CameraModel>& models);
  void detachAll();

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<CameraDevice>> devices_;
  std::map<std::uintptr_t, std::shared_ptr<CameraDevice>> handles_;
  std::uintptr_t nextHandle_ = 0x5A0010;
  DeviceDefaults defaults_;
  Journal journal_;
  FaultTable faults_;
};

} // namespace vzsim
