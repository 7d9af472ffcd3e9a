#include "platform/window_timer.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/message_loop.h"
#include "platform/pumping_thread.h"

namespace chronel::platform {
namespace {

using testing::PumpFor;
using testing::PumpUntil;

class WindowTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMessageWindow([this](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
      if (m == kWmTimer) ++ticks_[wp];
      return DefaultWindowProcedure(w, m, wp, lp);
    });
  }
  void TearDown() override { DestroyMessageWindow(window_); }

  WindowHandle window_ = 0;
  std::map<WParam, int> ticks_;
};

TEST_F(WindowTimerTest, TicksAtItsIntervalUntilStopped) {
  ASSERT_EQ(StartWindowTimer(window_, 7, 50), kErrorSuccess);
  PumpFor(1000);
  // About 20 ticks; a loaded machine may deliver fewer, never a backlog of more.
  EXPECT_GE(ticks_[7], 5);
  EXPECT_LE(ticks_[7], 25);

  StopWindowTimer(window_, 7);
  const int atStop = ticks_[7];
  PumpFor(300);
  EXPECT_EQ(ticks_[7], atStop);
}

TEST_F(WindowTimerTest, TimersOfOneWindowAreToldApartByTheirIds) {
  ASSERT_EQ(StartWindowTimer(window_, 1, 30), kErrorSuccess);
  ASSERT_EQ(StartWindowTimer(window_, 2, 400), kErrorSuccess);
  ASSERT_TRUE(PumpUntil([&] { return ticks_[2] >= 1; }));
  EXPECT_GT(ticks_[1], ticks_[2]);
}

TEST_F(WindowTimerTest, ALateThreadGetsOneTickNotABacklog) {
  ASSERT_EQ(StartWindowTimer(window_, 3, 20), kErrorSuccess);
  SleepMilliseconds(400);  // twenty intervals pass without pumping
  ProcessMessages();
  EXPECT_LE(ticks_[3], 2);
  StopWindowTimer(window_, 3);
}

TEST_F(WindowTimerTest, RestartingReplacesTheInterval) {
  ASSERT_EQ(StartWindowTimer(window_, 4, 20), kErrorSuccess);
  ASSERT_EQ(StartWindowTimer(window_, 4, 5000), kErrorSuccess);
  PumpFor(400);
  EXPECT_EQ(ticks_[4], 0);
}

TEST(WindowTimer, IntervalsAboveTheLongestAreCappedNotAlwaysDue) {
  // The system caps an interval at 0x7FFFFFFF ms (about 24.8 days). A timer that would be due at
  // every look is stopped after a few ticks, so a fault shows as a count instead of a pump that
  // never returns.
  std::map<WParam, int> ticks;
  const WindowHandle window =
      CreateMessageWindow([&ticks](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        if (m == kWmTimer && ++ticks[wp] == 100) StopWindowTimer(w, wp);
        return DefaultWindowProcedure(w, m, wp, lp);
      });
  const uint32_t intervals[] = {0x7FFFFFFFu, 0x80000000u, 3'000'000'000u, 0xFFFFFFFFu};
  for (uint32_t interval : intervals) {
    ASSERT_EQ(StartWindowTimer(window, interval, interval), kErrorSuccess);
  }
  PumpFor(200);
  for (uint32_t interval : intervals) EXPECT_EQ(ticks[interval], 0) << interval;
  DestroyMessageWindow(window);
}

TEST(WindowTimer, AWindowThatIsGoneCannotHaveATimer) {
  const WindowHandle window = CreateMessageWindow(
      [](WindowHandle w, uint32_t m, WParam wp, LParam lp) { return DefaultWindowProcedure(w, m, wp, lp); });
  DestroyMessageWindow(window);
  EXPECT_NE(StartWindowTimer(window, 1, 100), kErrorSuccess);
}

}  // namespace
}  // namespace chronel::platform
