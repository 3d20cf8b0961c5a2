#include "sensor_window.h"

#include <algorithm>
#include <limits>

namespace vx {
namespace {

std::uint32_t offsetOnSensor(std::int32_t offset, std::int32_t sensor, std::int64_t extent) {
  return static_cast<std::uint32_t>(
      std::clamp<std::int64_t>(offset, 0, std::max<std::int64_t>(sensor - extent, 0)));
}

std::uint32_t formatSide(std::int64_t extent) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(extent, 0, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

FrameFormatRecord sensorWindowFormat(const CaptureRegion& window, std::int32_t sensorWidth,
                                     std::int32_t sensorHeight) {
  const std::int64_t extentX = sensorExtent(window.width, window.factorX);
  const std::int64_t extentY = sensorExtent(window.height, window.factorY);
  FrameFormatRecord format{};
  format.offsetX = offsetOnSensor(window.offsetX, sensorWidth, extentX);
  format.offsetY = offsetOnSensor(window.offsetY, sensorHeight, extentY);
  format.width = formatSide(extentX);
  format.height = formatSide(extentY);
  format.pixelFormat = 0;
  format.factorX = static_cast<std::uint16_t>(window.factorX);
  format.factorY = static_cast<std::uint16_t>(window.factorY);
  format.flagsX = window.binningX != 0 ? 1 : 0;
  format.flagsY = window.binningY != 0 ? 1 : 0;
  return format;
}

} // namespace vx
