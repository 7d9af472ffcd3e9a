#include "platform/clock.h"

#include <time.h>

namespace chronel::platform {
namespace {

int64_t Nanoseconds(clockid_t id) {
  timespec now{};
  clock_gettime(id, &now);
  return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

class PosixClock final : public Clock {
 public:
  TDateTime LocalNow() const override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec,
                           static_cast<int>(now.tv_nsec / 1'000'000)});
  }

  // CLOCK_MONOTONIC does not count a suspended machine, so a relative wait does not either.
  uint32_t TickCount() const override {
    return static_cast<uint32_t>(Nanoseconds(CLOCK_MONOTONIC) / 1'000'000);
  }

  int64_t HighResCounter() const override { return Nanoseconds(CLOCK_MONOTONIC); }
  int64_t HighResFrequency() const override { return 1'000'000'000; }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace chronel::platform
