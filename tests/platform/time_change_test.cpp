#include "platform/time_change.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/thread.h"

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

}  // namespace
}  // namespace chronel::platform
