#include "engine/task_runs.h"

#include <algorithm>
#include <iterator>

#include "core/text.h"
#include "engine/due_filter.h"
#include "schedule/next_time.h"

namespace chronel {
namespace {

// A task's CRON text never restricts the month or the year, so a task that runs at all runs
// within months: a fifth Monday comes round at least every few months, a last day every month.
// A run further away than this means its tests never pass (a WEEKDAY ordinal list with nothing
// in 1-6, say).
constexpr int kSearchHorizonYears = 5;

std::vector<std::string> Remaining(const std::vector<std::string>& fields) {
  return {std::next(fields.begin(), 4), fields.end()};
}

TDateTime YearsLater(TDateTime value, int years) {
  CivilDateTime date = DecodeDateTime(value);
  date.Year += years;
  date.Day = std::min(date.Day, DaysInMonth(date.Year, date.Month));  // 29 February
  return TryEncodeDateTime(date).value_or(0);
}

// The plug-in reads the clock for its tests once the due second has begun, a few milliseconds
// in. Only the very instant of midnight would count the day towards the one before, so the
// preview tests a moment just past the due time.
TDateTime MomentTested(TDateTime due) {
  CivilDateTime moment = DecodeDateTime(due);
  moment.Millisecond = 1;
  return EncodeDateTime(moment);
}

// The tests look at the date alone (at any moment but midnight itself), so a due time that fails
// them rules out its whole day.
TDateTime LastSecondOfDay(TDateTime value) {
  CivilDateTime last = DecodeDateTime(value);
  last.Hour = 23;
  last.Minute = 59;
  last.Second = 59;
  last.Millisecond = 0;
  return EncodeDateTime(last);
}

TDateTime FindNextRun(const TTaskListItem& task, const TChronSchedule& schedule,
                      TDateTime after) {
  const TDateTime horizon = YearsLater(after, kSearchHorizonYears);
  TDateTime due = FindNextTime(schedule, after, 0, horizon);
  while (due != 0 && !PassesDueFilter(task, MomentTested(due))) {
    due = FindNextTime(schedule, LastSecondOfDay(due), 0, horizon);
  }
  return due;
}

}  // namespace

bool HasSchedule(std::string_view mode) {
  return mode != "HOTKEY" && mode != "AFTER" && mode != "EVENT";
}

std::string NoScheduleText(std::string_view mode) {
  return "none (" + std::string(mode) + " task)";
}

TScheduledTask::TScheduledTask(const std::vector<std::string>& fields)
    : Task(nullptr, fields[0], fields[1], fields[2], fields[3], Remaining(fields)),
      Schedule(ComposeTaskSchedule(Task)) {
  Task.AddedDays = Schedule.AddedDays;
}

TChronSchedule TScheduledTask::ParsedSchedule() const {
  TChronSchedule parsed{};
  ParseSchedule(Schedule.CronText, parsed);
  return parsed;
}

bool VisitNextRuns(const TTaskListItem& task, const TChronSchedule& schedule, TDateTime from,
                   int count, const std::function<void(TDateTime)>& on_run) {
  TDateTime previous = from;
  for (int i = 0; i < count; ++i) {
    previous = FindNextRun(task, schedule, previous);
    if (previous == 0) return false;
    on_run(previous);
  }
  return true;
}

std::vector<TDateTime> NextRuns(const std::vector<std::string>& fields, TDateTime from, int count) {
  std::vector<TDateTime> runs;
  if (!HasSchedule(UpperCaseAscii(fields[2]))) return runs;
  const TScheduledTask scheduled(fields);
  VisitNextRuns(scheduled.Task, scheduled.ParsedSchedule(), from, count,
                [&runs](TDateTime run) { runs.push_back(run); });
  return runs;
}

}  // namespace chronel
