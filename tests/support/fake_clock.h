// A clock for tests: time stands still until the test moves it, so a 30-day wait, a month end or
// a clock set back runs in microseconds. Constructing one puts it in force for every reader of
// platform::CurrentClock(); destroying it restores the system clock.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>

#include "core/date_time.h"
#include "platform/clock.h"

namespace chronel::test {

// Dates from 30 December 1899 on. Every method: any thread.
class FakeClock final : public platform::Clock {
 public:
  static constexpr int64_t kCounterFrequency = 1'000'000;  // microseconds

  explicit FakeClock(TDateTime now) : wall_ms_(ToMs(now)) { platform::SetClockForTesting(this); }
  ~FakeClock() override { platform::SetClockForTesting(nullptr); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  TDateTime LocalNow() const override {
    return static_cast<double>(wall_ms_.load()) / kMSecsPerDay;
  }
  uint32_t TickCount() const override { return static_cast<uint32_t>(elapsed_ms_.load()); }
  int64_t HighResCounter() const override { return elapsed_ms_.load() * 1000; }
  int64_t HighResFrequency() const override { return kCounterFrequency; }

  // Time passes: the wall clock, the tick count and the counter all move on.
  void AdvanceMs(int64_t ms) {
    wall_ms_ += ms;
    elapsed_ms_ += ms;
  }
  // The wall clock is set (by the user, a time server, a daylight-saving change or a resume):
  // the tick count and the counter, which measure time the program ran, stay.
  void SetLocalNow(TDateTime now) { wall_ms_ = ToMs(now); }
  void ShiftLocalMs(int64_t ms) { wall_ms_ += ms; }

  // Milliseconds the program has run (tick count and counter) since the clock was made.
  int64_t ElapsedMs() const { return elapsed_ms_.load(); }

 private:
  static int64_t ToMs(TDateTime value) { return std::llround(value * kMSecsPerDay); }

  std::atomic<int64_t> wall_ms_;
  std::atomic<int64_t> elapsed_ms_{0};
};

}  // namespace chronel::test
