#include "tasks/task_line.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tasks/task_id.h"
#include "tasks/task_params.h"

namespace chronel {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitTaskLine, SeparatesAtDoubleBarsAndLineBreaks) {
  const struct {
    const char* line;
    Fields fields;
  } cases[] = {
      {"1A2B3C4D||OPEN||DAILY||08:30;NN;1;1||COM1",
       {"1A2B3C4D", "OPEN", "DAILY", "08:30;NN;1;1", "COM1"}},
      {"id||a||m||p||", {"id", "a", "m", "p"}},  // no empty argument
      {"id||a||m", {"id", "a", "m"}},
      {"id||||m||p", {"id", "", "m", "p"}},
      {"||a", {"", "a"}},
      {"a|b||c", {"a|b", "c"}},
      {"id||a||m||p||x||y", {"id", "a", "m", "p", "x", "y"}},
      {"id||a||m||p||l1\r\nl2\rl3\nl4", {"id", "a", "m", "p", "l1", "l2", "l3", "l4"}},
      {"id||a||m||p||||", {"id", "a", "m", "p", ""}},
      {" id || a ||m||p", {" id ", " a ", "m", "p"}},  // nothing is trimmed
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTaskLine(c.line), c.fields) << c.line;
}

TEST(JoinTaskLine, LeavesOutAnEmptyArgumentWithItsSeparator) {
  EXPECT_EQ(JoinTaskLine("1A2B3C4D", "SEND", "DAILY", "07:30;NN;5;1", "PING"),
            "1A2B3C4D||SEND||DAILY||07:30;NN;5;1||PING");
  EXPECT_EQ(JoinTaskLine("1A2B3C4D", "NEWLOG", "EVENT", "EV1", ""),
            "1A2B3C4D||NEWLOG||EVENT||EV1");
  // An empty parameter text ends the line with a separator, which gives no field: not a task.
  EXPECT_EQ(SplitTaskLine(JoinTaskLine("I", "A", "M", "", "")), (Fields{"I", "A", "M"}));
}

TEST(TaskParam, TakesTrimmedValuesByPosition) {
  EXPECT_EQ(TaskParam("08:30; NN ;1", 2), "NN");
  EXPECT_EQ(TaskParam("08:30;NN;1", 4), "");
  EXPECT_EQ(TaskParam("", 1), "");
}

TEST(ReadStartTime, TakesTwoCharactersEachForHourAndMinute) {
  const struct {
    const char* text;
    int hour, minute;
  } cases[] = {
      {"08:30", 8, 30}, {"23:5", 23, 5}, {"25:61", 25, 61}, {"ab:cd", 0, 0}, {"12", 12, 0},
      {"", 0, 0},       {"7", 7, 0},    {"0830", 8, 0},   {"-1:-5", -1, -5},
      {"8:30", 0, 0},  // characters 4-5 of 8:30 are "0"
  };
  for (const auto& c : cases) {
    const TStartTime time = ReadStartTime(c.text);
    EXPECT_EQ(time.Hour, c.hour) << c.text;
    EXPECT_EQ(time.Minute, c.minute) << c.text;
  }
}

TEST(TaskParams, StepsDefaultToOneAndOnlyUpperCaseYSetsAFlag) {
  EXPECT_EQ(ReadStep("5"), 5);
  for (const char* step : {"0", "-3", "x", "", "1.5"}) EXPECT_EQ(ReadStep(step), 1) << step;
  EXPECT_TRUE(RepeatHoursFlag("YN"));
  EXPECT_FALSE(RepeatMinutesFlag("YN"));
  EXPECT_FALSE(RepeatHoursFlag("yY"));
  EXPECT_TRUE(RepeatMinutesFlag("yY"));
  EXPECT_TRUE(RepeatHoursFlag("Y"));
  EXPECT_FALSE(RepeatMinutesFlag("Y"));
  EXPECT_FALSE(RepeatHoursFlag(""));
}

TEST(TaskParams, TimeModesAsTheDialogWritesThem) {
  TTimeParams daily{7, 30, false, false, 5, 1, "", ""};
  EXPECT_EQ(TimeParamsText("DAILY", daily), "07:30;NN;5;1");

  TTimeParams hourly{0, 5, true, true, 5, 20, "0-5,8", ""};
  EXPECT_EQ(TimeParamsText("HOURLY", hourly), "00:05;NY;1;20;0-5,8");

  TTimeParams weekday{9, 15, true, false, 2, 1, "2,6", "1-5"};
  EXPECT_EQ(TimeParamsText("WEEKDAY", weekday), "09:15;YN;2;1;2,6;1-5");
  weekday.List.clear();  // weekdays stay parameter 6
  EXPECT_EQ(TimeParamsText("WEEKDAY", weekday), "09:15;YN;2;1;;1-5");
  weekday.WeekdayList.clear();
  EXPECT_EQ(TimeParamsText("WEEKDAY", weekday), "09:15;YN;2;1");

  TTimeParams weekly{23, 0, false, false, 1, 1, "", "ignored"};
  EXPECT_EQ(TimeParamsText("WEEKLY", weekly), "23:00;NN;1;1");
}

TEST(TaskParams, HotKeyAndAfterAsTheDialogWritesThem) {
  EXPECT_EQ(HotKeyParamsText("Ctrl+Alt+A", 0xC041), "Ctrl+Alt+A;C041");
  const std::string semicolon = HotKeyParamsText("Ctrl+;", 0x40BA);
  EXPECT_EQ(TaskParam(semicolon, 2), "40BA") << semicolon;
  EXPECT_EQ(HotKeyParamsText("A", 0x41), "A;0041");
  EXPECT_EQ(AfterParamsText(true, 5, 1, "1A2B3C4D"), "Y;5;1;1A2B3C4D");
  EXPECT_EQ(AfterParamsText(false, 1, 0, ""), "N;1;0;0");
}

TEST(NewTaskID, IsEightUpperCaseHexDigitsAndFreshEachTime) {
  const std::regex form("[0-9A-F]{8}");
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    const std::string id = NewTaskID();
    EXPECT_TRUE(std::regex_match(id, form)) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 100u);
}

}  // namespace
}  // namespace chronel
