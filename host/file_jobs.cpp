#include "file_jobs.h"

#include "pictures.h"
#include "platform/headless_control.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace host {
namespace {

void ACQ_CALL lapseCallback(std::int32_t fileNumber, std::int32_t phase, std::int32_t) {
  if (phase == 0)
    std::printf("  saving image %d ...", fileNumber);
  else
    std::printf(" saved\n");
  std::fflush(stdout);
}

} // namespace

bool saveSettings(HostSession& session, const std::string& path) {
  std::vector<char> text(path.begin(), path.end());
  text.push_back('\0');
  return session.control(ACQCMD_SETTINGS_FILE, 0, text.data()) == 0;
}

bool loadSettings(HostSession& session, const std::string& path) {
  std::vector<char> text(path.begin(), path.end());
  text.push_back('\0');
  return session.control(ACQCMD_SETTINGS_FILE, 1, text.data()) == 0;
}

std::vector<std::string> runTimeLapse(HostSession& session, const CaptureOptions& options, const LapseOptions& lapse) {
  std::vector<std::string> written;
  CaptureOptions capture = options;
  if (!session.selectMode(true, capture.acquisitionMode) || !session.captureWholeMode()) {
    std::printf("  could not prepare the capture\n");
    return written;
  }
  if (!session.snap()) return written;
  const std::string prefix = lapse.prefix.empty() ? options.outputFolder + "/lapse" : lapse.prefix;
  std::printf("  %d images, one every %u s, named %s<n>.TIF\n", lapse.count, lapse.interval, prefix.c_str());
  const std::int32_t result = session.driver().timeLapse(prefix.c_str(), lapse.count, lapse.firstIndex, lapse.interval,
                                                         nullptr, &lapseCallback, 0);
  const char* meaning = result == 0   ? "done"
                        : result == 3 ? "a save failed"
                        : result == 4 ? "no timer"
                        : result == 6 ? "interval below 2 s"
                        : result == 7 ? "stopped"
                                      : "refused";
  std::printf("  AcqTimeLapse: %d (%s)\n", result, meaning);
  for (int n = lapse.firstIndex; n < lapse.firstIndex + lapse.count; ++n) {
    const std::string file = prefix + std::to_string(n) + ".TIF";
    if (std::filesystem::exists(file)) written.push_back(file);
  }
  return written;
}

std::vector<std::string> runPassThrough(HostSession& session, const CaptureOptions& options) {
  std::vector<std::string> written;
  if (!session.selectMode(true, options.acquisitionMode) || !session.captureWholeMode()) return written;
  std::int32_t width = 0;
  std::int32_t height = 0;
  const std::int32_t opened = session.driver().softPassThruOpen(10, 10, &width, &height);
  if (opened != 0) {
    std::printf("  AcqSoftPassThruOpen: %d\n", opened);
    return written;
  }
  std::printf("  reduced picture: %d x %d\n", width, height);
  if (!session.snap()) return written;
  // A device context of the host's window; the headless platform records
  // what is drawn into it.
  auto* dc = reinterpret_cast<HDC__*>(session.previewWindow());
  session.driver().softPassThru(dc);
  session.driver().softPassThruClose();
  const auto draws = platform::headless::bitmapDraws();
  if (draws.empty()) {
    std::printf("  nothing was drawn\n");
    return written;
  }
  const auto& draw = draws.back();
  const auto rowBytes = static_cast<std::uint32_t>(draw.header.width);
  const std::string path = options.outputFolder + "/pass-through.png";
  if (saveBottomUpPicture(draw.bits, rowBytes, draw.scanLines, 1, path)) written.push_back(path);
  return written;
}

} // namespace host
