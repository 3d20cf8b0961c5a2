#include "capture_jobs.h"

#include "pictures.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"

#include <algorithm>
#include <cstdio>

namespace host {
namespace {

// AcqAdd's progress function, run on the host's thread inside AcqAdd: a bar
// on one line of stderr, so that it shows while stdout goes to a file.
std::int32_t ACQ_CALL progress(std::int32_t code, std::int32_t value, std::int32_t total, std::int32_t) {
  static std::int32_t steps = 0;
  switch (code) {
    case 0: std::fprintf(stderr, "  summing: "); break;
    case 2: steps = total; break;
    case 4:
      if (steps > 0 && (value % std::max(1, steps / 40)) == 0) std::fprintf(stderr, "#");
      break;
    case 1: std::fprintf(stderr, " done\n"); break;
    default: break;
  }
  std::fflush(stderr);
  return 0;
}

bool prepareCapture(HostSession& session, const CaptureOptions& options) {
  if (!selectPreviewMode(session, options)) return false;
  if (!session.selectMode(true, options.acquisitionMode)) return false;
  session.control(ACQCMD_GREY_MODE, options.grey ? 1 : 0, nullptr);
  return session.captureWholeMode();
}

bool saveImage(HostSession& session, std::int32_t image, const std::string& path) {
  if (!saveHostImage(image, path)) return session.outcome().fileFailed("could not write " + path);
  session.outcome().wrote(path);
  return true;
}

} // namespace

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

bool prepareOutputFolder(HostSession& session, const CaptureOptions& options) {
  if (ensureFolder(options.outputFolder)) return true;
  return session.outcome().fileFailed("could not create the folder " + options.outputFolder);
}

bool selectPreviewMode(HostSession& session, const CaptureOptions& options) {
  return options.previewMode < 0 || session.selectMode(false, options.previewMode);
}

bool runPreview(HostSession& session, const CaptureOptions& options) {
  if (!selectPreviewMode(session, options) || !session.openDisplay()) return false;
  const auto frame = session.displayedFrameAfter(options.previewSeconds);
  const platform::Window bar = platform::headless::statusBarOf(session.previewWindow());
  if (bar != nullptr) {
    const auto info = platform::headless::windowInfo(bar);
    std::printf("  status bar:");
    for (const auto& text : info.statusTexts) std::printf(" [%s]", text.c_str());
    std::printf("\n");
  }
  if (!frame) return session.outcome().refused("no new frame was displayed");
  std::printf("  last displayed frame: %u x %u\n", frame->width, frame->height);
  const std::string path = inFolder(options.outputFolder, "preview.png");
  if (!saveBottomUpPicture(frame->pixels, frame->width, frame->height, frame->bytesPerPixel, path))
    return session.outcome().fileFailed("could not write " + path);
  session.outcome().wrote(path);
  return true;
}

bool runCapture(HostSession& session, const CaptureOptions& options) {
  if (!prepareCapture(session, options)) return false;
  const std::int32_t width = session.control(ACQCMD_IMAGE_WIDTH);
  const std::int32_t height = session.control(ACQCMD_IMAGE_HEIGHT);
  const std::int32_t depth = session.control(ACQCMD_BIT_DEPTH);
  std::printf("  image %d x %d, %d bits\n", width, height, options.grey ? 8 : depth);
  if (!session.snap()) return false;
  const std::int32_t image = session.driver().getImage(-1);
  if (image < 0) return session.outcome().refused("AcqGetImage returned " + std::to_string(image));
  bool ok = true;
  for (const char* extension : {".tif", ".png"})
    ok = saveImage(session, image, inFolder(options.outputFolder, options.captureName + extension)) && ok;
  HostImageRelease(image);
  return ok;
}

bool runSum(HostSession& session, const CaptureOptions& options) {
  if (!prepareCapture(session, options)) return false;
  // A snapshot for the first frame; the driver takes one for each further frame.
  if (!session.snap()) return false;
  AcqProgressRecord record{&progress, 0};
  if (options.sumFrames == options.sumDivisor)
    std::printf("  (with the frame count equal to the divisor the driver copies a single frame)\n");
  std::fflush(stdout);
  const std::int32_t image = session.driver().add(options.sumFrames, options.sumDivisor, &record);
  if (image < 0) return session.outcome().refused("AcqAdd returned " + std::to_string(image));
  const bool ok = saveImage(session, image, inFolder(options.outputFolder, "sum.png"));
  HostImageRelease(image);
  return ok;
}

} // namespace host
