// `varnex-host options`: steps played in the driver's options window, the
// report of what the camera received, the panels' tables, the exit status of
// a step that fails, and the JSON document.
#include "host_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace host_test {
namespace {

// The report of one step: from its "== Step <n>" line to the next step's.
std::string stepBlock(const std::string& out, int number) {
  const std::string head = "== Step " + std::to_string(number) + " (";
  const auto start = out.find(head);
  if (start == std::string::npos) return "";
  const auto end = out.find("\n== Step ", start + head.size());
  const auto tableStart = out.find("\n\nPanel ", start);
  return out.substr(start, std::min(end, tableStart) - start);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The table row of a control: the line that starts with its id.
std::string row(const std::string& out, const std::string& tableTitle, int id) {
  const auto table = out.find(tableTitle);
  if (table == std::string::npos) return "";
  std::istringstream lines(out.substr(table));
  const std::string prefix = std::to_string(id) + " ";
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) break;
    // A table printed by `show` is indented under its step.
    if (line.find_first_not_of(' ') == line.find(prefix)) return line;
  }
  return "";
}

TEST(OptionsJob, ScriptDrivesThePanelsAndReportsWhatTheCameraReceived) {
  ScratchFolder folder;
  std::ofstream(folder.file("steps.txt")) << "# Flip the image both ways, by caption and by id.\n"
                                             "press mirror\n"
                                             "click \"Horizontal flip (X)\"   # the camera gets 1\n"
                                             "\n"
                                             "click 1008\n"
                                             "press image-correction          # a hidden section\n"
                                             "select 1068 \"60 Hz\"\n"
                                             "answer cancel\n"
                                             "click 1066\n";
  const HostRun run = runHost({"options", "--fast", "--script", "steps.txt", "--step", "press overlay", "--step",
                               "type 1032 \"7 \\\"x5\\\"\"  # quoted", "--step", "close mirror"},
                              folder.path());
  ASSERT_EQ(run.status, 0) << run.out << run.err;

  EXPECT_TRUE(has(stepBlock(run.out, 1), "the mirror panel opened")) << run.out;
  // Horizontal, then both: the flipping property encodes them as 1 and 3.
  EXPECT_TRUE(has(stepBlock(run.out, 2), "camera: PropFlipping (66) = 1, flags 0x0")) << run.out;
  EXPECT_TRUE(has(stepBlock(run.out, 3), "camera: PropFlipping (66) = 3, flags 0x0")) << run.out;
  EXPECT_TRUE(has(stepBlock(run.out, 3), "steps.txt:5")) << run.out;
  EXPECT_TRUE(has(stepBlock(run.out, 4), "the image-correction panel opened")) << run.out;
  // The dark frame prompt answered Cancel: no frame is grabbed, so no
  // subtraction is installed and the box is unchecked again.
  const std::string dark = stepBlock(run.out, 7);
  EXPECT_TRUE(has(dark, "message box \"Dark Frame Subtraction\"")) << dark;
  EXPECT_TRUE(has(dark, "-> Cancel")) << dark;
  EXPECT_FALSE(has(dark, "AddStreamingCallback")) << dark;
  EXPECT_TRUE(has(stepBlock(run.out, 10), "the mirror panel closed")) << run.out;

  // The tables of the panels still open, in the window's column order.
  EXPECT_FALSE(has(run.out, "Panel \"Mirror\"")) << run.out;
  const std::string correction = "Panel \"Image Correction\"";
  const std::string overlay = "Panel \"Overlay\"";
  ASSERT_LT(run.out.find(correction), run.out.find(overlay)) << run.out;
  EXPECT_TRUE(has(row(run.out, correction, 1066), "unchecked")) << run.out;
  EXPECT_TRUE(has(row(run.out, correction, 1105), "\"No frame taken\"")) << run.out;
  const std::string frequency = row(run.out, correction, 1068);
  EXPECT_TRUE(has(frequency, "\"60 Hz\"") && has(frequency, "item 2 of 3 items") && has(frequency, "list"))
      << frequency;
  EXPECT_TRUE(has(run.out, "items: 0 \"None / DC\", 1 \"50 Hz\", 2 \"60 Hz\"")) << run.out;
  // Typed as "7 \"x5\"": the blank and the quotes reach the edit.
  EXPECT_TRUE(has(stepBlock(run.out, 9), "): type 1032 \"7 \\\"x5\\\"\"")) << run.out;
  EXPECT_FALSE(has(run.out, "# quoted")) << run.out;
  EXPECT_TRUE(has(row(run.out, overlay, 1032), "edit      \"7 \\\"x5\\\"\"")) << run.out;
  EXPECT_TRUE(has(row(run.out, overlay, 1031), "group start")) << run.out;
}

TEST(OptionsJob, TheNumericAndExposurePanelsSendWhatTheUserEnters) {
  ScratchFolder folder;
  std::ofstream(folder.file("steps.txt")) << "press brightness\n"
                                             "type 1059 50        # keystroke by keystroke: 5, then 50\n"
                                             "move 1056 25        # the left quarter is -50\n"
                                             "spin 1061 down      # one step: -51\n"
                                             "move 1056 24        # the position -51 already has\n"
                                             "show brightness\n"
                                             "press exposure\n"
                                             "move 1056 1000\n"
                                             "set exposure 40     # with the panel open its edits take it\n"
                                             "click brightness:Cancel\n";
  const HostRun run = runHost({"options", "--fast", "--script", "steps.txt"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.out << run.err;

  // Brightness travels on the camera's scale: display 50 is 0.5.
  EXPECT_TRUE(has(stepBlock(run.out, 1), "the brightness panel opened")) << run.out;
  const std::string typed = stepBlock(run.out, 2);
  EXPECT_TRUE(has(typed, "camera: PropBrightness (0) = 0.05, flags 0x0\n  camera: PropBrightness (0) = 0.5, flags 0x0"))
      << typed;
  EXPECT_TRUE(has(stepBlock(run.out, 3), "camera: PropBrightness (0) = -0.5, flags 0x0")) << run.out;
  EXPECT_TRUE(has(stepBlock(run.out, 4), "camera: PropBrightness (0) = -0.51, flags 0x0")) << run.out;
  EXPECT_FALSE(has(stepBlock(run.out, 5), "camera:")) << run.out;
  // The lock is on: the acquisition side follows without reaching the camera.
  const std::string shown = stepBlock(run.out, 6);
  EXPECT_TRUE(has(row(shown, "Panel \"Brightness\"", 1059), "\"-51\"")) << shown;
  EXPECT_TRUE(has(row(shown, "Panel \"Brightness\"", 1060), "\"-51\"")) << shown;
  EXPECT_TRUE(has(row(shown, "Panel \"Brightness\"", 1056), "position 24, range 0..100")) << shown;
  EXPECT_TRUE(has(row(shown, "Panel \"Brightness\"", 1058), "checked")) << shown;

  EXPECT_TRUE(has(stepBlock(run.out, 7), "the exposure panel opened")) << run.out;
  const std::string moved = stepBlock(run.out, 8);
  EXPECT_TRUE(has(moved, "camera: PropExposure (20) = ")) << moved;
  EXPECT_FALSE(has(moved, "PropExposure (20) = 10,")) << moved;
  const std::string set = stepBlock(run.out, 9);
  EXPECT_TRUE(has(set, "AcqControl set exposure: ok")) << set;
  EXPECT_TRUE(has(set, "camera: PropExposure (20) = 40, flags 0x0")) << set;

  // Cancel gives the camera back the brightness the panel opened with.
  const std::string cancelled = stepBlock(run.out, 10);
  EXPECT_TRUE(has(cancelled, "the brightness panel closed")) << cancelled;
  EXPECT_TRUE(has(cancelled, "camera: PropBrightness (0) = 0, flags 0x0")) << cancelled;
  EXPECT_FALSE(has(run.out, "\n\nPanel \"Brightness\"")) << run.out;
  const std::string last = run.out.substr(run.out.find("== Step 10 ("));
  EXPECT_TRUE(has(row(last, "Panel \"Exposure\"", 1066), "\"40\"")) << last;
  EXPECT_TRUE(has(row(last, "Panel \"Exposure\"", 1072), "\"40\"")) << last;
}

TEST(OptionsJob, AnsweredOkTheDarkFrameIsGrabbedAndSubtracted) {
  ScratchFolder folder;
  const HostRun run = runHost({"options", "--fast", "--step", "press image-correction", "--step", "click 1066"},
                              folder.path());
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string dark = stepBlock(run.out, 2);
  EXPECT_TRUE(has(dark, "-> OK")) << dark;
  EXPECT_TRUE(has(dark, "camera: VarcamAddStreamingCallback")) << dark;
  EXPECT_TRUE(has(row(run.out, "Panel \"Image Correction\"", 1105), "\"Dark frame stored\"")) << run.out;
}

TEST(OptionsJob, StepsActOnThePanelOpenedLastUnlessTheyNameAnother) {
  ScratchFolder folder;
  const HostRun run = runHost({"options", "--fast", "--step", "press mirror", "--step", "press image-correction",
                               "--step", "click mirror:1007", "--step", "close", "--step", "click 1008", "--step",
                               "close options", "--step", "open", "--step", "press camera-info"},
                              folder.path());
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_TRUE(has(stepBlock(run.out, 3), "PropFlipping (66) = 1")) << run.out;
  // The close box of the current panel, image correction; mirror is current again.
  EXPECT_TRUE(has(stepBlock(run.out, 4), "the image-correction panel closed")) << run.out;
  EXPECT_TRUE(has(stepBlock(run.out, 5), "PropFlipping (66) = 3")) << run.out;
  // Closing the window takes its panels with it; a new window opens with
  // every section closed.
  const std::string closing = stepBlock(run.out, 6);
  EXPECT_TRUE(has(closing, "the mirror panel closed") && has(closing, "the options window closed")) << closing;
  EXPECT_TRUE(has(stepBlock(run.out, 8), "the camera-info panel opened")) << run.out;
  EXPECT_TRUE(has(row(run.out, "Panel \"Camera Information\"", 1102), "read-only")) << run.out;
  EXPECT_FALSE(has(run.out, "Panel \"Mirror\"")) << run.out;
}

TEST(OptionsJob, AStepThatFailsGivesTheUsageOrRefusalCodeAndNamesTheStep) {
  ScratchFolder folder;
  const auto fails = [&](const std::vector<std::string>& args, int status, const std::string& message) {
    SCOPED_TRACE(args.back());
    std::vector<std::string> all{"options", "--fast"};
    all.insert(all.end(), args.begin(), args.end());
    const HostRun run = runHost(all, folder.path());
    EXPECT_EQ(run.status, status) << run.out << run.err;
    EXPECT_TRUE(has(run.err, message)) << run.err;
    return run;
  };
  // Misspelt steps are found before the driver is loaded.
  const std::string noDriver = "--driver=/nonexistent/libvarnexacq.so";
  for (const auto& [step, message] : std::vector<std::pair<std::string, std::string>>{
           {"press shutter", "step 2 (--step 2: press shutter): no section is named \"shutter\""},
           {"spin 1071 sideways", "an arrow is `up` or `down`"},
           {"type 1032", "usage: type <control> <text>"},
           {"set exposure fast", "exposure takes a number"},
           {"type 1032 \"70", "a quoted text is not closed"},
       }) {
    const HostRun run = fails({noDriver, "--step", "press mirror", "--step", step}, 1, message);
    EXPECT_FALSE(has(run.out, "Driver:")) << run.out;
  }
  fails({noDriver, "--script", "missing.txt"}, 3, "missing.txt cannot be read");

  // Controls are known once the panel is open; the steps after a failure do
  // not run.
  const HostRun unknown = fails({"--step", "press mirror", "--step", "click 1234", "--step", "click 1007"}, 1,
                                "step 2 (--step 2: click 1234): the mirror panel has no control 1234");
  EXPECT_FALSE(has(unknown.out, "== Step 3")) << unknown.out;
  EXPECT_TRUE(has(row(unknown.out, "Panel \"Mirror\"", 1007), "unchecked")) << unknown.out;
  fails({"--step", "press mirror", "--step", "type 1007 5"}, 1, "control 1007 is a check; `type` takes an edit");
  fails({"--step", "press image-correction", "--step", "select 1064 7"}, 1, "control 1064 has 4 items (0 to 3)");
  fails({"--step", "press mirror", "--step", "click Flip"}, 1, "no button, check box or radio button captioned");
  fails({"--step", "press image-correction", "--step", "click \"Grab new frame\""}, 1,
        "is the caption of controls 1107, 1106");
  fails({"--step", "click 1007"}, 1, "no panel is open");

  // What the driver or the dialog refuses gives 2.
  fails({"--step", "click options:1053"}, 2, "control 1053 is hidden: a user cannot reach it");
  const HostRun mono = fails({"--mono", "--step", "press white-balance"}, 2, "the white-balance panel did not open");
  EXPECT_TRUE(has(mono.out, "message box \"Error\" owned by \"Pixora\": \"This camera does not supports whitebalance\""))
      << mono.out;
  fails({"--step", "set gain 100"}, 2, "the driver refused gain 100");
}

TEST(OptionsJob, JsonIsOneDocumentOnStdout) {
  ScratchFolder folder;
  const HostRun run = runHost({"options", "--fast", "--json", "--debug-lines", "--step", "press mirror", "--step",
                               "click 1007", "--step", "show options", "--step", "click 1234"},
                              folder.path());
  EXPECT_EQ(run.status, 1) << run.err;
  nlohmann::json document;
  ASSERT_NO_THROW(document = nlohmann::json::parse(run.out)) << run.out;
  EXPECT_EQ(document["exitCode"], 1);
  EXPECT_EQ(document["failedStep"], 4);
  ASSERT_EQ(document["steps"].size(), 4u);
  EXPECT_FALSE(document["steps"][3]["ok"].get<bool>());
  EXPECT_TRUE(has(document["steps"][3]["error"].get<std::string>(), "no control 1234"));

  const auto& camera = document["steps"][1]["camera"];
  ASSERT_EQ(camera.size(), 1u) << camera;
  EXPECT_EQ(camera[0]["property"], 66);
  EXPECT_EQ(camera[0]["value"], 1.0);
  EXPECT_TRUE(document["steps"][0].contains("debugLines"));

  // The options window shows Mirror and Camera Info; the rest are hidden.
  const auto& shown = document["steps"][2]["shown"];
  EXPECT_EQ(shown["title"], "More Options...");
  int visibleSections = 0;
  for (const auto& control : shown["controls"])
    if (control["visible"].get<bool>() && control["id"] != 8) ++visibleSections;
  EXPECT_EQ(visibleSections, 2) << shown;

  ASSERT_EQ(document["panels"].size(), 1u);
  const auto& mirror = document["panels"][0];
  EXPECT_EQ(mirror["name"], "mirror");
  EXPECT_EQ(mirror["controls"][0]["id"], 1007);
  EXPECT_EQ(mirror["controls"][0]["checked"], 1);
  EXPECT_EQ(mirror["controls"][0]["kind"], "check");
}

} // namespace
} // namespace host_test
