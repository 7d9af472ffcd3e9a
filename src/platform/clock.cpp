#include "platform/clock.h"

#include <atomic>

namespace chronel::platform {
namespace {

std::atomic<Clock*> testClock{nullptr};

}  // namespace

Clock& CurrentClock() {
  Clock* clock = testClock.load(std::memory_order_acquire);
  return clock ? *clock : SystemClock();
}

void SetClockForTesting(Clock* clock) { testClock.store(clock, std::memory_order_release); }

}  // namespace chronel::platform
