#include "panel_steps.h"

#include "property_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

namespace host {
namespace {

constexpr std::array<SectionName, 13> kSections{{
    {"resolution", 1054, 116},
    {"exposure", 1053, 105},
    {"global-gain", 1055, 115},
    {"white-balance", 1049, 114},
    {"gamma", 1052, 112},
    {"hue", 1046, 110},
    {"brightness", 1044, 103},
    {"saturation", 1047, 109},
    {"contrast", 1045, 108},
    {"mirror", 1048, 107},
    {"image-correction", 1050, 111},
    {"overlay", 1056, 117},
    {"camera-info", 1051, 104},
}};

// Scroll codes a trackbar move may end with (WM_HSCROLL's low word).
constexpr unsigned kThumbPosition = 4;
constexpr unsigned kThumbTrack = 5;
constexpr unsigned kEndScroll = 8;

// Values handed to the driver as doubles are kept as 32-bit floats.
constexpr double kLargestValue = 1e9;
constexpr double kLongestWait = 3600;
// The driver keeps file paths in 260-byte buffers.
constexpr std::size_t kLongestPath = 259;

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "White Balance", "white_balance" and "WHITE-BALANCE" all name one section.
std::string normalisedName(const std::string& text) {
  std::string name = lowered(text);
  for (char& c : name)
    if (c == ' ' || c == '_') c = '-';
  return name;
}

std::optional<int> wholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
  return value;
}

std::optional<double> realNumber(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool allDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::string> parseControl(const std::string& word, ControlRef& ref) {
  std::string rest = word;
  const auto colon = word.find(':');
  if (colon != std::string::npos) {
    const std::string prefix = normalisedName(word.substr(0, colon));
    if (prefix == "options") {
      ref.target = Target::Options;
      rest = word.substr(colon + 1);
    } else if (const SectionName* section = findSection(prefix); section != nullptr && !allDigits(prefix)) {
      ref.target = Target::Section;
      ref.section = section;
      rest = word.substr(colon + 1);
    }
    // Otherwise the colon belongs to a caption ("Value :").
  }
  if (rest.empty()) return "a control is named by its id or its caption; \"" + word + "\" names neither";
  if (allDigits(rest)) {
    const auto id = wholeNumber(rest);
    if (!id || *id > 65535) return "control id " + rest + " is out of range (0 to 65535)";
    ref.byId = true;
    ref.id = *id;
  } else {
    ref.byId = false;
    ref.caption = rest;
  }
  return std::nullopt;
}

// close, show: nothing (the current panel), "options" or a section.
std::optional<std::string> parseDialog(const std::vector<std::string>& words, Step& step) {
  if (words.size() > 2) return "`" + words[0] + "` takes at most one dialog: a section or `options`";
  if (words.size() == 1) return std::nullopt;
  if (normalisedName(words[1]) == "options") {
    step.target = Target::Options;
    return std::nullopt;
  }
  step.section = findSection(words[1]);
  if (step.section == nullptr) return "no section is named \"" + words[1] + "\"; sections: " + sectionNameList();
  step.target = Target::Section;
  return std::nullopt;
}

std::optional<std::string> expectCount(const std::vector<std::string>& words, std::size_t least, std::size_t most,
                                       const char* usage) {
  if (words.size() < least || words.size() > most) return std::string("usage: ") + usage;
  return std::nullopt;
}

std::optional<std::string> parseSet(const std::vector<std::string>& words, Step& step) {
  if (auto problem = expectCount(words, 3, 4, "set <property> <value> [acquisition]")) return problem;
  const std::string name = lowered(words[1]);
  if (std::find(std::begin(kPropertyNames), std::end(kPropertyNames), name) == std::end(kPropertyNames))
    return "no property is named \"" + words[1] + "\"; properties: exposure, gain, gamma, brightness, red, green, blue";
  step.value = name;
  const auto value = realNumber(words[2]);
  if (!value || std::fabs(*value) > kLargestValue) return name + " takes a number from -1e9 to 1e9, not " + words[2];
  if (name == "brightness" && *value != std::trunc(*value)) return "brightness takes a whole number, not " + words[2];
  step.real = *value;
  if (words.size() == 4) {
    const std::string which = lowered(words[3]);
    if (which != "acquisition" && which != "preview") return "the last word of `set` is `acquisition` or `preview`";
    step.acquisition = which == "acquisition";
  }
  return std::nullopt;
}

} // namespace

std::span<const SectionName> sectionNames() { return kSections; }

const SectionName* findSection(const std::string& nameOrId) {
  if (allDigits(nameOrId)) {
    const auto id = wholeNumber(nameOrId);
    for (const SectionName& s : kSections)
      if (id && s.buttonId == *id) return &s;
    return nullptr;
  }
  const std::string name = normalisedName(nameOrId);
  for (const SectionName& s : kSections)
    if (name == s.name) return &s;
  return nullptr;
}

std::string sectionNameList() {
  std::string list;
  for (const SectionName& s : kSections) list += (list.empty() ? "" : ", ") + std::string(s.name);
  return list;
}

std::optional<std::string> splitWords(const std::string& line, std::vector<std::string>& words, std::size_t* end) {
  words.clear();
  if (end != nullptr) *end = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string word;
    bool quoted = false;
    while (i < line.size()) {
      const char d = line[i];
      if (!quoted && std::isspace(static_cast<unsigned char>(d))) break;
      if (d == '"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      if (quoted && d == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
        word += line[i + 1];
        i += 2;
        continue;
      }
      word += d;
      ++i;
    }
    if (quoted) return std::string("a quoted text is not closed");
    words.push_back(std::move(word));
    if (end != nullptr) *end = i;
  }
  return std::nullopt;
}

std::optional<std::string> parseStep(const std::vector<std::string>& words, Step& step) {
  const std::string verb = lowered(words.at(0));
  if (verb == "press") {
    step.kind = StepKind::Press;
    if (auto problem = expectCount(words, 2, 2, "press <section>")) return problem;
    step.section = findSection(words[1]);
    if (step.section == nullptr) return "no section is named \"" + words[1] + "\"; sections: " + sectionNameList();
    step.target = Target::Section;
    return std::nullopt;
  }
  if (verb == "click" || verb == "focus") {
    step.kind = verb == "click" ? StepKind::Click : StepKind::Focus;
    if (auto problem = expectCount(words, 2, 2, verb == "click" ? "click <control>" : "focus <control>"))
      return problem;
    return parseControl(words[1], step.control);
  }
  if (verb == "type") {
    step.kind = StepKind::Type;
    if (auto problem = expectCount(words, 3, 3, "type <control> <text> (quote a text with blanks; \"\" clears)"))
      return problem;
    step.value = words[2];
    return parseControl(words[1], step.control);
  }
  if (verb == "move") {
    step.kind = StepKind::Move;
    if (auto problem = expectCount(words, 3, 4, "move <control> <position> [track|position|end]")) return problem;
    const auto position = wholeNumber(words[2]);
    if (!position) return "a trackbar position is a whole number, not " + words[2];
    step.number = *position;
    if (words.size() == 4) {
      const std::string code = lowered(words[3]);
      if (code == "track") step.scrollCode = kThumbTrack;
      else if (code == "position") step.scrollCode = kThumbPosition;
      else if (code == "end") step.scrollCode = kEndScroll;
      else return "a trackbar move ends with `track`, `position` or `end`, not " + words[3];
    }
    return parseControl(words[1], step.control);
  }
  if (verb == "spin") {
    step.kind = StepKind::Spin;
    if (auto problem = expectCount(words, 3, 3, "spin <control> up|down")) return problem;
    const std::string arrow = lowered(words[2]);
    if (arrow != "up" && arrow != "down") return "an arrow is `up` or `down`, not " + words[2];
    step.up = arrow == "up";
    return parseControl(words[1], step.control);
  }
  if (verb == "select") {
    step.kind = StepKind::Select;
    if (auto problem = expectCount(words, 3, 3, "select <control> <item index or item text>")) return problem;
    if (const auto index = wholeNumber(words[2]); index && allDigits(words[2])) {
      step.byIndex = true;
      step.number = *index;
    } else {
      step.byIndex = false;
      step.value = words[2];
    }
    return parseControl(words[1], step.control);
  }
  if (verb == "close" || verb == "show") {
    step.kind = verb == "close" ? StepKind::Close : StepKind::Show;
    return parseDialog(words, step);
  }
  if (verb == "open") {
    step.kind = StepKind::Open;
    if (auto problem = expectCount(words, 1, 2, "open [21|42]")) return problem;
    step.number = 21;
    if (words.size() == 2) {
      if (words[1] != "21" && words[1] != "42") return "the options window opens with command 21 or 42, not " + words[1];
      step.number = words[1] == "21" ? 21 : 42;
    }
    return std::nullopt;
  }
  if (verb == "set") {
    step.kind = StepKind::Set;
    return parseSet(words, step);
  }
  if (verb == "answer") {
    step.kind = StepKind::Answer;
    if (auto problem = expectCount(words, 2, 2, "answer ok|cancel|yes|no|abort|retry|ignore")) return problem;
    step.number = answerId(lowered(words[1]));
    if (step.number < 0) return "an answer is ok, cancel, yes, no, abort, retry or ignore, not " + words[1];
    return std::nullopt;
  }
  if (verb == "open-file") {
    step.kind = StepKind::OpenFile;
    if (auto problem = expectCount(words, 2, 2, "open-file <path>|cancel")) return problem;
    step.value = words[1];
    if (step.value.empty()) return std::string("open-file takes a path, or `cancel`");
    if (step.value.size() > kLongestPath)
      return "the path is " + std::to_string(step.value.size()) + " bytes long; the driver takes at most 259";
    return std::nullopt;
  }
  if (verb == "wait") {
    step.kind = StepKind::Wait;
    if (auto problem = expectCount(words, 2, 2, "wait <seconds>")) return problem;
    const auto seconds = realNumber(words[1]);
    if (!seconds || *seconds < 0 || *seconds > kLongestWait) return "wait takes 0 to 3600 seconds, not " + words[1];
    step.real = *seconds;
    return std::nullopt;
  }
  return "no step is called \"" + words[0] +
         "\"; steps: press, click, type, focus, move, spin, select, close, open, set, answer, open-file, wait, show";
}

std::optional<StepProblem> loadSteps(const StepSources& sources, std::vector<Step>& steps) {
  steps.clear();
  const auto add = [&](const std::string& line, const std::string& origin) -> std::optional<StepProblem> {
    std::vector<std::string> words;
    std::size_t end = 0;
    if (auto problem = splitWords(line, words, &end))
      return StepProblem{false, "step " + std::to_string(steps.size() + 1) + " (" + origin + ": " + line + "): " + *problem};
    if (words.empty()) return std::nullopt;
    Step step;
    // The step as written, without its comment.
    const std::size_t start = line.find_first_not_of(" \t\v\f");
    step.text = line.substr(start, end - start);
    step.origin = origin;
    if (auto problem = parseStep(words, step))
      return StepProblem{false, "step " + std::to_string(steps.size() + 1) + " (" + origin + ": " + step.text +
                                    "): " + *problem};
    steps.push_back(std::move(step));
    return std::nullopt;
  };
  if (!sources.scriptPath.empty()) {
    std::ifstream script(sources.scriptPath);
    if (!script) return StepProblem{true, "the script " + sources.scriptPath + " cannot be read"};
    int number = 0;
    for (std::string line; std::getline(script, line);) {
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (auto problem = add(line, sources.scriptPath + ":" + std::to_string(number))) return problem;
    }
    if (script.bad()) return StepProblem{true, "the script " + sources.scriptPath + " cannot be read"};
  }
  for (std::size_t i = 0; i < sources.steps.size(); ++i) {
    const std::string origin = "--step " + std::to_string(i + 1);
    const std::size_t before = steps.size();
    if (auto problem = add(sources.steps[i], origin)) return problem;
    if (steps.size() == before) return StepProblem{false, origin + " is empty"};
  }
  if (steps.empty()) return StepProblem{false, "no steps: give --step or --script (see --help)"};
  return std::nullopt;
}

int answerId(const std::string& name) {
  static constexpr std::array<const char*, 7> kNames{"ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (name == kNames[i]) return static_cast<int>(i) + 1;
  return -1;
}

const char* answerName(int id) {
  static constexpr std::array<const char*, 7> kNames{"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
  return id >= 1 && id <= 7 ? kNames[static_cast<std::size_t>(id - 1)] : "?";
}

const char* stepLanguageHelp() {
  return "Steps (one per --step, or one per line of --script; # starts a comment; quote a text with\n"
         "blanks in double quotes, \\\" and \\\\ inside; \"\" is the empty text):\n"
         "  press <section>            open or close a section's panel, as its button in the options window\n"
         "                             does (hidden sections too); a section by name or button id:\n"
         "                             resolution, exposure, global-gain, white-balance, gamma, hue,\n"
         "                             brightness, saturation, contrast, mirror, image-correction, overlay,\n"
         "                             camera-info\n"
         "  click <control>            a push button, check box or radio button\n"
         "  type <control> <text>      keystrokes into an edit (or a typed combo's edit), replacing its text\n"
         "  focus <control>            the edit takes the focus\n"
         "  move <control> <position> [track|position|end]\n"
         "                             a trackbar to a position (the scroll code: position unless told)\n"
         "  spin <control> up|down     one press of an up-down control's arrow\n"
         "  select <control> <item>    a combo item by index (from 0) or by its text\n"
         "  close [<section>|options]  the close box of the current (or named) panel, or of the window\n"
         "  open [21|42]               open the options window again through AcqControl\n"
         "  set <property> <value> [acquisition]\n"
         "                             AcqControl as a host sets a property (exposure, gain, gamma,\n"
         "                             brightness, red, green, blue); an open panel shows it\n"
         "  answer <button>            the answer to the next message box: ok, cancel, yes, no, abort,\n"
         "                             retry, ignore\n"
         "  open-file <path>|cancel    the answer of the next file-open dialog\n"
         "  wait <seconds>             run the message loop (timers, frames) for a while\n"
         "  show [<section>|options]   print the controls of the current (or named) panel, or the window\n"
         "A control is its id or the caption of a button, check box or radio button, on the panel\n"
         "opened last that is still open; `<section>:<control>` names another panel's, `options:<control>`\n"
         "the options window's.\n"
         "After each step the program prints what the camera received (the SDK calls that change it), the\n"
         "message boxes with their answers, and the panels opened or closed; at the end, the controls of\n"
         "every open panel (id, kind, text, state: checks, positions and ranges, selections; disabled,\n"
         "hidden, read-only). A step that names no such section or control, acts on a control of the wrong\n"
         "kind or gives an item that does not exist is a usage error (1; a misspelt step is found before\n"
         "the driver is loaded); a panel that does not open, a control the user cannot reach (disabled or\n"
         "hidden) or a value the driver refuses gives 2. The steps stop at the first failure and the report\n"
         "names it; the open panels are still printed.\n"
         "Examples:\n"
         "  varnex-host options --step 'press brightness' --step 'type 1059 50' --step 'spin 1061 up'\n"
         "  varnex-host options --step 'press exposure' --step 'move 1056 1000' --step 'set exposure 40'\n"
         "  varnex-host options --step 'press mirror' --step 'click \"Horizontal flip (X)\"'\n"
         "  varnex-host options --step 'press overlay' --step 'type 1032 70' --step 'show' --json\n"
         "  varnex-host options --script steps.txt --answer cancel --debug-lines\n";
}

} // namespace host
