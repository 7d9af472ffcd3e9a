// The CRON text of a time-based task: "0 " + minutes + " " + hours + " " + days of month +
// " * " + days of week + " *" (second 0, every month, every year).
#pragma once

#include <string>

namespace chronel {

class TTaskListItem;

struct TTaskSchedule {
  std::string CronText;
  // MONTHLY with day 32 (the last day): the days of 28-31 added to the list only to catch the
  // last day, each followed by ",". Empty otherwise.
  std::string AddedDays;
};

// For any mode but HOTKEY, AFTER and EVENT (an unknown mode word is scheduled like DAILY).
// HOURLY keeps its stored hour list as written; the start time's hour (characters 1-2) and
// minute (4-5) read 0 when not a number; repetition counts forward from the start by the
// step and never wraps past 23 or 59.
TTaskSchedule ComposeTaskSchedule(const TTaskListItem& task);

}  // namespace chronel
