// When a time-based task runs: the due times of its schedule that pass the n-th-weekday and
// last-day tests, as the plug-in applies them when a schedule falls due.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "schedule/cron.h"
#include "tasks/task_list_item.h"
#include "tasks/task_schedule_text.h"

namespace chronel {

// HOTKEY, AFTER and EVENT tasks run on a key press, after another task or on a host event; every
// other mode word, an unknown one included, gets a schedule. `mode` is upper-cased.
bool HasSchedule(std::string_view mode);

// "none (HOTKEY task)": what stands for the schedule of a task without one.
std::string NoScheduleText(std::string_view mode);

// The record and schedule of a time-based task as the loader leaves them. Made without an owner
// and only for a mode that HasSchedule, so no hotkey is created.
struct TScheduledTask {
  // `fields`: the fields of a task line, at least four. Composing never fails; parsing the CRON
  // text raises the engine's error.
  explicit TScheduledTask(const std::vector<std::string>& fields);

  TTaskListItem Task;
  TTaskSchedule Schedule;

  TChronSchedule ParsedSchedule() const;
};

// Calls `on_run` with each of the next `count` runs, the first strictly after `from`. Answers
// false when the runs ended first: the schedule has no further due time, or no due time within
// the search horizon passes the tests. Raises the engine's error when the search reaches an
// hour or minute that does not exist.
bool VisitNextRuns(const TTaskListItem& task, const TChronSchedule& schedule, TDateTime from,
                   int count, const std::function<void(TDateTime)>& on_run);

// The next `count` runs of the task whose line has `fields` (at least four), the first strictly
// after `from`; fewer when the runs end, none for a task without a schedule. Raises the engine's
// error when its schedule fails.
std::vector<TDateTime> NextRuns(const std::vector<std::string>& fields, TDateTime from, int count);

}  // namespace chronel
