// The settings file through command 54: a save and a load restore what the
// host changed in between, and a file from another camera model is brought
// into line with the connected one.
#include "library_fixture.h"
#include "support/scratch_folder.h"

#include "driver/acq_control.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

class SettingsFileExport : public LibraryTest {
 protected:
  std::int32_t settings(int parameter) {
    std::vector<char> text(path_.begin(), path_.end());
    text.push_back('\0');
    return acq->control(ACQCMD_SETTINGS_FILE, parameter, text.data());
  }
  double query(int code, int parameter) {
    double value = 0;
    EXPECT_EQ(acq->control(code | ACQ_QUERY, parameter, &value), 0);
    return value;
  }
  vxtest::ScratchFolder scratch_;
  std::string path_ = scratch_.file("settings.ini");
};

TEST_F(SettingsFileExport, SaveThenLoadRestoresTheValues) {
  ASSERT_EQ(acq->open(), 0);
  double exposure = 25.0, gain = 2.5, gamma = 1.5;
  ASSERT_EQ(acq->control(ACQCMD_EXPOSURE, 1, &exposure), 0);
  ASSERT_EQ(acq->control(ACQCMD_GAIN, 0, &gain), 0);
  ASSERT_EQ(acq->control(ACQCMD_GAMMA, 1, &gamma), 0);
  std::int32_t brightness = 40;
  ASSERT_EQ(acq->control(ACQCMD_BRIGHTNESS, 0, &brightness), 0);
  ASSERT_EQ(settings(0), 0);
  ASSERT_TRUE(std::filesystem::exists(path_));

  double other = 12.0, otherGain = 1.25, otherGamma = 0.8;
  acq->control(ACQCMD_EXPOSURE, 1, &other);
  acq->control(ACQCMD_GAIN, 0, &otherGain);
  acq->control(ACQCMD_GAMMA, 1, &otherGamma);
  std::int32_t otherBrightness = -10;
  acq->control(ACQCMD_BRIGHTNESS, 0, &otherBrightness);

  ASSERT_EQ(settings(1), 0);
  EXPECT_NEAR(query(ACQCMD_EXPOSURE, 1), 25.0, 0.001);
  EXPECT_NEAR(query(ACQCMD_GAIN, 0), 2.5, 0.001);
  EXPECT_NEAR(query(ACQCMD_GAMMA, 1), 1.5, 0.01);
  std::int32_t readBrightness = 0;
  acq->control(ACQCMD_BRIGHTNESS | ACQ_QUERY, 0, &readBrightness);
  EXPECT_EQ(readBrightness, 40);
  EXPECT_TRUE(platform::headless::messageBoxes().empty()) << "same model: no validation box";
}

TEST_F(SettingsFileExport, FileOfAnotherModelShowsTheValidationBoxOnce) {
  ASSERT_EQ(acq->open(), 0);
  ASSERT_EQ(settings(0), 0);
  acq->close();
  vzsim::setCameras({vzsim::defaultModel(421)});
  ASSERT_EQ(acq->open(), 0);
  platform::headless::clearMessageBoxes();
  ASSERT_EQ(settings(1), 0);
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Camera Model Validation");
  EXPECT_EQ(boxes[0].text,
            "The camera model of the last Settings file is different than the camera currently connected.  "
            "Settings will be modified to conform with the current camera.");
  // The modes fall back to the first entries of the connected camera's lists.
  std::int32_t index = -1;
  acq->control(ACQCMD_ACQUIRE_RESOLUTION | ACQ_QUERY, 0, &index);
  EXPECT_EQ(index, 0);
}

TEST_F(SettingsFileExport, PathTooLongIsRefusedNotCut) {
  ASSERT_EQ(acq->open(), 0);
  std::string longPath(300, 'a');
  EXPECT_EQ(acq->control(ACQCMD_SETTINGS_FILE, 0, longPath.data()), 6);
  EXPECT_EQ(acq->control(ACQCMD_SETTINGS_FILE, 0, nullptr), 6);
}

} // namespace
