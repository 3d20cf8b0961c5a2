// The step language of `varnex-host options`: what a user does in the
// driver's options window, one step per line, e.g.
//
//   press exposure          # opens (or closes) a section's panel
//   type 1066 250           # types into an edit of the open panel
//   spin 1071 up            # one arrow press on an up-down control
//
// Steps are parsed before the driver is loaded, so that a misspelt step is a
// usage error that never reaches the camera. Controls are resolved later,
// against the dialogs the driver creates.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace host {

// A section of the options window: the name a step uses, the button that
// toggles it and the template of its panel.
struct SectionName {
  const char* name;
  int buttonId;
  int templateId;
};

// The 13 sections in the window's column order.
std::span<const SectionName> sectionNames();
// The section a step names: its name (case, blanks and underscores aside:
// "White Balance" is "white-balance") or its button id. Null when none.
const SectionName* findSection(const std::string& nameOrId);
// The section names joined with ", ", for messages and help.
std::string sectionNameList();

inline constexpr int kOptionsWindowTemplate = 9;
inline constexpr int kOptionsWindowClose = 8;

enum class StepKind {
  Press,     // toggle a section through the options window
  Click,     // push button, check box, radio button
  Type,      // keystrokes into an edit or a typed combo's edit
  Focus,     // an edit takes the focus
  Move,      // a trackbar to a position
  Spin,      // one up-down arrow press
  Select,    // a combo item
  Close,     // the close box of a panel or of the options window
  Open,      // the options window through AcqControl (21 or 42)
  Set,       // a property through AcqControl
  Answer,    // the answer to the next message box
  OpenFile,  // the path the next file-open dialog answers with
  Wait,      // the message loop runs for a while
  Show,      // print a dialog's controls now
};

// Which dialog a step acts on.
enum class Target {
  Current,  // the panel opened last that is still open
  Section,  // the panel of `section`
  Options,  // the options window itself
};

// A control of a dialog: by id, or by the caption of a button, check box
// or radio button (compared without regard to case).
struct ControlRef {
  Target target = Target::Current;
  const SectionName* section = nullptr;
  bool byId = true;
  int id = 0;
  std::string caption;
};

struct Step {
  StepKind kind = StepKind::Show;
  std::string text;    // the step as written
  std::string origin;  // "--step 2" or "<script>:<line>"
  Target target = Target::Current;      // press, close, show
  const SectionName* section = nullptr;  // press, and close/show of a section
  ControlRef control;
  std::string value;      // typed text, item text, path, property name
  int number = 0;         // trackbar position, item index, command code, answer id
  bool byIndex = true;    // select: `number` is the item's index, else `value` its text
  unsigned scrollCode = 4;  // move: SB_THUMBPOSITION unless told
  bool up = true;         // spin
  double real = 0;        // set: the value; wait: seconds
  bool acquisition = false;  // set
};

// Splits a line into words: blanks separate, double quotes group (with \"
// and \\ inside), and a word starting with # begins a comment. `end` (if
// given) receives where the last word ends. Returns the problem, or nothing.
std::optional<std::string> splitWords(const std::string& line, std::vector<std::string>& words,
                                      std::size_t* end = nullptr);

// Parses one step (words already split, not empty). Returns the problem, or
// nothing when `step` holds the step.
std::optional<std::string> parseStep(const std::vector<std::string>& words, Step& step);

// Where the steps come from: the --script file's lines first, then the
// --step options in order.
struct StepSources {
  std::string scriptPath;          // empty: none
  std::vector<std::string> steps;  // --step values
};

struct StepProblem {
  bool fileFailed = false;  // the script could not be read
  std::string message;
};

// Reads and parses every step. Blank and comment lines of the script are
// skipped. Returns the first problem, naming the step it is in.
std::optional<StepProblem> loadSteps(const StepSources& sources, std::vector<Step>& steps);

// The answer names a step or --answer takes: ok, cancel, abort, retry,
// ignore, yes, no. -1 for another name.
int answerId(const std::string& name);
const char* answerName(int id);

// The help text of the step language, with examples.
const char* stepLanguageHelp();

} // namespace host
