// `varnex-host options`: opens the driver's options window over the live
// preview and plays steps in it as a user would (see panel_steps.h), then
// reports what each step did to the camera and what the panels show.
#pragma once

#include "host_session.h"

#include <string>
#include <vector>

namespace host {

struct OptionsJobOptions {
  std::vector<std::string> steps;  // --step, in order
  std::string scriptPath;          // --script
  bool json = false;               // one JSON document on stdout instead of text
  std::string answer = "ok";       // the answer to message boxes no step answers
  bool debugLines = false;         // report the driver's debug lines of each step
  bool allCalls = false;           // report every SDK call, not only those that change the camera
};

struct CaptureOptions;

// Runs the steps; a step that fails stops them and decides the exit status
// through the session's outcome. The open panels are reported either way.
bool runOptionsJob(HostSession& session, const OptionsJobOptions& options, const CaptureOptions& capture);

} // namespace host
