#include "tasks/task_schedule_text.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/number_list.h"
#include "tasks/task_line.h"
#include "tasks/task_list_item.h"
#include "tasks/task_params.h"

namespace chronel {
namespace {

std::string OrEvery(std::string text) { return text.empty() ? "*" : text; }

std::string Joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) {
    if (!text.empty()) text += ',';
    text += value;
  }
  return text;
}

// Day 32 stands for the last day of the month: it gives way to those of 28-31 that are not
// listed yet, which are also noted in `added_days`.
std::string MonthDays(std::string_view list, std::string& added_days) {
  std::vector<std::string> days;
  ExpandNumberList(list, days);
  const auto last_day = std::remove(days.begin(), days.end(), "32");
  if (last_day == days.end()) return Joined(days);
  days.erase(last_day, days.end());
  for (const char* day : {"28", "29", "30", "31"}) {
    if (std::find(days.begin(), days.end(), day) != days.end()) continue;
    days.emplace_back(day);
    added_days.append(day).append(",");
  }
  return Joined(days);
}

// The start value, then every `step` after it up to `limit`.
std::string RepeatedFrom(int start, int step, int limit) {
  std::string text = std::to_string(start);
  for (int64_t value = int64_t{start} + step; value <= limit; value += step) {
    text.append(",").append(std::to_string(value));
  }
  return text;
}

}  // namespace

TTaskSchedule ComposeTaskSchedule(const TTaskListItem& task) {
  TTaskSchedule schedule;
  std::string days_of_week, days_of_month;
  if (task.Mode == "WEEKLY") days_of_week = ExpandedListText(task.Param5);
  if (task.Mode == "WEEKDAY") days_of_week = ExpandedListText(task.Param6);
  if (task.Mode == "MONTHLY") days_of_month = MonthDays(task.Param5, schedule.AddedDays);

  const TStartTime start = ReadStartTime(TaskParam(task.Params, 1));
  const std::string flags = TaskParam(task.Params, 2);
  const bool hourly = task.Mode == "HOURLY";
  std::string hours = std::to_string(start.Hour);
  if (hourly) hours = task.Param5;
  if (!hourly && RepeatHoursFlag(flags)) {
    hours = RepeatedFrom(start.Hour, ReadStep(TaskParam(task.Params, 3)), 23);
  }
  std::string minutes = std::to_string(start.Minute);
  if (RepeatMinutesFlag(flags)) {
    minutes = RepeatedFrom(start.Minute, ReadStep(TaskParam(task.Params, 4)), 59);
  }
  schedule.CronText = "0 " + minutes + " " + hours + " " + OrEvery(days_of_month) + " * " +
                      OrEvery(days_of_week) + " *";
  return schedule;
}

}  // namespace chronel
