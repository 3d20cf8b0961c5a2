// The host's exposure commands reach an open exposure panel through the
// exports: the panel shows the value and applies it as a user's typing
// would.
#include "library_fixture.h"

#include "driver/acq_control.h"
#include "platform/platform.h"

#include <string>

namespace {

namespace hl = platform::headless;

constexpr int kOptionsTemplate = 9;
constexpr int kExposureTemplate = 105;
constexpr int kExposureButton = 1053;

class ExposurePanelExports : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(acq->open(), 0);
    host_ = hl::createHostWindow("Pixora", {0, 0, 800, 600});
    ASSERT_EQ(acq->control(ACQCMD_HOST_WINDOW, 0, host_), 0);
    ASSERT_EQ(acq->control(ACQCMD_OPTIONS_WINDOW, 0, nullptr), 0);
    const platform::Window window = hl::findDialog(kOptionsTemplate);
    ASSERT_NE(window, nullptr);
    // The section's button is hidden; its command still reaches the window.
    platform::sendMessage(window, platform::WM_COMMAND, platform::makeWParam(kExposureButton, platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(window, kExposureButton)));
    panel = hl::findDialog(kExposureTemplate);
    ASSERT_NE(panel, nullptr);
    vzsim::clearJournal();
  }
  std::int32_t setExposure(int selector, double value) { return acq->control(ACQCMD_EXPOSURE, selector, &value); }
  double exposure(int selector) {
    double value = -1.0;
    EXPECT_EQ(acq->control(ACQCMD_EXPOSURE | ACQ_QUERY, selector, &value), 0);
    return value;
  }
  static std::string text(platform::Window w, int id) { return hl::controlInfo(w, id).text; }
  static std::vector<std::string> exposureWrites() {
    std::vector<std::string> values;
    for (const auto& entry : calls("VarcamSetProperty"))
      if (entry.args.at(0) == std::to_string(PropExposure)) values.push_back(entry.args.at(1));
    return values;
  }

  platform::Window panel = nullptr;

 private:
  platform::Window host_ = nullptr;
};

// Preview 20 ms goes to the camera through the panel's fields; under the
// panel's lock (checked: the pair starts locked) an acquisition value of
// 123.5 ms makes the preview follow in the panel without reaching the
// camera. Unlocked, the acquisition value is only stored and shown.
TEST_F(ExposurePanelExports, ExposureCommandsGoThroughTheOpenPanel) {
  ASSERT_EQ(hl::controlInfo(panel, 1058).checked, 1);
  EXPECT_EQ(setExposure(0, 20.0), 0);
  EXPECT_EQ(text(panel, 1066), "20");
  ASSERT_FALSE(exposureWrites().empty());
  EXPECT_EQ(exposureWrites().back(), "20");
  EXPECT_EQ(text(panel, 1072), "20") << "the lock copies it to the acquisition side";

  vzsim::clearJournal();
  EXPECT_EQ(setExposure(1, 123.5), 0);
  EXPECT_EQ(text(panel, 1072), "123");
  EXPECT_EQ(text(panel, 1073), "500");
  EXPECT_EQ(text(panel, 1066), "123");
  EXPECT_DOUBLE_EQ(exposure(0), 123.5);
  EXPECT_TRUE(exposureWrites().empty());

  hl::clickButton(panel, 1058);  // unlocked
  EXPECT_EQ(setExposure(1, 30.0), 0);
  EXPECT_DOUBLE_EQ(exposure(1), 30.0);
  EXPECT_DOUBLE_EQ(exposure(0), 123.5);
  EXPECT_EQ(text(panel, 1072), "30");
  EXPECT_TRUE(exposureWrites().empty());
}

} // namespace
