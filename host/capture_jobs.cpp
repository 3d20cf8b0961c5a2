#include "capture_jobs.h"

#include "pictures.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <cstdio>

namespace host {
namespace {

std::string join(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

int openedCamera() {
  for (int index = 1; index <= static_cast<int>(vzsim::cameras().size()); ++index)
    if (vzsim::isOpen(index)) return index;
  return 0;
}

// AcqAdd's progress function: a bar on one line.
std::int32_t ACQ_CALL progress(std::int32_t code, std::int32_t value, std::int32_t total, std::int32_t) {
  static std::int32_t steps = 0;
  switch (code) {
    case 0: std::printf("  summing: "); break;
    case 2: steps = total; break;
    case 4:
      if (steps > 0 && (value % std::max(1, steps / 40)) == 0) std::printf("#");
      break;
    case 1: std::printf(" done\n"); break;
    default: break;
  }
  std::fflush(stdout);
  return 0;
}

bool prepareCapture(HostSession& session, const CaptureOptions& options) {
  if (options.previewMode >= 0) session.selectMode(false, options.previewMode);
  if (!session.selectMode(true, options.acquisitionMode)) {
    std::printf("  could not select acquisition mode %d\n", options.acquisitionMode);
    return false;
  }
  session.control(ACQCMD_GREY_MODE, options.grey ? 1 : 0, nullptr);
  if (!session.captureWholeMode()) {
    std::printf("  could not set the capture rectangle\n");
    return false;
  }
  return true;
}

} // namespace

std::string runPreview(HostSession& session, const CaptureOptions& options) {
  if (options.previewMode >= 0) session.selectMode(false, options.previewMode);
  if (!session.openDisplay()) {
    std::printf("  the display did not open\n");
    return "";
  }
  session.pump(options.previewSeconds);
  const platform::Window bar = platform::headless::statusBarOf(session.previewWindow());
  if (bar != nullptr) {
    const auto info = platform::headless::windowInfo(bar);
    std::printf("  status bar:");
    for (const auto& text : info.statusTexts) std::printf(" [%s]", text.c_str());
    std::printf("\n");
  }
  const auto frame = vzsim::lastDisplayedFrame(openedCamera());
  if (!frame) {
    std::printf("  no frame was displayed\n");
    return "";
  }
  const std::string path = join(options.outputFolder, "preview.png");
  if (!saveBottomUpPicture(frame->pixels, frame->width, frame->height, frame->bytesPerPixel, path)) return "";
  std::printf("  last displayed frame: %u x %u\n", frame->width, frame->height);
  return path;
}

std::vector<std::string> runCapture(HostSession& session, const CaptureOptions& options) {
  if (!prepareCapture(session, options)) return {};
  const std::int32_t width = session.control(ACQCMD_IMAGE_WIDTH);
  const std::int32_t height = session.control(ACQCMD_IMAGE_HEIGHT);
  const std::int32_t depth = session.control(ACQCMD_BIT_DEPTH);
  std::printf("  image %d x %d, %d bits\n", width, height, options.grey ? 8 : depth);
  if (!session.snap()) {
    std::printf("  the snapshot failed\n");
    return {};
  }
  const std::int32_t image = session.driver().getImage(-1);
  if (image < 0) {
    std::printf("  AcqGetImage failed with %d\n", image);
    return {};
  }
  std::vector<std::string> written;
  for (const char* extension : {".tif", ".png"}) {
    const std::string path = join(options.outputFolder, options.captureName + extension);
    if (saveHostImage(image, path)) written.push_back(path);
  }
  HostImageRelease(image);
  return written;
}

std::vector<std::string> runSum(HostSession& session, const CaptureOptions& options) {
  if (!prepareCapture(session, options)) return {};
  // A snapshot for the first frame; the driver takes one for each further frame.
  if (!session.snap()) return {};
  AcqProgressRecord record{&progress, 0};
  if (options.sumFrames == options.sumDivisor)
    std::printf("  (with the frame count equal to the divisor the driver copies a single frame)\n");
  const std::int32_t image = session.driver().add(options.sumFrames, options.sumDivisor, &record);
  if (image < 0) {
    std::printf("  AcqAdd failed with %d\n", image);
    return {};
  }
  const std::string path = join(options.outputFolder, "sum.png");
  std::vector<std::string> written;
  if (saveHostImage(image, path)) written.push_back(path);
  HostImageRelease(image);
  return written;
}

} // namespace host
