#include "step_report.h"

#include <array>
#include <charconv>
#include <utility>

namespace host {
namespace {

struct PropertyName {
  int id;
  const char* name;
};

constexpr std::array<PropertyName, 18> kPropertyIds{{
    {PropBrightness, "PropBrightness"},
    {PropContrast, "PropContrast"},
    {PropHue, "PropHue"},
    {PropSaturation, "PropSaturation"},
    {PropGamma, "PropGamma"},
    {PropExposure, "PropExposure"},
    {PropGain, "PropGain"},
    {PropGainRed, "PropGainRed"},
    {PropGainBlue, "PropGainBlue"},
    {PropGainGreen1, "PropGainGreen1"},
    {PropGainGreen2, "PropGainGreen2"},
    {PropCorrectionMatrix, "PropCorrectionMatrix"},
    {PropFlipping, "PropFlipping"},
    {PropColorFormat, "PropColorFormat"},
    {PropAutoExposureTarget, "PropAutoExposureTarget"},
    {PropClockSpeed, "PropClockSpeed"},
    {PropAuxSwitch1, "PropAuxSwitch1"},
    {PropAuxSwitch2, "PropAuxSwitch2"},
}};

// The SDK calls that only read or wait.
constexpr std::array<const char*, 14> kReadingCalls{
    "VarcamNumCameras",         "VarcamEnumCameras",          "VarcamGetCameraId",
    "VarcamQueryVersion",       "VarcamGetProperty",          "VarcamPropertyRange",
    "VarcamGetFormat",          "VarcamEnumAvailableFrameRates", "VarcamQueryDisplayFrameRate",
    "VarcamGetDisplayWindowHwnd", "VarcamGetStreamState",      "VarcamGetVideoImageFormat",
    "VarcamTakeVideo",          "VarcamQueryRgbPreviewPixelFormat",
};

std::string propertyName(const std::string& idText) {
  int id = -1;
  std::from_chars(idText.data(), idText.data() + idText.size(), id);
  for (const PropertyName& p : kPropertyIds)
    if (p.id == id) return std::string(p.name) + " (" + idText + ")";
  return "property " + idText;
}

bool isPropertyWrite(const vzsim::JournalEntry& call) {
  return call.function == "VarcamSetProperty" && call.args.size() == 3;
}

// The caption of a message box's owner; nothing when it has none.
std::optional<std::string> ownerTitle(platform::Window owner) {
  if (owner == nullptr) return std::nullopt;
  return platform::headless::windowInfo(owner).text;
}

} // namespace

LogMark markLogs() {
  LogMark mark;
  const auto journal = vzsim::journal();
  if (!journal.empty()) mark.journalSequence = journal.back().sequence;
  mark.messageBoxes = platform::headless::messageBoxes().size();
  mark.debugLines = platform::headless::debugLines().size();
  return mark;
}

void collectSince(const LogMark& mark, bool allCalls, StepReport& report) {
  for (auto& entry : vzsim::journal()) {
    if (entry.sequence <= mark.journalSequence || entry.function == "frame") continue;
    if (allCalls || changesCamera(entry.function)) report.calls.push_back(std::move(entry));
  }
  auto boxes = platform::headless::messageBoxes();
  for (std::size_t i = mark.messageBoxes; i < boxes.size(); ++i) report.messageBoxes.push_back(std::move(boxes[i]));
  auto lines = platform::headless::debugLines();
  for (std::size_t i = mark.debugLines; i < lines.size(); ++i) report.debugLines.push_back(std::move(lines[i]));
}

bool changesCamera(const std::string& function) {
  for (const char* reading : kReadingCalls)
    if (function == reading) return false;
  return function != "frame";
}

std::string describeCall(const vzsim::JournalEntry& call) {
  std::string text;
  if (isPropertyWrite(call)) {
    text = propertyName(call.args[0]) + " = " + call.args[1] + ", flags " + call.args[2];
  } else {
    text = call.function + "(";
    for (std::size_t i = 0; i < call.args.size(); ++i) text += (i == 0 ? "" : ", ") + call.args[i];
    text += ")";
    if (call.ok && !changesCamera(call.function)) text += " -> " + std::to_string(call.result);
  }
  if (!call.ok) text += " -> failed, error " + std::to_string(call.error);
  return text;
}

namespace {

// One line for a text that may hold line breaks.
std::string oneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

} // namespace

std::string formatReport(const StepReport& report, bool debugLines) {
  const Step& step = *report.step;
  std::string out = "== Step " + std::to_string(report.number) + " (" + step.origin + "): " + step.text + "\n";
  for (const auto& note : report.notes) out += "  " + note + "\n";
  for (const auto& call : report.calls) out += "  camera: " + describeCall(call) + "\n";
  for (const auto& box : report.messageBoxes)
  {
    const auto owner = ownerTitle(box.owner);
    out += "  message box \"" + box.caption + "\" " + (owner ? "owned by \"" + *owner + "\"" : "without owner") +
           ": \"" + oneLine(box.text) + "\" -> " + answerName(box.answer) + "\n";
  }
  if (debugLines)
    for (const auto& line : report.debugLines) out += "  debug: " + oneLine(line) + "\n";
  if (report.shown) {
    std::string table = formatTable(*report.shown);
    // Indented under its step.
    for (std::size_t at = 0; at < table.size();) {
      const std::size_t end = table.find('\n', at);
      out += "  " + table.substr(at, end - at + 1);
      at = end + 1;
    }
  }
  if (report.failure != ExitCode::Ok) out += "  failed: " + report.error + "\n";
  return out;
}

nlohmann::json reportJson(const StepReport& report, bool debugLines) {
  const Step& step = *report.step;
  nlohmann::json calls = nlohmann::json::array();
  for (const auto& call : report.calls) {
    nlohmann::json j{{"function", call.function}, {"args", call.args}, {"ok", call.ok},
                     {"result", call.result},     {"text", describeCall(call)}};
    if (!call.ok) j["error"] = call.error;
    if (isPropertyWrite(call)) {
      int id = -1;
      std::from_chars(call.args[0].data(), call.args[0].data() + call.args[0].size(), id);
      double value = 0;
      std::from_chars(call.args[1].data(), call.args[1].data() + call.args[1].size(), value);
      j["property"] = id;
      j["value"] = value;
    }
    calls.push_back(std::move(j));
  }
  nlohmann::json boxes = nlohmann::json::array();
  for (const auto& box : report.messageBoxes)
    boxes.push_back({{"caption", box.caption},
                     {"text", box.text},
                     {"owner", ownerTitle(box.owner) ? nlohmann::json(*ownerTitle(box.owner)) : nlohmann::json()},
                     {"type", box.type},
                     {"answer", answerName(box.answer)}});
  nlohmann::json j{{"number", report.number}, {"origin", step.origin},       {"text", step.text},
                   {"ok", report.failure == ExitCode::Ok}, {"notes", report.notes}, {"camera", std::move(calls)},
                   {"messageBoxes", std::move(boxes)}};
  if (debugLines) j["debugLines"] = report.debugLines;
  if (report.shown) j["shown"] = toJson(*report.shown);
  if (report.failure != ExitCode::Ok) {
    j["error"] = report.error;
    j["exitCode"] = toInt(report.failure);
  }
  return j;
}

} // namespace host
