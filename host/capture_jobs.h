// The capture jobs of the host program.
#pragma once

#include "host_session.h"

#include <string>

namespace host {

struct CaptureOptions {
  std::string outputFolder = "varnex-output";
  int acquisitionMode = 0;
  int previewMode = -1;        // -1: keep the driver's choice
  double previewSeconds = 2.0;
  int sumFrames = 4;
  int sumDivisor = 2;
  bool grey = false;
  std::string captureName = "capture";  // file name of captures, without extension
};

// Live preview in the host's preview window for a while; saves the last
// displayed frame. Returns the picture's path, or "" on failure.
std::string runPreview(HostSession& session, const CaptureOptions& options);
// A full capture: mode, capture rectangle, snap and poll, AcqGetImage saved
// as TIFF and PNG. Returns the paths written.
std::vector<std::string> runCapture(HostSession& session, const CaptureOptions& options);
// AcqAdd: several frames summed and divided, with a progress display.
std::vector<std::string> runSum(HostSession& session, const CaptureOptions& options);

} // namespace host
