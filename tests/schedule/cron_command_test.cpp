#include "chronel/cron_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/command_outcome.h"
#include "support/fake_clock.h"

namespace chronel {
namespace {

using testing::Outcome;

Outcome RunCron(const std::vector<std::string>& args) {
  return testing::RunCommand<int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&)>(
      RunCronCommand, args);
}

TEST(CronCommand, PrintsTheNextDueTimesExactly) {
  struct Case {
    std::vector<std::string> args;
    Outcome expected;
  };
  const Case cases[] = {
      {{"0 30 8 * * * *", "--from", "2023-01-30 08:30:00"},
       {0,
        "2023-01-31 08:30:00\n2023-02-01 08:30:00\n2023-02-02 08:30:00\n"
        "2023-02-03 08:30:00\n2023-02-04 08:30:00\n",
        ""}},
      {{"--count", "3", "0 0 0 29 2 * *", "--from", "2023-03-01 00:00:00"},
       {0, "2024-02-29 00:00:00\n2028-02-29 00:00:00\n2032-02-29 00:00:00\n", ""}},
      // Strictly after --from: the milliseconds of the reference count.
      {{"0 30 9", "--from", "2023-05-10 09:29:59.999", "--count", "2"},
       {0, "2023-05-10 09:30:00\n2023-05-11 09:30:00\n", ""}},
      {{"0 0 23 15,28,29,30,31 * * *", "--from", "2023-02-15 23:00:00", "--count", "4"},
       {0,
        "2023-02-28 23:00:00\n2023-03-15 23:00:00\n2023-03-28 23:00:00\n"
        "2023-03-29 23:00:00\n",
        ""}},
      {{"0 ?/10 * * * * *", "--from", "2023-01-31 23:57:30.250", "--count", "3"},
       {0, "2023-02-01 00:07:00\n2023-02-01 00:17:00\n2023-02-01 00:27:00\n", ""}},
      {{"0 0 12 * * * 2025", "--from", "2025-12-30 00:00:00"},
       {0, "2025-12-30 12:00:00\n2025-12-31 12:00:00\nnone\n", ""}},
      {{"0 0 0 30 2 * *", "--from", "2023-01-01 00:00:00"}, {0, "none\n", ""}},
      {{"0 0 0 * * 0 *", "--from", "2023-01-01 00:00:00"}, {0, "none\n", ""}},
      // Engine errors: the engine's message after the schedule it was reading, status 2.
      {{"0 1,2, * * * * *"},
       {2, "", "chronel cron: \"0 1,2, * * * * *\": '' is not a valid integer value\n"}},
      {{"? ? ? ? ? ? ?"},
       {2, "", "chronel cron: \"? ? ? ? ? ? ?\": Schedule is not in valid CRON format\n"}},
      {{"0 0 10,25 * * * *", "--from", "2023-05-10 09:00:00"},
       {2, "2023-05-10 10:00:00\n",
        "chronel cron: \"0 0 10,25 * * * *\": ''2023-05-10 25:00:00'' is not a valid date and "
        "time\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    EXPECT_EQ(RunCron(c.args), c.expected);
  }
}

TEST(CronCommand, StartsFromTheLocalTimeByDefault) {
  test::FakeClock clock(EncodeDateTime({2023, 5, 10, 9, 30, 0, 400}));
  EXPECT_EQ(RunCron({"0 30 9", "--count", "1"}), (Outcome{0, "2023-05-11 09:30:00\n", ""}));
}

TEST(CronCommand, RejectsBadUsageWithStatusTwo) {
  const std::vector<std::string> bad[] = {
      {},
      {"--from", "2023-01-01 00:00:00"},
      {"* * *", "--count"},
      {"* * *", "--count", "0"},
      {"* * *", "--count", "many"},
      {"* * *", "--from", "yesterday"},
      {"* * *", "extra"},
  };
  for (const auto& args : bad) {
    const Outcome outcome = RunCron(args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err, "");
  }
}

}  // namespace
}  // namespace chronel
