// Elapsed milliseconds since a reset, from the high-resolution counter when the system has one
// and from the wall clock otherwise.
#pragma once

#include <cstdint>

#include "core/date_time.h"

namespace chronel {

// The whole milliseconds between two date-times, as a distance (never negative). Clock readings
// are whole milliseconds, so sub-microsecond rounding noise is removed before the fraction is
// dropped.
int64_t MilliSecondsBetween(TDateTime a, TDateTime b);

// Reads platform::CurrentClock(). Used by one thread at a time.
class TIntervalMeter {
 public:
  // Detects the counter, then resets.
  TIntervalMeter();

  void Reset();
  int64_t ElapsedMs() const;

 private:
  int64_t counter_at_reset_ = 0;
  TDateTime time_at_reset_ = 0;
  int64_t frequency_ = 1000;
  bool high_resolution_ = false;
};

}  // namespace chronel
