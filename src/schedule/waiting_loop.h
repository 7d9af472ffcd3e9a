// The timing decisions of a schedule's waiting loop, free of threads, events and windows: each
// pass evaluates the schedule, signals a due time and says how long to wait before the next
// pass. The schedule thread and the timer mode both run it; tests drive it with a fake clock.
//
// Every wait is sized from the time actually left until the next due time, read from the clock
// in each pass: half of it, at most 24 hours. The waits shorten as the due time nears, and a due
// time N ms away costs about log2(N / 50 ms) wake-ups, plus one a day for the days beyond the
// first. Once at most 100 ms are left, the wait ends at the due time itself, so a task starts on
// its due second rather than at a re-check after it. A resume or a change of the clock needs no
// step of its own: the pass after the wait reads the clock afresh.
#pragma once

#include <cstdint>
#include <functional>

#include "schedule/schedule.h"

namespace chronel {

struct TWaitDecision {
  TScheduleState State = TScheduleState::ssWaiting;  // the schedule's state after the pass
  bool Leave = false;  // the loop ends: the end time passed, or the last due time was signalled
  int64_t WaitMs = 0;  // the wait before the next pass, from the end of this one; never negative
};

// Used by one thread at a time: the schedule thread, or the starting thread in timer mode.
class TWaitingLoop {
 public:
  // The wait when the next due time has already passed, so that missed due times fall due in
  // turn, one per shortest wait, rather than all at once.
  static constexpr int64_t kShortestWaitMs = 50;
  static constexpr int64_t kLongestWaitMs = 24 * 60 * 60 * 1000;

  // A run-now request before the schedule's start time first moves the next due time to the
  // start time (and is then spent).
  TWaitingLoop(TSchedule& schedule, bool run_now);

  // One pass. `signal` runs when the schedule is due, after its next due time moved on and the
  // wait was sized; an error it raises leaves the pass (and ends the loop). The time the signal
  // took is left out of the wait.
  TWaitDecision Pass(const std::function<void()>& signal);

  // How long to wait from now before the next pass. Pass returns it; timer mode also waits it
  // before the first pass.
  int64_t WaitMs() const;

 private:
  int64_t MsUntilNextTime() const;

  TSchedule& schedule_;
  bool run_now_;
};

}  // namespace chronel
