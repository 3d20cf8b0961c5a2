#include "file_jobs.h"

#include "pictures.h"
#include "platform/headless_control.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace host {
namespace {

// A timer of the host's own, beside the driver's time-lapse timer, that marks
// each second of the wait between two images.
constexpr std::uintptr_t kWaitTimer = 0x5701;
// Images of the running series not yet saved; the callback has no room for
// a context of its own.
int imagesLeft = 0;
bool waiting = false;

// Runs on the host's thread, from the driver's message loop inside
// AcqTimeLapse.
void waitTick(platform::Window, unsigned, std::uintptr_t, std::uint32_t) {
  if (!waiting) return;
  std::fputc('.', stderr);
  std::fflush(stderr);
}

// Runs on the host's thread, inside AcqTimeLapse and its timer.
void ACQ_CALL lapseCallback(std::int32_t fileNumber, std::int32_t phase, std::int32_t) {
  if (phase == 0) {
    if (waiting) std::fputc('\n', stderr);
    waiting = false;
    std::fprintf(stderr, "  saving image %d ...", fileNumber);
  } else {
    std::fprintf(stderr, " saved\n");
    if (--imagesLeft > 0) {
      std::fprintf(stderr, "  waiting ");
      waiting = true;
      // Restarting the timer lines its ticks up with the wait that starts now.
      platform::setTimer(nullptr, kWaitTimer, 1000, &waitTick);
    }
  }
  std::fflush(stderr);
}

bool settingsCommand(HostSession& session, const std::string& path, std::int32_t load) {
  std::vector<char> text(path.begin(), path.end());
  text.push_back('\0');
  const std::int32_t result = session.control(ACQCMD_SETTINGS_FILE, load, text.data());
  if (result != 0)
    return session.outcome().refused("the driver refused the settings file " + path + " (" + std::to_string(result) +
                                     ")");
  return true;
}

} // namespace

bool saveSettings(HostSession& session, const std::string& path) {
  // The driver does not report a file it could not write: the file must
  // exist afterwards, and an existing one must have been written again.
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_time_type before = fs::exists(path, error) ? fs::last_write_time(path, error) : fs::file_time_type::min();
  if (!settingsCommand(session, path, 0)) return false;
  const bool written = fs::exists(path, error) && fs::last_write_time(path, error) != before;
  if (!written) return session.outcome().fileFailed("could not write " + path);
  session.outcome().wrote(path);
  return true;
}

bool loadSettings(HostSession& session, const std::string& path) { return settingsCommand(session, path, 1); }

bool runTimeLapse(HostSession& session, const CaptureOptions& options, const LapseOptions& lapse) {
  if (!session.selectMode(true, options.acquisitionMode) || !session.captureWholeMode()) return false;
  if (!session.snap()) return false;
  const std::string prefix = lapse.prefix.empty() ? inFolder(options.outputFolder, "lapse") : lapse.prefix;
  std::printf("  %d images, one every %u s, named %s<n>.TIF\n", lapse.count, lapse.interval, prefix.c_str());
  std::fflush(stdout);
  imagesLeft = lapse.count;
  waiting = false;
  const std::int32_t result = session.driver().timeLapse(prefix.c_str(), lapse.count, lapse.firstIndex, lapse.interval,
                                                         nullptr, &lapseCallback, 0);
  platform::killTimer(nullptr, kWaitTimer);
  const char* meaning = result == 0   ? "done"
                        : result == 3 ? "a save failed"
                        : result == 4 ? "no timer"
                        : result == 6 ? "interval below 2 s"
                        : result == 7 ? "stopped"
                                      : "refused";
  std::printf("  AcqTimeLapse: %d (%s)\n", result, meaning);
  for (int n = lapse.firstIndex; n < lapse.firstIndex + lapse.count; ++n) {
    const std::string file = prefix + std::to_string(n) + ".TIF";
    if (std::filesystem::exists(file)) session.outcome().wrote(file);
  }
  if (result == 3) return session.outcome().fileFailed("the driver could not write a time-lapse file");
  if (result != 0)
    return session.outcome().refused("AcqTimeLapse returned " + std::to_string(result) + " (" + meaning + ")");
  return true;
}

bool runPassThrough(HostSession& session, const CaptureOptions& options) {
  if (!session.selectMode(true, options.acquisitionMode) || !session.captureWholeMode()) return false;
  std::int32_t width = 0;
  std::int32_t height = 0;
  const std::int32_t opened = session.driver().softPassThruOpen(10, 10, &width, &height);
  if (opened != 0) return session.outcome().refused("AcqSoftPassThruOpen returned " + std::to_string(opened));
  std::printf("  reduced picture: %d x %d\n", width, height);
  if (!session.snap()) {
    session.driver().softPassThruClose();
    return false;
  }
  platform::headless::clearBitmapDraws();
  // A device context of the host's window; the headless platform records
  // what is drawn into it.
  auto* dc = reinterpret_cast<HDC__*>(session.previewWindow());
  session.driver().softPassThru(dc);
  session.driver().softPassThruClose();
  const auto draws = platform::headless::bitmapDraws();
  if (draws.empty()) return session.outcome().refused("the pass-through drew nothing");
  const auto& draw = draws.back();
  // The bitmap's rows are padded to 4 bytes; the picture is the reduced width.
  const auto rowBytes = static_cast<std::size_t>(draw.header.width);
  if (width <= 0 || static_cast<std::size_t>(width) > rowBytes)
    return session.outcome().refused("the pass-through reported a width of " + std::to_string(width) +
                                     " for rows of " + std::to_string(rowBytes) + " bytes");
  const std::string path = inFolder(options.outputFolder, "pass-through.png");
  if (!saveBottomUpPicture(draw.bits, static_cast<std::uint32_t>(width), draw.scanLines, 1, path, rowBytes))
    return session.outcome().fileFailed("could not write " + path);
  session.outcome().wrote(path);
  return true;
}

} // namespace host
