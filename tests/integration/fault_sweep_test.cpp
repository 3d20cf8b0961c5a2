// Every SDK failure at every point of a host's session: the scripted
// session (scripted_session.h) runs once to count the SDK calls of each
// function, then once more for each call of the function under test with
// that call failing. Each run must end without a crash or a sanitizer
// report, tell the user (or the host) what the failure is, leave no frame
// callback, timer or dialog behind, and leave a driver that opens again and
// captures the same frame as after a session without failures.
#include "failure_reports.h"
#include "scripted_session.h"

#include "host/driver_library.h"
#include "hostimaging/host_imaging_control.h"
#include "platform/headless_control.h"
#include "support/scratch_folder.h"
#include "support/world.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace sweep {
namespace {

namespace hl = platform::headless;

constexpr int kCamera = 1;
constexpr std::uint32_t kInjectedError = 7013;  // no SDK error has this code

struct Failure {
  std::string function;
  int callIndex = 0;  // 1-based; 0 = nothing fails
};

struct CaseOutcome {
  SessionRecord session;
  SessionRecord reopen;
  std::vector<std::uint8_t> reopenImage;
  std::vector<vzsim::JournalEntry> calls;  // the session's SDK calls
  std::size_t timersAfterClose = 0;
  std::size_t dialogsAfterClose = 0;
  std::size_t callbacksAfterClose = 0;
  bool cameraOpenAfterClose = false;
};

bool driverMapped() { return host::DriverLibrary::mapped(host::defaultDriverPath()); }

std::size_t liveDialogs() {
  std::size_t n = 0;
  for (const auto& dialog : hl::dialogsShown()) n += hl::windowInfo(dialog.dialog).exists ? 1u : 0u;
  return n;
}

std::vector<vzsim::JournalEntry> sdkCalls() {
  std::vector<vzsim::JournalEntry> calls;
  for (auto& entry : vzsim::journal())
    if (entry.function != "frame") calls.push_back(std::move(entry));
  return calls;
}

// The camera's settings as a fresh camera has them, so that a reopened
// driver reads the same values whatever the session before changed. The
// session itself leaves the chart in view (it is the scene a fresh camera
// shows, and the corrections step puts it back after the grabs).
void restoreCameraDefaults(const vzsim::CameraModel& fresh) {
  for (const auto& [property, spec] : fresh.properties)
    if (spec.present && !spec.readOnly) vzsim::setPropertyValue(kCamera, property, spec.value);
}

// One run of the session, with `failure` armed, in a world and a driver
// library of its own.
CaseOutcome runCase(const Failure& failure) {
  CaseOutcome outcome;
  EXPECT_FALSE(driverMapped()) << "the driver library is still loaded from an earlier run";
  vxtest::resetWorld();
  hl::useVirtualTime(true, 0);
  vzsim::setJournalFrames(false);
  const vzsim::CameraModel fresh = vzsim::cameras().at(0);
  vxtest::ScratchFolder folder;
  {
    host::DriverLibrary acq;
    if (!acq.load(host::defaultDriverPath())) {
      ADD_FAILURE() << acq.error();
      return outcome;
    }
    if (failure.callIndex > 0) {
      EXPECT_TRUE(vzsim::failCall(failure.function, failure.callIndex, kInjectedError));
    }
    ScriptedSession session(acq, folder);
    session.run();
    outcome.session = session.record();
    outcome.calls = sdkCalls();
    outcome.timersAfterClose = hl::activeTimers().size();
    outcome.dialogsAfterClose = liveDialogs();
    outcome.callbacksAfterClose = vzsim::registeredCallbacks(kCamera).total();
    outcome.cameraOpenAfterClose = vzsim::isOpen(kCamera);

    vzsim::clearFaults();
    restoreCameraDefaults(fresh);
    ScriptedSession again(acq, folder);
    outcome.reopenImage = again.reopenAndCapture();
    outcome.reopen = again.record();
    EXPECT_TRUE(hl::activeTimers().empty()) << "a timer outlived the second AcqClose";
    EXPECT_EQ(liveDialogs(), 0u) << "a dialog outlived the second AcqClose";
    EXPECT_FALSE(vzsim::isOpen(kCamera)) << "the camera stayed open after the second AcqClose";
    // Nothing may call into the library once it is unmapped.
    vzsim::reset();
    hl::reset();
    hostimg::reset();
  }
  EXPECT_FALSE(driverMapped()) << "the driver library stayed loaded";
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "memory leaked (see the report above)";
#endif
  return outcome;
}

std::string describe(const std::vector<StepResult>& results) {
  std::string text;
  for (const auto& r : results) text += "    " + r.step + " / " + r.what + " = " + std::to_string(r.value) + "\n";
  return text;
}

// The reference: a session in which nothing fails.
const CaseOutcome& baseline() {
  static const CaseOutcome outcome = runCase({});
  return outcome;
}

bool verbose() { return std::getenv("VX_SWEEP_VERBOSE") != nullptr; }

std::int64_t resultOf(const SessionRecord& record, const std::string& what) {
  for (const auto& r : record.results)
    if (r.what == what) return r.value;
  return -12345;
}

std::string callText(const vzsim::JournalEntry& call) {
  std::string text = call.function + "(";
  for (std::size_t i = 0; i < call.args.size(); ++i) text += (i ? ", " : "") + call.args[i];
  return text + ")";
}

// What a driver that the host could not open answers: every entry point
// refuses with its own code.
std::int64_t refusalWhileClosed(const std::string& what) {
  if (what == "AcqOpen") return 2;
  if (what == "AcqClose") return 0;
  if (what == "AcqTimeLapse") return 1;
  if (what == "AcqGetImage") return -1;
  return -1;  // AcqControl
}

// The exports' results that a failure may change, and how.
bool isObservation(const std::string& what) {
  return what == "preview exposure in us" || what == "options window shown" || what == "panel shown" ||
         what.find("callbacks") != std::string::npos || what.find("correction") != std::string::npos ||
         what.find("subtraction") != std::string::npos || what == "files written" ||
         what.find("failed") != std::string::npos;
}

void checkResults(const Failure& failure, const CaseOutcome& faulted, const CaseOutcome& base) {
  const auto& got = faulted.session.results;
  const auto& want = base.session.results;
  if (failure.function == "VarcamNumCameras") {
    // The open found no camera: every later call is refused.
    for (const auto& r : got) {
      if (!isObservation(r.what)) {
        EXPECT_EQ(r.value, refusalWhileClosed(r.what)) << r.step << " / " << r.what;
      }
    }
    return;
  }
  ASSERT_EQ(got.size(), want.size()) << "the session took another course:\n" << describe(got);
  for (std::size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].what, want[i].what) << "the session took another course:\n" << describe(got);
    const std::string& what = got[i].what;
    if (isObservation(what)) continue;
    if (what == "AcqTimeLapse") {
      EXPECT_TRUE(got[i].value == 0 || got[i].value == 3) << "AcqTimeLapse returned " << got[i].value;
    } else {
      // Snapshots, one-shots and the settings file have no failure code of
      // their own: the host learns of a failure from the message box.
      EXPECT_EQ(got[i].value, want[i].value) << got[i].step << " / " << what;
    }
  }
  const SessionRecord& session = faulted.session;
  EXPECT_GE(resultOf(session, "preview exposure in us"), 0) << "a negative exposure is reported to the host";
  // The camera's one-shots report no failure of their own: the auto
  // exposure reads back whatever exposure the camera has, and the white
  // balance's passes go unreported.
  EXPECT_EQ(resultOf(session, "auto exposure failed"), 0);
  EXPECT_EQ(resultOf(session, "white balance failed"), 0);
  // The panel shows a correction on exactly when its callback runs; a
  // preview pixel format that cannot be read is reported and leaves the
  // background's box as the user set it.
  if (resultOf(session, "panel shown") == 1) {
    EXPECT_EQ(resultOf(session, "dark subtraction on"), resultOf(session, "streaming callbacks"));
    const bool formatUnread =
        std::any_of(session.boxes.begin(), session.boxes.end(),
                    [](const ShownBox& b) { return b.text == "Could not get pixel format from camera"; });
    if (!formatUnread) {
      EXPECT_EQ(resultOf(session, "background correction on"), resultOf(session, "RGB preview callbacks"));
    }
    EXPECT_EQ(resultOf(session, "dark subtraction off"), 1);
    EXPECT_EQ(resultOf(session, "background correction off"), 1);
  }
  // A series reported complete wrote both files; one that failed was told.
  const std::int64_t lapse = resultOf(session, "AcqTimeLapse");
  if (lapse == 0) {
    EXPECT_EQ(resultOf(session, "files written"), 2) << "a time-lapse reported complete lacks files";
  }
  if (lapse == 3) {
    const bool told = std::any_of(session.boxes.begin(), session.boxes.end(),
                                  [](const ShownBox& b) { return b.step == "time-lapse"; });
    EXPECT_TRUE(told) << "a time-lapse failed without a word";
  }
}

void checkReport(const CaseOutcome& faulted, const CaseOutcome& base) {
  const auto& calls = faulted.calls;
  std::size_t failed = calls.size();
  int injected = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (!calls[i].ok && calls[i].error == kInjectedError) {
      failed = i;
      ++injected;
    }
  }
  ASSERT_EQ(injected, 1) << "the injected failure did not happen exactly once";
  ASSERT_LT(failed, base.calls.size());
  // Until the failure the session is the one without failures.
  for (std::size_t i = 0; i < failed; ++i)
    ASSERT_EQ(callText(calls[i]), callText(base.calls[i])) << "call " << i << " differs before the failure";

  const CallSite site{base.calls[failed], failed > 0 ? &base.calls[failed - 1] : nullptr,
                      failed + 1 < base.calls.size() ? &base.calls[failed + 1] : nullptr,
                      base.session.stepOfCall(failed)};
  const ExpectedReport expected = expectedReport(site);
  ASSERT_FALSE(expected.place.empty()) << "no expectation for a failure of " << callText(site.call) << " in ["
                                       << site.step << "]";
  SCOPED_TRACE(callText(site.call) + " failing in [" + site.step + "], " + expected.place);

  // Boxes shown after the failed call and before the next SDK call: the
  // driver's answer to this failure.
  std::vector<std::string> answer;
  int withInjectedCode = 0;
  const std::string code = std::to_string(kInjectedError);
  for (const auto& b : faulted.session.boxes) {
    if (b.callsBefore == failed + 1) answer.push_back(b.text);
    if (b.text.find(code) != std::string::npos) ++withInjectedCode;
  }
  if (expected.box) {
    ASSERT_FALSE(answer.empty()) << "the failure was not reported; expected \"" << expected.text << "\"";
    EXPECT_EQ(answer.front(), withCode(expected.text, kInjectedError));
  } else {
    EXPECT_TRUE(answer.empty()) << "a silent failure was reported: \"" << answer.front() << "\"";
  }
  const bool codeShown = expected.box && expected.text.find("%d") != std::string::npos;
  EXPECT_EQ(withInjectedCode, codeShown ? 1 : 0) << "the error code was shown elsewhere too, or not at all";
}

void checkLeftovers(const Failure& failure, const CaseOutcome& faulted, const CaseOutcome& base) {
  EXPECT_EQ(faulted.session.callbacksBeforeClose, 0u) << "a frame callback outlived the session's last use";
  EXPECT_EQ(faulted.timersAfterClose, 0u) << "a timer outlived AcqClose";
  EXPECT_EQ(faulted.dialogsAfterClose, 0u) << "a dialog outlived AcqClose";
  // A camera whose close was refused stays open until the next open.
  EXPECT_EQ(faulted.cameraOpenAfterClose, failure.function == "VarcamCameraClose");
  if (!faulted.cameraOpenAfterClose) {
    EXPECT_EQ(faulted.callbacksAfterClose, 0u);
  }
  // The driver opens again and captures the frame a clean session gives.
  EXPECT_EQ(resultOf(faulted.reopen, "AcqOpen"), 0);
  EXPECT_EQ(resultOf(faulted.reopen, "AcqClose"), 1);
  EXPECT_EQ(faulted.reopenImage.size(), base.reopenImage.size());
  EXPECT_TRUE(faulted.reopenImage == base.reopenImage) << "the frame captured after reopening differs";
  for (const auto& b : faulted.reopen.boxes) ADD_FAILURE() << "reopening showed \"" << b.text << "\"";
}

void dumpCase(const Failure& failure, const CaseOutcome& faulted) {
  const CaseOutcome& base = baseline();
  const auto& calls = faulted.calls;
  std::size_t failed = calls.size();
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (!calls[i].ok && calls[i].error == kInjectedError) failed = i;
  std::printf("== %s #%d in [%s] %s\n", failure.function.c_str(), failure.callIndex,
              failed < calls.size() ? faulted.session.stepOfCall(failed).c_str() : "?",
              failed < calls.size() ? callText(calls[failed]).c_str() : "");
  const auto& br = base.session.results;
  const auto& fr = faulted.session.results;
  for (std::size_t i = 0; i < std::min(br.size(), fr.size()); ++i)
    if (!(br[i] == fr[i]))
      std::printf("   %s / %s: %lld -> %lld\n", fr[i].step.c_str(), fr[i].what.c_str(),
                  static_cast<long long>(br[i].value), static_cast<long long>(fr[i].value));
  const auto& bb = base.session.boxes;
  for (std::size_t i = 0; i < faulted.session.boxes.size(); ++i) {
    const auto& b = faulted.session.boxes[i];
    if (i < bb.size() && bb[i].text == b.text) continue;
    std::printf("   box [%s] %s\n", b.step.c_str(), b.text.c_str());
  }
}

// One part of one function's sweep: the call indexes `part`, `part + parts`,
// `part + 2 x parts`... (1-based from part 1), so that the functions called
// most are spread over several test programs that CTest runs side by side.
struct SweepPart {
  std::string function;
  int part = 1;
  int parts = 1;
};

void PrintTo(const SweepPart& p, std::ostream* out) {
  *out << p.function << " part " << p.part << " of " << p.parts;
}

class FaultSweep : public ::testing::TestWithParam<SweepPart> {};

std::vector<SweepPart> sweepParts();

// The reference run itself: every step succeeds, nothing is left behind,
// and the frame captured after reopening is the session's own snapshot. It
// also prints the sweep's size.
TEST(FaultSweepBaseline, SessionWithoutFailuresSucceedsThroughout) {
  const CaseOutcome& base = baseline();
  if (verbose()) {
    std::printf("%s", describe(base.session.results).c_str());
    for (std::size_t i = 0; i < base.calls.size(); ++i)
      std::printf("  %4zu [%s] %s\n", i, base.session.stepOfCall(i).c_str(), callText(base.calls[i]).c_str());
  }
  std::map<std::string, int> counts;
  for (const auto& c : base.calls) ++counts[c.function];
  for (const auto& [function, n] : counts) std::printf("  %-34s %3d calls\n", function.c_str(), n);
  // A function the session calls but the sweep does not list would never fail.
  const std::vector<SweepPart> parts = sweepParts();
  for (const auto& [function, n] : counts) {
    const bool listed = std::any_of(parts.begin(), parts.end(), [&](const SweepPart& p) { return p.function == function; });
    EXPECT_TRUE(listed) << function << " is called " << n << " times but not swept";
  }
  std::printf("fault sweep: %zu SDK functions x their call indexes = %zu failing runs\n", counts.size(),
              base.calls.size());

  const std::map<std::string, std::int64_t> success = {{"AcqOpen", 0}, {"AcqClose", 1}, {"AcqGetImage", kAnImage}};
  for (const auto& r : base.session.results) {
    const auto expected = success.find(r.what);
    if (expected != success.end()) {
      EXPECT_EQ(r.value, expected->second) << r.step << " / " << r.what;
    }
  }
  EXPECT_EQ(resultOf(base.session, "AcqTimeLapse"), 0);
  EXPECT_EQ(resultOf(base.session, "files written"), 2);
  EXPECT_EQ(resultOf(base.session, "dark subtraction on"), 1);
  EXPECT_EQ(resultOf(base.session, "background correction on"), 1);
  // The only boxes are the two prompts before the grabs.
  EXPECT_EQ(base.session.boxes.size(), 2u);
  EXPECT_EQ(base.session.callbacksBeforeClose, 0u);
  EXPECT_EQ(base.timersAfterClose, 0u);
  EXPECT_FALSE(base.cameraOpenAfterClose);
  // The image is the rectangle's right less its left (and bottom less top).
  EXPECT_EQ(base.session.acquisitionImage.size(), 319u * 239u * 3u);
  EXPECT_EQ(base.reopenImage, base.session.acquisitionImage);
}

TEST_P(FaultSweep, EveryCallOfTheFunctionFailingInTurn) {
  const SweepPart sweepPart = GetParam();
  const std::string& function = sweepPart.function;
  const CaseOutcome& base = baseline();
  int count = 0;
  for (const auto& c : base.calls) count += c.function == function ? 1 : 0;
  std::printf("%s: %d call indexes, part %d of %d\n", function.c_str(), count, sweepPart.part, sweepPart.parts);
  for (int index = sweepPart.part; index <= count; index += sweepPart.parts) {
    const Failure failure{function, index};
    SCOPED_TRACE(function + " call " + std::to_string(index));
    const CaseOutcome faulted = runCase(failure);
    if (verbose()) dumpCase(failure, faulted);
    checkReport(faulted, base);
    checkResults(failure, faulted, base);
    checkLeftovers(failure, faulted, base);
    if (::testing::Test::HasFailure() && !verbose()) dumpCase(failure, faulted);
  }
}

// Every SDK function the driver calls, each in as many parts as its calls
// in the session need to keep one part to some twenty-five runs.
std::vector<SweepPart> sweepParts() {
  const std::vector<std::pair<const char*, int>> functions = {
      {"VarcamNumCameras", 1}, {"VarcamEnumCameras", 1}, {"VarcamCameraOpen", 1}, {"VarcamCameraClose", 1},
      {"VarcamGetCameraId", 1}, {"VarcamQueryVersion", 1}, {"VarcamGetProperty", 2}, {"VarcamSetProperty", 5},
      {"VarcamPropertyRange", 3}, {"VarcamGetFormat", 3}, {"VarcamSetFormat", 3},
      {"VarcamEnumAvailableFrameRates", 2}, {"VarcamStreamVideoControl", 2}, {"VarcamDestroyDisplayWindow", 1},
      {"VarcamQueryDisplayFrameRate", 1}, {"VarcamGetDisplayWindowHwnd", 1}, {"VarcamGetStreamState", 1},
      {"VarcamGetVideoImageFormat", 1}, {"VarcamTakeVideo", 1}, {"VarcamConvertFrameToRgb24", 1},
      {"VarcamSetupCustomMatrix", 1}, {"VarcamQueryRgbPreviewPixelFormat", 1}, {"VarcamAddRgbPreviewCallback", 1},
      {"VarcamAddStreamingCallback", 1}, {"VarcamRemoveRgbPreviewCallback", 1},
      {"VarcamRemoveStreamingCallback", 1}, {"VarcamOneShotAutoExposure", 1}, {"VarcamOneShotAutoWhiteBalance", 1}};
  std::vector<SweepPart> parts;
  for (const auto& [function, count] : functions)
    for (int part = 1; part <= count; ++part) parts.push_back({function, part, count});
  return parts;
}

INSTANTIATE_TEST_SUITE_P(SdkFunctions, FaultSweep, ::testing::ValuesIn(sweepParts()),
                         [](const ::testing::TestParamInfo<SweepPart>& param) {
                           const SweepPart& p = param.param;
                           return p.parts == 1 ? p.function
                                               : p.function + "_part" + std::to_string(p.part) + "of" +
                                                     std::to_string(p.parts);
                         });

} // namespace
} // namespace sweep
