// The pixel-format list (93): three colour and three monochrome depths the
// host can offer, and the choice between colour and grey transfer.
#include "driver/control_commands.h"

#include "driver/acq_control.h"
#include "base/debug_log.h"

#include <cstring>

namespace vx {
namespace {

constexpr std::int32_t kColourDepths[] = {48, 36, 24};
constexpr std::int32_t kMonoDepths[] = {16, 12, 8};
constexpr std::int32_t kDefaultFormatIndex = 2;  // 24-bit colour
constexpr std::int32_t kGreyDepth = 8;
constexpr std::int32_t kColourDepth = 24;

void buildList(Driver& driver) {
  std::size_t slot = 0;
  for (std::int32_t depth : kColourDepths) {
    PixelFormatEntry& entry = driver.commands.pixelFormats[slot++];
    entry.name.assign(formatText("%d-bit color ", depth));
    entry.depth = depth;
  }
  for (std::int32_t depth : kMonoDepths) {
    PixelFormatEntry& entry = driver.commands.pixelFormats[slot++];
    entry.name.assign(formatText("%d-bit mono ", depth));
    entry.depth = depth;
  }
  driver.commands.pixelFormatCount = static_cast<std::int32_t>(slot);
  driver.commands.pixelFormatIndex = kDefaultFormatIndex;
}

std::int32_t listedCount(const Driver& driver) {
  const auto capacity = static_cast<std::int32_t>(driver.commands.pixelFormats.size());
  return driver.commands.pixelFormatCount < 0 ? 0 : (driver.commands.pixelFormatCount > capacity ? capacity : driver.commands.pixelFormatCount);
}

void selectDepth(Driver& driver, std::int32_t depth) {
  // Only the transfer changes; the camera keeps rendering colour.
  driver.capture.greyMode = depth == kGreyDepth ? 1 : 0;
  for (std::int32_t i = 0; i < listedCount(driver); ++i)
    if (driver.commands.pixelFormats[static_cast<std::size_t>(i)].depth == depth) driver.commands.pixelFormatIndex = i;
}

void listFormats(const Driver& driver, AcqPixelFormatEntry* entries) {
  for (std::int32_t i = 0; i < listedCount(driver); ++i) {
    const PixelFormatEntry& entry = driver.commands.pixelFormats[static_cast<std::size_t>(i)];
    AcqPixelFormatEntry& out = entries[i];
    if (out.name != nullptr) std::memcpy(out.name, entry.name.c_str(), entry.name.length() + 1);
    out.depth = entry.depth;
  }
}

} // namespace

std::int32_t pixelFormatCommand(Driver& driver, const ControlCall& call) {
  auto* out = call.as<std::int32_t>();
  if (call.query) {
    if (out == nullptr) return kControlFailed;
    out[0] = call.parameter == 0 ? (driver.capture.greyMode != 0 ? kGreyDepth : kColourDepth) : 0;
    return kControlOk;
  }
  const bool known = call.parameter <= ACQPIX_FOUR;
  if (!known) return kControlOk;
  if (out == nullptr) return kControlFailed;
  switch (call.parameter) {
    case ACQPIX_SELECT: selectDepth(driver, out[0]); break;
    case ACQPIX_BUILD:
      buildList(driver);
      out[0] = driver.commands.pixelFormatCount;
      break;
    case ACQPIX_NAME_SIZE: out[0] = ACQ_PIXEL_FORMAT_NAME_SIZE; break;
    case ACQPIX_LIST: listFormats(driver, call.as<AcqPixelFormatEntry>()); break;
    default: out[0] = 1; break;  // ACQPIX_FOUR
  }
  return kControlOk;
}

} // namespace vx
