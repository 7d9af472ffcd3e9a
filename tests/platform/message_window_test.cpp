#include "platform/message_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/application.h"
#include "platform/message_loop.h"
#include "platform/thread.h"
#include "platform/pumping_thread.h"

namespace chronel::platform {
namespace {

using testing::PumpingThread;
using testing::PumpUntil;
using testing::Stopwatch;

constexpr uint32_t kProbe = kWmUser + 1;

struct Received {
  std::atomic<int> count{0};
  std::atomic<ThreadId> thread{0};
  WParam wparam = 0;
  LParam lparam = 0;
};

WindowProcedure Recorder(Received& received) {
  return [&received](WindowHandle window, uint32_t message, WParam wparam, LParam lparam) {
    if (message != kProbe) return DefaultWindowProcedure(window, message, wparam, lparam);
    received.wparam = wparam;
    received.lparam = lparam;
    received.thread = CurrentThreadId();
    ++received.count;
    return LResult{42};
  };
}

TEST(MessageWindow, PostFromAnotherThreadArrivesOnlyWhenTheOwnerPumps) {
  Received received;
  const WindowHandle window = CreateMessageWindow(Recorder(received));
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(IsMessageWindow(window));

  SystemErrorCode posted = 1;
  std::thread([&] { posted = PostWindowMessage(window, kProbe, 7, -9); }).join();
  EXPECT_EQ(posted, kErrorSuccess);
  EXPECT_EQ(received.count, 0);

  ProcessMessages();
  EXPECT_EQ(received.count, 1);
  EXPECT_EQ(received.thread, CurrentThreadId());
  EXPECT_EQ(received.wparam, 7u);
  EXPECT_EQ(received.lparam, -9);

  DestroyMessageWindow(window);
  EXPECT_FALSE(IsMessageWindow(window));
  EXPECT_EQ(PostWindowMessage(window, kProbe, 0, 0), kErrorInvalidWindowHandle);
}

TEST(MessageWindow, PointerSizedParametersArriveWhole) {
  Received received;
  const WindowHandle window = CreateMessageWindow(Recorder(received));
  const auto big = static_cast<WParam>(UINTPTR_MAX);
  const auto negative = static_cast<LParam>(INTPTR_MIN);
  ASSERT_EQ(PostWindowMessage(window, kProbe, big, negative), kErrorSuccess);
  ProcessMessages();
  EXPECT_EQ(received.wparam, big);
  EXPECT_EQ(received.lparam, negative);
  DestroyMessageWindow(window);
}

TEST(MessageWindow, SendRunsTheProcedureOnTheOwnerAndAnswersItsResult) {
  Received received;
  PumpingThread owner(Recorder(received));

  const SendResult result = SendMessageWithTimeout(owner.Window(), kProbe, 1, 2, 5000);
  EXPECT_TRUE(result.Delivered);
  EXPECT_EQ(result.Result, 42);
  EXPECT_EQ(received.thread, owner.Id());
  EXPECT_NE(owner.Id(), CurrentThreadId());
}

TEST(MessageWindow, SendOnTheOwnerThreadCallsTheProcedureDirectly) {
  Received received;
  const WindowHandle window = CreateMessageWindow(Recorder(received));
  const SendResult result = SendMessageWithTimeout(window, kProbe, 3, 4, 1000);
  EXPECT_TRUE(result.Delivered);
  EXPECT_EQ(result.Result, 42);
  EXPECT_EQ(received.count, 1);
  DestroyMessageWindow(window);
}

TEST(MessageWindow, SendToABusyOwnerGivesUpAfterTheTimeOut) {
  std::atomic<WindowHandle> window{0};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    Received ignored;
    window = CreateMessageWindow(Recorder(ignored));
    // Busy (not pumping) but not yet long enough to count as hung.
    while (!release) SleepMilliseconds(10);
    ProcessMessages();
    DestroyMessageWindow(window);
  });
  while (window == 0) SleepMilliseconds(1);

  Stopwatch watch;
  const SendResult result = SendMessageWithTimeout(window, kProbe, 0, 0, 300);
  const long long elapsed = watch.Ms();
  release = true;
  owner.join();

  EXPECT_FALSE(result.Delivered);
  EXPECT_EQ(result.Error, kErrorTimeout);
  EXPECT_GE(elapsed, 250);
  EXPECT_LT(elapsed, 2000);
}

TEST(MessageWindow, SendToAHungOwnerGivesUpAtOnce) {
  std::atomic<WindowHandle> window{0};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    Received ignored;
    window = CreateMessageWindow(Recorder(ignored));
    while (!release) SleepMilliseconds(10);
    DestroyMessageWindow(window);
  });
  while (window == 0) SleepMilliseconds(1);
  SleepMilliseconds(5600);  // the owner has not looked at its messages for over five seconds

  Stopwatch watch;
  const SendResult result = SendMessageWithTimeout(window, kProbe, 0, 0, 4000);
  const long long elapsed = watch.Ms();
  release = true;
  owner.join();

  EXPECT_FALSE(result.Delivered);
  EXPECT_EQ(result.Error, kErrorTimeout);
  EXPECT_LT(elapsed, 2000);
}

TEST(MessageWindow, WindowsOfAnEndedThreadAreGone) {
  WindowHandle window = 0;
  std::thread([&] {
    Received ignored;
    window = CreateMessageWindow(Recorder(ignored));
  }).join();

  EXPECT_FALSE(IsMessageWindow(window));
  const SendResult result = SendMessageWithTimeout(window, kProbe, 0, 0, 1000);
  EXPECT_FALSE(result.Delivered);
  EXPECT_EQ(result.Error, kErrorInvalidWindowHandle);
  EXPECT_EQ(PostWindowMessage(window, kProbe, 0, 0), kErrorInvalidWindowHandle);
}

TEST(MessageWindow, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  // Thread B's procedure sends back to a window of this thread while this thread waits in its
  // own send to B: the waiting sender must handle the incoming send.
  Received mine;
  const WindowHandle myWindow = CreateMessageWindow(Recorder(mine));
  PumpingThread other([myWindow](WindowHandle window, uint32_t message, WParam wparam,
                                 LParam lparam) -> LResult {
    if (message != kProbe) return DefaultWindowProcedure(window, message, wparam, lparam);
    const SendResult back = SendMessageWithTimeout(myWindow, kProbe, 5, 6, 4000);
    return back.Delivered ? back.Result + 1 : -1;
  });

  const SendResult result = SendMessageWithTimeout(other.Window(), kProbe, 0, 0, 4000);
  EXPECT_TRUE(result.Delivered);
  EXPECT_EQ(result.Result, 43);
  EXPECT_EQ(mine.count, 1);
  EXPECT_EQ(mine.thread, CurrentThreadId());
  DestroyMessageWindow(myWindow);
}

TEST(MessageWindow, AThreadStillWaitingForAReplyAfterANestedWaitIsNotHung) {
  // This thread waits in a send to B. B's procedure sends back here, and this thread's procedure
  // waits in a send of its own (to C) before it answers. Back in the outer wait this thread
  // still waits for B, so five seconds later B's next send must still get through.
  PumpingThread echo;
  const WindowHandle myWindow = CreateMessageWindow(
      [&echo](WindowHandle window, uint32_t message, WParam wparam, LParam lparam) -> LResult {
        if (message != kProbe) return DefaultWindowProcedure(window, message, wparam, lparam);
        return SendMessageWithTimeout(echo.Window(), kProbe, 0, 0, 4000).Delivered ? 1 : -1;
      });
  SendResult nested, later;
  PumpingThread other([&, myWindow](WindowHandle window, uint32_t message, WParam wparam,
                                    LParam lparam) -> LResult {
    if (message != kProbe) return DefaultWindowProcedure(window, message, wparam, lparam);
    nested = SendMessageWithTimeout(myWindow, kProbe, 0, 0, 4000);
    SleepMilliseconds(5600);  // the waiting sender has not looked at its queue since
    later = SendMessageWithTimeout(myWindow, kProbe, 0, 0, 4000);
    return 0;
  });

  const SendResult result = SendMessageWithTimeout(other.Window(), kProbe, 0, 0, 15000);
  EXPECT_TRUE(result.Delivered);
  EXPECT_TRUE(nested.Delivered);
  EXPECT_EQ(nested.Result, 1);
  EXPECT_TRUE(later.Delivered) << "error " << later.Error;
  EXPECT_EQ(later.Result, 1);
  DestroyMessageWindow(myWindow);
}

struct CopyReceived {
  std::uintptr_t tag = 0;
  uint32_t size = 0;
  std::vector<std::byte> bytes;
  WParam sender = 0;
  int count = 0;
};

WindowProcedure CopyRecorder(CopyReceived& received) {
  return [&received](WindowHandle window, uint32_t message, WParam wparam, LParam lparam) {
    if (message != kWmCopyData) return DefaultWindowProcedure(window, message, wparam, lparam);
    const CopyData& data = CopyDataOf(lparam);
    received.tag = data.Tag;
    received.size = data.Size;
    const auto* first = static_cast<const std::byte*>(data.Data);
    received.bytes.assign(first, first + data.Size);
    received.sender = wparam;
    ++received.count;
    return LResult{1};
  };
}

TEST(MessageWindow, CopyDataArrivesIntactWithTagAndByteCount) {
  struct Case {
    const char* name;
    std::uintptr_t tag;
    std::string payload;
  };
  const Case cases[] = {
      {"text with a NUL inside", 3, std::string("kind\0line\xff\x01", 11)},
      {"empty", 0, ""},
      {"large, with a wide tag", static_cast<std::uintptr_t>(-1), std::string(70000, 'x')},
  };
  CopyReceived received;
  PumpingThread owner(CopyRecorder(received));
  const WindowHandle sender = CreateMessageWindow(
      [](WindowHandle w, uint32_t m, WParam wp, LParam lp) { return DefaultWindowProcedure(w, m, wp, lp); });

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto* bytes = reinterpret_cast<const std::byte*>(c.payload.data());
    const SendResult result =
        SendCopyData(owner.Window(), sender, c.tag, {bytes, c.payload.size()}, 5000);
    ASSERT_TRUE(result.Delivered);
    EXPECT_EQ(result.Result, 1);
    EXPECT_EQ(received.tag, c.tag);
    EXPECT_EQ(received.size, c.payload.size());
    ASSERT_EQ(received.bytes.size(), c.payload.size());
    EXPECT_EQ(std::memcmp(received.bytes.data(), c.payload.data(), c.payload.size()), 0);
    EXPECT_EQ(received.sender, sender);
  }
  EXPECT_EQ(received.count, 3);
  DestroyMessageWindow(sender);
}

TEST(MessageWindow, AProcedureMayDestroyItsOwnWindow) {
  int handled = 0;
  const WindowHandle window =
      CreateMessageWindow([&handled](WindowHandle w, uint32_t m, WParam wp, LParam lp) {
        if (m != kProbe) return DefaultWindowProcedure(w, m, wp, lp);
        ++handled;
        DestroyMessageWindow(w);
        return LResult{0};
      });
  PostWindowMessage(window, kProbe, 0, 0);
  PostWindowMessage(window, kProbe, 0, 0);
  ProcessMessages();
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(IsMessageWindow(window));
}

TEST(MessageWindow, AnErrorInAProcedureGoesToTheCentralHandler) {
  std::string reported;
  SetApplicationExceptionHandler([&reported](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported = e.what();
    }
  });
  const WindowHandle window = CreateMessageWindow([](WindowHandle w, uint32_t m, WParam wp,
                                                     LParam lp) -> LResult {
    if (m == kProbe) throw std::runtime_error("handler failed");
    return DefaultWindowProcedure(w, m, wp, lp);
  });
  const SendResult result = SendMessageWithTimeout(window, kProbe, 0, 0, 1000);
  SetApplicationExceptionHandler(nullptr);
  DestroyMessageWindow(window);

  EXPECT_EQ(reported, "handler failed");
  EXPECT_TRUE(result.Delivered);
  EXPECT_EQ(result.Result, 0);
}

TEST(MessageWindow, OnlyTheOwnerThreadDestroysAWindow) {
  Received received;
  const WindowHandle window = CreateMessageWindow(Recorder(received));
  std::thread([window] { DestroyMessageWindow(window); }).join();
  EXPECT_TRUE(IsMessageWindow(window));
  DestroyMessageWindow(window);
  EXPECT_FALSE(IsMessageWindow(window));
}

}  // namespace
}  // namespace chronel::platform
