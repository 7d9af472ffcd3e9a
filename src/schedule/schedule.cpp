#include "schedule/schedule.h"

#include <cmath>

#include "platform/clock.h"
#include "schedule/next_time.h"

namespace chronel {
namespace {

TDateTime Now() { return platform::CurrentClock().LocalNow(); }

// True when `next` lies at least 1 ms after `now`. Clock readings are whole milliseconds, so
// the difference is counted in microseconds to keep rounding noise out of the comparison.
bool IsAtLeastOneMsAhead(TDateTime next, TDateTime now) {
  return std::llround((next - now) * kMSecsPerDay * 1000.0) >= 1000;
}

}  // namespace

TSchedule::TSchedule() : next_time_(Now()) {}

TSchedule::TSchedule(const TSchedule& other)
    : text_(other.text_),
      entries_(other.entries_),
      next_time_(other.NextTime()),
      start_time_(other.start_time_),
      end_time_(other.end_time_),
      state_(other.State()) {}

void TSchedule::TakeProgressFrom(const TSchedule& copy) {
  next_time_ = copy.NextTime();
  state_ = copy.State();
}

void TSchedule::SetScheduleText(const std::string& text) {
  if (text == text_) return;
  ParseSchedule(text, entries_);
  text_ = text;
  Recalculate();
}

bool TSchedule::Recalculate() {
  SetNextTime(Now());
  return CalcNext();
}

bool TSchedule::CalcNext() {
  SetNextTime(FindNextTime(entries_, NextTime(), start_time_, end_time_));
  return NextTime() != 0;
}

// Due schedules move on from the due time that has just passed, not from now: after the clock
// was set forward, or the machine slept, over several due times, each falls due in turn, one
// per call.
void TSchedule::Evaluate(bool& run_now) {
  state_ = TScheduleState::ssWaiting;
  const TDateTime now = Now();
  if (end_time_ != 0 && now > end_time_) {
    state_ = TScheduleState::ssExpired;
    return;
  }
  if (run_now) {
    run_now = false;
    if (now >= start_time_) {
      state_ = TScheduleState::ssDue;
    } else {
      SetNextTime(start_time_);
    }
    return;
  }
  // No further due time: nothing can fall due (a search from 0 would start in 1899).
  if (NextTime() == 0 || IsAtLeastOneMsAhead(NextTime(), now)) return;
  if (!CalcNext()) {
    state_ = TScheduleState::ssDueLast;
    return;
  }
  if (start_time_ != 0 && now < start_time_) return;
  state_ = TScheduleState::ssDue;
}

}  // namespace chronel
