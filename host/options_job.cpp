#include "options_job.h"

#include "capture_jobs.h"
#include "command_jobs.h"
#include "dialog_snapshot.h"
#include "panel_steps.h"
#include "step_report.h"

#include "platform/headless_control.h"
#include "vividozuz/sim_control.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace host {
namespace {

namespace hl = platform::headless;
using platform::ControlKind;

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

platform::Window optionsWindow() { return hl::findDialog(kOptionsWindowTemplate); }
platform::Window panelOf(const SectionName& section) { return hl::findDialog(section.templateId); }

// A dialog a step acts on, with the name the report gives it.
struct DialogRef {
  platform::Window window = nullptr;
  std::string name;
  int templateId = 0;
};

// A step that cannot go on: the exit status it gives and why.
struct StepError {
  ExitCode code;
  std::string message;
};

class StepRunner {
 public:
  StepRunner(HostSession& session, const OptionsJobOptions& options) : session_(session), options_(options) {}

  // Runs one step; returns its error, or nothing when it did what it says.
  std::optional<StepError> run(const Step& step, StepReport& report);

  // The panels open now, in the window's column order.
  std::vector<DialogRef> openPanels() const;

 private:
  std::optional<StepError> press(const Step& step, StepReport& report);
  std::optional<StepError> closeBox(const Step& step, StepReport& report);
  std::optional<StepError> open(const Step& step, StepReport& report);
  std::optional<StepError> set(const Step& step, StepReport& report);
  std::optional<StepError> show(const Step& step, StepReport& report);
  std::optional<StepError> act(const Step& step, StepReport& report);

  std::optional<StepError> findDialog(Target target, const SectionName* section, DialogRef& dialog) const;
  std::optional<StepError> findControl(const ControlRef& ref, DialogRef& dialog, int& id) const;
  // Keeps the order in which the panels opened, dropping those that closed.
  void notePanels(StepReport& report);

  HostSession& session_;
  const OptionsJobOptions& options_;
  std::vector<const SectionName*> opened_;  // oldest first; the last is the current panel
};

StepError usage(std::string message) { return {ExitCode::Usage, std::move(message)}; }
StepError refused(std::string message) { return {ExitCode::Refused, std::move(message)}; }

std::string panelName(const SectionName& section) { return "the " + std::string(section.name) + " panel"; }

std::optional<StepError> StepRunner::findDialog(Target target, const SectionName* section, DialogRef& dialog) const {
  switch (target) {
    case Target::Options:
      dialog = {optionsWindow(), "options", kOptionsWindowTemplate};
      if (dialog.window == nullptr) return usage("the options window is not open (`open` opens it again)");
      return std::nullopt;
    case Target::Section:
      dialog = {panelOf(*section), section->name, section->templateId};
      if (dialog.window == nullptr) return usage(panelName(*section) + " is not open (`press " + section->name + "`)");
      return std::nullopt;
    case Target::Current:
      if (opened_.empty()) return usage("no panel is open: press a section first");
      return findDialog(Target::Section, opened_.back(), dialog);
  }
  return usage("no such dialog");
}

std::optional<StepError> StepRunner::findControl(const ControlRef& ref, DialogRef& dialog, int& id) const {
  if (auto error = findDialog(ref.target, ref.section, dialog)) return error;
  const std::string where = dialog.name == "options" ? "the options window" : "the " + dialog.name + " panel";
  if (ref.byId) {
    if (!hl::controlInfo(dialog.window, ref.id).exists)
      return usage(where + " has no control " + std::to_string(ref.id) + " (`show` lists its controls)");
    id = ref.id;
    return std::nullopt;
  }
  // By caption: the buttons, check boxes and radio buttons whose caption it is.
  const DialogSnapshot snapshot = snapshotDialog(dialog.window, dialog.name, dialog.templateId);
  std::vector<int> matches;
  for (const ControlSnapshot& c : snapshot.controls) {
    const bool clickable =
        c.kind == ControlKind::Button || c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton;
    if (clickable && c.id >= 0 && lowered(trimmed(c.text)) == lowered(trimmed(ref.caption))) matches.push_back(c.id);
  }
  if (matches.empty())
    return usage(where + " has no button, check box or radio button captioned \"" + ref.caption + "\"");
  if (matches.size() > 1) {
    std::string ids;
    for (int m : matches) ids += (ids.empty() ? "" : ", ") + std::to_string(m);
    return usage("\"" + ref.caption + "\" is the caption of controls " + ids + " of " + where + "; name one by its id");
  }
  id = matches.front();
  return std::nullopt;
}

std::vector<DialogRef> StepRunner::openPanels() const {
  std::vector<DialogRef> panels;
  for (const SectionName& s : sectionNames())
    if (platform::Window panel = panelOf(s)) panels.push_back({panel, s.name, s.templateId});
  return panels;
}

void StepRunner::notePanels(StepReport& report) {
  std::vector<const SectionName*> still;
  for (const SectionName* s : opened_) {
    if (panelOf(*s) != nullptr) still.push_back(s);
    else report.notes.push_back(panelName(*s) + " closed");
  }
  opened_ = std::move(still);
  // Panels that opened otherwise than by a press of this run (none should).
  for (const SectionName& s : sectionNames())
    if (panelOf(s) != nullptr && std::find(opened_.begin(), opened_.end(), &s) == opened_.end()) {
      opened_.push_back(&s);
      report.notes.push_back(panelName(s) + " opened");
    }
}

std::optional<StepError> StepRunner::press(const Step& step, StepReport& report) {
  const SectionName& section = *step.section;
  platform::Window window = optionsWindow();
  if (window == nullptr) return usage("the options window is not open (`open` opens it again)");
  const bool wasOpen = panelOf(section) != nullptr;
  const hl::ControlInfo button = hl::controlInfo(window, section.buttonId);
  if (button.exists && button.visible && button.enabled) {
    hl::clickButton(window, section.buttonId);
  } else {
    // The window hides most section buttons but still handles their
    // command, as when it reaches the window by another path.
    report.notes.push_back("(the " + std::string(section.name) +
                           " button is hidden: its command is sent to the window)");
    platform::sendMessage(window, platform::WM_COMMAND,
                          platform::makeWParam(static_cast<unsigned>(section.buttonId), platform::BN_CLICKED),
                          reinterpret_cast<std::intptr_t>(platform::dialogItem(window, section.buttonId)));
  }
  const bool isOpen = panelOf(section) != nullptr;
  notePanels(report);
  if (!wasOpen && !isOpen) return refused(panelName(section) + " did not open");
  if (wasOpen && isOpen) return refused(panelName(section) + " did not close");
  if (isOpen) {
    // The panel pressed last is the one the following steps act on.
    std::erase(opened_, &section);
    opened_.push_back(&section);
  }
  return std::nullopt;
}

std::optional<StepError> StepRunner::closeBox(const Step& step, StepReport& report) {
  DialogRef dialog;
  if (auto error = findDialog(step.target, step.section, dialog)) return error;
  hl::closeDialog(dialog.window);
  notePanels(report);
  if (dialog.name == "options") {
    if (optionsWindow() == nullptr) report.notes.push_back("the options window closed");
    else report.notes.push_back("the options window is still open");
  } else if (hl::windowInfo(dialog.window).exists) {
    report.notes.push_back("the " + dialog.name + " panel is still open");
  }
  return std::nullopt;
}

std::optional<StepError> StepRunner::open(const Step& step, StepReport& report) {
  const std::int32_t result = session_.control(step.number, 0, nullptr);
  report.notes.push_back("AcqControl(" + std::to_string(step.number) + ", 0) = " + std::to_string(result));
  notePanels(report);
  if (optionsWindow() == nullptr) return refused("the options window did not open");
  return std::nullopt;
}

std::optional<StepError> StepRunner::set(const Step& step, StepReport& report) {
  const std::int32_t result = writeProperty(session_, step.value, step.real, step.acquisition);
  report.notes.push_back("AcqControl set " + step.value + (step.acquisition ? " (acquisition)" : "") + ": " +
                         (result == 0 ? "ok" : "refused (" + std::to_string(result) + ")"));
  notePanels(report);
  if (result != 0) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", step.real);
    return refused("the driver refused " + step.value + " " + value);
  }
  return std::nullopt;
}

std::optional<StepError> StepRunner::show(const Step& step, StepReport& report) {
  DialogRef dialog;
  if (auto error = findDialog(step.target, step.section, dialog)) return error;
  report.shown = snapshotDialog(dialog.window, dialog.name, dialog.templateId);
  return std::nullopt;
}

// The steps that act on one control as a user does.
std::optional<StepError> StepRunner::act(const Step& step, StepReport& report) {
  DialogRef dialog;
  int id = 0;
  if (auto error = findControl(step.control, dialog, id)) return error;
  const hl::ControlInfo control = hl::controlInfo(dialog.window, id);
  const std::string name = "control " + std::to_string(id);
  const auto wrongKind = [&](const char* wanted) {
    return usage(name + " is a " + std::string(kindName(control.kind)) + "; `" + step.text.substr(0, step.text.find(' ')) +
                 "` takes " + wanted);
  };
  switch (step.kind) {
    case StepKind::Click:
      if (control.kind != ControlKind::Button && control.kind != ControlKind::CheckBox &&
          control.kind != ControlKind::RadioButton)
        return wrongKind("a push button, check box or radio button");
      break;
    case StepKind::Type:
      if (control.kind == ControlKind::ComboBox &&
          (control.style & platform::CBS_TYPEMASK) == platform::CBS_DROPDOWNLIST)
        return usage(name + " is a drop-down list: nothing can be typed into it; `select` an item");
      if (control.kind != ControlKind::Edit && control.kind != ControlKind::ComboBox)
        return wrongKind("an edit or a typed combo");
      break;
    case StepKind::Focus:
      if (control.kind != ControlKind::Edit) return wrongKind("an edit");
      break;
    case StepKind::Move:
      if (control.kind != ControlKind::Trackbar) return wrongKind("a trackbar");
      break;
    case StepKind::Spin:
      if (control.kind != ControlKind::UpDown) return wrongKind("an up-down control");
      break;
    case StepKind::Select:
      if (control.kind != ControlKind::ComboBox) return wrongKind("a combo");
      break;
    default: break;
  }
  // A user cannot reach a control that is disabled or hidden.
  if (!control.enabled || !control.visible)
    return refused(name + " is " + (!control.visible ? "hidden" : "disabled") + ": a user cannot reach it");

  switch (step.kind) {
    case StepKind::Click: hl::clickButton(dialog.window, id); break;
    case StepKind::Focus: hl::focusEdit(dialog.window, id); break;
    case StepKind::Type:
      if (control.kind == ControlKind::ComboBox) hl::typeComboText(dialog.window, id, step.value.c_str());
      else hl::typeText(dialog.window, id, step.value.c_str());
      if ((control.style & platform::ES_READONLY) != 0 && control.kind == ControlKind::Edit)
        report.notes.push_back(name + " is read-only: it refused the keystrokes");
      else if ((control.style & platform::ES_NUMBER) != 0 && control.kind == ControlKind::Edit &&
               !std::all_of(step.value.begin(), step.value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        report.notes.push_back(name + " takes digits only: it refused the others");
      break;
    case StepKind::Move: {
      const int low = std::min(control.rangeMin, control.rangeMax);
      const int high = std::max(control.rangeMin, control.rangeMax);
      if (step.number < low || step.number > high)
        report.notes.push_back("position " + std::to_string(step.number) + " is outside the range " +
                               std::to_string(control.rangeMin) + ".." + std::to_string(control.rangeMax) +
                               ": the trackbar stops at its end");
      hl::moveTrackbar(dialog.window, id, step.number, step.scrollCode);
      break;
    }
    case StepKind::Spin:
      hl::pressUpDown(dialog.window, id, step.up ? hl::UpDownArrow::Up : hl::UpDownArrow::Down);
      break;
    case StepKind::Select: {
      int index = step.number;
      if (step.byIndex) {
        if (index < 0 || static_cast<std::size_t>(index) >= control.items.size())
          return usage(name + " has " + std::to_string(control.items.size()) + " items" +
                       (control.items.empty() ? "" : " (0 to " + std::to_string(control.items.size() - 1) + ")"));
      } else {
        auto found = std::find(control.items.begin(), control.items.end(), step.value);
        if (found == control.items.end())
          found = std::find_if(control.items.begin(), control.items.end(),
                               [&](const std::string& item) { return lowered(item) == lowered(step.value); });
        if (found == control.items.end()) {
          std::string items;
          for (const auto& item : control.items) items += (items.empty() ? "\"" : ", \"") + item + "\"";
          return usage(name + " has no item \"" + step.value + "\"; its items: " + (items.empty() ? "none" : items));
        }
        index = static_cast<int>(found - control.items.begin());
      }
      hl::selectComboItem(dialog.window, id, index);
      break;
    }
    default: break;
  }
  notePanels(report);
  return std::nullopt;
}

std::optional<StepError> StepRunner::run(const Step& step, StepReport& report) {
  switch (step.kind) {
    case StepKind::Press: return press(step, report);
    case StepKind::Close: return closeBox(step, report);
    case StepKind::Open: return open(step, report);
    case StepKind::Set: return set(step, report);
    case StepKind::Show: return show(step, report);
    case StepKind::Answer:
      hl::queueMessageBoxAnswer(step.number);
      report.notes.push_back(std::string("the next message box is answered ") + answerName(step.number));
      return std::nullopt;
    case StepKind::OpenFile:
      if (step.value == "cancel") hl::queueOpenFileAnswer(std::nullopt);
      else hl::queueOpenFileAnswer(step.value);
      report.notes.push_back("the next file-open dialog answers " +
                             (step.value == "cancel" ? std::string("Cancel") : step.value));
      return std::nullopt;
    case StepKind::Wait:
      session_.pump(step.real);
      notePanels(report);
      return std::nullopt;
    default: return act(step, report);
  }
}

} // namespace

bool runOptionsJob(HostSession& session, const OptionsJobOptions& options, const CaptureOptions& capture) {
  Outcome& outcome = session.outcome();
  std::vector<Step> steps;
  if (auto problem = loadSteps({options.scriptPath, options.steps}, steps))
    return problem->fileFailed ? outcome.fileFailed(problem->message) : outcome.badInput(problem->message);

  // Message boxes are answered by the platform and reported with their step.
  hl::setMessageBoxObserver({});
  hl::setDefaultMessageBoxAnswer(answerId(options.answer));
  // Only the calls are of interest, not every frame delivered.
  vzsim::setJournalFrames(false);

  if (!selectPreviewMode(session, capture) || !session.openDisplay()) return false;
  const std::int32_t opened = session.control(ACQCMD_OPTIONS_WINDOW, 0, nullptr);
  if (optionsWindow() == nullptr)
    return outcome.refused("the options window did not open (command 21 returned " + std::to_string(opened) + ")");
  if (!options.json) std::printf("== Options window open (AcqControl(21, 0) = %d)\n", opened);

  StepRunner runner(session, options);
  nlohmann::json stepsJson = nlohmann::json::array();
  int failedStep = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    StepReport report;
    report.number = static_cast<int>(i) + 1;
    report.step = &steps[i];
    const LogMark mark = markLogs();
    const auto error = runner.run(steps[i], report);
    collectSince(mark, options.allCalls, report);
    if (error) {
      report.failure = error->code;
      report.error = error->message;
    }
    if (options.json) {
      stepsJson.push_back(reportJson(report, options.debugLines));
    } else {
      std::fputs(formatReport(report, options.debugLines).c_str(), stdout);
      std::fflush(stdout);
    }
    if (error) {
      failedStep = report.number;
      const std::string what = "step " + std::to_string(report.number) + " (" + steps[i].origin + ": " +
                               steps[i].text + "): " + error->message;
      if (error->code == ExitCode::Usage) outcome.badInput(what);
      else outcome.refused(what);
      break;
    }
  }

  nlohmann::json panelsJson = nlohmann::json::array();
  for (const auto& panel : runner.openPanels()) {
    const DialogSnapshot snapshot = snapshotDialog(panel.window, panel.name, panel.templateId);
    if (options.json) panelsJson.push_back(toJson(snapshot));
    else std::printf("\n%s", formatTable(snapshot).c_str());
  }
  if (options.json) {
    const nlohmann::json document{{"steps", std::move(stepsJson)},
                                  {"panels", std::move(panelsJson)},
                                  {"optionsWindowOpen", optionsWindow() != nullptr},
                                  {"failedStep", failedStep == 0 ? nlohmann::json() : nlohmann::json(failedStep)},
                                  {"exitCode", outcome.exitCode()}};
    std::printf("%s\n", document.dump(2).c_str());
  } else if (runner.openPanels().empty()) {
    std::printf("\nNo panel is open.\n");
  }
  std::fflush(stdout);
  return failedStep == 0;
}

} // namespace host
