#include "platform/timer_ex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/message_loop.h"
#include "platform/pumping_thread.h"

namespace chronel::platform {
namespace {

using testing::PumpFor;
using testing::PumpUntil;
using testing::Stopwatch;

TEST(TimerEx, StartsEnabledWithASecondIntervalButTicksOnlyWithAHandler) {
  TkivTimerEx timer;
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(timer.OwnerThread(), CurrentThreadId());
  EXPECT_TRUE(IsMessageWindow(timer.Window()));

  timer.SetInterval(20);
  PumpFor(200);  // no OnTimer: nothing runs, nothing fails

  int ticks = 0;
  timer.SetOnTimer([&ticks, &timer](TkivTimerEx* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
}

TEST(TimerEx, TicksAtItsInterval) {
  TkivTimerEx timer;
  int ticks = 0;
  timer.SetInterval(50);
  timer.SetOnTimer([&ticks](TkivTimerEx*) { ++ticks; });
  PumpFor(1000);
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 25);
}

TEST(TimerEx, EachWayOfStoppingStopsTheTicks) {
  struct Case {
    const char* name;
    void (*stop)(TkivTimerEx&);
  };
  const Case cases[] = {
      {"interval 0", [](TkivTimerEx& t) { t.SetInterval(0); }},
      {"handler cleared", [](TkivTimerEx& t) { t.SetOnTimer(nullptr); }},
      {"disabled", [](TkivTimerEx& t) { t.SetEnabled(false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TkivTimerEx timer;
    int ticks = 0;
    timer.SetInterval(20);
    timer.SetOnTimer([&ticks](TkivTimerEx*) { ++ticks; });
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 1; }));
    c.stop(timer);
    const int atStop = ticks;
    PumpFor(250);
    EXPECT_EQ(ticks, atStop);
  }
}

TEST(TimerEx, EnabledFromAnotherThreadTakesEffectWhenTheOwnerHandlesIt) {
  TkivTimerEx timer;
  std::atomic<int> ticks{0};
  timer.SetInterval(20);
  timer.SetOnTimer([&ticks](TkivTimerEx*) { ++ticks; });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 1; }));

  std::thread([&timer] { timer.SetEnabled(false); }).join();
  EXPECT_TRUE(timer.Enabled());  // not yet: the owner has not pumped
  ProcessMessages();
  EXPECT_FALSE(timer.Enabled());
  const int atStop = ticks;
  PumpFor(250);
  EXPECT_EQ(ticks, atStop);

  std::thread([&timer] { timer.SetEnabled(true); }).join();
  EXPECT_TRUE(PumpUntil([&] { return ticks > atStop; }));
}

TEST(TimerEx, TheLastSwitchFromAnotherThreadWins) {
  TkivTimerEx timer;
  std::thread([&timer] {
    timer.SetEnabled(false);
    timer.SetEnabled(true);  // Enabled still reads true here: the first switch is pending
  }).join();
  ProcessMessages();
  EXPECT_TRUE(timer.Enabled());
}

TEST(TimerEx, CanBeDestroyedFromAnotherThreadWhileItsOwnerPumps) {
  std::atomic<int> ticks{0};
  std::unique_ptr<TkivTimerEx> timer;
  WindowHandle window = 0;
  std::atomic<bool> stop{false};
  std::atomic<WindowHandle> waker{0};
  std::thread owner([&] {
    timer = std::make_unique<TkivTimerEx>();
    window = timer->Window();
    timer->SetInterval(10);
    timer->SetOnTimer([&ticks](TkivTimerEx*) { ++ticks; });
    // A second window of the owner, to end its loop once the timer's window is gone.
    waker = CreateMessageWindow([](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
      return DefaultWindowProcedure(w, m, wp, lp);
    });
    RunMessageLoop([&] { return stop.load(); });
    DestroyMessageWindow(waker);
  });
  while (waker == 0 || ticks < 2) SleepMilliseconds(5);

  Stopwatch watch;
  timer.reset();  // on this thread, not the owner
  EXPECT_LT(watch.Ms(), 4000);
  EXPECT_FALSE(IsMessageWindow(window));
  const int atDestroy = ticks;
  SleepMilliseconds(200);
  EXPECT_EQ(ticks, atDestroy);

  stop = true;
  PostWindowMessage(waker, kWmNull, 0, 0);
  owner.join();
}

TEST(TimerEx, DestroyingFromAnotherThreadWaitsForATickInProgress) {
  // The tick handler pumps, so the destroying thread's sends are handled inside it; the
  // component must stay until the handler is done with its sender.
  std::unique_ptr<TkivTimerEx> timer;
  std::atomic<bool> ticking{false};
  std::atomic<bool> destroyed{false};
  std::atomic<bool> destroyedDuringTheTick{false};
  std::atomic<uint32_t> intervalSeen{0};
  std::thread owner([&] {
    timer = std::make_unique<TkivTimerEx>();
    const WindowHandle window = timer->Window();
    timer->SetInterval(10);
    timer->SetOnTimer([&, window](TkivTimerEx* sender) {
      if (ticking.exchange(true)) return;  // ticks nested in this one's pumping
      PumpUntil([window] { return !IsMessageWindow(window); });
      // A destructor that does not wait for this tick returns about now.
      PumpUntil([&] { return destroyed.load(); }, 500);
      destroyedDuringTheTick = destroyed.load();
      intervalSeen = sender->Interval();
    });
    PumpUntil([&] { return destroyed.load(); }, 20000);
  });
  while (!ticking) SleepMilliseconds(5);

  timer.reset();
  destroyed = true;
  owner.join();
  EXPECT_FALSE(destroyedDuringTheTick);
  EXPECT_EQ(intervalSeen, 10u);
}

TEST(TimerEx, DestroyingWhileTheOwnerIsHungDestroysTheWindowWhenItPumpsAgain) {
  std::atomic<int> ticks{0};
  std::unique_ptr<TkivTimerEx> timer;
  std::atomic<WindowHandle> window{0};
  std::atomic<bool> destroyed{false};
  std::atomic<bool> windowLeft{true};
  std::thread owner([&] {
    timer = std::make_unique<TkivTimerEx>();
    timer->SetInterval(10);
    timer->SetOnTimer([&ticks](TkivTimerEx*) { ++ticks; });
    window = timer->Window();
    while (!destroyed) SleepMilliseconds(10);  // no pumping: the owner hangs
    // Whatever the destroying thread left queued now meets a component that is gone.
    PumpFor(300);
    windowLeft = IsMessageWindow(window);  // before the thread's end takes its windows along
  });
  while (window == 0) SleepMilliseconds(5);
  SleepMilliseconds(5600);  // long enough for the system to call the owner hung

  Stopwatch watch;
  timer.reset();
  // Two waits of at most five seconds each; a hung owner is given up at once.
  EXPECT_LT(watch.Ms(), 11000);
  destroyed = true;
  owner.join();
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(windowLeft);
}

}  // namespace
}  // namespace chronel::platform
