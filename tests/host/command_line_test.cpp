// The command line as a script meets it: options after the subcommand, and a
// help text for each subcommand.
#include "host_run.h"

#include <gtest/gtest.h>

namespace host_test {
namespace {

TEST(CommandLine, PreviewModeTakesEffectAfterTheSubcommandAndBeforeIt) {
  ScratchFolder folder;
  // The camera's preview modes 5 and 4 are 320 x 240 and 640 x 480; the
  // driver's own choice is the whole 1280 x 1024 sensor.
  const HostRun after =
      runHost({"preview", "--preview-mode", "5", "--seconds", "0.3", "--fast", "--out", "after"}, folder.path());
  ASSERT_EQ(after.status, 0) << after.err;
  const Picture small = readPng(folder.file("after/preview.png"));
  EXPECT_EQ(small.width, 320u);
  EXPECT_EQ(small.height, 240u);

  const HostRun before =
      runHost({"--preview-mode", "4", "--seconds", "0.3", "--fast", "--out", "before", "preview"}, folder.path());
  ASSERT_EQ(before.status, 0) << before.err;
  const Picture medium = readPng(folder.file("before/preview.png"));
  EXPECT_EQ(medium.width, 640u);
  EXPECT_EQ(medium.height, 480u);
}

TEST(CommandLine, OptionOfAnotherSubcommandIsAUsageError) {
  ScratchFolder folder;
  // --divisor belongs to `sum`, not to `capture`.
  const HostRun run = runHost({"capture", "--divisor", "3"}, folder.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--divisor"), std::string::npos) << run.err;
}

TEST(CommandLine, EverySubcommandHasItsOwnHelpWithItsOptionsAndTheExitCodes) {
  ScratchFolder folder;
  // Each subcommand with one option (or argument) that only its help lists.
  const std::vector<std::pair<std::string, std::string>> subcommands = {
      {"info", "--choose"},       {"preview", "--seconds"},        {"capture", "--mode"},
      {"sum", "--divisor"},       {"get", "--acquisition"},        {"set", "value"},
      {"auto-exposure", "--region"}, {"white-balance", "--region"}, {"control", "--string"},
      {"corrections", "--out"},   {"overlay", "--bitmap"},         {"settings", "action"},
      {"timelapse", "--interval"}, {"pass-through", "--mode"}, {"options", "spin <control> up|down"}};
  for (const auto& [name, option] : subcommands) {
    SCOPED_TRACE(name);
    const HostRun run = runHost({name, "--help"}, folder.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage: varnex-host " + name), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(option), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2  the driver refused"), std::string::npos) << run.out;
  }
  // A subcommand's help lists no option of another subcommand.
  const HostRun capture = runHost({"capture", "--help"}, folder.path());
  EXPECT_EQ(capture.out.find("--divisor"), std::string::npos) << capture.out;
}

} // namespace
} // namespace host_test
