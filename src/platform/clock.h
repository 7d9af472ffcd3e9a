// The one source of "now". Every reader of the time (schedule search and waiting, due
// schedules, LastRun, polling timers) asks CurrentClock(), so tests can put in a fake clock and
// run a 30-day wait or a month end in milliseconds.
#pragma once

#include <cstdint>

#include "core/date_time.h"

namespace chronel::platform {

// Implementations must be safe to call from any thread.
class Clock {
 public:
  virtual ~Clock() = default;
  // Local wall-clock date and time with millisecond precision.
  virtual TDateTime LocalNow() const = 0;
  // Milliseconds since an arbitrary start; wraps like the 32-bit system tick count.
  virtual uint32_t TickCount() const = 0;
  // A monotonic counter and its ticks per second, for measuring short intervals.
  virtual int64_t HighResCounter() const = 0;
  virtual int64_t HighResFrequency() const = 0;
};

// The operating system's clock.
Clock& SystemClock();

// The clock in force: the system clock unless a test has put in its own.
Clock& CurrentClock();

// Null restores the system clock. The clock must outlive its use; not for concurrent swapping
// while other threads read the time.
void SetClockForTesting(Clock* clock);

}  // namespace chronel::platform
