// Jobs that go through the driver's options window, as a user would: dark
// frame and background correction, and the bitmap overlay.
#pragma once

#include "capture_jobs.h"
#include "host_session.h"

#include <string>

namespace host {

// Grabs a dark frame (lens covered) and a background (flat field), switches
// both corrections on and saves the live preview before and after.
bool runCorrections(HostSession& session, const CaptureOptions& options);
// Loads an overlay bitmap (the given one, or a demonstration one and its
// alpha bitmap written to the output folder) with constant alpha, and saves
// a capture and a preview with the overlay blended in.
bool runOverlay(HostSession& session, const CaptureOptions& options, const std::string& bitmap);

} // namespace host
