// The host's values into open option panels, through the exports: the
// options window opened with AcqControl, a section's panel opened from its
// button, then a property command. The panel, not the command, applies the
// value: its edit, its trackbar and its lock show it, and the camera gets
// what the panel sends.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <cstdio>
#include <string>

namespace {

namespace hl = platform::headless;

class OptionsPanels : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    hl::useVirtualTime(true);  // the white balance's waits
    ASSERT_EQ(acq->open(), 0);
    platform::Window host = hl::createHostWindow("Pixora", {0, 0, 1024, 768});
    ASSERT_EQ(acq->control(ACQCMD_HOST_WINDOW, 0, host), 0);
    ASSERT_EQ(acq->control(ACQCMD_OPTIONS_WINDOW, 0, nullptr), 0);
    window_ = hl::findDialog(9);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    LibraryTest::TearDown();
    hl::useVirtualTime(false);
  }

  // Presses a section's (hidden) button and returns the panel it opened.
  platform::Window openSection(int buttonId, int templateId) {
    platform::sendMessage(window_, platform::WM_COMMAND,
                          platform::makeWParam(static_cast<unsigned>(buttonId), platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(window_, buttonId)));
    vzsim::clearJournal();
    return hl::findDialog(templateId);
  }
  static std::string text(platform::Window panel, int id) { return hl::controlInfo(panel, id).text; }
  static std::string lastWrite(int property) {
    std::string value = "(none)";
    for (const auto& entry : calls("VarcamSetProperty"))
      if (entry.args.at(0) == std::to_string(property)) value = entry.args.at(1);
    return value;
  }

 private:
  platform::Window window_ = nullptr;
};

TEST_F(OptionsPanels, BrightnessCommandsGoThroughTheOpenPanel) {
  platform::Window panel = openSection(1044, 103);
  ASSERT_NE(panel, nullptr);
  std::int32_t value = 40;
  ASSERT_EQ(acq->control(ACQCMD_BRIGHTNESS, 0, &value), 0);
  EXPECT_EQ(text(panel, 1059), "40");
  EXPECT_EQ(hl::controlInfo(panel, 1056).position, 70);  // (40 + 100) / 200 * 100
  EXPECT_EQ(lastWrite(PropBrightness), "0.4");           // -1 + 140 * 2 / 200

  // The acquisition value under the (default) lock becomes the preview value too.
  value = -20;
  ASSERT_EQ(acq->control(ACQCMD_BRIGHTNESS, 1, &value), 0);
  EXPECT_EQ(text(panel, 1060), "-20");
  EXPECT_EQ(text(panel, 1059), "-20");
  EXPECT_EQ(lastWrite(PropBrightness), "-0.2");
  value = 0;
  ASSERT_EQ(acq->control(ACQCMD_BRIGHTNESS | ACQ_QUERY, 0, &value), 0);
  EXPECT_EQ(value, -20);
}

TEST_F(OptionsPanels, AWhiteBalanceShowsItsGainsInTheOpenPanel) {
  platform::Window panel = openSection(1049, 114);
  ASSERT_NE(panel, nullptr);
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
  request.region = {0, 0, 320, 240};
  ASSERT_EQ(acq->control(ACQCMD_WHITE_BALANCE, 0, &request), 0);
  ASSERT_EQ(request.failed, 0);
  char red[16];
  std::snprintf(red, sizeof red, "%.2f", request.red);
  EXPECT_NE(std::string(red), "1.00") << "the camera balanced its red gain";
  EXPECT_EQ(text(panel, 1092), red);
  // The panel applied it: the camera holds the shown gain, and the locked
  // acquisition gain follows.
  EXPECT_FLOAT_EQ(*vzsim::propertyValue(1, PropGainRed), static_cast<float>(request.red));
  EXPECT_EQ(text(panel, 1093), red);
}

} // namespace
