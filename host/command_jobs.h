// Jobs that each run one driver command: reading and setting properties,
// raw AcqControl calls and the one-shot auto exposure and white balance.
// Each reports a refusal through the session's outcome and returns whether
// the driver did what was asked.
#pragma once

#include "command_line.h"
#include "host_session.h"

namespace host {

// `get` and (with `set`) `set`: the property named in the options.
bool runProperty(HostSession& session, const Options& options, bool set);
// Sets a property (one of kPropertyNames) as a host does through AcqControl
// and returns the driver's result (0 success). The colour gains ignore
// `acquisition`: the driver sets the preview and acquisition gains together.
std::int32_t writeProperty(HostSession& session, const std::string& name, double value, bool acquisition);
// A raw AcqControl call; -1 and 6 (and 1 from a snapshot start) are refusals.
bool runRawControl(HostSession& session, const Options& options);

// One-shot auto exposure over a region of the preview image; the exposure
// found becomes the preview exposure, and with `toAcquisition` also the
// acquisition exposure, so that captures match the preview.
bool runAutoExposure(HostSession& session, const AcqRect& region, bool toAcquisition);
// One-shot white balance over a region; the gains found are set as both the
// preview and the acquisition gains.
bool runWhiteBalance(HostSession& session, const AcqRect& region);

// The region of the command line, or the given default.
AcqRect regionOf(const Options& options, const AcqRect& fallback);

} // namespace host
