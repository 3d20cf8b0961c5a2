// The control interface (sim_control.h) over the simulator's cameras.
#include "vividozuz/sim_control.h"

#include "vividozuz/simulator.h"

namespace vzsim {

namespace {

std::shared_ptr<CameraDevice> camera(int index) { return Simulator::instance().device(index); }

} // namespace

void reset() { Simulator::instance().reset(); }

bool setCameras(const std::vector<CameraModel>& models) {
  return Simulator::instance().setCameras(models);
}

std::vector<CameraModel> cameras() {
  std::vector<CameraModel> out;
  for (const auto& device : Simulator::instance().devices()) out.push_back(device->modelSnapshot());
  return out;
}

bool setPropertyValue(int cameraIndex, int property, float value) {
  auto device = camera(cameraIndex);
  return device && device->forcePropertyValue(property, value);
}

std::optional<float> propertyValue(int cameraIndex, int property) {
  auto device = camera(cameraIndex);
  if (!device) return std::nullopt;
  auto spec = device->propertySpec(property);
  if (!spec) return std::nullopt;
  return spec->value;
}

std::optional<std::uint32_t> propertyFlags(int cameraIndex, int property) {
  auto device = camera(cameraIndex);
  if (!device) return std::nullopt;
  auto spec = device->propertySpec(property);
  if (!spec) return std::nullopt;
  return spec->flags;
}

bool setPropertySpec(int cameraIndex, int property, const PropertySpec& spec) {
  auto device = camera(cameraIndex);
  return device && device->replacePropertySpec(property, spec);
}

std::optional<PropertySpec> propertySpec(int cameraIndex, int property) {
  auto device = camera(cameraIndex);
  if (!device) return std::nullopt;
  return device->propertySpec(property);
}

FrameFormatRecord currentFormat(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device ? device->currentFormat() : FrameFormatRecord{};
}

float currentFrameRate(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device ? device->currentRate() : 0.0f;
}

int streamMode(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device ? device->streamMode() : 0;
}

bool isOpen(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device && device->isOpen();
}

std::vector<float> offeredRates(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device ? device->offeredRateValues() : std::vector<float>{};
}

bool setFrameRates(int cameraIndex, const std::vector<FrameRateSpec>& rates) {
  auto device = camera(cameraIndex);
  return device && device->setFrameRates(rates);
}

bool setRgbPreviewFormat(int cameraIndex, int format) {
  auto device = camera(cameraIndex);
  return device && device->setRgbPreviewFormat(format);
}

bool setScene(int cameraIndex, Scene scene) {
  auto device = camera(cameraIndex);
  if (!device) return false;
  device->setScene(scene);
  return true;
}

bool failNext(const std::string& function, int count, std::uint32_t errorCode, int property) {
  return Simulator::instance().faults().add(function, count, errorCode, property);
}

void clearFaults() { Simulator::instance().faults().clear(); }

void setStalled(bool stalled, int cameraIndex) {
  Simulator::instance().setStalled(stalled, cameraIndex);
}

void setTakeVideoTimeout(std::uint32_t milliseconds) {
  Simulator::instance().setTakeVideoTimeout(milliseconds);
}

void setPacing(Pacing pacing) { Simulator::instance().setPacing(pacing); }

Pacing pacing() { return Simulator::instance().pacing(); }

void releaseFrames(int count, int cameraIndex) {
  for (const auto& device : Simulator::instance().devices()) {
    if (cameraIndex == 0 || device->index() == cameraIndex) device->releaseFrames(count);
  }
}

bool advanceFrames(int cameraIndex, int count, std::uint32_t timeoutMs) {
  auto device = camera(cameraIndex);
  return device && device->advanceFrames(count, timeoutMs);
}

bool waitForFrames(int cameraIndex, int count, std::uint32_t timeoutMs) {
  auto device = camera(cameraIndex);
  return device && device->waitForFrames(count, timeoutMs);
}

std::uint64_t framesDelivered(int cameraIndex) {
  auto device = camera(cameraIndex);
  return device ? device->framesDelivered() : 0;
}

void setNoise(bool on, std::uint32_t seed) { Simulator::instance().setNoise(on, seed); }

std::optional<DisplayedFrame> lastDisplayedFrame(int cameraIndex) {
  auto device = camera(cameraIndex);
  if (!device) return std::nullopt;
  return device->lastDisplayedFrame();
}

std::vector<JournalEntry> journal() { return Simulator::instance().journal().entries(); }

void clearJournal() { Simulator::instance().journal().clear(); }

void setJournalFrames(bool recordFrames) {
  Simulator::instance().journal().setRecordFrames(recordFrames);
}

} // namespace vzsim
