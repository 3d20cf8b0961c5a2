// The acquisition (91) and preview (92) resolution lists: the current index,
// selecting a mode, the list itself for the host's menus, and the pending
// capture area.
#include "driver/control_commands.h"

#include "camera/preview_stream.h"
#include "camera/snapshot.h"
#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "camera/property_accessors.h"
#include "engines/resolution_table.h"

#include <algorithm>
#include <cstring>

namespace vx {
namespace {

struct ListView {
  const ResolutionMode* modes = nullptr;
  std::int32_t count = 0;
};

bool acquireList(const ControlCall& call) { return call.code == ACQCMD_ACQUIRE_RESOLUTION; }

ListView listOf(const ResolutionTable& table, bool acquire) {
  return acquire ? ListView{table.acquireModes.data(), table.acquireCount}
                 : ListView{table.previewModes.data(), table.previewCount};
}

// An index from the host is brought into the list rather than refused: the
// first or the last mode stands for anything beyond them.
std::int32_t clampIndex(std::int32_t index, std::int32_t count) { return std::clamp(index, 0, std::max(count - 1, 0)); }

// Copies a mode's name into the host's buffer of ACQ_MODE_NAME_SIZE bytes
// (the size reported by sub-command 2), never beyond it.
void copyModeName(char* destination, const char* name) {
  if (destination == nullptr) return;
  const std::size_t length = ::strnlen(name, ACQ_MODE_NAME_SIZE - 1);
  std::memcpy(destination, name, length);
  destination[length] = '\0';
}

std::int32_t reportIndex(Driver& driver, const ControlCall& call) {
  DriverState& state = driver.state;
  if (call.parameter != 0) return kControlOk;
  auto* out = call.as<std::int32_t>();
  if (out == nullptr) return kControlFailed;
  if (acquireList(call)) {
    *out = state.acquisition.index;
    driver.commands.acquireResolutionIndex = state.acquisition.index;
    logLine("GET RES INDEX ACQ: AcqIndex: %d\n", state.acquisition.index);
  } else {
    *out = state.preview.index;
    driver.commands.previewResolutionIndex = state.preview.index;
    logLine("GET RES INDEX PVW: AcqIndex: %d\n", state.preview.index);
  }
  return kControlOk;
}

void selectAcquireMode(Driver& driver, const ResolutionTable& table, std::int32_t requested) {
  logLine("ACQIndex...\n");
  const std::int32_t index = clampIndex(requested, table.acquireCount);
  driver.commands.acquireResolutionIndex = index;
  setAcquisitionMode(driver.camera, index);
}

void selectPreviewMode(Driver& driver, const ResolutionTable& table, std::int32_t requested) {
  logLine("PvwIndex...\n");
  const std::int32_t index = clampIndex(requested, table.previewCount);
  driver.commands.previewResolutionIndex = index;
  if (driver.commands.captureAreaPending != 0) {
    // The preview shows the acquisition's region while a capture area is
    // being chosen.
    const CaptureRegion acquire = getAcquireGeometry(driver.camera);
    setPreviewGeometry(driver.camera, acquire.index, acquire.width, acquire.height, acquire.offsetX, acquire.offsetY,
                       acquire.factorX, acquire.factorY, acquire.binningX, acquire.binningY);
    logLine("GO IN SET WINDOW SIZE: Index: %d, RES INDEX: %d\n", driver.commands.previewResolutionIndex, acquire.index);
    setDisplaySize(driver.camera, acquire.index);
    return;
  }
  setPreviewMode(driver.camera, index);
  setDisplaySize(driver.camera, index);
}

// One record per mode, in list order.
void fillRecords(AcqModeRecord* records, const ListView& list, bool acquire, const ResolutionTable& table) {
  for (std::int32_t k = 0; k < list.count; ++k) {
    const ResolutionMode& mode = list.modes[k];
    AcqModeRecord& record = records[k];
    record.index = k;
    record.width = mode.width;
    record.height = mode.height;
    record.factorX = mode.factorX;
    record.factorY = mode.factorY;
    const bool fullSensor = mode.width == table.sensorWidth && mode.height == table.sensorHeight;
    record.partial = acquire || !fullSensor ? 1 : 0;
    record.left = 0;
    record.top = 0;
    record.right = mode.width - 1;
    record.bottom = mode.height - 1;
    copyModeName(record.name, mode.name);
  }
}

std::int32_t listModes(Driver& driver, ResolutionTable& table, const ControlCall& call) {
  DriverState& state = driver.state;
  logLine("ACQ Get dataArray...");
  auto* records = call.as<AcqModeRecord>();
  if (records == nullptr) return kControlFailed;
  const bool acquire = acquireList(call);
  if (acquire) {
    logLine("ACQ Get dataArray ACQUIRE...");
    // Demosaic and Kelvo cameras offer acquisitions built on the preview
    // mode in use; other cameras keep their list.
    table.buildDemosaicModes(state.preview.index);
    table.centreAcquireWindows(1);
  } else {
    logLine("ACQ Get dataArray PREVIEW...");
    table.centrePreviewWindows(1);
  }
  fillRecords(records, listOf(table, acquire), acquire, table);
  return kControlOk;
}

std::int32_t runSubCommand(Driver& driver, ResolutionTable& table, const ControlCall& call) {
  const bool acquire = acquireList(call);
  auto* out = call.as<std::int32_t>();
  switch (call.parameter) {
    case ACQRES_SELECT:
      if (out == nullptr) return kControlFailed;
      if (acquire)
        selectAcquireMode(driver, table, out[0]);
      else
        selectPreviewMode(driver, table, out[0]);
      return kControlOk;
    case ACQRES_COUNT:
      logLine("ACQ Get count...");
      if (out == nullptr) return kControlFailed;
      out[0] = listOf(table, acquire).count;
      return kControlOk;
    case ACQRES_NAME_SIZE:
      logLine("ACQ Get size...");
      if (out == nullptr) return kControlFailed;
      out[0] = ACQ_MODE_NAME_SIZE;
      return kControlOk;
    case ACQRES_LIST: return listModes(driver, table, call);
    case ACQRES_FOUR:
      if (out == nullptr) return kControlFailed;
      out[0] = 1;
      return kControlOk;
    case ACQRES_SOMETHING_AREA: logLine("Setting SOMETHING Area\n"); return kControlOk;
    case ACQRES_CAPTURE_AREA:
      logLine("Setting ACQ Capture Area\n");
      driver.commands.captureAreaPending = 1;
      return kControlOk;
    default: return kControlOk;
  }
}

} // namespace

std::int32_t resolutionCommand(Driver& driver, const ControlCall& call) {
  if (call.query) return reportIndex(driver, call);
  logLine("Setting Resolution\n");
  ResolutionTable* table = driver.camera.resolutionTable();
  if (table == nullptr) return kControlFailed;
  return runSubCommand(driver, *table, call);
}

} // namespace vx
