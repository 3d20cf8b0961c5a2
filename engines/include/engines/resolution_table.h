// The resolution modes the driver offers for the open camera: a preview list
// and an acquisition list of ResolutionMode entries, chosen from the built-in
// templates by the camera's id, and the camera's sensor size.
#pragma once

#include "sdk/varcam_sdk.h"
#include "engines/mode_templates.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace engines {

// Each list holds at most this many entries.
inline constexpr std::int32_t kMaxModes = 20;
// A mode name holds up to 107 characters and its terminator.
inline constexpr std::size_t kModeNameSize = 108;

struct ResolutionMode {
  std::int32_t position = 0;   // index within its list
  std::int32_t modeId = 0;     // template it was made from
  std::int32_t width = 0;      // delivered image, pixels
  std::int32_t height = 0;
  std::uint16_t factorX = 1;   // sensor window = width x factorX pixels wide
  std::uint16_t factorY = 1;
  std::uint16_t binningX = 0;  // nonzero: factorX applied by binning, else sub-sampling
  std::uint16_t binningY = 0;
  char name[kModeNameSize] = {};
  std::int32_t offsetX = 0;    // sensor window's left edge; 0 unless centred
  std::int32_t offsetY = 0;
};

class ResolutionTable {
 public:
  // Reads the camera's id (an unreadable id counts as an unknown one) and
  // builds the lists for it.
  explicit ResolutionTable(VarcamHandle camera);

  // The table a camera reporting `cameraId` gets; no camera needed.
  static ResolutionTable forCameraId(std::uint32_t cameraId);
  // The table built from an explicit template set, as if the camera
  // reported `cameraId`. Mode ids that have no template are left out and at
  // most kMaxModes templates are taken.
  static ResolutionTable fromModeSet(std::uint32_t cameraId, const CameraModeSet& modeSet);

  // Centre every entry in use of the list on the sensor (offset = (sensor -
  // window) / 2, negative when the window is larger), or with centre 0 put
  // every offset back to 0. Return 1.
  int centreAcquireWindows(std::int32_t centre);
  int centrePreviewWindows(std::int32_t centre);

  // For camera ids 32, 64 and 160: replaces the acquisition list with the
  // Demosaic and Kelvo entries made from previewModes[index] and returns 1.
  // Other ids, and an index outside the preview list, change nothing and
  // return 0.
  int buildDemosaicModes(std::int32_t index);

  // Read directly by the session, the command dispatcher and the panels; an
  // index into a list is valid from 0 to its count - 1.
  std::array<ResolutionMode, kMaxModes> previewModes{};
  std::int32_t previewCount = 0;
  std::array<ResolutionMode, kMaxModes> acquireModes{};
  std::int32_t acquireCount = 0;
  std::int32_t sensorWidth = 0;
  std::int32_t sensorHeight = 0;
  std::int32_t templateCount = 0;
  std::array<ModeTemplate, kMaxModes> templates{};  // ascending modeId
  std::uint32_t cameraId = 0;

 private:
  ResolutionTable() = default;
  void build(std::uint32_t id, const CameraModeSet& modeSet);
  void centre(std::array<ResolutionMode, kMaxModes>& modes, std::int32_t count,
              std::int32_t centre) const;
};

}  // namespace engines
