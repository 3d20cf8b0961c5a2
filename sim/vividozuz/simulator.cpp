#include "vividozuz/simulator.h"

#include "vividozuz/camera_model.h"

#include <atomic>

namespace vzsim {

namespace {

std::atomic<Simulator*> gInstance{nullptr};

// Stops the streaming threads before the process tears down.
struct ExitGuard {
  ~ExitGuard() { Simulator::shutdownAtExit(); }
} gExitGuard;

} // namespace

Simulator& Simulator::instance() {
  static Simulator* simulator = [] {
    auto* created = new Simulator();
    gInstance.store(created);
    return created;
  }();
  return *simulator;
}

void Simulator::shutdownAtExit() {
  if (Simulator* simulator = gInstance.load()) simulator->detachAll();
}

Simulator::Simulator() {
  CameraModel model = defaultModel(160);
  normaliseModel(model);
  attachLocked({model});
}

void Simulator::attachLocked(const std::vector<CameraModel>& models) {
  devices_.clear();
  int index = 1;
  for (const CameraModel& model : models) {
    devices_.push_back(std::make_shared<CameraDevice>(index++, model, journal_, defaults_));
  }
}

void Simulator::detachAll() {
  std::vector<std::shared_ptr<CameraDevice>> old;
  {
    std::lock_guard lock(mutex_);
    old = devices_;
    handles_.clear();
  }
  for (const auto& device : old) device->shutdown();
}

int Simulator::cameraCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(devices_.size());
}

std::shared_ptr<CameraDevice> Simulator::device(int index) const {
  std::lock_guard lock(mutex_);
  if (index < 1 || static_cast<std::size_t>(index) > devices_.size()) return nullptr;
  return devices_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CameraDevice> Simulator::deviceForHandle(VarcamHandle handle) const {
  std::lock_guard lock(mutex_);
  const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<CameraDevice>> Simulator::devices() const {
  std::lock_guard lock(mutex_);
  return devices_;
}

VarcamHandle Simulator::open(int index, std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  if (index < 1 || static_cast<std::size_t>(index) > devices_.size()) {
    error = ErrorInvalidArgument;
    return nullptr;
  }
  const auto& device = devices_[static_cast<std::size_t>(index - 1)];
  error = device->open();
  if (error != ErrorNone) return nullptr;
  const std::uintptr_t token = nextHandle_;
  nextHandle_ += 0x10;
  handles_[token] = device;
  return reinterpret_cast<VarcamHandle>(token);
}

std::uint32_t Simulator::close(VarcamHandle handle) {
  std::shared_ptr<CameraDevice> device;
  {
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == handles_.end()) return ErrorInvalidHandle;
    device = it->second;
  }
  const std::uint32_t error = device->close();
  if (error != ErrorNone) return error;
  std::lock_guard lock(mutex_);
  handles_.erase(reinterpret_cast<std::uintptr_t>(handle));
  return ErrorNone;
}

bool Simulator::setCameras(const std::vector<CameraModel>& models) {
  if (onAnyStreamingThread()) return false;
  std::vector<CameraModel> normalised = models;
  for (CameraModel& model : normalised) {
    if (!normaliseModel(model)) return false;
  }
  detachAll();
  std::lock_guard lock(mutex_);
  attachLocked(normalised);
  return true;
}

void Simulator::reset() {
  if (onAnyStreamingThread()) return;
  detachAll();
  faults_.clear();
  {
    std::lock_guard lock(mutex_);
    defaults_ = DeviceDefaults{};
    CameraModel model = defaultModel(160);
    normaliseModel(model);
    attachLocked({model});
  }
  journal_.clear();
  journal_.setRecordFrames(true);
}

void Simulator::setPacing(Pacing pacing) {
  std::lock_guard lock(mutex_);
  defaults_.pacing = pacing;
  for (const auto& device : devices_) device->setPacing(pacing);
}

Pacing Simulator::pacing() const {
  std::lock_guard lock(mutex_);
  return defaults_.pacing;
}

void Simulator::setStalled(bool stalled, int index) {
  std::lock_guard lock(mutex_);
  if (index == 0) defaults_.stalled = stalled;
  for (const auto& device : devices_) {
    if (index == 0 || device->index() == index) device->setStalled(stalled);
  }
}

void Simulator::setNoise(bool on, std::uint32_t seed) {
  std::lock_guard lock(mutex_);
  defaults_.noise = on;
  defaults_.noiseSeed = seed;
  for (const auto& device : devices_) device->setNoise(on, seed);
}

void Simulator::setTakeVideoTimeout(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  defaults_.takeVideoTimeoutMs = milliseconds;
  for (const auto& device : devices_) device->setTakeVideoTimeout(milliseconds);
}

} // namespace vzsim
