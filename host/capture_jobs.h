// The capture jobs of the host program. Each names the files it writes and
// reports a refused or failed step through the session's outcome; each
// returns whether all its steps succeeded.
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

// "folder/name", or the name alone for an empty folder.
std::string inFolder(const std::string& folder, const std::string& name);
// Creates the output folder, reporting a failure.
bool prepareOutputFolder(HostSession& session, const CaptureOptions& options);
// Selects the preview mode when one was asked for.
bool selectPreviewMode(HostSession& session, const CaptureOptions& options);
// Live preview in the host's preview window for a while; saves the last
// displayed frame as preview.png.
bool runPreview(HostSession& session, const CaptureOptions& options);
// A full capture: mode, capture rectangle, snap and poll, AcqGetImage saved
// as TIFF and PNG.
bool runCapture(HostSession& session, const CaptureOptions& options);
// AcqAdd: several frames summed and divided, with a progress bar on stderr.
bool runSum(HostSession& session, const CaptureOptions& options);

} // namespace host
