// The journal of calls and frame deliveries, and injected faults.
#include "sim_fixture.h"

#include <algorithm>

namespace simtest {
namespace {

// A streaming callback that never runs (its registration is refused).
void VARCAM_CALL ignoreFrame(void*, std::uint8_t*, std::uint32_t) {}

std::vector<vzsim::JournalEntry> calls() {
  std::vector<vzsim::JournalEntry> out;
  for (auto& e : vzsim::journal()) {
    if (e.function != "frame") out.push_back(e);
  }
  return out;
}

TEST_F(SimTest, JournalRecordsEveryCallWithArgumentsResultAndError) {
  VarcamHandle h = open(1);
  vzsim::clearJournal();
  setProperty(h, PropGain, 2.5f);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 99.0f, 0), 0);
  EXPECT_EQ(VarcamEnumAvailableFrameRates(h, 0, nullptr), 4);
  const auto entries = calls();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].function, "VarcamSetProperty");
  EXPECT_EQ(entries[0].camera, 1);
  EXPECT_EQ(entries[0].args, (std::vector<std::string>{"40", "2.5", "0x0"}));
  EXPECT_TRUE(entries[0].ok);
  EXPECT_FALSE(entries[1].ok);
  EXPECT_EQ(entries[1].error, vzsim::ErrorOutOfRange);
  EXPECT_EQ(entries[2].function, "VarcamEnumAvailableFrameRates");
  EXPECT_EQ(entries[2].result, 4);
  EXPECT_LT(entries[0].sequence, entries[1].sequence);
  vzsim::clearJournal();
  EXPECT_TRUE(vzsim::journal().empty());
}

// The sequence a snapshot takes: preview at one format and exposure, a raw
// frame at the acquisition ones, then the preview again.
TEST_F(SimTest, FrameEntriesShowTheSettingsEachFrameWasMadeWith) {
  VarcamHandle h = attachAndOpen({smallColour()});
  vzsim::setPacing(vzsim::Pacing::Held);
  VarcamWindow w = reinterpret_cast<VarcamWindow>(std::uintptr_t{0x700});
  const FrameFormatRecord preview = format(320, 240, 2, false);
  const FrameFormatRecord acquire = format(640, 480);
  ASSERT_EQ(VarcamSetFormat(h, &preview, 200.0f), 1);
  setProperty(h, PropExposure, 5.0f);
  ASSERT_EQ(VarcamStreamVideoControl(h, VarcamStreamDisplayGdi, w), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 2));
  ASSERT_EQ(VarcamStreamVideoControl(h, VarcamStreamStop, nullptr), 1);

  ASSERT_EQ(VarcamSetFormat(h, &acquire, 200.0f), 1);
  setProperty(h, PropExposure, 12.0f);
  ASSERT_EQ(VarcamStreamVideoControl(h, VarcamStreamNoDisplay, nullptr), 1);
  vzsim::setPacing(vzsim::Pacing::Free);
  std::vector<std::uint8_t> raw(640 * 480);
  ASSERT_EQ(VarcamTakeVideo(h, 1, raw.data()), 1);
  ASSERT_EQ(VarcamStreamVideoControl(h, VarcamStreamStop, nullptr), 1);

  vzsim::setPacing(vzsim::Pacing::Held);
  ASSERT_EQ(VarcamSetFormat(h, &preview, 200.0f), 1);
  setProperty(h, PropExposure, 5.0f);
  ASSERT_EQ(VarcamStreamVideoControl(h, VarcamStreamDisplayGdi, w), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 2));

  std::vector<vzsim::JournalEntry> frames;
  for (auto& e : vzsim::journal()) {
    if (e.function == "frame") frames.push_back(e);
  }
  auto snapshot = std::find_if(frames.begin(), frames.end(),
                               [](const auto& e) { return e.target == "TakeVideo"; });
  ASSERT_NE(snapshot, frames.end());
  EXPECT_EQ(snapshot->format.width, 640u);
  EXPECT_EQ(snapshot->properties.at(PropExposure), 12.0f);
  int displaysBefore = 0, displaysAfter = 0;
  for (auto it = frames.begin(); it != frames.end(); ++it) {
    if (it->target != "display") continue;
    EXPECT_EQ(it->format.width, 320u);
    EXPECT_EQ(it->format.factorX, 2);
    EXPECT_EQ(it->properties.at(PropExposure), 5.0f);
    (it < snapshot ? displaysBefore : displaysAfter)++;
  }
  EXPECT_EQ(displaysBefore, 2);
  EXPECT_EQ(displaysAfter, 2);

  vzsim::clearJournal();
  vzsim::setJournalFrames(false);
  ASSERT_TRUE(vzsim::advanceFrames(1, 2));
  EXPECT_TRUE(vzsim::journal().empty());
}

TEST_F(SimTest, InjectedFaultsFailTheNextCallsAndDoNothingElse) {
  VarcamHandle h = open(1);
  ASSERT_TRUE(vzsim::failNext("VarcamSetProperty", 2, 31));
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 3.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), 31u);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 3.0f, 0), 0);
  EXPECT_EQ(getProperty(h, PropGain), 1.0f);
  setProperty(h, PropGain, 3.0f);  // the faults are used up
  EXPECT_EQ(getProperty(h, PropGain), 3.0f);

  // Only calls on the named property count.
  ASSERT_TRUE(vzsim::failNext("VarcamGetProperty", 1, 1234, PropExposure));
  EXPECT_EQ(getProperty(h, PropGain), 3.0f);
  float v = -1;
  std::uint32_t flags = 0;
  EXPECT_EQ(VarcamGetProperty(h, PropExposure, &v, &flags), 0);
  EXPECT_EQ(v, -1.0f);  // outputs untouched
  EXPECT_EQ(VarcamGetLastError(), 1234u);

  ASSERT_TRUE(vzsim::failNext("VarcamEnumAvailableFrameRates", 1, 5));
  EXPECT_EQ(VarcamEnumAvailableFrameRates(h, 0, nullptr), -1);
  ASSERT_TRUE(vzsim::failNext("VarcamAddStreamingCallback", 1, 5));
  EXPECT_EQ(VarcamAddStreamingCallback(h, ignoreFrame, nullptr), -1);
  ASSERT_TRUE(vzsim::failNext("VarcamCameraOpen", 1, 2));
  EXPECT_EQ(VarcamCameraOpen(1), nullptr);
  ASSERT_TRUE(vzsim::failNext("VarcamStreamVideoControl", 1, 9));
  EXPECT_EQ(VarcamStreamVideoControl(h, VarcamStreamNoDisplay, nullptr), 0);
  EXPECT_EQ(VarcamGetStreamState(h, 0), VarcamStateStopped);

  EXPECT_FALSE(vzsim::failNext("VarcamGetLastError", 1, 1));
  EXPECT_FALSE(vzsim::failNext("NoSuchFunction", 1, 1));
  ASSERT_TRUE(vzsim::failNext("VarcamSetFormat", 5, 1));
  vzsim::clearFaults();
  const FrameFormatRecord f = format(640, 480);
  EXPECT_EQ(VarcamSetFormat(h, &f, 200.0f), 1);

  const auto entries = calls();
  const auto faulted = std::count_if(entries.begin(), entries.end(),
                                     [](const auto& e) { return !e.ok; });
  EXPECT_EQ(faulted, 7);
}

TEST_F(SimTest, ACallIndexFailsThatCallAloneCountingOnlyMatchingCalls) {
  VarcamHandle h = open(1);
  EXPECT_FALSE(vzsim::failCall("VarcamSetProperty", 0, 31));
  EXPECT_FALSE(vzsim::failCall("VarcamGetLastError", 1, 31));
  ASSERT_TRUE(vzsim::failCall("VarcamSetProperty", 3, 31));
  // Calls of other functions do not count.
  EXPECT_EQ(getProperty(h, PropGain), 1.0f);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 2.0f, 0), 1);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 3.0f, 0), 1);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 4.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), 31u);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 5.0f, 0), 1);
  EXPECT_EQ(getProperty(h, PropGain), 5.0f);

  // With a property, only calls on it count; a fault that is still counting
  // also counts the calls an earlier fault fails.
  ASSERT_TRUE(vzsim::failCall("VarcamSetProperty", 2, 32, PropGain));
  ASSERT_TRUE(vzsim::failNext("VarcamSetProperty", 1, 33));
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 6.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), 33u);
  EXPECT_EQ(VarcamSetProperty(h, PropBrightness, 0.5f, 0), 1);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 6.0f, 0), 0);
  EXPECT_EQ(VarcamGetLastError(), 32u);
  EXPECT_EQ(VarcamSetProperty(h, PropGain, 6.0f, 0), 1);
}

TEST_F(SimTest, RegisteredCallbacksAreCountedUntilRemovedOrClosed) {
  VarcamHandle h = open(1);
  const auto none = [](void*, std::uint8_t*, std::uint32_t) {};
  const auto rgbNone = [](void*, std::uint8_t*, std::uint32_t, std::uint32_t) {};
  EXPECT_EQ(vzsim::registeredCallbacks(1).total(), 0u);
  const int a = VarcamAddStreamingCallback(h, none, nullptr);
  VarcamAddStreamingCallback(h, none, nullptr);
  VarcamAddRgbPreviewCallback(h, rgbNone, nullptr, VarcamRgb24);
  EXPECT_EQ(vzsim::registeredCallbacks(1).streaming, 2u);
  EXPECT_EQ(vzsim::registeredCallbacks(1).rgbPreview, 1u);
  ASSERT_TRUE(vzsim::failNext("VarcamRemoveStreamingCallback", 1, 9));
  EXPECT_EQ(VarcamRemoveStreamingCallback(h, a), 0);
  EXPECT_EQ(vzsim::registeredCallbacks(1).streaming, 2u) << "a refused removal keeps the callback";
  EXPECT_EQ(VarcamRemoveStreamingCallback(h, a), 1);
  EXPECT_EQ(vzsim::registeredCallbacks(1).streaming, 1u);
  ASSERT_EQ(VarcamCameraClose(h), 1);
  EXPECT_EQ(vzsim::registeredCallbacks(1).total(), 0u);
  EXPECT_EQ(vzsim::registeredCallbacks(7).total(), 0u);
}

} // namespace
} // namespace simtest
