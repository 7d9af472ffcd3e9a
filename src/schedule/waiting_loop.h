// The timing decisions of a schedule's waiting loop, free of threads, events and windows: each
// pass evaluates the schedule, signals a due time and says how long to wait before the next
// pass. The schedule thread and the timer mode both run it; tests drive it with a fake clock.
//
// After each due time the loop first waits about half the time until the next due time, then a
// quarter, an eighth and so on, re-reading the clock after each wait; once the halved interval
// is below 50 ms it re-checks every 50 ms (less each pass's own time) until the schedule is due.
// Waits never exceed 24 hours, and the capped part of a wait is not taken off the interval.
#pragma once

#include <cstdint>
#include <functional>

#include "schedule/schedule.h"

namespace chronel {

struct TWaitDecision {
  TScheduleState State = TScheduleState::ssWaiting;  // the schedule's state after the pass
  bool Leave = false;  // the loop ends: the end time passed, or the last due time was signalled
  // The wait before the next pass: the interval kept within 50 ms .. 24 h, less the time the
  // pass took; may be below zero when the pass took longer than the wait.
  int64_t WaitMs = 0;
};

// Used by one thread at a time: the schedule thread, or the starting thread in timer mode.
class TWaitingLoop {
 public:
  static constexpr int64_t kShortestWaitMs = 50;
  static constexpr int64_t kLongestWaitMs = 24 * 60 * 60 * 1000;

  // Sizes the interval from the distance between the schedule's next due time and now. A
  // run-now request before the schedule's start time first moves the next due time to the
  // start time (and is then spent).
  TWaitingLoop(TSchedule& schedule, bool run_now);

  // One pass. `signal` runs when the schedule is due, after the interval was sized from the new
  // next due time; an error it raises leaves the pass (and ends the loop).
  TWaitDecision Pass(const std::function<void()>& signal);

  // The system resumed or the clock was set: the interval is sized afresh from the time left
  // until the next due time, so the next pass neither fires late nor sleeps past it.
  void Recheck();

  // Milliseconds that size the next wait (halved at the start of each pass).
  int64_t Interval() const { return interval_; }

 private:
  int64_t MsUntilNextTime() const;

  TSchedule& schedule_;
  bool run_now_;
  int64_t interval_ = 0;
};

}  // namespace chronel
