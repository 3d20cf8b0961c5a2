// The virtual clock, sleep, and events waited on across threads.
#include "platform_fixture.h"

#include <atomic>
#include <thread>

using namespace platform;
using namespace platform::headless;

namespace {

class ClockEventTest : public PlatformTest {};

void waitUntilBlocked(std::size_t count) {
  while (blockedWaitCount() < count) std::this_thread::yield();
}

TEST_F(ClockEventTest, VirtualClockMovesOnlyWhenAdvancedOrSlept) {
  useVirtualTime(true, 0xFFFFFF00u);
  EXPECT_TRUE(virtualTime());
  EXPECT_EQ(tickCount(), 0xFFFFFF00u);
  advanceTime(0x80);
  EXPECT_EQ(tickCount(), 0xFFFFFF80u);
  platform::sleep(0x100);  // wraps like GetTickCount
  EXPECT_EQ(tickCount(), 0x80u);
  platform::sleep(10);
  EXPECT_EQ(sleeps(), (std::vector<std::uint32_t>{0x100, 10}));
  clearSleeps();
  EXPECT_TRUE(sleeps().empty());

  useVirtualTime(false);
  advanceTime(1000);  // no effect on the real clock
  platform::sleep(0);
  EXPECT_EQ(sleeps(), std::vector<std::uint32_t>{0});  // recorded in real time too
}

TEST_F(ClockEventTest, ManualAndAutoResetEvents) {
  const EventHandle manual = createEvent(true, false);
  const EventHandle automatic = createEvent(false, true);
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_EQ(waitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(waitForSingleObject(automatic, 0), WAIT_TIMEOUT);  // taken by the wait

  EXPECT_TRUE(setEvent(manual));
  EXPECT_EQ(waitForSingleObject(manual, INFINITE_WAIT), WAIT_OBJECT_0);
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays set
  EXPECT_TRUE(resetEvent(manual));
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_TIMEOUT);

  EXPECT_TRUE(closeEvent(manual));
  EXPECT_TRUE(closeEvent(automatic));
  EXPECT_FALSE(closeEvent(manual));
  EXPECT_EQ(waitForSingleObject(manual, 0), WAIT_FAILED);
  EXPECT_FALSE(setEvent(nullptr));
}

TEST_F(ClockEventTest, AutoAdvanceTimesOutAtTheDeadlineAtOnce) {
  useVirtualTime(true, 500);
  setAutoAdvanceWaits(true);
  const EventHandle e = createEvent(true, false);
  EXPECT_EQ(waitForSingleObject(e, 300), WAIT_TIMEOUT);
  EXPECT_EQ(tickCount(), 800u);
  setEvent(e);
  EXPECT_EQ(waitForSingleObject(e, 300), WAIT_OBJECT_0);  // set: no time passes
  EXPECT_EQ(tickCount(), 800u);
  closeEvent(e);
}

TEST_F(ClockEventTest, AnotherThreadSettingTheEventEndsAVirtualWait) {
  useVirtualTime(true, 0);
  const EventHandle e = createEvent(false, false);
  std::thread setter([e] {
    waitUntilBlocked(1);
    setEvent(e);
  });
  EXPECT_EQ(waitForSingleObject(e, 1000), WAIT_OBJECT_0);
  setter.join();
  EXPECT_EQ(tickCount(), 0u);  // the clock did not move
  EXPECT_EQ(waitForSingleObject(e, 0), WAIT_TIMEOUT);
  closeEvent(e);
}

TEST_F(ClockEventTest, AnotherThreadAdvancingTheClockEndsAVirtualWait) {
  useVirtualTime(true, 100);
  const EventHandle e = createEvent(true, false);
  std::thread clockDriver([] {
    waitUntilBlocked(1);
    advanceTime(999);   // one short of the deadline: the wait goes on
    advanceTime(1);
  });
  EXPECT_EQ(waitForSingleObject(e, 1000), WAIT_TIMEOUT);
  clockDriver.join();
  EXPECT_EQ(tickCount(), 1100u);
  EXPECT_EQ(blockedWaitCount(), 0u);
  closeEvent(e);
}

TEST_F(ClockEventTest, RealTimeInfiniteWaitEndsWhenSetFromAnotherThread) {
  const EventHandle e = createEvent(false, false);
  std::thread setter([e] {
    waitUntilBlocked(1);
    setEvent(e);
  });
  EXPECT_EQ(waitForSingleObject(e, INFINITE_WAIT), WAIT_OBJECT_0);
  setter.join();
  closeEvent(e);
}

TEST_F(ClockEventTest, AutoResetEventReleasesOneWaiterPerSet) {
  useVirtualTime(true, 0);
  const EventHandle e = createEvent(false, false);
  std::atomic<int> released{0};
  auto waiter = [&] {
    if (waitForSingleObject(e, INFINITE_WAIT) == WAIT_OBJECT_0) ++released;
  };
  std::thread a(waiter);
  std::thread b(waiter);
  waitUntilBlocked(2);
  setEvent(e);
  while (released.load() < 1) std::this_thread::yield();
  waitUntilBlocked(1);  // the other is still waiting
  EXPECT_EQ(released.load(), 1);
  setEvent(e);
  a.join();
  b.join();
  EXPECT_EQ(released.load(), 2);
  closeEvent(e);
}

} // namespace
