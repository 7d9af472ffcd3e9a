#include "schedule/interval_meter.h"

#include <cmath>

#include "platform/clock.h"

namespace chronel {

int64_t MilliSecondsBetween(TDateTime a, TDateTime b) {
  return std::llround(std::fabs(a - b) * kMSecsPerDay * 1000.0) / 1000;
}

TIntervalMeter::TIntervalMeter() {
  const int64_t frequency = platform::CurrentClock().HighResFrequency();
  high_resolution_ = frequency > 0;
  if (high_resolution_) frequency_ = frequency;
  Reset();
}

void TIntervalMeter::Reset() {
  const platform::Clock& clock = platform::CurrentClock();
  if (high_resolution_) counter_at_reset_ = clock.HighResCounter();
  time_at_reset_ = clock.LocalNow();
}

int64_t TIntervalMeter::ElapsedMs() const {
  const platform::Clock& clock = platform::CurrentClock();
  if (high_resolution_) return (clock.HighResCounter() - counter_at_reset_) * 1000 / frequency_;
  return MilliSecondsBetween(clock.LocalNow(), time_at_reset_);
}

}  // namespace chronel
