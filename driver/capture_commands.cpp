// The capture rectangles, their limits, decimation and the snapshot state
// machine (start, poll, cancel).
#include "driver/control_commands.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "driver/driver_snapshot.h"
#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "camera/property_accessors.h"

#include <algorithm>

namespace vx {
namespace {

// Snapshot states reported to the host.
constexpr std::int32_t kSnapRefused = 1;
constexpr std::int32_t kSnapStarted = 2;
constexpr std::int32_t kSnapIdle = 3;
constexpr std::int32_t kSnapReady = 4;

// A capture rectangle brought onto the camera's grid: the corner even and
// the size a multiple of 8. Remainders take the sign of the dividend, so a
// negative left edge moves right (towards zero) by its remainder.
Rect alignCaptureRect(const Rect& rect) {
  const std::int32_t leftRest = rect.left % 2;
  const std::int32_t topRest = rect.top % 2;
  const std::int32_t width = rect.right - rect.left + 1;
  const std::int32_t height = rect.bottom - rect.top + 1;
  Rect aligned;
  aligned.left = rect.left - leftRest;
  aligned.top = rect.top - topRest;
  aligned.right = rect.right - leftRest - width % 8;
  aligned.bottom = rect.bottom - topRest - height % 8;
  return aligned;
}

std::int32_t alignedWidth(const Rect& r) { return r.right - r.left + 1; }
std::int32_t alignedHeight(const Rect& r) { return r.bottom - r.top + 1; }

void logRect(const char* format, const Rect& r) { logLine(format, r.top, r.bottom, r.left, r.right); }

std::int32_t reportCaptureRect(const Driver& driver, const ControlCall& call, AcqRect& out) {
  if (call.parameter == 0) {
    out = toAcqRect(driver.commands.previewRect);
    logRect("ACQCMD_CAPTRECT: GETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n", driver.commands.previewRect);
  } else {
    out = toAcqRect(driver.commands.acquireRect);
    logRect("ACQCMD_CAPTRECT: GETVALUE ACQ: T: %d, B: %d, L: %d, R: %d\n", driver.commands.acquireRect);
  }
  return kControlOk;
}

// The new region keeps the current mode, factors and binning; its corner
// moves by the aligned rectangle's corner.
CaptureRegion movedRegion(CaptureRegion region, const Rect& aligned) {
  region.width = alignedWidth(aligned);
  region.height = alignedHeight(aligned);
  region.offsetX += aligned.left;
  region.offsetY += aligned.top;
  return region;
}

// After a resolution command marked the capture area as pending, the next
// rectangle only records itself and leaves the camera's region as it is.
bool consumeCaptureAreaPending(Driver& driver) {
  if (driver.commands.captureAreaPending == 0) return false;
  driver.commands.captureAreaPending = 0;
  return true;
}

// A rectangle narrower or lower than one grid step leaves nothing to
// capture; the camera is not given an empty region.
bool emptyRegion(const Rect& aligned) { return alignedWidth(aligned) <= 0 || alignedHeight(aligned) <= 0; }

// Stores the host's rectangle, aligns it and, unless a resolution command
// marked the capture area pending, hands the moved region to the preview
// or the acquisition.
std::int32_t setCaptureRect(Driver& driver, const AcqRect& requested, bool acquisition) {
  Rect& stored = acquisition ? driver.commands.acquireRect : driver.commands.previewRect;
  logLine(acquisition ? "ACQ acquire..." : "ACQ preview...");
  stored = Rect{requested.left, requested.top, requested.right, requested.bottom};
  if (!acquisition) logRect("ACQCMD_CAPTRECT: SETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n", stored);
  const CaptureRegion current = acquisition ? getAcquireGeometry(driver.camera) : getPreviewFormat(driver.camera);
  const Rect aligned = alignCaptureRect(boundedRect(requested));
  stored = aligned;
  if (consumeCaptureAreaPending(driver)) return kControlOk;
  if (emptyRegion(aligned)) return kControlFailed;
  const CaptureRegion next = movedRegion(current, aligned);
  const auto apply = acquisition ? &setAcquisitionGeometry : &setPreviewGeometry;
  apply(driver.camera, next.index, next.width, next.height, next.offsetX, next.offsetY, next.factorX, next.factorY,
        next.binningX, next.binningY);
  return kControlOk;
}

} // namespace

Rect boundedRect(const AcqRect& rect) {
  const auto bound = [](std::int32_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); };
  return Rect{bound(rect.left), bound(rect.top), bound(rect.right), bound(rect.bottom)};
}

AcqRect toAcqRect(const Rect& rect) { return AcqRect{rect.left, rect.top, rect.right, rect.bottom}; }

std::int32_t captureRectCommand(Driver& driver, const ControlCall& call) {
  auto* rect = call.as<AcqRect>();
  if (rect == nullptr) return kControlFailed;
  if (call.query) return reportCaptureRect(driver, call, *rect);
  return setCaptureRect(driver, *rect, call.parameter != 0);
}

std::int32_t snapCommand(Driver& driver, const ControlCall& call) {
  if (call.parameter == 0) {
    driver.commands.snapPending = 0;
    return kSnapIdle;
  }
  if (driver.commands.snapPending != 0) {
    platform::messageBox(platform::activeWindow(), "Attempting new snap while still exposing!", "Digital Capture",
                         platform::MB_OK);
    return kSnapRefused;
  }
  // The snapshot's own failure has been shown to the user; the host learns
  // of it from the empty image, not from this result.
  if (driver.capture.syncSnap != 0) {
    takeDriverSnapshot(driver);
    return kSnapIdle;
  }
  driver.commands.snapPending = 1;
  takeDriverSnapshot(driver);
  return kSnapStarted;
}

std::int32_t snapStatusCommand(Driver& driver) {
  if (driver.commands.snapPending == 0) return kSnapIdle;
  driver.commands.snapPending = 0;
  return kSnapReady;
}

std::int32_t decimationCommand(Driver& driver, const ControlCall& call) {
  auto* values = call.as<std::int16_t>();
  if (values == nullptr) return kControlFailed;
  if (call.query) {
    values[0] = driver.commands.decimationY;
    values[1] = driver.commands.decimationX;
  } else {
    driver.commands.decimationY = values[0];
    driver.commands.decimationX = values[1];
  }
  return kControlOk;
}

std::int32_t captureRectLimitsCommand(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  auto* rect = call.as<AcqRect>();
  if (rect == nullptr) return kControlFailed;
  const bool acquire = call.parameter != 0;
  const std::int32_t width = acquire ? state.acquisition.selectedWidth : state.preview.selectedWidth;
  const std::int32_t height = acquire ? state.acquisition.selectedHeight : state.preview.selectedHeight;
  *rect = AcqRect{0, 0, width - 1, height - 1};
  logLine(acquire ? "ACQCMD_CAPTRECT_LIMITS: GETVALUE ACQ: T: %d, B: %d, L: %d, R: %d\n"
                  : "ACQCMD_CAPTRECT_LIMITS: GETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n",
          rect->top, rect->bottom, rect->left, rect->right);
  return kControlOk;
}

} // namespace vx
