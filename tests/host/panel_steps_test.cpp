// The step language of `varnex-host options`: words, steps, control names,
// and where the steps come from.
#include "host_run.h"
#include "panel_steps.h"

#include <gtest/gtest.h>

#include <fstream>

namespace host_test {
namespace {

using host::Step;
using host::StepKind;
using host::Target;

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  const auto problem = host::splitWords(line, out);
  EXPECT_FALSE(problem) << line << ": " << problem.value_or("");
  return out;
}

// Parses a line as one step; the problem, or "" when it parsed.
std::string parse(const std::string& line, Step& step) {
  std::vector<std::string> split;
  if (auto problem = host::splitWords(line, split)) return *problem;
  if (auto problem = host::parseStep(split, step)) return *problem;
  return "";
}

TEST(StepWords, QuotesGroupEscapesKeepAndCommentsStartOnlyAWord) {
  using V = std::vector<std::string>;
  EXPECT_EQ(words("  type\t1066   250 "), (V{"type", "1066", "250"}));
  EXPECT_EQ(words("click \"Use Auto Exposure\""), (V{"click", "Use Auto Exposure"}));
  EXPECT_EQ(words(R"(type 1032 "say \"hi\" \\ ok")"), (V{"type", "1032", R"(say "hi" \ ok)"}));
  // A backslash before anything else is kept: paths and texts pass as written.
  EXPECT_EQ(words(R"(open-file C:\pictures\a.bmp)"), (V{"open-file", R"(C:\pictures\a.bmp)"}));
  EXPECT_EQ(words("type 1032 \"\""), (V{"type", "1032", ""}));
  EXPECT_EQ(words("type 1032 a#b # the rest"), (V{"type", "1032", "a#b"}));
  EXPECT_EQ(words("type 1032 \"#5\""), (V{"type", "1032", "#5"}));
  EXPECT_TRUE(words("   # only a comment").empty());

  std::vector<std::string> out;
  std::size_t end = 0;
  EXPECT_FALSE(host::splitWords("press exposure   # open it", out, &end));
  EXPECT_EQ(end, 14u);
  EXPECT_TRUE(host::splitWords("type 1032 \"open", out));
}

TEST(StepParse, SectionsByNameInAnySpellingOrByButtonId) {
  for (const char* name : {"white-balance", "White Balance", "WHITE_BALANCE", "1049"}) {
    SCOPED_TRACE(name);
    const host::SectionName* section = host::findSection(name);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->buttonId, 1049);
    EXPECT_EQ(section->templateId, 114);
  }
  EXPECT_EQ(host::findSection("1050")->templateId, 111);  // image correction
  EXPECT_EQ(host::findSection("resolution")->templateId, 116);
  for (const char* none : {"8", "0", "1057", "whitebalance", ""}) EXPECT_EQ(host::findSection(none), nullptr) << none;
  EXPECT_EQ(host::sectionNames().size(), 13u);
}

TEST(StepParse, ControlsByIdOrCaptionOnTheCurrentOrANamedDialog) {
  Step step;
  ASSERT_EQ(parse("click 1066", step), "");
  EXPECT_EQ(step.kind, StepKind::Click);
  EXPECT_EQ(step.control.target, Target::Current);
  EXPECT_TRUE(step.control.byId);
  EXPECT_EQ(step.control.id, 1066);

  Step named;
  ASSERT_EQ(parse("type exposure:1066 250", named), "");
  EXPECT_EQ(named.control.target, Target::Section);
  EXPECT_EQ(named.control.section->buttonId, 1053);
  EXPECT_EQ(named.control.id, 1066);
  EXPECT_EQ(named.value, "250");

  Step options;
  ASSERT_EQ(parse("click \"options:Mirror >>\"", options), "");
  EXPECT_EQ(options.control.target, Target::Options);
  EXPECT_FALSE(options.control.byId);
  EXPECT_EQ(options.control.caption, "Mirror >>");

  // A colon that follows no dialog's name belongs to the caption.
  Step caption;
  ASSERT_EQ(parse("click \"Value :\"", caption), "");
  EXPECT_EQ(caption.control.target, Target::Current);
  EXPECT_EQ(caption.control.caption, "Value :");

  Step bad;
  EXPECT_NE(parse("click 70000", bad).find("out of range"), std::string::npos);
  EXPECT_NE(parse("click mirror:", bad).find("names neither"), std::string::npos);
}

TEST(StepParse, EachStepTakesItsValuesAndRefusesOthers) {
  Step move;
  ASSERT_EQ(parse("move 1056 2000 track", move), "");
  EXPECT_EQ(move.number, 2000);
  EXPECT_EQ(move.scrollCode, 5u);  // SB_THUMBTRACK
  Step moveDefault;
  ASSERT_EQ(parse("move 1056 -3", moveDefault), "");
  EXPECT_EQ(moveDefault.number, -3);
  EXPECT_EQ(moveDefault.scrollCode, 4u);  // SB_THUMBPOSITION

  Step spin;
  ASSERT_EQ(parse("spin 1061 DOWN", spin), "");
  EXPECT_FALSE(spin.up);

  Step byIndex;
  ASSERT_EQ(parse("select 1009 3", byIndex), "");
  EXPECT_TRUE(byIndex.byIndex);
  EXPECT_EQ(byIndex.number, 3);
  Step byText;
  ASSERT_EQ(parse("select 1009 15.00", byText), "");
  EXPECT_FALSE(byText.byIndex);
  EXPECT_EQ(byText.value, "15.00");

  Step set;
  ASSERT_EQ(parse("set Exposure 1500.25 acquisition", set), "");
  EXPECT_EQ(set.value, "exposure");
  EXPECT_DOUBLE_EQ(set.real, 1500.25);
  EXPECT_TRUE(set.acquisition);

  Step answer;
  ASSERT_EQ(parse("answer Cancel", answer), "");
  EXPECT_EQ(answer.number, 2);  // IDCANCEL

  Step close;
  ASSERT_EQ(parse("close options", close), "");
  EXPECT_EQ(close.target, Target::Options);
  Step open;
  ASSERT_EQ(parse("open 42", open), "");
  EXPECT_EQ(open.number, 42);

  const struct {
    const char* line;
    const char* problem;
  } refused[] = {
      {"move 1056 fast", "a trackbar position is a whole number"},
      {"move 1056 5 sideways", "ends with `track`, `position` or `end`"},
      {"set brightness 2.5", "brightness takes a whole number"},
      {"set gain 1e10", "gain takes a number from -1e9 to 1e9"},
      {"set gain nan", "gain takes a number"},
      {"set shutter 5", "no property is named \"shutter\""},
      {"set gain 2 both", "`acquisition` or `preview`"},
      {"answer maybe", "an answer is ok, cancel"},
      {"wait 4000", "wait takes 0 to 3600 seconds"},
      {"open 43", "command 21 or 42"},
      {"close mirror overlay", "at most one dialog"},
      {"show nowhere", "no section is named \"nowhere\""},
      {"press", "usage: press <section>"},
      {"click", "usage: click <control>"},
      {"jump 5", "no step is called \"jump\""},
  };
  for (const auto& r : refused) {
    Step step;
    EXPECT_NE(parse(r.line, step).find(r.problem), std::string::npos) << r.line << ": " << parse(r.line, step);
  }
  Step longPath;
  EXPECT_NE(parse("open-file " + std::string(260, 'p'), longPath).find("at most 259"), std::string::npos);
}

TEST(StepSources, TheScriptComesFirstThenTheStepOptionsEachNamedWhereItIs) {
  ScratchFolder folder;
  std::ofstream(folder.file("steps.txt")) << "# set-up\r\n"
                                             "press mirror\r\n"
                                             "\r\n"
                                             "   click 1007   # flip\r\n";
  std::vector<Step> steps;
  ASSERT_FALSE(host::loadSteps({folder.file("steps.txt"), {"click 1008", "show"}}, steps));
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].origin, folder.file("steps.txt") + ":2");
  EXPECT_EQ(steps[1].origin, folder.file("steps.txt") + ":4");
  EXPECT_EQ(steps[1].text, "click 1007");
  EXPECT_EQ(steps[2].origin, "--step 1");
  EXPECT_EQ(steps[3].kind, StepKind::Show);

  const auto problem = host::loadSteps({folder.file("steps.txt"), {"click 1008", "click"}}, steps);
  ASSERT_TRUE(problem);
  EXPECT_FALSE(problem->fileFailed);
  EXPECT_NE(problem->message.find("step 4 (--step 2: click)"), std::string::npos) << problem->message;

  EXPECT_NE(host::loadSteps({"", {"press mirror", "  # nothing"}}, steps)->message.find("--step 2 is empty"),
            std::string::npos);
  EXPECT_NE(host::loadSteps({"", {}}, steps)->message.find("no steps"), std::string::npos);
  EXPECT_TRUE(host::loadSteps({folder.file("missing.txt"), {}}, steps)->fileFailed);
}

} // namespace
} // namespace host_test
