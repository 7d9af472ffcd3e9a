#include "schedule/waiting_loop.h"

#include <algorithm>

#include "platform/clock.h"
#include "schedule/interval_meter.h"

namespace chronel {

TWaitingLoop::TWaitingLoop(TSchedule& schedule, bool run_now)
    : schedule_(schedule), run_now_(run_now) {
  interval_ = MsUntilNextTime();
  if (run_now_ && platform::CurrentClock().LocalNow() < schedule_.StartTime()) {
    schedule_.Evaluate(run_now_);
    interval_ = MsUntilNextTime();
  }
}

// A next due time that already passed (missed while the machine slept or the clock jumped)
// counts as due now, so missed due times fall due in turn, one per shortest wait, instead of
// each waiting half its distance into the past.
int64_t TWaitingLoop::MsUntilNextTime() const {
  const TDateTime now = platform::CurrentClock().LocalNow();
  const TDateTime next = schedule_.NextTime();
  return next > now ? MilliSecondsBetween(next, now) : 0;
}

TWaitDecision TWaitingLoop::Pass(const std::function<void()>& signal) {
  const TIntervalMeter meter;
  interval_ /= 2;
  schedule_.Evaluate(run_now_);
  const TScheduleState state = schedule_.State();
  if (state == TScheduleState::ssExpired) return {state, true, 0};
  if (state == TScheduleState::ssDue || state == TScheduleState::ssDueLast) {
    interval_ = MsUntilNextTime() / 2;
    signal();
    if (state == TScheduleState::ssDueLast) return {state, true, 0};
  }
  const int64_t wait = std::clamp(interval_, kShortestWaitMs, kLongestWaitMs);
  return {state, false, wait - meter.ElapsedMs()};
}

void TWaitingLoop::Recheck() { interval_ = MsUntilNextTime(); }

}  // namespace chronel
