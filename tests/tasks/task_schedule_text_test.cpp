#include "tasks/task_schedule_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "core/number_list.h"
#include "schedule/cron.h"
#include "schedule/next_time.h"
#include "tasks/task_list_item.h"

namespace chronel {
namespace {

TEST(ComposeTaskSchedule, GivesTheCronTextAndAddedDaysOfATask) {
  const struct {
    const char* mode;
    const char* params;
    const char* cron;
    const char* added_days;
  } cases[] = {
      {"DAILY", "08:30;NN;1;1", "0 30 8 * * * *", ""},
      {"DAILY", "08:30;YN;6;1", "0 30 8,14,20 * * * *", ""},
      {"HOURLY", "00:05;NN;1;1;0-5,8", "0 5 0-5,8 * * * *", ""},
      {"HOURLY", "00:00;NY;1;20;9-17", "0 0,20,40 9-17 * * * *", ""},
      {"WEEKLY", "07:00;NN;1;1;1-5", "0 0 7 * * 1,2,3,4,5 *", ""},
      {"WEEKDAY", "09:15;NN;1;1;1;1", "0 15 9 * * 1 *", ""},
      {"MONTHLY", "23:00;NN;1;1;15,32", "0 0 23 15,28,29,30,31 * * *", "28,29,30,31,"},
      // repetition counts forward from the start and never wraps
      {"DAILY", "08:30;YY;4;15", "0 30,45 8,12,16,20 * * * *", ""},
      {"DAILY", "22:50;YY;5;30", "0 50 22 * * * *", ""},
      {"DAILY", "00:57;NY;1;0", "0 57,58,59 0 * * * *", ""},  // a step of 0 counts as 1
      {"DAILY", "08:30;yy;4;15", "0 30 8 * * * *", ""},
      {"HOURLY", "00:05;YN;4;1;3", "0 5 3 * * * *", ""},  // no hour repetition when hourly
      // the last day of the month
      {"MONTHLY", "23:00;NN;1;1;1,15,30,32", "0 0 23 1,15,30,28,29,31 * * *", "28,29,31,"},
      {"MONTHLY", "23:00;NN;1;1;32", "0 0 23 28,29,30,31 * * *", "28,29,30,31,"},
      {"MONTHLY", "23:00;NN;1;1;28-32", "0 0 23 28,29,30,31 * * *", ""},
      {"MONTHLY", "23:00;NN;1;1;32,5,32", "0 0 23 5,28,29,30,31 * * *", "28,29,30,31,"},
      // empty lists run every day; an empty hour list leaves an empty field
      {"WEEKLY", "07:00;NN;1;1", "0 0 7 * * * *", ""},
      {"WEEKDAY", "07:00;NN;1;1;2", "0 0 7 * * * *", ""},
      {"MONTHLY", "07:00;NN;1;1", "0 0 7 * * * *", ""},
      {"HOURLY", "00:05;NN;1;1", "0 5  * * * *", ""},
      // odd start times and unknown modes
      {"DAILY", "8:30;NN;1;1", "0 0 0 * * * *", ""},
      {"DAILY", "25:00;NN;1;1", "0 0 25 * * * *", ""},
      {"DAILY", "", "0 0 0 * * * *", ""},
      {"SOMETIMES", "06:10;NN;1;1;5", "0 10 6 * * * *", ""},
  };
  for (const auto& c : cases) {
    const TTaskListItem task(nullptr, "ID", "OPEN", c.mode, c.params, {});
    const TTaskSchedule schedule = ComposeTaskSchedule(task);
    EXPECT_EQ(schedule.CronText, c.cron) << c.mode << " " << c.params;
    EXPECT_EQ(schedule.AddedDays, c.added_days) << c.mode << " " << c.params;
  }
}

// What a task does through a year: its due times from every day at midnight and noon, up to
// the first search that finds none or fails (with that failure's text); the days added to catch
// the last day; the weekday ordinals of 1-6 that the due filter finds in its ordinal list.
struct TaskOutcome {
  std::vector<TDateTime> DueTimes;
  std::string Error;
  std::string AddedDays;
  std::vector<int> Ordinals;
  bool operator==(const TaskOutcome&) const = default;
};

TaskOutcome OutcomeOf(const char* mode, const std::string& params) {
  const TTaskListItem task(nullptr, "ID", "OPEN", mode, params, {});
  const TTaskSchedule composed = ComposeTaskSchedule(task);
  TaskOutcome outcome;
  outcome.AddedDays = composed.AddedDays;
  std::vector<std::string> ordinals;
  ExpandNumberList(task.Param5, ordinals);
  for (int ordinal = 1; ordinal <= 6; ++ordinal) {
    if (std::find(ordinals.begin(), ordinals.end(), std::to_string(ordinal)) != ordinals.end()) {
      outcome.Ordinals.push_back(ordinal);
    }
  }
  try {
    TChronSchedule schedule;
    ParseSchedule(composed.CronText, schedule);
    for (TDateTime from = EncodeDate(2027, 1, 1); from < EncodeDate(2028, 1, 1); from += 0.5) {
      outcome.DueTimes.push_back(FindNextTime(schedule, from, 0, 0));
      if (outcome.DueTimes.back() == 0) break;  // nor from any later moment
    }
  } catch (const Exception& error) {
    outcome.Error = error.what();
  }
  return outcome;
}

// A list with a range of any length does what the same list with a short range does: values
// past what a field can match change nothing, whether there are ten of them or two billion.
TEST(ComposeTaskSchedule, LongRangesInListsActLikeShortOnes) {
  const struct {
    const char* mode;
    const char* params;  // the list follows
    const char* long_list;
    const char* short_list;
  } cases[] = {
      {"MONTHLY", "08:00;NN;1;1;", "1-20000", "1-40"},
      {"MONTHLY", "08:00;NN;1;1;", "5-20000", "5-40"},
      {"MONTHLY", "08:00;NN;1;1;", "30-2000000000", "30-40"},  // the last day, from day 32
      {"MONTHLY", "08:00;NN;1;1;", "40-20000", "40-50"},       // never
      {"MONTHLY", "08:00;NN;1;1;", "0-2147483647", "0-40"},
      {"MONTHLY", "08:00;NN;1;1;", "2147473647-2147483647", "40"},
      {"MONTHLY", "08:00;NN;1;1;", "15,100-2147483647", "15,100"},
      {"WEEKLY", "08:00;NN;1;1;", "1-10001", "1-9"},
      {"WEEKLY", "08:00;NN;1;1;", "3-10002", "3-9"},
      {"WEEKLY", "08:00;NN;1;1;", "6-2147483647", "6-9"},
      {"WEEKLY", "08:00;NN;1;1;", "8-20000", "8-9"},  // never
      {"WEEKDAY", "08:00;NN;1;1;1;", "3-10002", "3-9"},
      {"WEEKDAY", "08:00;NN;1;1;", "2-20000;1", "2-9;1"},
      {"WEEKDAY", "08:00;NN;1;1;", "7-2147483647;1", "7-9;1"},
      {"HOURLY", "00:05;NN;1;1;", "20-20000", "20-30"},  // the search reaches hour 24
      {"HOURLY", "00:05;NN;1;1;", "0-2147483647", "0-30"},
  };
  for (const auto& c : cases) {
    const TaskOutcome long_list = OutcomeOf(c.mode, std::string(c.params) + c.long_list);
    const TaskOutcome short_list = OutcomeOf(c.mode, std::string(c.params) + c.short_list);
    EXPECT_TRUE(long_list == short_list) << c.mode << " " << c.long_list << " ran "
                                         << long_list.DueTimes.size() << " times ("
                                         << long_list.Error << "), " << c.short_list << " "
                                         << short_list.DueTimes.size() << " times ("
                                         << short_list.Error << ")";
  }
}

}  // namespace
}  // namespace chronel
