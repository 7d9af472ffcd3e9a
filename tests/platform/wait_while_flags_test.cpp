#include "platform/wait_while_flags.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

#include "platform/application.h"
#include "platform/clock.h"
#include "platform/message_window.h"
#include "platform/pumping_thread.h"

namespace chronel::platform {
namespace {

using testing::Stopwatch;

constexpr uint32_t kProbe = kWmUser + 3;

// A window of the waiting thread with one posted message waiting, to see whether the wait
// pumped.
class WaitWhileFlagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateMessageWindow([this](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
      if (m == kProbe) ++handled_;
      return DefaultWindowProcedure(w, m, wp, lp);
    });
    PostWindowMessage(window_, kProbe, 0, 0);
  }
  void TearDown() override {
    DestroyMessageWindow(window_);
    SetApplicationTerminating(false);
  }

  WindowHandle window_ = 0;
  int handled_ = 0;
  std::atomic<bool> set_{true}, alsoSet_{true}, clear_{false};
};

TEST_F(WaitWhileFlagsTest, ClearOrNullFlagsEndTheWaitAtOnceWithoutPumping) {
  struct Case {
    const char* name;
    std::function<bool()> wait;
    bool answer;
  };
  const Case cases[] = {
      {"one clear flag", [&] { return WaitWhileFlags(200, {&clear_}, false); }, true},
      {"a set flag then a clear one",
       [&] { return WaitWhileFlags(200, {&set_, &clear_}, false); }, true},
      {"a null flag before any clear one",
       [&] { return WaitWhileFlags(200, {&set_, nullptr, &clear_}, false); }, false},
      {"a clear flag before a null one",
       [&] { return WaitWhileFlags(200, {&clear_, nullptr}, false); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.wait(), c.answer);
    EXPECT_EQ(handled_, 0);
  }
}

TEST_F(WaitWhileFlagsTest, GivesUpAfterTheTimeOutCountedBeforeEachSleep) {
  Stopwatch watch;
  EXPECT_FALSE(WaitWhileFlags(200, {&set_, &alsoSet_}, false));
  // Checks at 0, 0, 50, 100, 150 and 200 ms; the last sleep still runs: about 250 ms.
  EXPECT_GE(watch.Ms(), 240);
  EXPECT_LT(watch.Ms(), 1500);
  EXPECT_EQ(handled_, 1);  // it pumped while waiting
}

TEST_F(WaitWhileFlagsTest, WithoutATimeOutWaitsUntilAFlagIsCleared) {
  std::thread clearer([this] {
    SleepMilliseconds(300);
    alsoSet_ = false;
  });
  Stopwatch watch;
  EXPECT_TRUE(WaitWhileFlags(0, {&set_, &alsoSet_}, false));
  EXPECT_GE(watch.Ms(), 290);
  EXPECT_LT(watch.Ms(), 3000);
  clearer.join();
}

TEST_F(WaitWhileFlagsTest, TerminationEndsTheWaitUnlessIgnored) {
  SetApplicationTerminating(true);
  EXPECT_FALSE(WaitWhileFlags(0, {&set_}, false));

  Stopwatch watch;
  EXPECT_FALSE(WaitWhileFlags(150, {&set_}, true));
  EXPECT_GE(watch.Ms(), 140);
}

TEST_F(WaitWhileFlagsTest, HandlersOfTheWaitingThreadRunAndTheirErrorsAreSwallowed) {
  const WindowHandle failing = CreateMessageWindow([this](WindowHandle w, uint32_t m, WParam wp,
                                                          LParam lp) -> LResult {
    if (m == kProbe) {
      clear_ = true;  // reused as "the handler ran"
      throw std::runtime_error("handler failed");
    }
    return DefaultWindowProcedure(w, m, wp, lp);
  });
  SetApplicationExceptionHandler([](std::exception_ptr) {});
  PostWindowMessage(failing, kProbe, 0, 0);
  EXPECT_FALSE(WaitWhileFlags(120, {&set_}, false));
  SetApplicationExceptionHandler(nullptr);
  DestroyMessageWindow(failing);
  EXPECT_TRUE(clear_);
}

// The real clock moved so that the tick count wraps during the wait.
class WrappingClock : public Clock {
 public:
  TDateTime LocalNow() const override { return SystemClock().LocalNow(); }
  uint32_t TickCount() const override { return SystemClock().TickCount() - start_ + 0xFFFFFFC0u; }
  int64_t HighResCounter() const override { return SystemClock().HighResCounter(); }
  int64_t HighResFrequency() const override { return SystemClock().HighResFrequency(); }

 private:
  uint32_t start_ = SystemClock().TickCount();
};

TEST_F(WaitWhileFlagsTest, AWrapOfTheTickCountDoesNotEndOrStretchTheWait) {
  WrappingClock clock;
  SetClockForTesting(&clock);
  Stopwatch watch;
  const bool answer = WaitWhileFlags(200, {&set_}, false);
  const long long elapsed = watch.Ms();
  SetClockForTesting(nullptr);
  EXPECT_FALSE(answer);
  EXPECT_GE(elapsed, 240);
  EXPECT_LT(elapsed, 1500);
}

}  // namespace
}  // namespace chronel::platform
