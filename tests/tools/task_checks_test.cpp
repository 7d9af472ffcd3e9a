#include "chronel/task_checks.h"

#include <gtest/gtest.h>

#include "tasks/task_line.h"

namespace chronel {
namespace {

std::vector<std::string> Mistakes(std::string_view line) {
  return FindLikelyMistakes(SplitTaskLine(line));
}

TEST(FindLikelyMistakes, LinesAsTheDialogWritesThemLookFine) {
  for (const char* line : {
           "1||OPEN||DAILY||08:30;NN;1;1||COM1",
           "2||SEND||hourly||00:05;NY;1;15",  // no hours: every hour
           "3||SEND||HOURLY||00:05;NN;1;1;0-5,8",
           "4||OPEN||WEEKLY||07:00;NN;1;1;1-5",
           "5||OPEN||WEEKDAY||09:15;NN;1;1;1,6;1",
           "6||OPEN||MONTHLY||23:00;YY;2;10;15,32",
           "7||OPEN||HOTKEY||Ctrl+;;C0BA",
           "8||OPEN||AFTER||Y;x;1;7",
           "9||OPEN||EVENT||8:30",
       }) {
    EXPECT_EQ(Mistakes(line), std::vector<std::string>{}) << line;
  }
}

TEST(FindLikelyMistakes, SaysWhatThePlugInMakesOfEachMistake) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"1||OPEN||HOURLY||0:05;NN;1;1;8",
       {"The start time \"0:05\" is not written as HH:MM; the hour is read from characters 1-2 "
        "and the minute from characters 4-5, so it reads as 00:05."}},
      {"2||OPEN||DAILY||24:00;NN;1;1",
       {"The start time \"24:00\" is not a time of day, so the task cannot be scheduled."}},
      {"3||OPEN||WEEKDAY||09:15;yY;1;1;x;1-3,9",
       {"The repeat flags \"yY\" hold a lowercase y, which counts as not set.",
        "The ordinal list \"x\" holds no valid number, so the task never runs.",
        "The weekday list \"1-3,9\" holds 9, outside 1 (Monday) to 7 (Sunday)."}},
      {"4||OPEN||HOURLY||00:05;NN;1;1;7-5",
       {"The hour list \"7-5\" holds no valid number, so the task runs every hour."}},
      {"5||OPEN||MONTHLY||12:00;NN;1;1;0,33",
       {"The day list \"0,33\" holds 0, 33, outside 1-31 and 32 (last day)."}},
      {"6||OPEN||WEEKLY||12:00;NN;1;1;Mon",
       {"The weekday list \"Mon\" holds no valid number, so the task runs on every day."}},
      {"7||OPEN||WEEKDAY||12:00;NN;1;1;;1",
       {"The WEEKDAY task has no ordinal (first to fifth, or last), so it never runs."}},
      {"8||OPEN||WEEKDAY ||12:00;NN;1;1",
       {"The mode word \"WEEKDAY \" is not one the plug-in knows, so the task is scheduled like "
        "DAILY."}},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(Mistakes(line), expected) << line;
  }
}

}  // namespace
}  // namespace chronel
