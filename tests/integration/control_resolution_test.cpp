// The resolution lists (91 acquisition, 92 preview) and the pixel-format
// list (93), through AcqControl against the simulated camera 160: a
// 1280 x 1024 sensor with six preview modes and the five Demosaic and Kelvo
// acquisition modes.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <array>
#include <string>
#include <vector>

namespace {

class ControlResolution : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(acq->open(), 0);
  }
  std::int32_t set(int code, int parameter, void* data) { return acq->control(code, parameter, data); }
  std::int32_t query(int code, int parameter, void* data) { return acq->control(code | ACQ_QUERY, parameter, data); }

  // Records with a name buffer each, as a host lays them out. The records
  // point into the names, so a list stays where it was made.
  struct ModeList {
    std::array<std::array<char, ACQ_MODE_NAME_SIZE>, 20> names{};
    std::array<AcqModeRecord, 20> records{};
    ModeList() {
      for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].index = -1;
        records[i].name = names[i].data();
      }
    }
    ModeList(const ModeList&) = delete;
    ModeList& operator=(const ModeList&) = delete;
  };
  void list(int code, ModeList& modes) { EXPECT_EQ(set(code, ACQRES_LIST, modes.records.data()), 0); }
  std::int32_t count(int code) {
    std::int32_t n = -1;
    EXPECT_EQ(set(code, ACQRES_COUNT, &n), 0);
    return n;
  }
  std::int32_t currentIndex(int code) {
    std::int32_t index = -1;
    EXPECT_EQ(query(code, 0, &index), 0);
    return index;
  }
  static std::string lastFormat() {
    const auto formats = calls("VarcamSetFormat");
    return formats.empty() ? std::string() : formats.back().args.at(0);
  }
};

TEST_F(ControlResolution, CountsSizesAndFixedAnswers) {
  EXPECT_EQ(count(ACQCMD_PREVIEW_RESOLUTION), 6);
  EXPECT_EQ(count(ACQCMD_ACQUIRE_RESOLUTION), 5);
  EXPECT_TRUE(logged("Setting Resolution"));
  EXPECT_TRUE(logged("ACQ Get count..."));
  std::int32_t value = -1;
  EXPECT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_NAME_SIZE, &value), 0);
  EXPECT_EQ(value, 60);
  EXPECT_TRUE(logged("ACQ Get size..."));
  value = -1;
  EXPECT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_FOUR, &value), 0);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SOMETHING_AREA, nullptr), 0);
  EXPECT_TRUE(logged("Setting SOMETHING Area"));
  value = -1;
  EXPECT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, 5, &value), 0);
  EXPECT_EQ(value, -1) << "an unknown sub-command does nothing";

  // Without data: refused, not dereferenced.
  for (int sub : {ACQRES_SELECT, ACQRES_COUNT, ACQRES_NAME_SIZE, ACQRES_LIST, ACQRES_FOUR}) {
    EXPECT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, sub, nullptr), 6) << sub;
    EXPECT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, sub, nullptr), 6) << sub;
  }
  EXPECT_EQ(query(ACQCMD_ACQUIRE_RESOLUTION, 0, nullptr), 6);
  EXPECT_EQ(query(ACQCMD_ACQUIRE_RESOLUTION, 1, nullptr), 0) << "a nonzero query writes nothing";
}

TEST_F(ControlResolution, QueriesReportTheCurrentIndices) {
  EXPECT_EQ(currentIndex(ACQCMD_ACQUIRE_RESOLUTION), 0);
  EXPECT_TRUE(logged("GET RES INDEX ACQ: AcqIndex: 0"));
  std::int32_t index = 3;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(currentIndex(ACQCMD_PREVIEW_RESOLUTION), 3);
  EXPECT_TRUE(logged("GET RES INDEX PVW: AcqIndex: 3"));
  std::int32_t untouched = -9;
  EXPECT_EQ(query(ACQCMD_PREVIEW_RESOLUTION, 1, &untouched), 0);
  EXPECT_EQ(untouched, -9);
}

TEST_F(ControlResolution, PreviewListRecords) {
  ModeList modes;
  list(ACQCMD_PREVIEW_RESOLUTION, modes);
  EXPECT_TRUE(logged("ACQ Get dataArray..."));
  EXPECT_TRUE(logged("ACQ Get dataArray PREVIEW..."));
  const std::vector<std::string> names = {"1280 x 1024", "1024 x 768", "800 x 600", "640 x 512 (subsampled by 2)",
                                          "640 x 480", "320 x 240"};
  for (std::size_t k = 0; k < names.size(); ++k) {
    const AcqModeRecord& r = modes.records[k];
    EXPECT_EQ(r.index, static_cast<std::int32_t>(k));
    EXPECT_EQ(std::string(r.name), names[k]);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, r.width - 1);
    EXPECT_EQ(r.bottom, r.height - 1);
    // Only the mode that covers the whole sensor is not partial.
    EXPECT_EQ(r.partial, k == 0 ? 0 : 1) << k;
  }
  EXPECT_EQ(modes.records[3].width, 640);
  EXPECT_EQ(modes.records[3].height, 512);
  EXPECT_EQ(modes.records[3].factorX, 2);
  EXPECT_EQ(modes.records[3].factorY, 2);
  EXPECT_EQ(modes.records[6].index, -1) << "one record per mode, no more";
}

TEST_F(ControlResolution, ListingCentresThePreviewModes) {
  ModeList modes;
  list(ACQCMD_PREVIEW_RESOLUTION, modes);
  vzsim::clearJournal();
  std::int32_t index = 4;  // 640 x 480
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_TRUE(logged("PvwIndex..."));
  EXPECT_EQ(lastFormat().rfind("{x=320 y=272 w=640 h=480 ", 0), 0u) << lastFormat();
  EXPECT_TRUE(logged("IN SET WINDOW SIZE: Width: 640, Height: 480 Index: 4"));
}

TEST_F(ControlResolution, AcquisitionListIsRebuiltFromThePreviewModeInUse) {
  ModeList modes;
  list(ACQCMD_ACQUIRE_RESOLUTION, modes);
  EXPECT_TRUE(logged("ACQ Get dataArray ACQUIRE..."));
  EXPECT_EQ(std::string(modes.records[0].name), "1280 x 1024 Demosaic");
  EXPECT_EQ(std::string(modes.records[4].name), "5120 x 4096 Kelvo");

  std::int32_t index = 1;  // 1024 x 768
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  ModeList rebuilt;
  list(ACQCMD_ACQUIRE_RESOLUTION, rebuilt);
  const std::vector<std::string> names = {"1024 x 768 Demosaic", "1024 x 768 Kelvo", "2048 x 1536 Kelvo",
                                          "3072 x 2304 Kelvo", "4096 x 3072 Kelvo"};
  for (std::size_t k = 0; k < names.size(); ++k) {
    const AcqModeRecord& r = rebuilt.records[k];
    EXPECT_EQ(std::string(r.name), names[k]);
    EXPECT_EQ(r.width, 1024);
    EXPECT_EQ(r.height, 768);
    EXPECT_EQ(r.partial, 1) << "acquisitions are always partial";
  }
  EXPECT_EQ(rebuilt.records[5].index, -1);

  // The listing centred the new modes: a snapshot in mode 0 reads the
  // middle of the sensor.
  std::int32_t acquire = 0;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &acquire), 0);
  EXPECT_TRUE(logged("ACQIndex..."));
  vzsim::clearJournal();
  ASSERT_EQ(set(ACQCMD_SNAP, 1, nullptr), 2);
  const auto formats = calls("VarcamSetFormat");
  ASSERT_FALSE(formats.empty());
  EXPECT_EQ(formats.front().args.at(0).rfind("{x=128 y=128 w=1024 h=768 ", 0), 0u) << formats.front().args.at(0);
}

TEST_F(ControlResolution, OtherCamerasKeepTheirAcquisitionList) {
  acq->close();
  vzsim::setCameras({vzsim::defaultModel(145)});  // 480 x 640, four modes
  ASSERT_EQ(acq->open(), 0);
  std::int32_t index = 2;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  ModeList modes;
  list(ACQCMD_ACQUIRE_RESOLUTION, modes);
  EXPECT_EQ(std::string(modes.records[0].name), "640 x 480");
  EXPECT_EQ(std::string(modes.records[3].name), "160 x 120");
  EXPECT_EQ(modes.records[4].index, -1);
}

TEST_F(ControlResolution, OutOfRangeIndicesAreBroughtIntoTheList) {
  std::int32_t index = 99;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(currentIndex(ACQCMD_PREVIEW_RESOLUTION), 5);
  EXPECT_EQ(lastFormat().rfind("{x=0 y=0 w=320 h=240 ", 0), 0u) << lastFormat();
  index = -3;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(currentIndex(ACQCMD_PREVIEW_RESOLUTION), 0);

  index = 1000;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(currentIndex(ACQCMD_ACQUIRE_RESOLUTION), 4);
  index = -1;
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_SELECT, &index), 0);
  EXPECT_EQ(currentIndex(ACQCMD_ACQUIRE_RESOLUTION), 0);
}

TEST_F(ControlResolution, PendingCaptureAreaShowsTheAcquisitionRegion) {
  std::int32_t index = 4;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  ASSERT_EQ(set(ACQCMD_ACQUIRE_RESOLUTION, ACQRES_CAPTURE_AREA, nullptr), 0);
  vzsim::clearJournal();
  index = 5;
  ASSERT_EQ(set(ACQCMD_PREVIEW_RESOLUTION, ACQRES_SELECT, &index), 0);
  // The preview runs at the acquisition mode's region instead of mode 5.
  EXPECT_EQ(lastFormat().rfind("{x=0 y=0 w=1280 h=1024 ", 0), 0u) << lastFormat();
  EXPECT_TRUE(logged("GO IN SET WINDOW SIZE: Index: 5, RES INDEX: 0"));
  EXPECT_TRUE(logged("IN SET WINDOW SIZE: Width: 1280, Height: 1024 Index: 0"));

  // Still pending: the next rectangle is only recorded.
  vzsim::clearJournal();
  AcqRect rect{0, 0, 63, 63};
  ASSERT_EQ(set(ACQCMD_CAPTRECT, 0, &rect), 0);
  EXPECT_TRUE(calls("VarcamSetFormat").empty());
}

TEST_F(ControlResolution, PixelFormatDepthFollowsGreyMode) {
  std::int32_t depth = -1;
  EXPECT_EQ(query(ACQCMD_PIXEL_FORMAT, 0, &depth), 0);
  EXPECT_EQ(depth, 24);
  EXPECT_EQ(set(ACQCMD_GREY_MODE, 1, nullptr), 0);
  EXPECT_TRUE(logged("ACQControl... message GRAY: 13, 1, 0"));
  EXPECT_EQ(query(ACQCMD_PIXEL_FORMAT, 0, &depth), 0);
  EXPECT_EQ(depth, 8);
  EXPECT_EQ(query(ACQCMD_PIXEL_FORMAT, 1, &depth), 0);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(query(ACQCMD_PIXEL_FORMAT, 0, nullptr), 6);
}

TEST_F(ControlResolution, PixelFormatListAndSelection) {
  std::int32_t value = -1;
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_BUILD, &value), 0);
  EXPECT_EQ(value, 6);
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_NAME_SIZE, &value), 0);
  EXPECT_EQ(value, 260);
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_FOUR, &value), 0);
  EXPECT_EQ(value, 1);

  std::array<std::array<char, ACQ_PIXEL_FORMAT_NAME_SIZE>, 7> names{};
  std::array<AcqPixelFormatEntry, 7> entries{};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i].name = names[i].data();
    entries[i].depth = -1;
  }
  entries[1].name = nullptr;  // a host that wants only the depth of this one
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_LIST, entries.data()), 0);
  const std::vector<std::string> expected = {"48-bit color ", "36-bit color ", "24-bit color ",
                                             "16-bit mono ",  "12-bit mono ",  "8-bit mono "};
  const std::vector<std::int32_t> depths = {48, 36, 24, 16, 12, 8};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (i != 1) {
      EXPECT_EQ(std::string(names[i].data()), expected[i]);
    }
    EXPECT_EQ(entries[i].depth, depths[i]);
  }
  EXPECT_EQ(entries[6].depth, -1);

  // Choosing 8 bits turns the transfer grey without touching the camera.
  vzsim::clearJournal();
  std::int32_t choice = 8;
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &choice), 0);
  EXPECT_TRUE(calls("VarcamSetProperty").empty());
  EXPECT_EQ(query(ACQCMD_GREY_MODE, 0, nullptr), 1);
  choice = 24;
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, &choice), 0);
  EXPECT_EQ(query(ACQCMD_GREY_MODE, 0, nullptr), 0);

  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_LIST, nullptr), 6);
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, ACQPIX_SELECT, nullptr), 6);
  EXPECT_EQ(set(ACQCMD_PIXEL_FORMAT, 9, nullptr), 0);
}

} // namespace
