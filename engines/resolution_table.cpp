#include "engines/resolution_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace engines {
namespace {

// Camera ids whose acquisition list is the Demosaic/Kelvo set.
bool hasDemosaicModes(std::uint32_t id) { return id == 32 || id == 64 || id == 160; }

// Copies a terminated name into a field, cutting it to fit.
template <std::size_t N>
void copyName(char (&destination)[N], const char* source) {
  std::size_t length = ::strnlen(source, N - 1);
  std::memcpy(destination, source, length);
  std::memset(destination + length, 0, N - length);
}

}  // namespace

ResolutionTable ResolutionTable::forCameraId(std::uint32_t id) {
  return fromModeSet(id, modeSetForCamera(id));
}

ResolutionTable ResolutionTable::fromModeSet(std::uint32_t id, const CameraModeSet& modeSet) {
  ResolutionTable table;
  table.build(id, modeSet);
  return table;
}

void ResolutionTable::build(std::uint32_t id, const CameraModeSet& modeSet) {
  cameraId = id;
  previewCount = 0;
  acquireCount = 0;
  templateCount = 0;
  sensorWidth = modeSet.sensorWidth;
  sensorHeight = modeSet.sensorHeight;

  // The camera's templates in ascending modeId order: walk the built-in table
  // (which is in that order) and take the rows the camera lists.
  for (const ModeTemplate& row : modeTemplates()) {
    if (templateCount == kMaxModes) break;
    if (std::find(modeSet.modeIds.begin(), modeSet.modeIds.end(), row.modeId) !=
        modeSet.modeIds.end()) {
      templates[static_cast<std::size_t>(templateCount++)] = row;
    }
  }

  // Preview list: the templates largest first.
  for (std::int32_t k = 0; k < templateCount; ++k) {
    const ModeTemplate& t = templates[static_cast<std::size_t>(templateCount - 1 - k)];
    ResolutionMode& mode = previewModes[static_cast<std::size_t>(k)];
    mode = ResolutionMode{};
    mode.position = k;
    mode.modeId = t.modeId;
    mode.width = t.width;
    mode.height = t.height;
    mode.factorX = t.factorX;
    mode.factorY = t.factorY;
    mode.binningX = t.binningX;
    mode.binningY = t.binningY;
    copyName(mode.name, t.name);
  }
  previewCount = templateCount;

  if (hasDemosaicModes(cameraId)) {
    buildDemosaicModes(0);
  } else {
    std::copy_n(previewModes.begin(), previewCount, acquireModes.begin());
    acquireCount = previewCount;
  }
}

int ResolutionTable::buildDemosaicModes(std::int32_t index) {
  if (!hasDemosaicModes(cameraId) || index < 0 || index >= previewCount) return 0;
  const ResolutionMode base = previewModes[static_cast<std::size_t>(index)];
  const int w = base.width * base.factorX;
  const int h = base.height * base.factorY;
  constexpr std::int32_t kEntries = 5;
  for (std::int32_t k = 0; k < kEntries; ++k) {
    ResolutionMode& mode = acquireModes[static_cast<std::size_t>(k)];
    mode = base;
    mode.position = k;
    mode.offsetX = 0;
    mode.offsetY = 0;
    if (k == 0) {
      std::snprintf(mode.name, sizeof mode.name, "%d x %d Demosaic", w, h);
    } else {
      std::snprintf(mode.name, sizeof mode.name, "%d x %d Kelvo", k * w, k * h);
    }
  }
  acquireCount = kEntries;
  return 1;
}

void ResolutionTable::centre(std::array<ResolutionMode, kMaxModes>& modes, std::int32_t count,
                             std::int32_t centreOn) const {
  const std::int32_t used = std::clamp(count, 0, kMaxModes);
  for (std::int32_t k = 0; k < used; ++k) {
    ResolutionMode& mode = modes[static_cast<std::size_t>(k)];
    if (centreOn != 0) {
      // Signed arithmetic: a window larger than the sensor gets a negative
      // offset; the division truncates toward zero.
      mode.offsetX = (sensorWidth - mode.width * mode.factorX) / 2;
      mode.offsetY = (sensorHeight - mode.height * mode.factorY) / 2;
    } else {
      mode.offsetX = 0;
      mode.offsetY = 0;
    }
  }
}

int ResolutionTable::centreAcquireWindows(std::int32_t centreOn) {
  centre(acquireModes, acquireCount, centreOn);
  return 1;
}

int ResolutionTable::centrePreviewWindows(std::int32_t centreOn) {
  centre(previewModes, previewCount, centreOn);
  return 1;
}

}  // namespace engines
