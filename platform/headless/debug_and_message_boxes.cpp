// Debug output lines and message boxes with scripted answers.
#include "state.h"

#include <cstring>
#include <deque>

namespace platform::headless::detail {
namespace {

using DebugEcho = std::function<void(const std::string&)>;
using BoxObserver = std::function<void(const MessageBoxRecord&)>;

struct Diagnostics {
  std::vector<std::string> debugLines;
  // Shared so that a writer can call the echo without the lock while
  // another thread replaces it.
  std::shared_ptr<const DebugEcho> echo;
  std::vector<MessageBoxRecord> boxes;
  std::deque<int> answers;
  int defaultAnswer = IDOK;
  std::shared_ptr<const BoxObserver> observer;
};

Diagnostics& diagnostics() {
  static Diagnostics* instance = new Diagnostics;
  return *instance;
}

} // namespace

void resetDiagnosticsLocked() {
  Diagnostics& d = diagnostics();
  d.debugLines.clear();
  d.echo.reset();
  d.boxes.clear();
  d.answers.clear();
  d.defaultAnswer = IDOK;
  d.observer.reset();
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

void debugOutput(const char* text) {
  if (text == nullptr) return;
  std::size_t length = std::strlen(text);
  // One record per call; the line break that ends most messages is dropped.
  if (length > 0 && text[length - 1] == '\n') {
    --length;
    if (length > 0 && text[length - 1] == '\r') --length;
  }
  std::string line(text, length);
  std::shared_ptr<const headless::detail::DebugEcho> echo;
  {
    Lock lock(stateMutex());
    diagnostics().debugLines.push_back(line);
    echo = diagnostics().echo;
  }
  if (echo) (*echo)(line);
}

int messageBox(Window owner, const char* text, const char* caption, unsigned type) {
  headless::MessageBoxRecord record;
  record.owner = owner;
  record.text = text != nullptr ? text : "";
  record.caption = caption != nullptr ? caption : "Error";  // Win32's caption for none
  record.type = type;
  std::shared_ptr<const headless::detail::BoxObserver> observer;
  {
    Lock lock(stateMutex());
    observer = diagnostics().observer;
  }
  if (observer) (*observer)(record);
  {
    Lock lock(stateMutex());
    Diagnostics& d = diagnostics();
    if (!d.answers.empty()) {
      record.answer = d.answers.front();
      d.answers.pop_front();
    } else {
      record.answer = d.defaultAnswer;
    }
    d.boxes.push_back(record);
  }
  return record.answer;
}

} // namespace platform

namespace platform::headless {

using namespace detail;

std::vector<std::string> debugLines() {
  Lock lock(stateMutex());
  return diagnostics().debugLines;
}

void clearDebugLines() {
  Lock lock(stateMutex());
  diagnostics().debugLines.clear();
}

void setDebugEcho(std::function<void(const std::string&)> echo) {
  auto shared = echo ? std::make_shared<const DebugEcho>(std::move(echo)) : nullptr;
  Lock lock(stateMutex());
  diagnostics().echo = std::move(shared);
}

std::vector<MessageBoxRecord> messageBoxes() {
  Lock lock(stateMutex());
  return diagnostics().boxes;
}

void clearMessageBoxes() {
  Lock lock(stateMutex());
  diagnostics().boxes.clear();
}

void queueMessageBoxAnswer(int answer) {
  Lock lock(stateMutex());
  diagnostics().answers.push_back(answer);
}

void setDefaultMessageBoxAnswer(int answer) {
  Lock lock(stateMutex());
  diagnostics().defaultAnswer = answer;
}

void setMessageBoxObserver(std::function<void(const MessageBoxRecord&)> observer) {
  auto shared = observer ? std::make_shared<const BoxObserver>(std::move(observer)) : nullptr;
  Lock lock(stateMutex());
  diagnostics().observer = std::move(shared);
}

} // namespace platform::headless
