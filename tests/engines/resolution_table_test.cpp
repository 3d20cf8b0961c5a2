#include "engines/resolution_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace engines {
namespace {

std::vector<std::string> names(const std::array<ResolutionMode, kMaxModes>& modes, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.emplace_back(modes[static_cast<std::size_t>(i)].name);
  return out;
}

std::vector<int> modeIds(const std::array<ResolutionMode, kMaxModes>& modes, int count) {
  std::vector<int> out;
  for (int i = 0; i < count; ++i) out.push_back(modes[static_cast<std::size_t>(i)].modeId);
  return out;
}

const ResolutionMode* findByName(const ResolutionTable& t, const char* name) {
  for (int i = 0; i < t.previewCount; ++i) {
    if (std::strcmp(t.previewModes[static_cast<std::size_t>(i)].name, name) == 0) {
      return &t.previewModes[static_cast<std::size_t>(i)];
    }
  }
  return nullptr;
}

TEST(ModeTemplates, NamesAgreeWithTheSizesAndFactors) {
  const auto templates = modeTemplates();
  ASSERT_EQ(templates.size(), 53u);
  for (const ModeTemplate& t : templates) {
    SCOPED_TRACE(t.name);
    ASSERT_LT(::strnlen(t.name, sizeof t.name), sizeof t.name);
    // Every name starts with the delivered size.
    const std::string size = std::to_string(t.width) + " x " + std::to_string(t.height);
    EXPECT_EQ(std::string(t.name).rfind(size, 0), 0u);
    EXPECT_EQ(t.factorX, t.factorY);
    EXPECT_EQ(t.binningX, t.binningY);
    char binning[32];
    std::snprintf(binning, sizeof binning, "(binning %dx%d)", t.factorX, t.factorY);
    EXPECT_EQ(std::strstr(t.name, "binning") != nullptr, t.binningX != 0);
    if (t.binningX != 0) {
      EXPECT_NE(std::strstr(t.name, binning), nullptr);
    }
    // Sub-sampled names carry their factor, except 46 whose factor is 1.
    char subsampled[32];
    std::snprintf(subsampled, sizeof subsampled, "(subsampled by %d)", t.factorX);
    if (std::strstr(t.name, "subsampled") != nullptr && t.modeId != 46) {
      EXPECT_NE(std::strstr(t.name, subsampled), nullptr);
    }
    EXPECT_EQ(findModeTemplate(t.modeId), &t);
  }
  EXPECT_EQ(findModeTemplate(8), nullptr);
  EXPECT_STREQ(findModeTemplate(47)->name, "1000 x 664ss4");
  EXPECT_EQ(findModeTemplate(47)->factorX, 1);
  EXPECT_EQ(findModeTemplate(62)->factorX, 1);
  EXPECT_EQ(findModeTemplate(46)->factorX, 1);
}

struct CameraRow {
  std::vector<std::uint32_t> ids;
  std::int32_t sensorWidth;
  std::int32_t sensorHeight;
  std::vector<int> previewIds;  // largest first
};

const std::vector<CameraRow>& cameraRows() {
  static const std::vector<CameraRow> rows = {
      {{23, 141, 151, 156, 397}, 1600, 1200, {59, 54, 53, 39, 38, 26, 25, 4}},
      {{27, 139, 163, 395, 419}, 2048, 1536, {65, 59, 54, 53, 49, 39, 38, 25}},
      {{30, 32, 148, 150, 152, 158, 160, 161, 414, 417}, 1280, 1024, {54, 49, 38, 27, 25, 4}},
      {{68, 155, 164, 324, 411, 420}, 2080, 1536, {66, 59, 54, 50, 40, 32, 25, 19, 7}},
      {{134}, 2208, 3000, {69, 65, 59, 54, 52, 49, 38, 37, 25, 21, 11}},
      {{138, 154, 162, 165, 346, 394, 410, 418, 421}, 1392, 1040, {57, 54, 49, 38, 35, 25, 10}},
      {{145, 149}, 480, 640, {25, 5, 4, 0}},
      {{146}, 1280, 1024, {54, 53, 49, 26, 25, 4}},
      {{147}, 480, 640, {17, 3, 2, 1}},
      {{384, 423, 464}, 1616, 1216, {60, 54, 53, 42, 41, 25, 13, 4}},
      {{390, 422}, 3000, 2208, {71, 66, 59, 58, 54, 49, 48, 38, 36, 25, 18}},
      {{424, 448}, 2576, 1952, {70, 66, 59, 56, 54, 45, 40, 31, 25, 6}},
      {{456}, 3000, 2208, {72, 65, 63, 62, 59, 54, 53, 49, 47, 38, 25}},
      {{461}, 1616, 1216, {61, 46, 24, 16}},
      // Ids without a row of their own.
      {{0, 1, 64, 159, 500, 0xFFFFFFFFu}, 640, 480, {25}},
  };
  return rows;
}

TEST(ResolutionTable, EveryCameraIdGetsItsSensorPreviewAndAcquisitionLists) {
  for (const CameraRow& row : cameraRows()) {
    for (std::uint32_t id : row.ids) {
      SCOPED_TRACE("camera id " + std::to_string(id));
      const ResolutionTable t = ResolutionTable::forCameraId(id);
      EXPECT_EQ(t.cameraId, id);
      EXPECT_EQ(t.sensorWidth, row.sensorWidth);
      EXPECT_EQ(t.sensorHeight, row.sensorHeight);
      ASSERT_EQ(t.previewCount, static_cast<int>(row.previewIds.size()));
      EXPECT_EQ(modeIds(t.previewModes, t.previewCount), row.previewIds);
      ASSERT_EQ(t.templateCount, t.previewCount);
      for (int k = 0; k < t.previewCount; ++k) {
        const ResolutionMode& m = t.previewModes[static_cast<std::size_t>(k)];
        const ModeTemplate& tpl = *findModeTemplate(m.modeId);
        // Templates ascend; the preview list is them in reverse.
        EXPECT_EQ(t.templates[static_cast<std::size_t>(t.templateCount - 1 - k)].modeId, m.modeId);
        EXPECT_EQ(m.position, k);
        EXPECT_EQ(m.width, tpl.width);
        EXPECT_EQ(m.height, tpl.height);
        EXPECT_EQ(m.factorX, tpl.factorX);
        EXPECT_EQ(m.factorY, tpl.factorY);
        EXPECT_EQ(m.binningX, tpl.binningX);
        EXPECT_EQ(m.binningY, tpl.binningY);
        EXPECT_STREQ(m.name, tpl.name);
        EXPECT_EQ(m.offsetX, 0);
        EXPECT_EQ(m.offsetY, 0);
      }
      if (id == 32 || id == 64 || id == 160) {
        EXPECT_EQ(t.acquireCount, 5);
      } else {
        ASSERT_EQ(t.acquireCount, t.previewCount);
        EXPECT_EQ(names(t.acquireModes, t.acquireCount), names(t.previewModes, t.previewCount));
        EXPECT_EQ(modeIds(t.acquireModes, t.acquireCount), row.previewIds);
      }
    }
  }
}

TEST(ResolutionTable, UnknownIdGetsTheSingle640x480Mode) {
  const ResolutionTable t = ResolutionTable::forCameraId(12345);
  ASSERT_EQ(t.previewCount, 1);
  ASSERT_EQ(t.acquireCount, 1);
  EXPECT_STREQ(t.previewModes[0].name, "640 x 480");
  EXPECT_STREQ(t.acquireModes[0].name, "640 x 480");
  EXPECT_EQ(t.sensorWidth, 640);
  EXPECT_EQ(t.sensorHeight, 480);
}

TEST(ResolutionTable, DemosaicCamerasGetDemosaicAndKelvoAcquisitionModes) {
  const ResolutionTable t = ResolutionTable::forCameraId(160);
  EXPECT_EQ(names(t.previewModes, t.previewCount),
            (std::vector<std::string>{"1280 x 1024", "1024 x 768", "800 x 600",
                                      "640 x 512 (subsampled by 2)", "640 x 480", "320 x 240"}));
  EXPECT_EQ(names(t.acquireModes, t.acquireCount),
            (std::vector<std::string>{"1280 x 1024 Demosaic", "1280 x 1024 Kelvo",
                                      "2560 x 2048 Kelvo", "3840 x 3072 Kelvo",
                                      "5120 x 4096 Kelvo"}));
  for (int k = 0; k < t.acquireCount; ++k) {
    const ResolutionMode& m = t.acquireModes[static_cast<std::size_t>(k)];
    EXPECT_EQ(m.position, k);
    EXPECT_EQ(m.modeId, 54);
    EXPECT_EQ(m.width, 1280);
    EXPECT_EQ(m.height, 1024);
    EXPECT_EQ(m.factorX, 1);
  }

  // Id 64 has no row: the base is the fallback 640 x 480.
  const ResolutionTable t64 = ResolutionTable::forCameraId(64);
  EXPECT_EQ(names(t64.acquireModes, t64.acquireCount),
            (std::vector<std::string>{"640 x 480 Demosaic", "640 x 480 Kelvo", "1280 x 960 Kelvo",
                                      "1920 x 1440 Kelvo", "2560 x 1920 Kelvo"}));
}

TEST(ResolutionTable, DemosaicModesFollowTheChosenPreviewEntry) {
  ResolutionTable t = ResolutionTable::forCameraId(160);
  t.centreAcquireWindows(1);
  // "640 x 512 (subsampled by 2)": the sensor window is 1280 x 1024.
  ASSERT_EQ(t.buildDemosaicModes(3), 1);
  EXPECT_EQ(names(t.acquireModes, t.acquireCount),
            (std::vector<std::string>{"1280 x 1024 Demosaic", "1280 x 1024 Kelvo",
                                      "2560 x 2048 Kelvo", "3840 x 3072 Kelvo",
                                      "5120 x 4096 Kelvo"}));
  EXPECT_EQ(t.acquireModes[4].width, 640);
  EXPECT_EQ(t.acquireModes[4].factorX, 2);
  EXPECT_EQ(t.acquireModes[0].offsetX, 0);  // rebuilt entries are not centred

  // An index outside the preview list changes nothing.
  const auto before = names(t.acquireModes, t.acquireCount);
  EXPECT_EQ(t.buildDemosaicModes(-1), 0);
  EXPECT_EQ(t.buildDemosaicModes(t.previewCount), 0);
  EXPECT_EQ(names(t.acquireModes, t.acquireCount), before);

  ResolutionTable other = ResolutionTable::forCameraId(23);
  EXPECT_EQ(other.buildDemosaicModes(0), 0);
  EXPECT_EQ(other.acquireCount, 8);
  EXPECT_STREQ(other.acquireModes[0].name, "1600 x 1200");
}

TEST(ResolutionTable, CentringUsesSignedTruncatingArithmetic) {
  ResolutionTable t = ResolutionTable::forCameraId(23);  // 1600 x 1200 sensor
  EXPECT_EQ(t.centrePreviewWindows(1), 1);
  const ResolutionMode* full = findByName(t, "1280 x 1024");
  const ResolutionMode* sub = findByName(t, "640 x 480 (subsampled by 2)");
  ASSERT_TRUE(full && sub);
  EXPECT_EQ(full->offsetX, 160);
  EXPECT_EQ(full->offsetY, 88);
  EXPECT_EQ(sub->offsetX, 160);
  EXPECT_EQ(sub->offsetY, 120);
  // The acquisition list is centred on its own.
  EXPECT_EQ(t.acquireModes[1].offsetX, 0);
  EXPECT_EQ(t.centrePreviewWindows(0), 1);
  for (int k = 0; k < t.previewCount; ++k) {
    EXPECT_EQ(t.previewModes[static_cast<std::size_t>(k)].offsetX, 0);
    EXPECT_EQ(t.previewModes[static_cast<std::size_t>(k)].offsetY, 0);
  }

  // Windows larger than the sensor get negative offsets.
  ResolutionTable t134 = ResolutionTable::forCameraId(134);  // 2208 x 3000
  EXPECT_EQ(t134.centreAcquireWindows(1), 1);
  const auto& tall = t134.acquireModes[4];
  ASSERT_STREQ(tall.name, "1104 x 1504 (subsampled by 2)");
  EXPECT_EQ(tall.offsetX, 0);
  EXPECT_EQ(tall.offsetY, -4);
  EXPECT_EQ(t134.centreAcquireWindows(0), 1);
  EXPECT_EQ(t134.acquireModes[4].offsetY, 0);

  ResolutionTable t461 = ResolutionTable::forCameraId(461);  // 1616 x 1216
  t461.centrePreviewWindows(1);
  ASSERT_STREQ(t461.previewModes[0].name, "1936 x 1088");
  EXPECT_EQ(t461.previewModes[0].offsetX, -160);
  EXPECT_EQ(t461.previewModes[0].offsetY, 64);

  // One pixel too wide: -1 / 2 truncates to 0, not -1.
  const std::uint32_t ids[] = {9000};
  const std::int32_t modes[] = {25};
  ResolutionTable odd = ResolutionTable::fromModeSet(9000, {ids, 639, 481, modes});
  odd.centrePreviewWindows(1);
  EXPECT_EQ(odd.previewModes[0].offsetX, 0);
  EXPECT_EQ(odd.previewModes[0].offsetY, 0);
}

TEST(ResolutionTable, ListsHoldAtMostTwentyEntries) {
  std::vector<std::int32_t> every;
  for (const ModeTemplate& t : modeTemplates()) every.push_back(t.modeId);
  every.push_back(8);   // ids without a template are left out
  every.push_back(99);
  const std::uint32_t ids[] = {7777};
  const ResolutionTable t = ResolutionTable::fromModeSet(7777, {ids, 4008, 2672, every});
  EXPECT_EQ(t.templateCount, kMaxModes);
  EXPECT_EQ(t.previewCount, kMaxModes);
  EXPECT_EQ(t.acquireCount, kMaxModes);
  // The twenty smallest templates, ascending; the preview list reverses them.
  for (int k = 0; k < kMaxModes; ++k) {
    EXPECT_EQ(t.templates[static_cast<std::size_t>(k)].modeId,
              modeTemplates()[static_cast<std::size_t>(k)].modeId);
  }
  EXPECT_EQ(t.previewModes[0].modeId, modeTemplates()[19].modeId);
  EXPECT_EQ(t.previewModes[19].modeId, 0);

  // A demosaic id still gets five acquisition entries from such a set.
  const std::uint32_t id160[] = {160};
  const ResolutionTable d = ResolutionTable::fromModeSet(160, {id160, 1280, 1024, every});
  EXPECT_EQ(d.acquireCount, 5);
}

TEST(ResolutionTable, NamesFitTheirFields) {
  static_assert(sizeof(ResolutionMode{}.name) == 108);
  static_assert(sizeof(ModeTemplate{}.name) == 100);
  for (const CameraRow& row : cameraRows()) {
    for (std::uint32_t id : row.ids) {
      ResolutionTable t = ResolutionTable::forCameraId(id);
      for (int index = 0; index < t.previewCount; ++index) {
        t.buildDemosaicModes(index);
        for (int k = 0; k < t.acquireCount; ++k) {
          const char* name = t.acquireModes[static_cast<std::size_t>(k)].name;
          EXPECT_LT(::strnlen(name, kModeNameSize), kModeNameSize);
          EXPECT_GT(::strnlen(name, kModeNameSize), 0u);
        }
      }
    }
  }
}

}  // namespace
}  // namespace engines
