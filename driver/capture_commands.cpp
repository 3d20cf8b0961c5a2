// The capture rectangles, their limits, decimation and the snapshot state
// machine (start, poll, cancel).
#include "driver/control_commands.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
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

std::int32_t reportCaptureRect(const DriverState& state, const ControlCall& call, AcqRect& out) {
  if (call.parameter == 0) {
    out = toAcqRect(state.previewRect);
    logRect("ACQCMD_CAPTRECT: GETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n", state.previewRect);
  } else {
    out = toAcqRect(state.acquireRect);
    logRect("ACQCMD_CAPTRECT: GETVALUE ACQ: T: %d, B: %d, L: %d, R: %d\n", state.acquireRect);
  }
  return kControlOk;
}

// The new region keeps the current mode, factors and binning; its corner
// moves by the aligned rectangle's corner.
RegionGeometry movedRegion(RegionGeometry region, const Rect& aligned) {
  region.width = alignedWidth(aligned);
  region.height = alignedHeight(aligned);
  region.offsetX += aligned.left;
  region.offsetY += aligned.top;
  return region;
}

// After a resolution command marked the capture area as pending, the next
// rectangle only records itself and leaves the camera's region as it is.
bool consumeCaptureAreaPending(DriverState& state) {
  if (state.captureAreaPending == 0) return false;
  state.captureAreaPending = 0;
  return true;
}

// A rectangle narrower or lower than one grid step leaves nothing to
// capture; the camera is not given an empty region.
bool emptyRegion(const Rect& aligned) { return alignedWidth(aligned) <= 0 || alignedHeight(aligned) <= 0; }

// Stores the host's rectangle, aligns it and, unless a resolution command
// marked the capture area pending, hands the moved region to the preview
// or the acquisition.
std::int32_t setCaptureRect(DriverState& state, const AcqRect& requested, bool acquisition) {
  Rect& stored = acquisition ? state.acquireRect : state.previewRect;
  logLine(acquisition ? "ACQ acquire..." : "ACQ preview...");
  stored = Rect{requested.left, requested.top, requested.right, requested.bottom};
  if (!acquisition) logRect("ACQCMD_CAPTRECT: SETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n", stored);
  const RegionGeometry current = acquisition ? getAcquireGeometry(state) : getPreviewFormat(state);
  const Rect aligned = alignCaptureRect(boundedRect(requested));
  stored = aligned;
  if (consumeCaptureAreaPending(state)) return kControlOk;
  if (emptyRegion(aligned)) return kControlFailed;
  const RegionGeometry next = movedRegion(current, aligned);
  const auto apply = acquisition ? &setAcquisitionGeometry : &setPreviewGeometry;
  apply(state, next.index, next.width, next.height, next.offsetX, next.offsetY, next.factorX, next.factorY,
        next.binningX, next.binningY);
  return kControlOk;
}

} // namespace

Rect boundedRect(const AcqRect& rect) {
  const auto bound = [](std::int32_t v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); };
  return Rect{bound(rect.left), bound(rect.top), bound(rect.right), bound(rect.bottom)};
}

AcqRect toAcqRect(const Rect& rect) { return AcqRect{rect.left, rect.top, rect.right, rect.bottom}; }

std::int32_t captureRectCommand(DriverState& state, const ControlCall& call) {
  auto* rect = call.as<AcqRect>();
  if (rect == nullptr) return kControlFailed;
  if (call.query) return reportCaptureRect(state, call, *rect);
  return setCaptureRect(state, *rect, call.parameter != 0);
}

std::int32_t snapCommand(DriverState& state, const ControlCall& call) {
  if (call.parameter == 0) {
    state.snapPending = 0;
    return kSnapIdle;
  }
  if (state.snapPending != 0) {
    platform::messageBox(platform::activeWindow(), "Attempting new snap while still exposing!", "Digital Capture",
                         platform::MB_OK);
    return kSnapRefused;
  }
  // The snapshot's own failure has been shown to the user; the host learns
  // of it from the empty image, not from this result.
  if (state.syncSnap != 0) {
    takeDriverSnapshot(state);
    return kSnapIdle;
  }
  state.snapPending = 1;
  takeDriverSnapshot(state);
  return kSnapStarted;
}

std::int32_t snapStatusCommand(DriverState& state) {
  if (state.snapPending == 0) return kSnapIdle;
  state.snapPending = 0;
  return kSnapReady;
}

std::int32_t decimationCommand(DriverState& state, const ControlCall& call) {
  auto* values = call.as<std::int16_t>();
  if (values == nullptr) return kControlFailed;
  if (call.query) {
    values[0] = state.decimationY;
    values[1] = state.decimationX;
  } else {
    state.decimationY = values[0];
    state.decimationX = values[1];
  }
  return kControlOk;
}

std::int32_t captureRectLimitsCommand(DriverState& state, const ControlCall& call) {
  auto* rect = call.as<AcqRect>();
  if (rect == nullptr) return kControlFailed;
  const bool acquire = call.parameter != 0;
  const std::int32_t width = acquire ? state.acqSelectedWidth : state.selectedWidth;
  const std::int32_t height = acquire ? state.acqSelectedHeight : state.selectedHeight;
  *rect = AcqRect{0, 0, width - 1, height - 1};
  logLine(acquire ? "ACQCMD_CAPTRECT_LIMITS: GETVALUE ACQ: T: %d, B: %d, L: %d, R: %d\n"
                  : "ACQCMD_CAPTRECT_LIMITS: GETVALUE PVW: T: %d, B: %d, L: %d, R: %d\n",
          rect->top, rect->bottom, rect->left, rect->right);
  return kControlOk;
}

} // namespace vx
