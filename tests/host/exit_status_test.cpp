// Exit statuses: 1 for bad input (found before the driver is loaded),
// 2 when the driver refuses, 3 when a file cannot be written or read,
// 4 when the driver library cannot be loaded.
#include "host_run.h"

#include <gtest/gtest.h>

#include <fstream>

namespace host_test {
namespace {

// A driver path that cannot be loaded: a job that reaches the loading step
// ends with 4, so a 1 shows the input was refused before it.
const std::string kNoDriver = "--driver=/nonexistent/libvarnexacq.so";

TEST(ExitStatus, GoodInputWithAMissingDriverLibraryGivesFour) {
  ScratchFolder folder;
  const HostRun run = runHost({"get", "exposure", kNoDriver}, folder.path());
  EXPECT_EQ(run.status, 4);
  EXPECT_NE(run.err.find("cannot load /nonexistent/libvarnexacq.so"), std::string::npos) << run.err;
}

TEST(ExitStatus, BadInputIsAUsageErrorFoundBeforeTheDriverIsLoaded) {
  ScratchFolder folder;
  const std::string longPath = "settings-" + std::string(260, 'x') + ".ini";
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"get", "shutter"}, "shutter not in"},
      {{"set", "exposure", "12,5"}, "Could not convert"},
      {{"set", "brightness", "0.5"}, "whole number"},
      {{"set", "gain", "inf"}, "gain takes a number"},
      {{"auto-exposure", "--region", "100,10,40,50"}, "left must be below right"},
      {{"white-balance", "--region", "0,50,40,50"}, "top must be below bottom"},
      {{"white-balance", "--region", "-8,0,40,50"}, "corners from 0"},
      {{"white-balance", "--region", "0,0,40"}, "four numbers"},
      {{"settings", "save", longPath}, "at most 259"},
      {{"timelapse", "--prefix", std::string(256, 'p')}, "at most 259"},
      {{"timelapse", "--interval", "1"}, "--interval 1"},
      {{"sum", "--divisor", "0"}, "--divisor 0"},
      {{"sum", "--frames", "257"}, "--frames 257"},
      {{"--cameras", "160,32", "--choose", "3", "info"}, "--choose 3"},
      {{"control", "25", "--int", "2000"}, "buffer's size"},
      {{"control", "92", "3"}, "name buffers"},
      {{"control", "54", "--string", longPath}, "at most 259"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    std::vector<std::string> args = c.args;
    args.push_back(kNoDriver);
    const HostRun run = runHost(args, folder.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Driver:"), std::string::npos) << run.out;
  }
}

TEST(ExitStatus, ARefusalByTheDriverGivesTwo) {
  ScratchFolder folder;
  // The camera's global gain goes up to 8.
  const HostRun gain = runHost({"set", "gain", "100", "--fast"}, folder.path());
  EXPECT_EQ(gain.status, 2) << gain.out << gain.err;
  EXPECT_NE(gain.err.find("refused the gain"), std::string::npos) << gain.err;

  const HostRun unknown = runHost({"control", "999", "--fast"}, folder.path());
  EXPECT_EQ(unknown.status, 2) << unknown.out << unknown.err;
  EXPECT_NE(unknown.out.find("AcqControl(999, 0) = -1"), std::string::npos) << unknown.out;

  const HostRun accepted = runHost({"set", "gain", "2.5", "--fast"}, folder.path());
  EXPECT_EQ(accepted.status, 0) << accepted.out << accepted.err;
}

TEST(ExitStatus, NoCameraOpenedGivesTwoThoughTheDriverOpened) {
  ScratchFolder folder;
  // Cancelling the camera choice lets AcqOpen succeed without a camera.
  const HostRun run = runHost({"--cameras", "160,32", "--choose", "0", "info", "--fast"}, folder.path());
  EXPECT_EQ(run.status, 2) << run.out << run.err;
  EXPECT_NE(run.err.find("no camera is open"), std::string::npos) << run.err;
}

TEST(ExitStatus, AModeThisCameraLacksIsAUsageErrorNotAnotherMode) {
  ScratchFolder folder;
  // The driver would capture in its last mode instead; the camera has 5.
  const HostRun run = runHost({"capture", "--mode", "5", "--fast", "--out", "pictures"}, folder.path());
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_NE(run.err.find("5 acquisition modes (0 to 4)"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder.file("pictures/capture.png")));
}

TEST(ExitStatus, AFileThatCannotBeWrittenOrReadGivesThree) {
  ScratchFolder folder;
  std::ofstream(folder.file("plain-file")) << "not a folder";
  const HostRun capture = runHost({"capture", "--fast", "--out", "plain-file/pictures"}, folder.path());
  EXPECT_EQ(capture.status, 3) << capture.out << capture.err;

  const HostRun settings = runHost({"settings", "save", "plain-file/settings.ini", "--fast"}, folder.path());
  EXPECT_EQ(settings.status, 3) << settings.out << settings.err;
  EXPECT_NE(settings.err.find("could not write plain-file/settings.ini"), std::string::npos) << settings.err;

  // A missing input file is found before the driver is loaded.
  const HostRun load = runHost({"settings", "load", "missing.ini", kNoDriver}, folder.path());
  EXPECT_EQ(load.status, 3) << load.err;
}

} // namespace
} // namespace host_test
