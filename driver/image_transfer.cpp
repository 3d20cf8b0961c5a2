#include "driver/image_transfer.h"

#include "camera/snapshot.h"
#include "driver/driver_snapshot.h"
#include "base/debug_log.h"
#include "driver/frame_sum.h"
#include "image_geometry.h"
#include "snap_trigger.h"
#include "driver/snapshot_rows.h"
#include "hostlib/host_handles.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vx {
namespace {

// Bytes per pixel of a host image type, 0 for a type the driver does not know.
int hostBytesPerPixel(std::int32_t type) {
  switch (type) {
    case 1:
    case 2: return 1;
    case 3: return 3;
    case 4:
    case 6: return 2;
    case 5: return 4;
    case 8:
    case 9: return 6;
    default: return 0;
  }
}

// The layout rows are written in for a depth: the copier's samples, widened
// to 16 bits (and spread over the depth's range) for the depths whose
// images hold 16-bit samples.
RowLayout transferLayout(const Driver& driver, std::int32_t depth) {
  RowLayout layout = lineCopierLayout(driver);
  const int bits = sumPlan(depth).sampleBits;
  if (bits > 8) layout.wide = wideSampleTable(bits);
  return layout;
}

// The host's progress function, or nothing.
class Progress {
 public:
  explicit Progress(const AcqProgressRecord* record)
      : function_(record != nullptr ? record->function : nullptr), user_(record != nullptr ? record->user : 0) {}
  std::int32_t operator()(std::int32_t code, std::int32_t value, std::int32_t total, std::int32_t user) const {
    return function_ != nullptr ? function_(code, value, total, user) : 0;
  }
  std::int32_t user() const { return user_; }

 private:
  AcqProgressFunction function_;
  std::int32_t user_;
};

// Each frame of a sum of several: the trigger prompt, then a snapshot of
// its own.
bool captureFrame(Driver& driver) {
  snapTriggerPrompt(driver);
  return takeDriverSnapshot(driver) != 0;
}

} // namespace

std::int32_t effectiveDepth(Driver& driver) {
  // The depth is read in grey mode too: reading it is what notices a
  // monochrome camera.
  const std::int32_t depth = imageBitDepth(driver);
  return driver.capture.greyMode != 0 ? 8 : depth;
}

std::int32_t hostImageType(std::int32_t depth) {
  switch (depth) {
    case 8: return 1;
    case 10:
    case 12: return 4;
    case 16: return 6;
    case 24: return 3;
    case 30:
    case 36: return 8;
    case 48: return 9;
    default: return 1;
  }
}

std::int32_t copySnapshotLine(Driver& driver, std::int32_t x0, std::int32_t, std::int32_t x1,
                              std::uint8_t* out) {
  copyCursorRow(driver, x0, x1, out, lineCopierLayout(driver));
  return 0;
}

std::int32_t transferImage(Driver& driver, std::int32_t image) {
  const std::int32_t width = std::max(imageWidth(driver), 0);
  const std::int32_t height = std::max(imageHeight(driver), 0);
  const std::int32_t depth = effectiveDepth(driver);
  const RowLayout layout = transferLayout(driver, depth);

  OwnedHostImage created;
  std::int32_t id = image;
  std::int32_t xOffset = 0;
  std::int32_t copyWidth = width;
  std::int32_t rowOffset = 0;
  std::int32_t rowCount = height;
  if (image == -1) {
    if (width == 0 || height == 0) return -999;
    created = OwnedHostImage::create(width, height, hostImageType(depth));
    if (!created.valid()) return -999;
    id = created.id();
  } else {
    std::uint32_t size = 0;
    std::int32_t hostType = 0;
    if (HostImageAttribute(image, HostAttributeSize, 0, 0, &size) < 0 ||
        HostImageAttribute(image, HostAttributeType, 0, 0, &hostType) < 0)
      return -998;
    const auto hostWidth = static_cast<std::int32_t>(size & 0xFFFFu);
    const auto hostHeight = static_cast<std::int32_t>(size >> 16);
    // A smaller host image takes the middle of the picture.
    if (hostWidth < width) {
      xOffset = (width - hostWidth) / 2;
      copyWidth = hostWidth;
    }
    if (hostHeight < height) {
      rowOffset = (height - hostHeight) / 2;
      rowCount = hostHeight;
    }
    // Never more bytes into a row than the host's row holds, whatever its
    // type.
    copyWidth = std::min(copyWidth, hostWidth * hostBytesPerPixel(hostType) / layout.bytesPerPixel());
  }

  HostImageAccess access(id, HostAccessWrite);
  if (!access) {
    if (created.valid()) created.reset();
    else HostImageRelease(id);
    return -998;
  }
  skipCursorRows(driver, rowOffset);
  for (std::int32_t i = 0; i < rowCount; ++i)
    copyCursorRow(driver, xOffset, xOffset + copyWidth, access.row(i), layout);
  access.unlock();
  HostImageAttribute(id, HostAttributeFinished, 1, 0, nullptr);
  return created.valid() ? created.handOver() : id;
}

std::int32_t addFrames(Driver& driver, std::int32_t frameCount, std::int32_t divisor,
                       AcqProgressRecord* progress) {
  return addFrames(driver, frameCount, divisor, progress, captureFrame);
}

std::int32_t addFrames(Driver& driver, std::int32_t frameCount, std::int32_t divisor,
                       AcqProgressRecord* progressRecord, FrameSource nextFrame) {
  if (frameCount == divisor) return transferImage(driver, -1);
  if (divisor < 1) return -5;
  const std::int32_t width = std::max(imageWidth(driver), 0);
  const std::int32_t height = std::max(imageHeight(driver), 0);
  const SumPlan plan = sumPlan(effectiveDepth(driver));
  if (frameCount > plan.frameLimit) return -6;
  if (width == 0 || height == 0) return -999;

  // Images before their locks, so that the locks are undone first.
  const auto planeCount = static_cast<std::size_t>(plan.planes);
  std::array<OwnedHostImage, 3> planes;
  std::array<HostImageAccess, 3> planeAccess;
  OwnedHostImage result;
  HostImageAccess resultAccess;
  for (std::size_t c = 0; c < planeCount; ++c) {
    planes[c] = OwnedHostImage::create(width, height, plan.accumulatorType);
    if (!planes[c].valid()) return -999;
  }
  for (std::size_t c = 0; c < planeCount; ++c) {
    planeAccess[c] = HostImageAccess(planes[c].id(), HostAccessWrite);
    if (!planeAccess[c]) return -998;
  }
  result = OwnedHostImage::create(width, height, plan.resultType);
  if (!result.valid()) return -999;
  resultAccess = HostImageAccess(result.id(), HostAccessWrite);
  if (!resultAccess) return -998;

  const RowLayout lineLayout = lineCopierLayout(driver);
  HeapBuffer<std::uint8_t> line;
  if (!line.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(lineLayout.bytesPerPixel())))
    return -999;
  const FrameAccumulator accumulator(plan, width, lineLayout.samplesPerPixel());
  const Divider divide(static_cast<std::uint32_t>(divisor), accumulator.largestSum(std::max(frameCount, 1)));

  const Progress report(progressRecord);
  report(0, 0, 0, report.user());
  report(2, 0, frameCount + height, 0);

  if (frameCount <= 1) showMultiSnapReport(driver, frameCount, 0);
  bool complete = true;
  std::array<std::uint8_t*, 3> rows{};
  for (std::int32_t n = 1; n <= frameCount; ++n) {
    if (frameCount > 1 && !nextFrame(driver)) {
      complete = false;
      break;
    }
    for (std::int32_t r = 0; r < height; ++r) {
      const CopiedSpan span = copyCursorRow(driver, 0, width, line.data(), lineLayout);
      clearUncopied(line.data(), width, span, lineLayout);
      for (std::size_t c = 0; c < planeCount; ++c) rows[c] = planeAccess[c].row(r);
      accumulator.add(rows, line.data());
    }
    if (report(4, n, 0, 0) == 1) {
      complete = false;
      break;
    }
  }
  if (complete) {
    for (std::int32_t r = 0; r < height; ++r) {
      for (std::size_t c = 0; c < planeCount; ++c) rows[c] = planeAccess[c].row(r);
      accumulator.divide(rows, resultAccess.row(r), divide);
      report(4, frameCount + r + 1, 0, 0);
    }
  }

  line.release();
  for (std::size_t c = 0; c < planeCount; ++c) {
    planeAccess[c].unlock();
    planes[c].reset();
  }
  resultAccess.unlock();
  if (complete) HostImageAttribute(result.id(), HostAttributeFinished, 1, 0, nullptr);
  report(1, 0, 0, 0);
  if (!complete) return -1;  // the result is released on the way out
  return result.handOver();
}

} // namespace vx
