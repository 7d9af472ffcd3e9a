// One schedule: its CRON text, the parsed fields and the due times derived from them. It tells
// the waiting thread when the schedule is next due and whether it is due now.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/date_time.h"
#include "schedule/cron.h"

namespace chronel {

enum class TScheduleState : uint8_t {
  ssWaiting = 0,  // not due
  ssDue = 1,      // due, and a further due time exists
  ssDueLast = 2,  // due, and there is no further due time
  ssExpired = 3,  // the end time has passed
};

// Owned by its scheduled event. The owner's thread sets the text, StartTime and EndTime while
// the event is stopped; while it runs, the event's waiting thread evaluates a copy and passes
// NextTime and State back (TakeProgressFrom). NextTime and State may be read from any thread.
// Every "now" comes from platform::CurrentClock().
class TSchedule {
 public:
  // No text, all entries zero, NextTime the current time.
  TSchedule();
  // The same text, entries, times and state: the copy a waiting thread works on, so that a
  // thread left behind never moves the due times of its event's own schedule.
  TSchedule(const TSchedule& other);
  TSchedule& operator=(const TSchedule&) = delete;

  // The text last parsed successfully ("" at creation).
  const std::string& ScheduleText() const { return text_; }
  // Nothing happens for the current text (compared exactly). Otherwise parses it into Entries
  // (a failure raises and keeps ScheduleText, NextTime and State; the entries before the
  // failing field are already replaced), takes the text and recalculates from now.
  void SetScheduleText(const std::string& text);

  const TChronSchedule& Entries() const { return entries_; }

  // The next due time, or 0 when there is none.
  TDateTime NextTime() const { return next_time_.load(); }
  void SetNextTime(TDateTime value) { next_time_.store(value); }
  TScheduleState State() const { return state_.load(); }
  // Takes NextTime and State from the copy a waiting thread works on.
  void TakeProgressFrom(const TSchedule& copy);

  // 0, or the moment before which the schedule never falls due / after which it has expired.
  TDateTime StartTime() const { return start_time_; }
  void SetStartTime(TDateTime value) { start_time_ = value; }
  TDateTime EndTime() const { return end_time_; }
  void SetEndTime(TDateTime value) { end_time_ = value; }

  // NextTime := now, then CalcNext. True when a next due time exists.
  bool Recalculate();
  // NextTime := the due time after NextTime (not after now). True when there is one.
  // Raises the date-and-time conversion error of FindNextTime.
  bool CalcNext();
  // Sets State from the clock; see schedule.cpp. `run_now` asks for an immediate run and is
  // cleared once honoured.
  void Evaluate(bool& run_now);

 private:
  std::string text_;
  TChronSchedule entries_{};
  std::atomic<TDateTime> next_time_;
  TDateTime start_time_ = 0;
  TDateTime end_time_ = 0;
  std::atomic<TScheduleState> state_{TScheduleState::ssWaiting};
};

}  // namespace chronel
