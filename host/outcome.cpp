#include "outcome.h"

#include <cstdio>

namespace host {

void Outcome::wrote(const std::string& path) {
  written_.push_back(path);
  std::printf("  wrote %s\n", path.c_str());
  std::fflush(stdout);
}

bool Outcome::refused(const std::string& what) { return fail(ExitCode::Refused, what); }

bool Outcome::fileFailed(const std::string& what) { return fail(ExitCode::FileFailed, what); }

bool Outcome::badInput(const std::string& what) { return fail(ExitCode::Usage, what); }

bool Outcome::fail(ExitCode code, const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "varnex-host: %s\n", what.c_str());
  if (code_ == ExitCode::Ok) code_ = code;
  return false;
}

} // namespace host
