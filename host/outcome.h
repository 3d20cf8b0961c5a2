// What a run of the host program produced: the files it wrote and the first
// failure, which decides the exit status.
#pragma once

#include "exit_codes.h"

#include <string>
#include <vector>

namespace host {

class Outcome {
 public:
  // Names a file as soon as it is written ("  wrote <path>" on stdout), so
  // that a script sees every file even when a later step fails.
  void wrote(const std::string& path);

  // Each of these reports a failed step on stderr and keeps the first
  // failure's exit code. They return false, so that a step can end with
  // `return outcome.refused(...)`.
  bool refused(const std::string& what);
  bool fileFailed(const std::string& what);
  bool badInput(const std::string& what);

  bool failed() const { return code_ != ExitCode::Ok; }
  int exitCode() const { return toInt(code_); }
  const std::vector<std::string>& written() const { return written_; }

 private:
  bool fail(ExitCode code, const std::string& what);

  std::vector<std::string> written_;
  ExitCode code_ = ExitCode::Ok;
};

} // namespace host
