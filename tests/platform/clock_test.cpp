#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "platform/thread.h"

namespace chronel::platform {
namespace {

TEST(SystemClock, LocalNowIsTheLocalWallClock) {
  const std::time_t before = std::time(nullptr);
  const TDateTime now = SystemClock().LocalNow();
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &before);
#else
  localtime_r(&before, &local);
#endif
  const TDateTime expected = EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                             local.tm_hour, local.tm_min, local.tm_sec, 0});
  EXPECT_GE(now, expected - kOneMillisecond);
  EXPECT_LT(now, expected + 5 * kOneSecond);
}

TEST(SystemClock, CountersAdvanceWithRealTime) {
  Clock& clock = SystemClock();
  const uint32_t ticks = clock.TickCount();
  const int64_t counter = clock.HighResCounter();
  SleepMilliseconds(200);
  const uint32_t tickDelta = clock.TickCount() - ticks;
  const double counterMs =
      static_cast<double>(clock.HighResCounter() - counter) * 1000.0 / clock.HighResFrequency();
  EXPECT_GE(tickDelta, 180u);
  EXPECT_LT(tickDelta, 2000u);
  EXPECT_GE(counterMs, 190.0);
  EXPECT_LT(counterMs, 2000.0);
}

TEST(SystemClock, LocalNowCarriesMilliseconds) {
  // Over a few reads spread across time, some read must fall off a whole second.
  bool fraction = false;
  for (int i = 0; i < 20 && !fraction; ++i) {
    fraction = DecodeDateTime(SystemClock().LocalNow()).Millisecond != 0;
    SleepMilliseconds(7);
  }
  EXPECT_TRUE(fraction);
}

class FixedClock : public Clock {
 public:
  TDateTime LocalNow() const override { return 45000.5; }
  uint32_t TickCount() const override { return 1234; }
  int64_t HighResCounter() const override { return 1; }
  int64_t HighResFrequency() const override { return 1; }
};

TEST(CurrentClock, IsTheSystemClockUnlessATestPutsInItsOwn) {
  EXPECT_EQ(&CurrentClock(), &SystemClock());
  FixedClock fixed;
  SetClockForTesting(&fixed);
  EXPECT_EQ(CurrentClock().LocalNow(), 45000.5);
  EXPECT_EQ(CurrentClock().TickCount(), 1234u);
  SetClockForTesting(nullptr);
  EXPECT_EQ(&CurrentClock(), &SystemClock());
}

}  // namespace
}  // namespace chronel::platform
