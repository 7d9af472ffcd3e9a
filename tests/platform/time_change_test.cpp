#include "platform/time_change.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/thread.h"

#ifndef _WIN32
#include <dirent.h>
#include <time.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/time_change_watcher.h"
#endif

namespace chronel::platform {
namespace {

bool WaitFor(const std::atomic<int>& value, int atLeast) {
  for (int i = 0; i < 500 && value < atLeast; ++i) SleepMilliseconds(10);
  return value >= atLeast;
}

class TimeChangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartTimeChangeWatcher()); }
  void TearDown() override { StopTimeChangeWatcher(); }
};

TEST_F(TimeChangeTest, EverySubscriberHearsAChangeUntilItsSubscriptionEnds) {
  std::atomic<int> first{0}, second{0};
  TimeChangeSubscription keepFirst([&first] { ++first; });
  {
    TimeChangeSubscription keepSecond([&second] { ++second; });
    RaiseTimeChangeForTesting();
    EXPECT_TRUE(WaitFor(first, 1));
    EXPECT_TRUE(WaitFor(second, 1));
  }
  RaiseTimeChangeForTesting();
  EXPECT_TRUE(WaitFor(first, 2));
  SleepMilliseconds(100);
  EXPECT_EQ(second, 1);
}

TEST_F(TimeChangeTest, StartingTwiceKeepsOneWatcher) {
  ASSERT_TRUE(StartTimeChangeWatcher());
  std::atomic<int> heard{0};
  TimeChangeSubscription subscription([&heard] { ++heard; });
  RaiseTimeChangeForTesting();
  ASSERT_TRUE(WaitFor(heard, 1));
  SleepMilliseconds(200);
  EXPECT_EQ(heard, 1);
}

TEST_F(TimeChangeTest, AMovedSubscriptionStaysSubscribedOnce) {
  std::atomic<int> heard{0};
  TimeChangeSubscription moved;
  {
    TimeChangeSubscription original([&heard] { ++heard; });
    moved = std::move(original);
  }
  RaiseTimeChangeForTesting();
  ASSERT_TRUE(WaitFor(heard, 1));
  SleepMilliseconds(100);
  EXPECT_EQ(heard, 1);
}

#ifndef _WIN32
using posix::SleepClocks;
using posix::SuspendDetector;

constexpr int64_t kSecond = 1'000'000'000;

TEST(SuspendDetector, TellsASleepFromTheBootClockRunningAheadOfTheMonotonicOne) {
  struct Reading {
    int64_t bootNs, monotonicNs;
    bool slept;
    const char* why;
  };
  const Reading readings[] = {
      {100 * kSecond, 40 * kSecond, false, "the first reading only sets the baseline"},
      {110 * kSecond, 50 * kSecond, false, "both clocks ran on: awake"},
      {111 * kSecond, 50 * kSecond + 100'000'000, false, "a nap under a second is not worth it"},
      {200 * kSecond, 60 * kSecond, true, "the boot clock ran 79 s ahead: asleep"},
      {210 * kSecond, 70 * kSecond, false, "a sleep is told once"},
      {212 * kSecond, 70 * kSecond + 800'000'000, true, "just over a second asleep"},
  };
  SuspendDetector detector;
  for (const Reading& reading : readings) {
    SCOPED_TRACE(reading.why);
    EXPECT_EQ(detector.Slept({reading.bootNs, reading.monotonicNs}), reading.slept);
  }
}

int64_t Nanoseconds(clockid_t id) {
  timespec now{};
  clock_gettime(id, &now);
  return static_cast<int64_t>(now.tv_sec) * kSecond + now.tv_nsec;
}

// The watcher reading clocks and a wall-clock timer set by hand. Every look is counted, so a
// test knows when the watcher has looked after a wake.
class TimeChangeWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    posix::SetTimeChangeSourcesForTesting({
        [this] {
          ++looks_;
          return SleepClocks{bootNs_, monotonicNs_};
        },
        [this](int) {
          if (clockSets_ == 0) return EAGAIN;
          --clockSets_;
          return ECANCELED;
        },
    });
    ASSERT_TRUE(StartTimeChangeWatcher());
  }
  void TearDown() override {
    StopTimeChangeWatcher();
    posix::SetTimeChangeSourcesForTesting({});
  }

  // Returns once the watcher has finished a look that began after the call: the second of two
  // looks starts only when the first one, with its notification, is done.
  void LookNow() {
    for (int i = 0; i < 2; ++i) {
      const int before = looks_;
      posix::WakeTimeChangeWatcherForTesting();
      ASSERT_TRUE(WaitFor(looks_, before + 1));
    }
  }

  void RunAwake(int64_t ns) {
    bootNs_ += ns;
    monotonicNs_ += ns;
  }

  std::atomic<int64_t> bootNs_{5000 * kSecond}, monotonicNs_{4000 * kSecond};
  std::atomic<int> clockSets_{0};
  std::atomic<int> looks_{0};
};

TEST_F(TimeChangeWatcherTest, EverySuspendIsHeardOnceRightAfterTheWake) {
  std::atomic<int> heard{0};
  TimeChangeSubscription subscription([&heard] { ++heard; });
  bootNs_ += 30 * kSecond;  // asleep right after the start
  LookNow();
  EXPECT_EQ(heard, 1);
  RunAwake(600 * kSecond);
  LookNow();
  EXPECT_EQ(heard, 1);
  bootNs_ += 3600 * kSecond;
  monotonicNs_ += kSecond;
  LookNow();
  EXPECT_EQ(heard, 2);
}

TEST_F(TimeChangeWatcherTest, EverySetOfTheWallClockIsHeard) {
  std::atomic<int> heard{0};
  TimeChangeSubscription subscription([&heard] { ++heard; });
  clockSets_ = 1;
  LookNow();
  EXPECT_EQ(heard, 1);
  LookNow();
  EXPECT_EQ(heard, 1);
  clockSets_ = 1;
  LookNow();
  EXPECT_EQ(heard, 2);
}

// The system's own clocks and wall-clock timer, only counted.
TEST(TimeChangeWatcher, OnAQuietMachineAWakeSaysNothing) {
  std::atomic<int> looks{0};
  posix::TimeChangeSources counted;
  counted.readClocks = [&looks] {
    ++looks;
    return SleepClocks{Nanoseconds(CLOCK_BOOTTIME), Nanoseconds(CLOCK_MONOTONIC)};
  };
  posix::SetTimeChangeSourcesForTesting(counted);
  const bool started = StartTimeChangeWatcher();
  posix::SetTimeChangeSourcesForTesting({});  // the running watcher keeps its own
  ASSERT_TRUE(started);
  std::atomic<int> heard{0};
  TimeChangeSubscription subscription([&heard] { ++heard; });
  for (int i = 1; i <= 3; ++i) {
    posix::WakeTimeChangeWatcherForTesting();
    EXPECT_TRUE(WaitFor(looks, 1 + i));  // the first look is the start's baseline
  }
  StopTimeChangeWatcher();
  EXPECT_EQ(heard, 0);
}

int OpenFileCount() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  while (readdir(folder)) ++count;
  closedir(folder);
  return count;
}

TEST(TimeChangeWatcher, StartsAndStopsAtOnceWithoutLeakingAndTheTestSignalStillWorks) {
  std::atomic<int> heard{0};
  TimeChangeSubscription subscription([&heard] { ++heard; });
  const int openBefore = OpenFileCount();
  const auto began = std::chrono::steady_clock::now();
  for (int i = 1; i <= 100; ++i) {
    ASSERT_TRUE(StartTimeChangeWatcher());
    RaiseTimeChangeForTesting();  // heard on this thread, beside the running watcher
    ASSERT_EQ(heard, i);
    StopTimeChangeWatcher();
  }
  // A stop that waited for the watcher's next look would take over three minutes.
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
  EXPECT_EQ(OpenFileCount(), openBefore);
}
#endif

}  // namespace
}  // namespace chronel::platform
