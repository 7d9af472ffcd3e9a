// The day tests a schedule cannot express, at the moments a task's schedule falls due.
#include <gtest/gtest.h>

#include <string>

#include "core/date_time.h"
#include "engine/due_filter.h"

namespace chronel {
namespace {

TTaskListItem Task(const char* mode, const char* params, const char* addedDays = "") {
  TTaskListItem task(nullptr, "1", "SEND", mode, params, {"x"});
  task.AddedDays = addedDays;
  return task;
}

TDateTime At(int year, int month, int day, int hour = 9, int minute = 0) {
  return EncodeDateTime({year, month, day, hour, minute, 0, 0});
}

struct Case {
  const char* ordinals;
  TDateTime due;
  bool runs;
};

// Mondays of March 2027: 1, 8, 15, 22, 29 (five); of February 2027: 1, 8, 15, 22 (four).
TEST(DueFilter, WeekdayOrdinalsPickTheNthAndTheLastOccurrence) {
  const Case cases[] = {
      {"1", At(2027, 3, 1), true},     {"1", At(2027, 3, 8), false},
      {"2", At(2027, 3, 8), true},     {"5", At(2027, 3, 29), true},
      {"5", At(2027, 2, 22), false},   // only four Mondays in February
      {"6", At(2027, 2, 22), true},    {"6", At(2027, 3, 22), false},
      {"6", At(2027, 3, 29), true},    {"4,6", At(2027, 2, 22), true},
      {"1,6", At(2027, 3, 15), false}, {"", At(2027, 3, 1), false},
      // Exactly midnight counts towards the previous occurrence.
      {"1", At(2027, 3, 8, 0, 0), true}, {"1", At(2027, 3, 1, 0, 0), false},
  };
  for (const Case& c : cases) {
    const std::string params = std::string("09:00;NN;1;1;") + c.ordinals + ";1";
    EXPECT_EQ(PassesDueFilter(Task("WEEKDAY", params.c_str()), c.due), c.runs)
        << "ordinals " << c.ordinals << " on " << DateTimeToText(c.due);
  }
}

TEST(DueFilter, AddedDaysRunOnlyOnTheLastDayOfTheMonth) {
  // Days 15 and 32: the CRON list 15,28,29,30,31 with 28-31 added for the last day.
  const TTaskListItem lastDay = Task("MONTHLY", "23:00;NN;1;1;15,32", "28,29,30,31,");
  EXPECT_TRUE(PassesDueFilter(lastDay, At(2027, 4, 15)));
  EXPECT_FALSE(PassesDueFilter(lastDay, At(2027, 4, 28)));
  EXPECT_TRUE(PassesDueFilter(lastDay, At(2027, 4, 30)));
  EXPECT_TRUE(PassesDueFilter(lastDay, At(2027, 2, 28)));
  EXPECT_FALSE(PassesDueFilter(lastDay, At(2028, 2, 28)));  // leap year: the 29th is last
  EXPECT_TRUE(PassesDueFilter(lastDay, At(2028, 2, 29)));
  // With 31 chosen by the user, the 31st is a chosen day and runs as such.
  const TTaskListItem chosen31 = Task("MONTHLY", "23:00;NN;1;1;31,32", "28,29,30,");
  EXPECT_TRUE(PassesDueFilter(chosen31, At(2027, 3, 31)));
  EXPECT_FALSE(PassesDueFilter(chosen31, At(2027, 3, 30)));
  EXPECT_TRUE(PassesDueFilter(chosen31, At(2027, 4, 30)));
  // Without day 32 nothing is filtered; other modes neither.
  EXPECT_TRUE(PassesDueFilter(Task("MONTHLY", "23:00;NN;1;1;28"), At(2027, 4, 28)));
  EXPECT_TRUE(PassesDueFilter(Task("DAILY", "23:00;NN;1;1"), At(2027, 4, 28)));
}

}  // namespace
}  // namespace chronel
