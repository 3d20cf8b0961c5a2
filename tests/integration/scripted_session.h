// A host's whole session with the driver, scripted through the exports
// against the simulated camera: open, live preview, a snapshot in an
// acquisition mode and one in the preview format, a dark frame and a
// background with both corrections switched on and off, one-shot auto
// exposure and white balance, a settings file saved and loaded, a
// time-lapse series of two images, and close. The script acts as a user
// who looks at the screen: it switches a correction off only when its box
// shows it on.
//
// What the driver did on the way is recorded step by step: each export's
// result, the message boxes with the number of SDK calls made before each,
// and the journal position at which each step began. Runs on the test's
// (the host's) thread, in virtual time.
#pragma once

#include "host/driver_library.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sweep {

// What an image export's result is recorded as when it gave an image.
inline constexpr std::int64_t kAnImage = 1000000;

// One export's result, or something the host saw, under the step it
// belongs to.
struct StepResult {
  std::string step;
  std::string what;
  std::int64_t value = 0;
  bool operator==(const StepResult&) const = default;
};

struct ShownBox {
  std::string step;
  std::string text;
  std::string caption;
  std::size_t callsBefore = 0;  // SDK calls journalled when it was shown
};

struct SessionRecord {
  std::vector<StepResult> results;
  std::vector<ShownBox> boxes;
  std::vector<std::pair<std::string, std::size_t>> stepStarts;  // step, first SDK call index
  std::size_t callbacksBeforeClose = 0;  // frame callbacks registered just before AcqClose
  std::vector<std::uint8_t> acquisitionImage;  // the snapshot in the acquisition mode
  // Which step the n-th SDK call (0-based) was made in.
  std::string stepOfCall(std::size_t call) const;
};

class ScriptedSession {
 public:
  // `acq` is a loaded driver library; files go into `folder`.
  ScriptedSession(host::DriverLibrary& acq, const vxtest::ScratchFolder& folder) : acq_(acq), folder_(folder) {}

  // Runs the whole script; the driver is closed at its end.
  void run();
  const SessionRecord& record() const { return record_; }

  // Opens the driver again and takes a snapshot in the acquisition mode of
  // the script; returns the image's bytes (empty when none came) and
  // closes. Every result is recorded under the step "reopen".
  std::vector<std::uint8_t> reopenAndCapture();

 private:
  void begin(const std::string& step);
  std::int64_t note(const std::string& what, std::int64_t value);
  std::int32_t control(const char* what, std::int32_t code, std::int32_t parameter, void* data);

  void open();
  void preview();
  std::vector<std::uint8_t> acquisitionSnapshot();
  void previewFormatSnapshot();
  void corrections();
  void oneShots();
  void settingsFile();
  void timeLapse();
  void close();

  host::DriverLibrary& acq_;
  const vxtest::ScratchFolder& folder_;
  SessionRecord record_;
  std::string step_;
  struct HWND__* hostWindow_ = nullptr;
  struct HWND__* displayWindow_ = nullptr;
};

// SDK calls made so far (frame deliveries aside), by function.
std::map<std::string, int> callCounts();
std::size_t sdkCallCount();

} // namespace sweep
