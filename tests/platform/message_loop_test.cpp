#include "platform/message_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/message_window.h"
#include "platform/pumping_thread.h"

namespace chronel::platform {
namespace {

using testing::Stopwatch;

constexpr uint32_t kProbe = kWmUser + 2;

TEST(MessageLoop, ProcessMessagesHandlesEverythingWaitingInOrderAndReturns) {
  std::vector<WParam> seen;
  const WindowHandle window =
      CreateMessageWindow([&seen](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        if (m == kProbe) seen.push_back(wp);
        return DefaultWindowProcedure(w, m, wp, lp);
      });
  ProcessMessages();  // nothing waiting: returns at once
  EXPECT_TRUE(seen.empty());
  for (WParam i = 1; i <= 3; ++i) PostWindowMessage(window, kProbe, i, 0);
  ProcessMessages();
  EXPECT_EQ(seen, (std::vector<WParam>{1, 2, 3}));
  DestroyMessageWindow(window);
}

TEST(MessageLoop, WaitForMessagesWakesOnAPostAndTimesOutWithout) {
  const WindowHandle window = CreateMessageWindow(
      [](WindowHandle w, uint32_t m, WParam wp, LParam lp) { return DefaultWindowProcedure(w, m, wp, lp); });
  ProcessMessages();

  Stopwatch idle;
  EXPECT_FALSE(WaitForMessages(200));
  EXPECT_GE(idle.Ms(), 150);

  std::thread poster([window] {
    SleepMilliseconds(100);
    PostWindowMessage(window, kProbe, 0, 0);
  });
  Stopwatch woken;
  EXPECT_TRUE(WaitForMessages(10000));
  EXPECT_LT(woken.Ms(), 5000);
  poster.join();
  ProcessMessages();
  DestroyMessageWindow(window);
}

TEST(MessageLoop, RunMessageLoopEndsWhenAnotherThreadStopsIt) {
  std::atomic<bool> stop{false};
  int handled = 0;
  const WindowHandle window =
      CreateMessageWindow([&handled](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        if (m == kProbe) ++handled;
        return DefaultWindowProcedure(w, m, wp, lp);
      });
  std::thread stopper([&] {
    for (int i = 0; i < 3; ++i) PostWindowMessage(window, kProbe, 0, 0);
    SleepMilliseconds(100);
    stop = true;
    PostWindowMessage(window, kWmNull, 0, 0);
  });
  RunMessageLoop([&] { return stop.load(); });
  stopper.join();
  EXPECT_EQ(handled, 3);
  DestroyMessageWindow(window);
}

TEST(MessageLoop, RunMessageLoopChecksItsConditionAfterEveryMessage) {
  int handled = 0;
  const WindowHandle window =
      CreateMessageWindow([&handled](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        if (m == kProbe) ++handled;
        return DefaultWindowProcedure(w, m, wp, lp);
      });
  for (int i = 0; i < 3; ++i) PostWindowMessage(window, kProbe, 0, 0);
  RunMessageLoop([&] { return handled == 2; });
  EXPECT_EQ(handled, 2);
  ProcessMessages();
  EXPECT_EQ(handled, 3);
  DestroyMessageWindow(window);
}

}  // namespace
}  // namespace chronel::platform
