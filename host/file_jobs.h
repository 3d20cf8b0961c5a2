// Jobs that write or read files through the driver: settings, time-lapse
// series and the reduced grey pass-through picture.
#pragma once

#include "capture_jobs.h"
#include "host_session.h"

#include <string>
#include <vector>

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
// AcqTimeLapse with a progress line per image; returns the files written.
std::vector<std::string> runTimeLapse(HostSession& session, const CaptureOptions& options,
                                      const LapseOptions& lapse);
// The software pass-through: a snapshot reduced to grey, drawn and saved.
std::vector<std::string> runPassThrough(HostSession& session, const CaptureOptions& options);

} // namespace host
