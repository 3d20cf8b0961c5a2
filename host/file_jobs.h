// Jobs that write or read files through the driver: settings, time-lapse
// series and the reduced grey pass-through picture. Each names the files it
// writes, reports failures through the session's outcome and returns whether
// all its steps succeeded.
#pragma once

#include "capture_jobs.h"
#include "host_session.h"

#include <string>

namespace host {

// Command 54: saves (or loads) the driver's whole setup.
bool saveSettings(HostSession& session, const std::string& path);
bool loadSettings(HostSession& session, const std::string& path);

struct LapseOptions {
  std::string prefix;      // default: <output folder>/lapse
  int count = 3;
  int firstIndex = 1;
  unsigned interval = 2;   // seconds
};
// AcqTimeLapse, with each image's progress and the wait for the next one
// shown on stderr.
bool runTimeLapse(HostSession& session, const CaptureOptions& options, const LapseOptions& lapse);
// The software pass-through: a snapshot reduced to grey, drawn and saved as
// pass-through.png at the reduced picture's own width.
bool runPassThrough(HostSession& session, const CaptureOptions& options);

} // namespace host
