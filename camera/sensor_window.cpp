#include "sensor_window.h"

#include <algorithm>

namespace vx {
namespace {

std::uint32_t offsetOnSensor(std::int32_t offset, std::int32_t sensor, std::int32_t extent) {
  return static_cast<std::uint32_t>(std::clamp(offset, 0, std::max(sensor - extent, 0)));
}

} // namespace

FrameFormatRecord sensorWindowFormat(const CaptureRegion& window, std::int32_t sensorWidth,
                                     std::int32_t sensorHeight) {
  const std::int32_t extentX = window.factorX * window.width;
  const std::int32_t extentY = window.factorY * window.height;
  FrameFormatRecord format{};
  format.offsetX = offsetOnSensor(window.offsetX, sensorWidth, extentX);
  format.offsetY = offsetOnSensor(window.offsetY, sensorHeight, extentY);
  format.width = static_cast<std::uint32_t>(std::max(extentX, 0));
  format.height = static_cast<std::uint32_t>(std::max(extentY, 0));
  format.pixelFormat = 0;
  format.factorX = static_cast<std::uint16_t>(window.factorX);
  format.factorY = static_cast<std::uint16_t>(window.factorY);
  format.flagsX = window.binningX != 0 ? 1 : 0;
  format.flagsY = window.binningY != 0 ? 1 : 0;
  return format;
}

} // namespace vx
