// The built-in resolution mode templates and, per camera id, the sensor size
// and the templates that camera gets. Pure data; ResolutionTable turns it into
// the preview and acquisition lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace engines {

// A template name holds up to 99 characters and its terminator.
inline constexpr std::size_t kTemplateNameSize = 100;

// One row of the template table. Width and height are those of the delivered
// image; the sensor window is width x factorX by height x factorY pixels.
struct ModeTemplate {
  std::int32_t modeId = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t factorX = 1;
  std::uint16_t factorY = 1;
  std::uint16_t binningX = 0;  // nonzero: factorX applied by binning
  std::uint16_t binningY = 0;
  char name[kTemplateNameSize] = {};
};

// The sensor size and the templates of a group of camera ids. The mode ids
// are listed largest first, the order of the preview list.
struct CameraModeSet {
  std::span<const std::uint32_t> cameraIds;
  std::int32_t sensorWidth = 0;
  std::int32_t sensorHeight = 0;
  std::span<const std::int32_t> modeIds;
};

// All templates, in ascending modeId order.
std::span<const ModeTemplate> modeTemplates();

// The template with that id, or null when the table has none.
const ModeTemplate* findModeTemplate(std::int32_t modeId);

// The rows of camera ids listed in the table (without the fallback row).
std::span<const CameraModeSet> cameraModeSets();

// The row for ids the table does not list: one 640 x 480 mode.
const CameraModeSet& fallbackModeSet();

// The row that lists cameraId, or the fallback row.
const CameraModeSet& modeSetForCamera(std::uint32_t cameraId);

}  // namespace engines
