#include "engines/mode_templates.h"

#include <algorithm>
#include <array>

namespace engines {
namespace {

// Widths and heights are those of the delivered image. The factor columns are
// what the camera is told; a few names (46, 47, 62) describe a sub-sampling
// that the factors do not apply.
constexpr std::array<ModeTemplate, 53> kTemplates{{
    {0, 160, 120, 1, 1, 0, 0, "160 x 120"},
    {1, 120, 160, 4, 4, 0, 0, "120 x 160 (subsampled by 4)"},
    {2, 240, 320, 1, 1, 0, 0, "240 x 320"},
    {3, 240, 320, 2, 2, 0, 0, "240 x 320 (subsampled by 2)"},
    {4, 320, 240, 1, 1, 0, 0, "320 x 240"},
    {5, 320, 240, 2, 2, 0, 0, "320 x 240 (subsampled by 2)"},
    {6, 320, 240, 8, 8, 0, 0, "320 x 240 (subsampled by 8)"},
    {7, 344, 256, 6, 6, 0, 0, "344 x 256 (subsampled by 6)"},
    {10, 348, 256, 4, 4, 1, 1, "348 x 256 (binning 4x4) Mono"},
    {11, 368, 496, 6, 6, 0, 0, "368 x 496 (subsampled by 6)"},
    {13, 404, 304, 4, 4, 1, 1, "404 x 304 (binning 4x4) Mono"},
    {16, 480, 272, 4, 4, 0, 0, "480 x 272 (subsampled by 4)"},
    {17, 480, 640, 1, 1, 0, 0, "480 x 640"},
    {18, 496, 368, 6, 6, 0, 0, "496 x 368 (subsampled by 6)"},
    {19, 520, 384, 4, 4, 1, 1, "520 x 384 (binning 4x4)"},
    {21, 552, 752, 4, 4, 0, 0, "552 x 752 (subsampled by 4)"},
    {24, 640, 360, 3, 3, 0, 0, "640 x 360 (subsampled by 3)"},
    {25, 640, 480, 1, 1, 0, 0, "640 x 480"},
    {26, 640, 480, 2, 2, 0, 0, "640 x 480 (subsampled by 2)"},
    {27, 640, 512, 2, 2, 0, 0, "640 x 512 (subsampled by 2)"},
    {31, 644, 488, 4, 4, 1, 1, "644 x 488 (binning 4x4) Mono"},
    {32, 688, 512, 3, 3, 1, 1, "688 x 512 (binning 3x3)"},
    {35, 696, 520, 2, 2, 1, 1, "696 x 520 (binning 2x2) Mono"},
    {36, 736, 544, 4, 4, 0, 0, "736 x 544 (subsampled by 4)"},
    {37, 736, 1000, 3, 3, 0, 0, "736 x 1000 (subsampled by 3)"},
    {38, 800, 600, 1, 1, 0, 0, "800 x 600"},
    {39, 800, 600, 2, 2, 0, 0, "800 x 600 (subsampled by 2)"},
    {40, 800, 608, 1, 1, 0, 0, "800 x 608"},
    {41, 808, 608, 1, 1, 0, 0, "808 x 608"},
    {42, 808, 608, 2, 2, 1, 1, "808 x 608 (binning 2x2)"},
    {45, 858, 650, 3, 3, 1, 1, "858 x 650 (binning 3x3) Mono"},
    {46, 968, 544, 1, 1, 0, 0, "968 x 544 (subsampled by 2)"},
    {47, 1000, 664, 1, 1, 0, 0, "1000 x 664ss4"},
    {48, 1000, 736, 3, 3, 0, 0, "1000 x 736 (subsampled by 3)"},
    {49, 1024, 768, 1, 1, 0, 0, "1024 x 768"},
    {50, 1040, 768, 2, 2, 1, 1, "1040 x 768 (binning 2x2)"},
    {52, 1104, 1504, 2, 2, 0, 0, "1104 x 1504 (subsampled by 2)"},
    {53, 1280, 960, 1, 1, 0, 0, "1280 x 960"},
    {54, 1280, 1024, 1, 1, 0, 0, "1280 x 1024"},
    {56, 1288, 976, 2, 2, 1, 1, "1288 x 976 (binning 2x2) Mono"},
    {57, 1392, 1040, 1, 1, 0, 0, "1392 x 1040"},
    {58, 1488, 1104, 2, 2, 0, 0, "1488 x 1104 (subsampled by 2)"},
    {59, 1600, 1200, 1, 1, 0, 0, "1600 x 1200"},
    {60, 1616, 1216, 1, 1, 0, 0, "1616 x 1216"},
    {61, 1936, 1088, 1, 1, 0, 0, "1936 x 1088"},
    {62, 2000, 1336, 1, 1, 0, 0, "2000 x 1336ss2"},
    {63, 2000, 1336, 2, 2, 1, 1, "2000 x 1336 (binning 2x2)"},
    {65, 2048, 1536, 1, 1, 0, 0, "2048 x 1536"},
    {66, 2080, 1536, 1, 1, 0, 0, "2080 x 1536"},
    {69, 2208, 3000, 1, 1, 0, 0, "2208 x 3000"},
    {70, 2576, 1952, 1, 1, 0, 0, "2576 x 1952"},
    {71, 3000, 2208, 1, 1, 0, 0, "3000 x 2208"},
    {72, 4008, 2672, 1, 1, 0, 0, "4008 x 2672"},
}};

constexpr bool ascendingIds() {
  for (std::size_t i = 1; i < kTemplates.size(); ++i) {
    if (kTemplates[i - 1].modeId >= kTemplates[i].modeId) return false;
  }
  return true;
}
static_assert(ascendingIds(), "templates must be sorted by modeId for the lookup");

constexpr std::uint32_t kIds1600[] = {23, 141, 151, 156, 397};
constexpr std::int32_t kModes1600[] = {59, 54, 53, 39, 38, 26, 25, 4};
constexpr std::uint32_t kIds2048[] = {27, 139, 163, 395, 419};
constexpr std::int32_t kModes2048[] = {65, 59, 54, 53, 49, 39, 38, 25};
constexpr std::uint32_t kIds1280[] = {30, 32, 148, 150, 152, 158, 160, 161, 414, 417};
constexpr std::int32_t kModes1280[] = {54, 49, 38, 27, 25, 4};
constexpr std::uint32_t kIds2080[] = {68, 155, 164, 324, 411, 420};
constexpr std::int32_t kModes2080[] = {66, 59, 54, 50, 40, 32, 25, 19, 7};
constexpr std::uint32_t kIds134[] = {134};
constexpr std::int32_t kModes134[] = {69, 65, 59, 54, 52, 49, 38, 37, 25, 21, 11};
constexpr std::uint32_t kIds1392[] = {138, 154, 162, 165, 346, 394, 410, 418, 421};
constexpr std::int32_t kModes1392[] = {57, 54, 49, 38, 35, 25, 10};
constexpr std::uint32_t kIds145[] = {145, 149};
constexpr std::int32_t kModes145[] = {25, 5, 4, 0};
constexpr std::uint32_t kIds146[] = {146};
constexpr std::int32_t kModes146[] = {54, 53, 49, 26, 25, 4};
constexpr std::uint32_t kIds147[] = {147};
constexpr std::int32_t kModes147[] = {17, 3, 2, 1};
constexpr std::uint32_t kIds1616[] = {384, 423, 464};
constexpr std::int32_t kModes1616[] = {60, 54, 53, 42, 41, 25, 13, 4};
constexpr std::uint32_t kIds3000[] = {390, 422};
constexpr std::int32_t kModes3000[] = {71, 66, 59, 58, 54, 49, 48, 38, 36, 25, 18};
constexpr std::uint32_t kIds2576[] = {424, 448};
constexpr std::int32_t kModes2576[] = {70, 66, 59, 56, 54, 45, 40, 31, 25, 6};
constexpr std::uint32_t kIds456[] = {456};
constexpr std::int32_t kModes456[] = {72, 65, 63, 62, 59, 54, 53, 49, 47, 38, 25};
constexpr std::uint32_t kIds461[] = {461};
constexpr std::int32_t kModes461[] = {61, 46, 24, 16};
constexpr std::int32_t kModesFallback[] = {25};

const std::array<CameraModeSet, 14> kCameraSets{{
    {kIds1600, 1600, 1200, kModes1600},
    {kIds2048, 2048, 1536, kModes2048},
    {kIds1280, 1280, 1024, kModes1280},
    {kIds2080, 2080, 1536, kModes2080},
    {kIds134, 2208, 3000, kModes134},
    {kIds1392, 1392, 1040, kModes1392},
    {kIds145, 480, 640, kModes145},
    {kIds146, 1280, 1024, kModes146},
    {kIds147, 480, 640, kModes147},
    {kIds1616, 1616, 1216, kModes1616},
    {kIds3000, 3000, 2208, kModes3000},
    {kIds2576, 2576, 1952, kModes2576},
    {kIds456, 3000, 2208, kModes456},
    {kIds461, 1616, 1216, kModes461},
}};

const CameraModeSet kFallback{{}, 640, 480, kModesFallback};

}  // namespace

std::span<const ModeTemplate> modeTemplates() { return kTemplates; }

const ModeTemplate* findModeTemplate(std::int32_t modeId) {
  const auto it = std::lower_bound(
      kTemplates.begin(), kTemplates.end(), modeId,
      [](const ModeTemplate& t, std::int32_t id) { return t.modeId < id; });
  return (it != kTemplates.end() && it->modeId == modeId) ? &*it : nullptr;
}

std::span<const CameraModeSet> cameraModeSets() { return kCameraSets; }

const CameraModeSet& fallbackModeSet() { return kFallback; }

const CameraModeSet& modeSetForCamera(std::uint32_t cameraId) {
  for (const CameraModeSet& set : kCameraSets) {
    if (std::find(set.cameraIds.begin(), set.cameraIds.end(), cameraId) != set.cameraIds.end()) {
      return set;
    }
  }
  return kFallback;
}

}  // namespace engines
