#include "tasks/task_schedule_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace chronel
