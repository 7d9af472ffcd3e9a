#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/application.h"

namespace chronel::platform {
namespace {

TEST(Thread, RunsTheBodyOnANewThreadWhoseIdItKnows) {
  std::atomic<ThreadId> seen{0};
  Thread thread = Thread::Start([&seen] { seen = CurrentThreadId(); });
  const ThreadId id = thread.Id();
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, CurrentThreadId());
  thread.Join();
  EXPECT_FALSE(thread.Joinable());
  EXPECT_EQ(seen, id);
}

TEST(Thread, WaitForReportsWhetherTheBodyHasEnded) {
  std::atomic<bool> release{false};
  Thread thread = Thread::Start([&release] {
    while (!release) SleepMilliseconds(5);
  });
  EXPECT_FALSE(thread.WaitFor(100));
  release = true;
  EXPECT_TRUE(thread.WaitFor(5000));
}

TEST(Thread, ManySmallStackThreadsRunSideBySide) {
  // What a few hundred schedule threads look like: each parked until all have started.
  constexpr int kCount = 300;
  std::atomic<int> started{0};
  std::atomic<bool> release{false};
  std::vector<Thread> threads;
  for (int i = 0; i < kCount; ++i) {
    threads.push_back(Thread::Start([&] {
      char scratch[8 * 1024];  // a modest frame, well inside 64 KiB
      std::memset(scratch, 1, sizeof scratch);
      ++started;
      while (!release) SleepMilliseconds(5);
    }));
  }
  for (int i = 0; i < 1000 && started < kCount; ++i) SleepMilliseconds(5);
  EXPECT_EQ(started, kCount);
  release = true;
  for (Thread& thread : threads) thread.Join();
}

TEST(Thread, ADetachedThreadFinishesOnItsOwn) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  {
    Thread thread = Thread::Start([done] {
      SleepMilliseconds(50);
      *done = true;
    });
    thread.Detach();
    EXPECT_FALSE(thread.Joinable());
  }
  for (int i = 0; i < 500 && !*done; ++i) SleepMilliseconds(10);
  EXPECT_TRUE(*done);
}

TEST(Thread, AnErrorLeavingTheBodyGoesToTheCentralHandler) {
  std::string reported;
  SetApplicationExceptionHandler([&reported](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported = e.what();
    }
  });
  Thread::Start([] { throw std::runtime_error("body failed"); }).Join();
  SetApplicationExceptionHandler(nullptr);
  EXPECT_EQ(reported, "body failed");
}

TEST(Thread, TheCallingThreadMayReturnToNormalPriority) {
  bool normal = false;
  Thread::Start([&normal] {
    SetCurrentThreadPriority(ThreadPriority::TimeCritical);  // may be refused without rights
    normal = SetCurrentThreadPriority(ThreadPriority::Normal);
  }).Join();
  EXPECT_TRUE(normal);
}

}  // namespace
}  // namespace chronel::platform
