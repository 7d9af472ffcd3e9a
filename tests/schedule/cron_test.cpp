#include "schedule/cron.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace chronel {
namespace {

TChronEntry Minute(std::string_view text) { return ParseField(text, 0, 59); }

TChronSchedule Parse(std::string_view text) {
  TChronSchedule schedule{};
  ParseSchedule(text, schedule);
  return schedule;
}

std::vector<int32_t> Range(int32_t first, int32_t last, int32_t step = 1) {
  std::vector<int32_t> values;
  for (int32_t v = first; v <= last; v += step) values.push_back(v);
  return values;
}

TEST(CronField, EachFormIsStoredAsItsRecord) {
  struct Case {
    const char* text;
    TChronEntry expected;
  };
  std::vector<int32_t> one_to_ten_and_twenty = Range(1, 10);
  one_to_ten_and_twenty.push_back(20);
  const Case cases[] = {
      {"*", {0, 59, 1, false, {}}},
      {"*/15", {0, 59, 15, false, {}}},
      {"*/0", {0, 59, 1, false, {}}},
      {"?", {0, 59, 0, true, {}}},
      {"?/10", {0, 59, 10, true, {}}},
      {"10-20", {10, 20, 1, false, {}}},
      {"1-10/3", {1, 10, 3, false, {}}},
      {"20-10", {20, 10, 1, false, {}}},  // reversed: holds only 20
      {"5/10", {5, 5, 1, false, {5}}},    // a step after a single number has no effect
      {"5,1,5,3", {1, 5, 1, false, {1, 3, 5}}},
      {"1-10/3,20", {1, 20, 1, false, {1, 4, 7, 10, 20}}},
      {"1-10/0,20", {1, 20, 1, false, one_to_ten_and_twenty}},
      {"3,1-4", {1, 4, 1, false, {1, 2, 3, 4}}},
      {"1,*/5", {0, 59, 1, false, {}}},  // a star anywhere in a list: every value, step 1
      {"x*", {0, 59, 1, false, {}}},
      {"7,?", {0, 59, 0, true, {}}},
      {"/5", {59, 0, 1, false, {}}},  // no value at all: MinValue hi, MaxValue lo
      {"9-3,7-2", {59, 0, 1, false, {}}},
      {"90", {90, 90, 1, false, {90}}},  // out of range: accepted here, fails in the search
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Minute(c.text), c.expected);
  }
}

TEST(CronField, ListsAndStarStepsGiveTheSameValues) {
  const TChronEntry list = Minute("0,15,30,45");
  const TChronEntry star = Minute("*/15");
  for (int32_t x = 0; x <= 59; ++x) {
    EXPECT_EQ(TChronEntryHelper::NextValue(list, x), TChronEntryHelper::NextValue(star, x)) << x;
    EXPECT_EQ(TChronEntryHelper::NextAfter(list, x), TChronEntryHelper::NextAfter(star, x)) << x;
  }
}

TEST(CronField, BadNumbersNameTheOffendingText) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"0 1,2, * * * * *", "'' is not a valid integer value"},
      {"0 1,,2 * * * * *", "'' is not a valid integer value"},
      {"0 ,1 * * * * *", "'' is not a valid integer value"},
      {"0 5-x * * * * *", "'x' is not a valid integer value"},
      {"0 -5 * * * * *", "'' is not a valid integer value"},
      {"0 */x * * * * *", "'x' is not a valid integer value"},
      {"0 1-10/x,3 * * * * *", "'x' is not a valid integer value"},
      {"0 1/2/3 * * * * *", "'2/3' is not a valid integer value"},
      {"0 5/10,7 * * * * *", "'5/10' is not a valid integer value"},
      {"0 1-5-7 * * * * *", "'5-7' is not a valid integer value"},
      {"0 99999999999 * * * * *", "'99999999999' is not a valid integer value"},
      {"0 \"a\"\"b\" * * * * *", "'a\"b' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Parse(c.text);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
}

TEST(CronSchedule, MissingFieldsAreStarsAndBlankRunsSeparate) {
  const TChronSchedule every_second = Parse("");
  for (int i = 0; i < kChronFieldCount; ++i) {
    EXPECT_EQ(every_second[i],
              (TChronEntry{kChronRanges[i].Low, kChronRanges[i].High, 1, false, {}}));
  }
  EXPECT_EQ(Parse("0 30 9"), Parse("0 30 9 * * * *"));
  EXPECT_EQ(Parse("  0\t30 \r\n 9  *   * * *  "), Parse("0 30 9 * * * *"));
  EXPECT_EQ(Parse("0 30 9 * * * * 5 6"), Parse("0 30 9"));  // items after the seventh ignored
  // A quoted field may hold blanks, which separate list items like commas.
  EXPECT_EQ(Parse("0 \"1, 2 3\" 9")[cfMinute].Values, (std::vector<int32_t>{1, 2, 3}));
}

TEST(CronSchedule, AllRelativeWithoutStepIsNoSchedule) {
  try {
    Parse("? ? ? ? ? ? ?");
    ADD_FAILURE() << "no error";
  } catch (const ECronError& error) {
    EXPECT_EQ(error.Message(), "Schedule is not in valid CRON format");
  }
  EXPECT_TRUE(Parse("? ? ? ? ? ?")[cfSecond].IsRelative);  // the year defaults to "*"
  EXPECT_NO_THROW(Parse("? ? ? ? ? ? ?/1"));
}

TEST(CronSchedule, RelativeFieldsCannotStepBackwards) {
  try {
    Parse("0 ?/-3");
    ADD_FAILURE() << "no error";
  } catch (const ECronError& error) {
    EXPECT_EQ(error.Message(),
              "'?/-3' is not a valid relative field: its step may not be negative");
  }
  EXPECT_EQ(Minute("*/-3").Step, 1);  // an ordinary step below 1 counts as 1
}

TEST(CronSchedule, AFailureKeepsTheFieldsParsedBeforeIt) {
  TChronSchedule schedule = Parse("1 2 3 4 5 6 2020");
  const TChronSchedule before = schedule;
  EXPECT_THROW(ParseSchedule("7 8 x 9", schedule), EConvertError);
  EXPECT_EQ(schedule[cfSecond].Values, std::vector<int32_t>{7});
  EXPECT_EQ(schedule[cfMinute].Values, std::vector<int32_t>{8});
  for (int i = cfHour; i < kChronFieldCount; ++i) EXPECT_EQ(schedule[i], before[i]) << i;
}

TEST(CronField, NextValueAndNextAfterWrapAround) {
  struct Case {
    const char* text;
    int32_t x;
    int32_t next_value;
    int32_t next_after;
  };
  const Case cases[] = {
      {"10,20,40", 25, 40, 40}, {"10,20,40", 41, 10, 10}, {"10,20,40", 40, 40, 10},
      {"*/15", 50, 0, 0},       {"*/15", 45, 45, 0},      {"*/15", 44, 45, 45},
      {"10-20/5", 3, 10, 10},   {"10-20/5", 16, 20, 20},  {"10-20/5", 20, 20, 10},
      {"20-10", 5, 20, 20},     {"20-10", 20, 20, 20},    {"20-10", 35, 20, 20},
      {"/5", 0, 59, 59},        {"/5", 59, 59, 59},  // a list without values: only hi
      {"?/10", 5, 15, 15},      {"?/10", 57, 7, 7},       {"?", 33, 33, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.x));
    const TChronEntry entry = Minute(c.text);
    EXPECT_EQ(TChronEntryHelper::NextValue(entry, c.x), c.next_value);
    EXPECT_EQ(TChronEntryHelper::NextAfter(entry, c.x), c.next_after);
  }
}

TEST(CronField, NoStepArithmeticDividesByZero) {
  // A day list without values, searched within a 31-day month, lands inside its own bounds.
  const TChronEntry no_day = ParseField("/5", 1, 31);
  EXPECT_EQ(TChronEntryHelper::NextValue(no_day, 31, 31), 31);
  EXPECT_EQ(TChronEntryHelper::NextAfter(no_day, 30, 31), 31);
  // A relative day in a month that does not exist has an empty span.
  const TChronEntry relative_day = ParseField("?/3", 1, 31);
  EXPECT_EQ(TChronEntryHelper::NextValue(relative_day, 1, 0), 1);
  // Never-set entries are all zero.
  EXPECT_EQ(TChronEntryHelper::NextValue(TChronEntry{}, 7), 0);
  EXPECT_EQ(TChronEntryHelper::NextAfter(TChronEntry{}, 0), 0);
}

TEST(CronField, HugeRangesAndStepsStayBounded) {
  const TChronEntry huge = Minute("1-2000000000/3,4");
  EXPECT_EQ(huge.MinValue, 1);
  EXPECT_EQ(huge.MaxValue, 1999999999);  // the last value the range really holds
  EXPECT_LE(huge.Values.size(), static_cast<size_t>(kLargestMatchingValue) + 2);
  EXPECT_EQ(TChronEntryHelper::NextValue(huge, 5), 7);
  EXPECT_EQ(TChronEntryHelper::NextValue(huge, 10000), 10000);  // first value beyond 9999

  const TChronEntry big_step = Minute("*/2000000000");
  EXPECT_EQ(TChronEntryHelper::NextValue(big_step, 1), 0);
  const TChronEntry big_relative = Minute("?/2147483647");
  EXPECT_EQ(TChronEntryHelper::NextValue(big_relative, 59), 6);  // (59 + 2^31 - 1) mod 60
  const TChronEntry wide = Minute("0-2147483647");
  EXPECT_EQ(TChronEntryHelper::NextAfter(wide, 2147483647), 0);
}

// Lists of stepped ranges, long and short, keep exactly what walking each range value by value
// keeps: every value up to kLargestMatchingValue, then the smallest beyond it, and the exact
// smallest and largest values listed.
TEST(CronField, ListsOfRangesKeepWhatWalkingThemValueByValueKeeps) {
  std::mt19937 random(20261211);
  const auto pick = [&](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  for (int round = 0; round < 400; ++round) {
    std::string text;
    std::set<int32_t> kept;
    int64_t beyond = std::numeric_limits<int64_t>::max();
    int64_t smallest = beyond, largest = 0;
    for (int64_t items = pick(2, 6); items > 0; --items) {
      const int64_t first = pick(0, 3) == 0 ? pick(9900, 10100) : pick(0, 10050);
      const int64_t spans[] = {pick(0, 200), pick(0, 20000), pick(0, 2147483647 - first)};
      const int64_t last = first + spans[pick(0, 2)];
      const int64_t step = pick(0, 3) == 0 ? pick(1, 20000) : pick(1, 70);
      text += std::to_string(first) + "-" + std::to_string(last) + "/" + std::to_string(step);
      if (items > 1) text += ",";
      for (int64_t value = first; value <= last; value += step) {
        if (value > kLargestMatchingValue) {
          beyond = std::min(beyond, value);
          break;
        }
        kept.insert(static_cast<int32_t>(value));
      }
      smallest = std::min(smallest, first);
      largest = std::max(largest, first + (last - first) / step * step);
    }
    std::vector<int32_t> expected(kept.begin(), kept.end());
    if (beyond != std::numeric_limits<int64_t>::max()) {
      expected.push_back(static_cast<int32_t>(beyond));
    }
    const TChronEntry entry = Minute(text);
    ASSERT_EQ(entry.Values, expected) << text;
    EXPECT_EQ(entry.MinValue, smallest) << text;
    EXPECT_EQ(entry.MaxValue, largest) << text;
  }
}

}  // namespace
}  // namespace chronel
