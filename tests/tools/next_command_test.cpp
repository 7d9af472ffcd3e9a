#include "chronel/next_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/command_outcome.h"
#include "support/fake_clock.h"
#include "tasks/property_store.h"
#include "tasks/proxy_code_object.h"
#include "tasks/temp_folder.h"

namespace chronel {
namespace {

using testing::Outcome;

Outcome RunNext(const std::vector<std::string>& args) {
  return testing::RunCommand<int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&)>(
      RunNextCommand, args);
}

struct Case {
  const char* line;
  const char* from;
  int count;
  const char* expected;
};

Outcome Preview(const Case& c) {
  return RunNext({"--task", c.line, "--from", c.from, "--count", std::to_string(c.count)});
}

TEST(NextCommand, PrintsWhenTheTaskRunsAfterItsDueTests) {
  const Case cases[] = {
      {"1||OPEN||DAILY||08:30;NN;1;1||COM1", "2024-02-28 08:30:00", 3,
       "2024-02-29 08:30:00\n2024-03-01 08:30:00\n2024-03-02 08:30:00\n"},
      // The first Monday.
      {"2||SEND||WEEKDAY||09:15;NN;1;1;1;1||x", "2026-01-01 00:00:00", 5,
       "2026-01-05 09:15:00\n2026-02-02 09:15:00\n2026-03-02 09:15:00\n2026-04-06 09:15:00\n"
       "2026-05-04 09:15:00\n"},
      // The 15th and the last day, in a leap year and a common one.
      {"3||EVENT||MONTHLY||23:00;NN;1;1;15,32||e", "2024-01-20 00:00:00", 7,
       "2024-01-31 23:00:00\n2024-02-15 23:00:00\n2024-02-29 23:00:00\n2024-03-15 23:00:00\n"
       "2024-03-31 23:00:00\n2024-04-15 23:00:00\n2024-04-30 23:00:00\n"},
      {"3||EVENT||MONTHLY||23:00;NN;1;1;15,32||e", "2023-02-15 23:00:00", 1,
       "2023-02-28 23:00:00\n"},
      // 31 is a chosen day; 28-30 run only as the last day.
      {"6||OPEN||MONTHLY||06:00;NN;1;1;31,32", "2026-01-31 06:00:00", 4,
       "2026-02-28 06:00:00\n2026-03-31 06:00:00\n2026-04-30 06:00:00\n2026-05-31 06:00:00\n"},
      // The last Friday.
      {"4||NEWLOG||WEEKDAY||17:00;NN;1;1;6;5", "2026-01-01 00:00:00", 5,
       "2026-01-30 17:00:00\n2026-02-27 17:00:00\n2026-03-27 17:00:00\n2026-04-24 17:00:00\n"
       "2026-05-29 17:00:00\n"},
      // Fifth Mondays are months apart and still found.
      {"5||OPEN||WEEKDAY||09:15;NN;1;1;5;1", "2026-01-01 00:00:00", 3,
       "2026-03-30 09:15:00\n2026-06-29 09:15:00\n2026-08-31 09:15:00\n"},
      // A fourth Monday that is also the last runs once.
      {"7||OPEN||WEEKDAY||09:15;NN;1;1;4,6;1", "2026-05-01 00:00:00", 4,
       "2026-05-25 09:15:00\n2026-06-22 09:15:00\n2026-06-29 09:15:00\n2026-07-27 09:15:00\n"},
      // Every due time of a passing day, none of a failing one.
      {"8||OPEN||WEEKDAY||08:00;YN;4;1;1;1", "2026-01-01 00:00:00", 5,
       "2026-01-05 08:00:00\n2026-01-05 12:00:00\n2026-01-05 16:00:00\n2026-01-05 20:00:00\n"
       "2026-02-02 08:00:00\n"},
      // The plug-in tests a midnight due time just after it began: 1 June is a first Monday.
      {"9||OPEN||WEEKDAY||00:00;NN;1;1;1;1", "2026-05-01 00:00:00", 3,
       "2026-05-04 00:00:00\n2026-06-01 00:00:00\n2026-07-06 00:00:00\n"},
      // No ordinal never passes; weekday 0 is never due; the schedule ends with the year 3000.
      {"A||OPEN||WEEKDAY||09:15;NN;1;1;;1", "2026-01-01 00:00:00", 5, "none\n"},
      {"B||OPEN||WEEKDAY||09:15;NN;1;1;0,7;1", "2026-01-01 00:00:00", 5, "none\n"},
      {"C||OPEN||WEEKLY||09:15;NN;1;1;0", "2026-01-01 00:00:00", 5, "none\n"},
      {"D||OPEN||daily||10:00;NN;1;1||x||y", "3000-12-30 12:00:00", 5,
       "3000-12-31 10:00:00\nnone\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Preview(c), (Outcome{0, c.expected, ""}));
  }
}

TEST(NextCommand, ExplainsTheScheduleFirst) {
  EXPECT_EQ(RunNext({"--explain", "--task", "1||OPEN||DAILY||08:30;NN;1;1||COM1", "--from",
                     "2024-02-28 08:30:00", "--count", "1"}),
            (Outcome{0, "schedule: 0 30 8 * * * *\nadded days:\n2024-02-29 08:30:00\n", ""}));
  EXPECT_EQ(RunNext({"--task", "3||EVENT||MONTHLY||23:00;NN;1;1;15,32||e", "--explain", "--from",
                     "2023-04-16 00:00:00", "--count", "1"}),
            (Outcome{0,
                     "schedule: 0 0 23 15,28,29,30,31 * * *\nadded days: 28,29,30,31,\n"
                     "2023-04-30 23:00:00\n",
                     ""}));
}

TEST(NextCommand, TasksWithoutAScheduleSaySo) {
  const std::pair<const char*, const char*> cases[] = {
      {"1||OPEN||hotkey||Ctrl+Alt+A;C041", "schedule: none (HOTKEY task)\n"},
      {"2||SEND||AFTER||Y;5;1;1", "schedule: none (AFTER task)\n"},
      {"3||CLOSE||EVENT||started||COM1", "schedule: none (EVENT task)\n"},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(RunNext({"--task", line, "--explain"}), (Outcome{0, expected, ""}));
  }
}

TEST(NextCommand, FailsWithTheEnginesMessage) {
  EXPECT_EQ(RunNext({"--task", "1||OPEN||DAILY"}), (Outcome{2, "", "chronel next: not a task line\n"}));
  EXPECT_EQ(RunNext({"--task", "1||OPEN||HOURLY||00:05;NN;1;1;1,2,", "--explain"}),
            (Outcome{2, "schedule: 0 5 1,2, * * * *\nadded days:\n",
                     "chronel next: '' is not a valid integer value\n"}));
  EXPECT_EQ(RunNext({"--task", "1||OPEN||DAILY||25:00;NN;1;1", "--from", "2026-01-01 09:00:00"}),
            (Outcome{2, "",
                     "chronel next: ''2026-01-01 25:00:00'' is not a valid date and time\n"}));
}

TEST(NextCommand, StartsFromTheLocalTimeByDefault) {
  test::FakeClock clock(EncodeDateTime({2026, 1, 5, 9, 15, 0, 400}));
  EXPECT_EQ(RunNext({"--task", "2||SEND||WEEKDAY||09:15;NN;1;1;1;1", "--count", "1"}),
            (Outcome{0, "2026-02-02 09:15:00\n", ""}));
}

TEST(NextCommand, RejectsBadUsageWithStatusTwo) {
  const std::vector<std::string> bad[] = {
      {},
      {"--task"},
      {"1||OPEN||DAILY||08:30"},
      {"--task", "1||OPEN||DAILY||08:30", "--ini", "tasks.ini"},
      {"--task", "1||OPEN||DAILY||08:30", "--section-prefix", "Cfg1"},
      {"--task", "1||OPEN||DAILY||08:30", "--count", "0"},
      {"--task", "1||OPEN||DAILY||08:30", "--from", "tomorrow"},
      {"--ini", "tasks.ini", "--count", "3"},
      {"--ini", "tasks.ini", "--explain"},
      {"--section-prefix", "Cfg1"},
  };
  for (const auto& args : bad) {
    const Outcome outcome = RunNext(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err, "");
  }
}

class NextIniListing : public ::testing::Test {
 protected:
  void Store(const std::string& prefix, std::vector<std::string> lines) {
    TWreg store;
    store.SetINIFile(ini_);
    store.SetINIFileSectionPrefix(prefix);
    store.PropertyList().SetLines({"lstTasks.Strings,Tasks"});
    TProxyCodeObject proxy(nullptr);
    proxy.lstTasks_Strings().SetLines(std::move(lines));
    ASSERT_TRUE(store.WriteProperties(&proxy));
  }

  testing::TempFolder folder_;
  const std::string ini_ = folder_.File("tasks.ini");
};

TEST_F(NextIniListing, ListsEveryTaskWithItsRunsAndLikelyMistakes) {
  Store("Other", {"0||OPEN||DAILY||07:00;NN;1;1"});
  Store("Cfg1", {"1A2B3C4D||OPEN||DAILY||08:30;NN;1;1||COM1", "2||SEND||DAILY||8:30;NN;1;1",
                 "broken||line", "3||OPEN||HOTKEY||Ctrl+Alt+A;C041",
                 "4||SEND||WEEKDAY||09:15;NN;1;1;;1", "5||OPEN||HOURLY||00:05;NN;1;1;1,2,",
                 "6||CLOSE||DAYLY||10:00;Ny;1;5"});
  const Outcome outcome =
      RunNext({"--ini", ini_, "--section-prefix", "Cfg1", "--from", "2026-01-01 08:00:00"});
  EXPECT_EQ(outcome,
            (Outcome{0,
                     "Tasks in " + ini_ + ", section [Cfg1.Common]:\n"
                     "\n"
                     "#0  1A2B3C4D  OPEN  DAILY  08:30;NN;1;1\n"
                     "    next: 2026-01-01 08:30:00, 2026-01-02 08:30:00, 2026-01-03 08:30:00\n"
                     "\n"
                     "#1  2  SEND  DAILY  8:30;NN;1;1\n"
                     "    next: 2026-01-02 00:00:00, 2026-01-03 00:00:00, 2026-01-04 00:00:00\n"
                     "    warning: The start time \"8:30\" is not written as HH:MM; the hour is "
                     "read from characters 1-2 and the minute from characters 4-5, so it reads "
                     "as 00:00.\n"
                     "\n"
                     "line 3: broken||line\n"
                     "    skipped: not a task line (fewer than four fields)\n"
                     "\n"
                     "#2  3  OPEN  HOTKEY  Ctrl+Alt+A;C041\n"
                     "    next: none (HOTKEY task)\n"
                     "\n"
                     "#3  4  SEND  WEEKDAY  09:15;NN;1;1;;1\n"
                     "    next: none\n"
                     "    warning: The WEEKDAY task has no ordinal (first to fifth, or last), so "
                     "it never runs.\n"
                     "\n"
                     "#4  5  OPEN  HOURLY  00:05;NN;1;1;1,2,\n"
                     "    next: the schedule fails: '' is not a valid integer value\n"
                     "\n"
                     "#5  6  CLOSE  DAYLY  10:00;Ny;1;5\n"
                     "    next: 2026-01-01 10:00:00, 2026-01-02 10:00:00, 2026-01-03 10:00:00\n"
                     "    warning: The mode word \"DAYLY\" is not one the plug-in knows, so the "
                     "task is scheduled like DAILY.\n"
                     "    warning: The repeat flags \"Ny\" hold a lowercase y, which counts as "
                     "not set.\n",
                     ""}));
}

TEST_F(NextIniListing, ReadsTheCommonSectionWithoutAPrefix) {
  Store("", {"1||OPEN||DAILY||08:30;NN;1;1"});
  EXPECT_EQ(RunNext({"--ini", ini_, "--from", "2026-01-01 09:00:00"}),
            (Outcome{0,
                     "Tasks in " + ini_ + ", section [Common]:\n\n#0  1  OPEN  DAILY  "
                     "08:30;NN;1;1\n    next: 2026-01-02 08:30:00, 2026-01-03 08:30:00, "
                     "2026-01-04 08:30:00\n",
                     ""}));
  EXPECT_EQ(RunNext({"--ini", ini_, "--section-prefix", "Absent"}).out,
            "Tasks in " + ini_ + ", section [Absent.Common]: none\n");
}

TEST_F(NextIniListing, AMissingFileIsAnError) {
  const Outcome outcome = RunNext({"--ini", folder_.File("missing.ini")});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("missing.ini"), std::string::npos);
}

}  // namespace
}  // namespace chronel
