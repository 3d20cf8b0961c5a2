// What a host learns about the camera through the driver.
#pragma once

#include "host_session.h"

namespace host {

// Returns false (and reports it) when the camera information cannot be read.
bool printCameraSummary(HostSession& session);
void printModes(HostSession& session);
void printProperties(HostSession& session);

} // namespace host
