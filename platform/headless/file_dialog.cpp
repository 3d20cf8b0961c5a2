// The common file-open dialog, answered from a queue.
#include "state.h"

#include <deque>

namespace platform::headless::detail {
namespace {

struct FileDialogState {
  std::deque<std::optional<std::string>> answers;
  std::vector<OpenFileRecord> requests;
};

FileDialogState& fileDialog() {
  static FileDialogState* instance = new FileDialogState;
  return *instance;
}

std::string text(const char* s) { return s != nullptr ? s : ""; }

// "desc\0pattern\0...\0\0" as "desc|pattern|...".
std::string filterText(const char* filter) {
  std::string result;
  if (filter == nullptr) return result;
  const char* p = filter;
  while (*p != '\0') {
    if (!result.empty()) result += '|';
    while (*p != '\0') result += *p++;
    ++p;
  }
  return result;
}

} // namespace

void resetFileDialogLocked() {
  fileDialog().answers.clear();
  fileDialog().requests.clear();
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

bool getOpenFileName(const OpenFileRequest& request, char* path, std::size_t pathSize) {
  headless::OpenFileRecord record;
  record.owner = request.owner;
  record.filter = filterText(request.filter);
  record.title = text(request.title);
  record.defaultExtension = text(request.defaultExtension);
  record.initialDirectory = text(request.initialDirectory);
  record.flags = request.flags;
  std::optional<std::string> answer;
  {
    Lock lock(stateMutex());
    FileDialogState& f = fileDialog();
    f.requests.push_back(std::move(record));
    if (!f.answers.empty()) {
      answer = std::move(f.answers.front());
      f.answers.pop_front();
    }
  }
  if (!answer || path == nullptr || pathSize == 0) return false;
  copyTerminated(*answer, path, pathSize);
  return true;
}

} // namespace platform

namespace platform::headless {

using namespace detail;

void queueOpenFileAnswer(std::optional<std::string> path) {
  Lock lock(stateMutex());
  fileDialog().answers.push_back(std::move(path));
}

std::vector<OpenFileRecord> openFileRequests() {
  Lock lock(stateMutex());
  return fileDialog().requests;
}

} // namespace platform::headless
