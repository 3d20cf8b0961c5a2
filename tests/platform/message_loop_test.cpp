// Timers and the message loop on the virtual clock (and one real-time
// wake-up by another thread).
#include "platform_fixture.h"

#include <thread>
#include <vector>

using namespace platform;
using namespace platform::headless;

namespace {

struct Tick {
  Window window;
  std::uintptr_t id;
  std::uint32_t time;
};
std::vector<Tick>* ticks = nullptr;

void recordTick(Window window, unsigned message, std::uintptr_t id, std::uint32_t time) {
  EXPECT_EQ(message, WM_TIMER);
  ticks->push_back(Tick{window, id, time});
}

class MessageLoopTest : public PlatformTest {
protected:
  void SetUp() override {
    PlatformTest::SetUp();
    ticks = &ticks_;
    useVirtualTime(true, 1000);
  }
  void TearDown() override {
    PlatformTest::TearDown();
    ticks = nullptr;
  }
  // Waits for and dispatches the next message; returns it.
  Message next() {
    Message m;
    EXPECT_TRUE(waitMessage());
    EXPECT_TRUE(peekMessage(&m, true));
    dispatchMessage(m);
    return m;
  }
  std::vector<Tick> ticks_;
};

TEST_F(MessageLoopTest, DueTimersFireInOrderAndReArmFromTheirDispatch) {
  EXPECT_EQ(setTimer(nullptr, 1, 300, recordTick), 1u);
  EXPECT_EQ(setTimer(nullptr, 2, 200, recordTick), 2u);
  Message m;
  EXPECT_FALSE(peekMessage(&m, true));  // nothing due yet; the clock stands still

  const Message first = next();
  EXPECT_EQ(first.message, WM_TIMER);
  EXPECT_EQ(first.wParam, 2u);
  EXPECT_EQ(first.lParam, reinterpret_cast<std::intptr_t>(&recordTick));
  next();
  next();
  next();
  ASSERT_EQ(ticks_.size(), 4u);
  EXPECT_EQ(ticks_[0].id, 2u);
  EXPECT_EQ(ticks_[0].time, 1200u);
  EXPECT_EQ(ticks_[1].id, 1u);
  EXPECT_EQ(ticks_[1].time, 1300u);
  EXPECT_EQ(ticks_[2].id, 2u);
  EXPECT_EQ(ticks_[2].time, 1400u);
  // Equal due times: the timer set first goes first.
  EXPECT_EQ(ticks_[3].id, 1u);
  EXPECT_EQ(ticks_[3].time, 1600u);
  EXPECT_EQ(tickCount(), 1600u);
}

TEST_F(MessageLoopTest, ALateTimerYieldsOneMessageAndPostedMessagesComeFirst) {
  setTimer(nullptr, 7, 100, recordTick);
  advanceTime(1000);  // ten periods late
  postMessage(nullptr, 0x0400, 1, 2);
  Message m;
  ASSERT_TRUE(peekMessage(&m, false));  // looking does not take it
  EXPECT_EQ(m.message, 0x0400u);
  ASSERT_TRUE(peekMessage(&m, true));
  EXPECT_EQ(m.message, 0x0400u);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_EQ(m.lParam, 2);

  ASSERT_TRUE(peekMessage(&m, true));
  EXPECT_EQ(m.message, WM_TIMER);
  dispatchMessage(m);
  EXPECT_FALSE(peekMessage(&m, true));
  ASSERT_EQ(activeTimers().size(), 1u);
  EXPECT_EQ(activeTimers()[0].nextDue, 2100u);  // 100 ms after the dispatch at 2000
}

TEST_F(MessageLoopTest, SettingAgainRestartsAndKillingStops) {
  setTimer(nullptr, 5, 1000, recordTick);
  advanceTime(600);
  setTimer(nullptr, 5, 500, recordTick);  // restarted at 1600 with the new period
  ASSERT_EQ(activeTimers().size(), 1u);
  EXPECT_EQ(activeTimers()[0].period, 500u);
  EXPECT_EQ(activeTimers()[0].nextDue, 2100u);
  next();
  EXPECT_EQ(ticks_.at(0).time, 2100u);

  EXPECT_TRUE(killTimer(nullptr, 5));
  EXPECT_FALSE(killTimer(nullptr, 5));
  EXPECT_FALSE(killTimer(nullptr, 6));
  EXPECT_FALSE(waitMessage());  // nothing can ever arrive

  const auto starts = timerStarts();
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].period, 1000u);
  EXPECT_EQ(starts[1].period, 500u);
}

TEST_F(MessageLoopTest, WindowlessTimerWithoutIdGetsAFreshOne) {
  const std::uintptr_t a = setTimer(nullptr, 0, 100, recordTick);
  const std::uintptr_t b = setTimer(nullptr, 0, 100, recordTick);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(activeTimers().size(), 2u);
}

TEST_F(MessageLoopTest, ZeroPeriodIsDueAtOnceEveryTime) {
  setTimer(nullptr, 9, 0, recordTick);
  Message m;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(peekMessage(&m, true));
    dispatchMessage(m);
  }
  EXPECT_EQ(ticks_.size(), 3u);
  EXPECT_EQ(tickCount(), 1000u);
}

TEST_F(MessageLoopTest, KilledAfterTakingItsMessageTheTimerDoesNotRun) {
  setTimer(nullptr, 3, 10, recordTick);
  Message m;
  ASSERT_TRUE(waitMessage());
  ASSERT_TRUE(peekMessage(&m, true));
  killTimer(nullptr, 3);
  dispatchMessage(m);
  EXPECT_TRUE(ticks_.empty());
}

std::vector<std::uintptr_t> dialogTimerIds;
std::intptr_t timerDialogProc(Window, unsigned message, std::uintptr_t wParam, std::intptr_t) {
  if (message == WM_TIMER) dialogTimerIds.push_back(wParam);
  return 0;
}

TEST_F(MessageLoopTest, WindowTimersGoToTheWindowAndDieWithIt) {
  dialogTimerIds.clear();
  const DialogTemplate t{9, "Options", {0, 0, 126, 103}, nullptr, 0};
  const Window d = createDialog(t, nullptr, timerDialogProc, 0);
  EXPECT_EQ(setTimer(d, 1, 100, nullptr), 1u);
  const Message m = next();
  EXPECT_EQ(m.window, d);
  EXPECT_EQ(m.lParam, 0);
  EXPECT_EQ(dialogTimerIds, std::vector<std::uintptr_t>{1});

  destroyWindow(d);
  EXPECT_TRUE(activeTimers().empty());
  EXPECT_EQ(setTimer(d, 1, 100, nullptr), 0u);  // no longer a window
}

// A series like the driver's time-lapse: a windowless timer whose procedure
// saves an image per tick, served by a modal peek/dispatch/wait loop.
struct Series {
  int remaining = 3;
  bool running = true;
  std::vector<std::uint32_t> saves;
};
Series* series = nullptr;

void seriesTick(Window, unsigned, std::uintptr_t id, std::uint32_t time) {
  series->saves.push_back(time);
  if (--series->remaining == 0) {
    killTimer(nullptr, id);
    series->running = false;
  }
}

TEST_F(MessageLoopTest, TimeLapseLoopRunsThreeTicksFiveSecondsApart) {
  Series s;
  series = &s;
  ASSERT_EQ(setTimer(nullptr, 4112, 5000, seriesTick), 4112u);
  Message m;
  while (s.running) {
    if (peekMessage(&m, true)) dispatchMessage(m);
    if (s.running && !waitMessage()) break;
  }
  series = nullptr;
  EXPECT_EQ(s.saves, (std::vector<std::uint32_t>{6000, 11000, 16000}));
  EXPECT_TRUE(activeTimers().empty());
  EXPECT_FALSE(waitMessage());
}

TEST_F(MessageLoopTest, AnotherThreadsPostWakesARealTimeWait) {
  useVirtualTime(false);
  setTimer(nullptr, 1, 3600 * 1000, recordTick);  // keeps waitMessage from giving up
  std::thread poster([] { postMessage(nullptr, 0x8001, 5, 6); });
  EXPECT_TRUE(waitMessage());
  poster.join();
  Message m;
  ASSERT_TRUE(peekMessage(&m, true));
  EXPECT_EQ(m.message, 0x8001u);
  EXPECT_TRUE(ticks_.empty());
}

} // namespace
