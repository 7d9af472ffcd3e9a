#include "schedule/waiting_loop.h"

#include <algorithm>

#include "platform/clock.h"
#include "schedule/interval_meter.h"

namespace chronel {
namespace {

// Within this much of the due time, halving further would only add wake-ups: the wait runs to
// the due time itself.
constexpr int64_t kLastStretchMs = 2 * TWaitingLoop::kShortestWaitMs;

}  // namespace

TWaitingLoop::TWaitingLoop(TSchedule& schedule, bool run_now)
    : schedule_(schedule), run_now_(run_now) {
  if (run_now_ && platform::CurrentClock().LocalNow() < schedule_.StartTime()) {
    schedule_.Evaluate(run_now_);
  }
}

// Zero for a next due time that already passed (missed while the machine slept or the clock
// jumped).
int64_t TWaitingLoop::MsUntilNextTime() const {
  const TDateTime now = platform::CurrentClock().LocalNow();
  const TDateTime next = schedule_.NextTime();
  return next > now ? MilliSecondsBetween(next, now) : 0;
}

int64_t TWaitingLoop::WaitMs() const {
  const int64_t left = MsUntilNextTime();
  if (left == 0) return kShortestWaitMs;
  if (left <= kLastStretchMs) return left;
  return std::min(left / 2, kLongestWaitMs);
}

// The wait is sized before signalling and the signal's own time is taken off it on the
// monotonic meter: a handler that runs, or even sets the clock, meets a pass that has done all
// its readings of the wall clock.
TWaitDecision TWaitingLoop::Pass(const std::function<void()>& signal) {
  schedule_.Evaluate(run_now_);
  const TScheduleState state = schedule_.State();
  if (state == TScheduleState::ssExpired) return {state, true, 0};
  const TIntervalMeter since_sized;
  const int64_t wait = WaitMs();
  if (state == TScheduleState::ssDue || state == TScheduleState::ssDueLast) {
    signal();
    if (state == TScheduleState::ssDueLast) return {state, true, 0};
  }
  return {state, false, std::max<int64_t>(wait - since_sized.ElapsedMs(), 0)};
}

}  // namespace chronel
