// The dispatcher's frame and the commands about the host: the closed state,
// fixed answers, the driver name, the supported-commands table, windows,
// the display, the settings file and the stream sub-commands.
#include "library_fixture.h"
#include "support/scratch_folder.h"

#include "driver/acq_control.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

class ControlHost : public LibraryTest {
 protected:
  std::int32_t set(int code, int parameter, void* data) { return acq->control(code, parameter, data); }
  std::int32_t query(int code, int parameter, void* data) { return acq->control(code | ACQ_QUERY, parameter, data); }
  void open() { ASSERT_EQ(acq->open(), 0); }

  vxtest::ScratchFolder scratch;
};

TEST_F(ControlHost, ClosedDriverTakesOnlyTheHostSettingsPath) {
  EXPECT_EQ(set(ACQCMD_DRIVER_NAME, 0, nullptr), -1);
  EXPECT_EQ(query(ACQCMD_BIT_DEPTH, 0, nullptr), -1);
  char path[] = "C:\\pixora\\host.ini";
  EXPECT_EQ(set(ACQCMD_HOST_SETTINGS_PATH, 0, path), 0);
  EXPECT_TRUE(logged("ACQControl: message: 69, 0, " +
                     std::to_string(static_cast<int>(reinterpret_cast<std::intptr_t>(path)))));
  // A path longer than its 259 characters is refused, not cut; so is none.
  const std::string tooLong(260, 'p');
  EXPECT_EQ(set(ACQCMD_HOST_SETTINGS_PATH, 0, const_cast<char*>(tooLong.c_str())), 6);
  EXPECT_EQ(set(ACQCMD_HOST_SETTINGS_PATH, 0, nullptr), 6);
  const std::string fits(259, 'p');
  EXPECT_EQ(set(ACQCMD_HOST_SETTINGS_PATH, 0, const_cast<char*>(fits.c_str())), 0);

  open();
  EXPECT_EQ(set(ACQCMD_HOST_SETTINGS_PATH, 0, path), -1) << "not in the open driver's table";
}

TEST_F(ControlHost, FixedAnswersAndUnknownCodes) {
  open();
  for (int code : {2, 19, 37}) {
    EXPECT_EQ(set(code, 0, nullptr), 1) << code;
    EXPECT_EQ(query(code, 9, nullptr), 1) << code;
  }
  for (int code : {3, 7, 105}) {
    EXPECT_EQ(set(code, 0, nullptr), 3) << code;
    EXPECT_EQ(query(code, 0, nullptr), 3) << code;
  }
  for (int code : {22, 36, 45, 102, 812, 835, 837, 1000, 1001}) {
    EXPECT_EQ(set(code, 0, nullptr), 0) << code;
    EXPECT_EQ(query(code, 0, nullptr), 0) << code;
  }
  for (int code : {4, 6, 8, 20, 76, 99, 104, 301, 999, 0x7FFF}) {
    EXPECT_EQ(set(code, 0, nullptr), -1) << code;
    EXPECT_EQ(query(code, 0, nullptr), -1) << code;
  }
  // Only the low 16 bits of message and parameter count.
  EXPECT_EQ(acq->control(0x10000 | 19, 0x10005, nullptr), 1);
  EXPECT_TRUE(logged("ACQControl: message: 19, 5, 0"));
  EXPECT_TRUE(logged("ACQControl: message: 32770, 9, 0"));
}

TEST_F(ControlHost, DriverNameQueryLeavesTheBufferAlone) {
  open();
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(query(ACQCMD_DRIVER_NAME, 0, buffer), 13);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(set(ACQCMD_DRIVER_NAME, 0, buffer), 13);
  EXPECT_STREQ(buffer, "VARNEX CAMERA");
  EXPECT_EQ(buffer[14], 'x');
  EXPECT_EQ(set(ACQCMD_DRIVER_NAME, 0, nullptr), 6);
  EXPECT_EQ(query(ACQCMD_DRIVER_NAME, 0, nullptr), 13);
}

TEST_F(ControlHost, SupportedCommandsWritesOnlyBelowTheLength) {
  open();
  std::array<std::int32_t, 120> table;
  table.fill(-7);
  table[0] = 50;
  EXPECT_EQ(set(ACQCMD_SUPPORTED_COMMANDS, 0, table.data()), 0);
  EXPECT_EQ(table[0], 50);
  EXPECT_EQ(table[7], 8);
  EXPECT_EQ(table[21], 1);
  EXPECT_EQ(table[48], 1);
  for (int code : {12, 42, 45, 49}) EXPECT_EQ(table[static_cast<std::size_t>(code)], 0) << code;
  for (int code : {1, 2, 13, 47}) EXPECT_EQ(table[static_cast<std::size_t>(code)], -7) << code;
  for (std::size_t i = 50; i < table.size(); ++i) EXPECT_EQ(table[i], -7) << i;

  table.fill(-7);
  table[0] = 51;
  EXPECT_EQ(query(ACQCMD_SUPPORTED_COMMANDS, 0, table.data()), 0);
  EXPECT_EQ(table[50], 1);
  EXPECT_EQ(table[51], -7);

  table.fill(-7);
  table[0] = 108;
  EXPECT_EQ(set(ACQCMD_SUPPORTED_COMMANDS, 0, table.data()), 0);
  EXPECT_EQ(table[89], 1);
  EXPECT_EQ(table[90], 1);
  EXPECT_EQ(table[93], 0);
  EXPECT_EQ(table[107], 1);
  EXPECT_EQ(table[108], -7);
  EXPECT_EQ(set(ACQCMD_SUPPORTED_COMMANDS, 0, nullptr), 6);
}

TEST_F(ControlHost, SupportedCommandsWithoutColourDropsWhiteBalance) {
  vzsim::setCameras({vzsim::asMonochrome(vzsim::defaultModel(160))});
  open();
  std::array<std::int32_t, 108> table;
  table.fill(-7);
  table[0] = 108;
  EXPECT_EQ(set(ACQCMD_SUPPORTED_COMMANDS, 0, table.data()), 0);
  EXPECT_EQ(table[89], 0);
  EXPECT_EQ(table[90], 0);
  EXPECT_EQ(table[88], 1);

  // A failed read counts as colour.
  vzsim::failNext("VarcamGetProperty", 1, 31, PropColorFormat);
  EXPECT_EQ(set(ACQCMD_SUPPORTED_COMMANDS, 0, table.data()), 0);
  EXPECT_EQ(table[89], 1);
}

TEST_F(ControlHost, TriggerHostValueAndMultiSnapReport) {
  open();
  EXPECT_EQ(set(ACQCMD_EXTERNAL_TRIGGER, 5, nullptr), 0);
  EXPECT_EQ(query(ACQCMD_EXTERNAL_TRIGGER, 0, nullptr), 1);
  const auto host = platform::headless::createHostWindow("Pixora", {0, 0, 640, 480});
  EXPECT_EQ(set(ACQCMD_MULTISNAP_REPORT, 12, reinterpret_cast<void*>(std::intptr_t{3})), 0);
  EXPECT_EQ(set(ACQCMD_EXTERNAL_TRIGGER, 0, nullptr), 1);
  EXPECT_EQ(set(ACQCMD_MULTISNAP_REPORT, 0, nullptr), 0);
  const auto boxes = platform::headless::messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Waiting on external trigger signal\nimages captured: 3\nstart frame: 12");
  EXPECT_EQ(boxes[0].caption, "MultiSnap Command");
  EXPECT_EQ(boxes[0].owner, host);
  EXPECT_EQ(boxes[1].text, "images captured: 0\nstart frame: 0");

  EXPECT_EQ(set(ACQCMD_HOST_VALUE, 65535, nullptr), 0);
  EXPECT_EQ(query(ACQCMD_HOST_VALUE, 0, nullptr), 65535);
  EXPECT_EQ(set(ACQCMD_HOST_VALUE, 9, nullptr), 65535);
  EXPECT_EQ(query(ACQCMD_HOST_VALUE, 0, nullptr), 9);
}

TEST_F(ControlHost, OptionsWindowButtonTextAndOpening) {
  open();
  char text[16] = {};
  EXPECT_EQ(query(ACQCMD_OPTIONS_WINDOW, 0, text), 0);
  EXPECT_STREQ(text, "More...");
  std::memset(text, 0, sizeof text);
  EXPECT_EQ(query(ACQCMD_OPTIONS_WINDOW_2, 0, text), 0);
  EXPECT_STREQ(text, "More...");
  EXPECT_EQ(query(ACQCMD_OPTIONS_WINDOW, 0, nullptr), 6);
  platform::headless::createHostWindow("Pixora", {10, 20, 650, 500});
  EXPECT_EQ(set(ACQCMD_OPTIONS_WINDOW, 0, nullptr), 0);
  EXPECT_EQ(set(ACQCMD_OPTIONS_WINDOW_2, 0, nullptr), 0);
}

TEST_F(ControlHost, DisplayOpenStartsThePreviewOnce) {
  open();
  const auto host = platform::headless::createHostWindow("Pixora", {0, 0, 800, 600});
  EXPECT_EQ(set(ACQCMD_HOST_WINDOW, 0, host), 0);
  const auto view = platform::headless::createHostWindow("View", {0, 0, 400, 300});
  AcqDisplayRecord record{};
  record.window = view;
  EXPECT_EQ(set(ACQCMD_DISPLAY_OPEN, 0, &record), 1);
  EXPECT_TRUE(logged("ZAVOpen..."));
  EXPECT_EQ(record.done, 1);
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamDisplayGdi);
  // The window was sized for the display with its frame and status bar.
  const auto info = platform::headless::windowInfo(view);
  EXPECT_EQ(info.windowRect.right - info.windowRect.left, record.displayWidth + 8);
  EXPECT_EQ(info.windowRect.bottom - info.windowRect.top, record.displayHeight - 20 + 54);

  // The same window again: shown, not restarted.
  vzsim::clearJournal();
  platform::headless::clearWindowOperations();
  EXPECT_EQ(set(ACQCMD_DISPLAY_OPEN, 0, &record), 1);
  EXPECT_TRUE(calls("VarcamStreamVideoControl").empty());
  bool shown = false;
  for (const auto& op : platform::headless::windowOperations())
    if (op.window == view && op.operation == "showWindow 5") shown = true;
  EXPECT_TRUE(shown);
  EXPECT_EQ(set(ACQCMD_DISPLAY_OPEN, 0, nullptr), 6);

  EXPECT_EQ(set(ACQCMD_DISPLAY_CLOSE, 0, nullptr), 1);
  EXPECT_TRUE(logged("ZAVClose..."));

  // Stream sub-command 7 stops the preview.
  EXPECT_EQ(set(ACQCMD_STREAM_CONTROL, ACQSTREAM_STOP, nullptr), 0);
  EXPECT_EQ(vzsim::streamMode(1), VarcamStreamStop);
  EXPECT_TRUE(logged("Closing streaming..."));
  for (int sub : {6, 14, 15, 99}) EXPECT_EQ(set(ACQCMD_STREAM_CONTROL, sub, nullptr), 0);
}

TEST_F(ControlHost, DataPresenceFixedLimitsAndMasks) {
  open();
  int anything = 0;
  EXPECT_EQ(set(63, 0, &anything), 0);
  EXPECT_EQ(set(63, 0, nullptr), 6);

  std::int16_t limits[5] = {0, 0, 0, 0, 77};
  EXPECT_EQ(set(66, 0, limits), 0);
  EXPECT_EQ(limits[0], 1);
  EXPECT_EQ(limits[1], 512);
  EXPECT_EQ(limits[2], 1);
  EXPECT_EQ(limits[3], 512);
  EXPECT_EQ(limits[4], 77);
  EXPECT_EQ(set(66, 0, nullptr), 6);

  std::array<std::int16_t, 600> mask;
  mask.fill(9);
  EXPECT_EQ(set(72, 12, mask.data()), 0);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(mask[k], 1) << k;
  for (std::size_t k : {5u, 7u, 9u, 11u}) EXPECT_EQ(mask[k], 0) << k;
  for (std::size_t k : {6u, 8u, 10u, 12u, 13u}) EXPECT_EQ(mask[k], 9) << k;

  mask.fill(9);
  EXPECT_EQ(query(73, 6, mask.data()), 0);
  for (std::size_t k : {1u, 3u, 5u}) EXPECT_EQ(mask[k], 0) << k;
  for (std::size_t k : {0u, 2u, 4u, 7u}) EXPECT_EQ(mask[k], 9) << k;

  // Never past element 512, whatever the parameter.
  mask.fill(9);
  EXPECT_EQ(set(72, 65535, mask.data()), 0);
  EXPECT_EQ(mask[511], 0);
  EXPECT_EQ(mask[512], 9);
  EXPECT_EQ(mask[513], 9);
  mask.fill(9);
  EXPECT_EQ(set(73, 65535, mask.data()), 0);
  EXPECT_EQ(mask[511], 0);
  EXPECT_EQ(mask[513], 9);
  EXPECT_EQ(set(72, 12, nullptr), 6);
  EXPECT_EQ(set(73, 12, nullptr), 6);
}

TEST_F(ControlHost, CustomControlGivesItsFixedAnswersAndRefusesANullText) {
  open();
  std::int32_t value = -1;
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 2, &value), 0);
  EXPECT_EQ(value, 11);
  value = -1;
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 3, &value), 0) << "bit 0 does not count";
  EXPECT_EQ(value, 11);
  EXPECT_EQ(query(ACQCMD_CUSTOM_CONTROL, 16, &value), 0);
  EXPECT_EQ(value, 24);
  char text[32] = {};
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 32, text), 0);
  EXPECT_STREQ(text, "This is a custom control");
  value = -1;
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 4, &value), 0);
  EXPECT_EQ(value, -1);
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 4, nullptr), 0);
  EXPECT_EQ(set(ACQCMD_CUSTOM_CONTROL, 32, nullptr), 6);
}

TEST_F(ControlHost, SettingsFilePathLimits) {
  open();
  const std::string path = scratch.file("control-settings.ini");
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, const_cast<char*>(path.c_str())), 0);
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 1, const_cast<char*>(path.c_str())), 0);
  // A path that does not fit is refused, not cut into another file's name.
  const std::string tooLong = (scratch.path() / std::string(300, 'q')).string();
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 0, const_cast<char*>(tooLong.c_str())), 6);
  EXPECT_EQ(set(ACQCMD_SETTINGS_FILE, 1, nullptr), 6);
}

} // namespace
