#include "schedule/next_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

namespace chronel {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

TChronSchedule Parse(std::string_view text) {
  TChronSchedule schedule{};
  ParseSchedule(text, schedule);
  return schedule;
}

TDateTime Next(std::string_view text, TDateTime from, TDateTime start = 0, TDateTime end = 0) {
  return FindNextTime(Parse(text), from, start, end);
}

std::string Text(TDateTime value) { return value == 0 ? "none" : DateTimeToTextMs(value); }

TEST(FindNextTime, FindsTheEarliestMatchingSecondAfterTheReference) {
  struct Case {
    const char* text;
    TDateTime from;
    TDateTime expected;
  };
  const Case cases[] = {
      {"0 30 9 * * * *", At(2023, 5, 10, 9, 29, 59), At(2023, 5, 10, 9, 30)},
      // The reference second itself is never the result.
      {"0 30 9 * * * *", At(2023, 5, 10, 9, 30, 0, 400), At(2023, 5, 11, 9, 30)},
      {"0 0 8 * * 1 *", At(2023, 1, 30, 8), At(2023, 2, 6, 8)},  // from a Monday 08:00
      {"0 */15 * * * * *", At(2023, 5, 10, 10, 50), At(2023, 5, 10, 11)},
      {"0 0 0 31 * * *", At(2023, 1, 31, 0, 0, 1), At(2023, 3, 31)},
      {"0 0 9 29,30,31 * * *", At(2023, 1, 31, 10), At(2023, 3, 29, 9)},
      {"0 0 9 29,30,31 * * *", At(2024, 1, 31, 10), At(2024, 2, 29, 9)},
      {"0 0 0 29 2 * *", At(2023, 3, 1), At(2024, 2, 29)},
      {"0 0 0 31 * 7 *", At(2023, 1, 1), At(2023, 12, 31)},
      {"0 0 0 6 * 1,3,7 *", At(2023, 2, 28, 10, 30, 56), At(2023, 3, 6)},
      // A day range runs to the end of the month.
      {"0 0 0 10-20 * * *", At(2023, 1, 20, 5), At(2023, 1, 21)},
      {"0 0 0 10-20 * * *", At(2023, 1, 31, 5), At(2023, 2, 10)},
      {"0 0 12 * * * 2022", At(2023, 6, 1), 0},
      {"0 0 12 * * * 2025-2026", At(2023, 1, 20), At(2025, 1, 1, 12)},
      {"0 0 0 30 2 * *", At(2023, 1, 1), 0},
      {"0 0 0 * * 7 *", At(2023, 1, 2, 12), At(2023, 1, 8)},
      {"0 0 0 * * 0 *", At(2023, 1, 2, 12), 0},  // 0 is not Sunday
      {"0 0 0 * * 8 *", At(2023, 1, 2, 12), 0},
      {"", At(2023, 12, 31, 23, 59, 59, 999), At(2024, 1, 1)},
      {"0 0 0 1 1 * *", At(3000, 6, 1), 0},  // "*" years end with 3000
      {"0 0 0 1 1 * 2025,5000", At(2030, 1, 1), At(5000, 1, 1)},
      {"0 0 0 31 4,6 * *", At(2023, 1, 1), 0},  // days that never exist in those months
      {"0 0 0 1 13 * *", At(2023, 1, 1), 0},
      // The plug-in's shapes.
      {"0 0,20,40 9-17 * * * *", At(2023, 5, 10, 17, 40), At(2023, 5, 11, 9)},
      {"0 0 7 * * 1,2,3,4,5 *", At(2023, 5, 12, 7), At(2023, 5, 15, 7)},  // Friday to Monday
      {"0 0 23 15,28,29,30,31 * * *", At(2023, 2, 15, 23), At(2023, 2, 28, 23)},
      {"0 5 0-5,8 * * * *", At(2023, 5, 10, 5, 5), At(2023, 5, 10, 8, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " from " + Text(c.from));
    EXPECT_EQ(Text(Next(c.text, c.from)), Text(c.expected));
  }
}

TEST(FindNextTime, RelativeFieldsMoveOnFromThePreviousDueTime) {
  struct Case {
    const char* text;
    TDateTime from;
    std::vector<TDateTime> expected;
  };
  const Case cases[] = {
      {"0 ?/10 * * * * *",
       At(2023, 1, 31, 23, 57, 30, 250),
       {At(2023, 2, 1, 0, 7), At(2023, 2, 1, 0, 17), At(2023, 2, 1, 0, 27)}},
      {"0 0 ? * * * *",
       At(2023, 1, 31, 23, 57, 30),
       {At(2023, 2, 1, 23), At(2023, 2, 2, 23), At(2023, 2, 3, 23)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TChronSchedule schedule = Parse(c.text);
    TDateTime from = c.from;
    for (TDateTime expected : c.expected) {
      from = FindNextTime(schedule, from, 0, 0);
      EXPECT_EQ(Text(from), Text(expected));
    }
  }
}

TEST(FindNextTime, StartAndEndTimesBoundTheResult) {
  const TDateTime from = At(2023, 5, 10, 12);
  EXPECT_EQ(Text(Next("0 0 9 * * * *", from, At(2023, 6, 1, 9))), Text(At(2023, 6, 2, 9)));
  EXPECT_EQ(Text(Next("0 0 9 * * * *", from, At(2023, 6, 1, 8))), Text(At(2023, 6, 1, 9)));
  EXPECT_EQ(Next("0 0 9 * * * *", from, 0, At(2023, 5, 11, 8, 59, 59)), 0);
  EXPECT_EQ(Text(Next("0 0 9 * * * *", from, 0, At(2023, 5, 11, 9))), Text(At(2023, 5, 11, 9)));
  EXPECT_EQ(Next("0 0 9 * * * *", from, 0, At(2023, 5, 10)), 0);  // already past the end
  EXPECT_EQ(Next("0 0 9 * * * *", from, At(2023, 6, 1), At(2023, 5, 20)), 0);
}

TEST(FindNextTime, ATimeOutsideItsRangeFailsWhenTheSearchReachesIt) {
  struct Case {
    const char* text;
    TDateTime from;
    const char* message;
  };
  const Case cases[] = {
      {"0 0 25 * * * *", At(2023, 5, 10, 12),
       "''2023-05-10 25:00:00'' is not a valid date and time"},
      {"0 60 * * * * *", At(2023, 5, 10, 12),
       "''2023-05-10 12:60:00'' is not a valid date and time"},
      {"0 0-2000000000 * * * * *", At(2023, 5, 10, 12, 59, 30),
       "''2023-05-10 12:60:00'' is not a valid date and time"},
      {"75 * * * * * *", At(2023, 5, 10, 12),
       "''2023-05-10 12:00:75'' is not a valid date and time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Next(c.text, c.from);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
  }
  // A bad value the search never reaches does no harm.
  EXPECT_EQ(Text(Next("0 0 10,25 * * * *", At(2023, 5, 10, 9))), Text(At(2023, 5, 10, 10)));
}

TEST(FindNextTime, HugeRangesAreNeverWalkedValueByValue) {
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(Next("0 0 0 30 2 * 2025-2000000000", At(2023, 1, 1)), 0);
  EXPECT_EQ(Next("0 0 0 30 2 * 2025,2000000000", At(2023, 1, 1)), 0);
  EXPECT_EQ(Next("0 0 0 1 13-2000000000 * *", At(2023, 1, 1)), 0);
  EXPECT_EQ(Next("0 0 0 40-2000000000 * * *", At(2023, 1, 1)), 0);
  EXPECT_EQ(Text(Next("0 0 0 1 1-2000000000 * 2025-2000000000", At(2023, 1, 1))),
            Text(At(2025, 1, 1)));
  EXPECT_EQ(Next("0 0 0 1 1 * *", 1e300), 0);
  EXPECT_EQ(Next("0 0 0 1 1 * *", -1e300), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

// The smallest value of the day, hour, minute and second fields that is >= x, by definition.
bool Matches(const TChronEntry& entry, int32_t value, int32_t max_value) {
  return TChronEntryHelper::NextValue(entry, value, max_value) == value;
}

// The first second of `day` after `after` that the hour, minute and second fields allow; 0 when
// there is none.
TDateTime FirstMatchingSecondAfter(const TChronSchedule& s, TDateTime day, TDateTime after) {
  for (int h = 0; h < 24; ++h) {
    if (!Matches(s[cfHour], h, s[cfHour].MaxValue)) continue;
    for (int m = 0; m < 60; ++m) {
      if (!Matches(s[cfMinute], m, s[cfMinute].MaxValue)) continue;
      for (int sec = 0; sec < 60; ++sec) {
        if (!Matches(s[cfSecond], sec, s[cfSecond].MaxValue)) continue;
        const TDateTime candidate = day + EncodeTime(h, m, sec, 0);
        if (candidate > after + kOneMillisecond / 2) return candidate;
      }
    }
  }
  return 0;
}

// The next due time by brute force over every day from the reference to the end of 9999 and
// then the times of day.
TDateTime BruteForceNext(const TChronSchedule& s, TDateTime from) {
  const CivilDateTime r = DecodeDateTime(from);
  const TDateTime r0 = EncodeDateTime({r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second, 0});
  for (int y = r.Year; y <= 9999; ++y) {
    if (!Matches(s[cfYear], y, s[cfYear].MaxValue)) continue;
    for (int mo = 1; mo <= 12; ++mo) {
      if (!Matches(s[cfMonth], mo, s[cfMonth].MaxValue)) continue;
      for (int d = 1; d <= DaysInMonth(y, mo); ++d) {
        if (!Matches(s[cfDayOfMonth], d, DaysInMonth(y, mo))) continue;
        const TDateTime day = EncodeDate(y, mo, d);
        if (day < DateOf(from) ||
            !Matches(s[cfDayOfWeek], DayOfTheWeek(day), s[cfDayOfWeek].MaxValue)) {
          continue;
        }
        if (const TDateTime found = FirstMatchingSecondAfter(s, day, r0)) return found;
      }
    }
  }
  return 0;
}

TEST(FindNextTime, AgreesWithABruteForceSearch) {
  const char* const texts[] = {
      "0 30 8 * * * *",
      "0 0,20,40 9-17 * * * *",
      "0 0 7 * * 1,2,3,4,5 *",
      "0 0 23 15,28,29,30,31 * * *",
      "0 15 9 * * 1 *",
      "*/20 */7 */5 * * * *",
      "0 0 12 1-31/10 2-12/3 * 2023,2025",
      "30 59 23 31 12 * *",
      "0 0 0 29 2 4 *",
      "5,50 1-10/4,30 0,12,23 * * 6,7 *",
      "0 0 0 10-20 * * *",
  };
  std::mt19937 random(20230131);
  std::uniform_real_distribution<double> when(At(2023, 1, 1), At(2024, 12, 31));
  for (const char* text : texts) {
    const TChronSchedule schedule = Parse(text);
    for (int i = 0; i < 40; ++i) {
      // Whole milliseconds, as the clock gives them; some exactly on a due second.
      TDateTime from = std::round(when(random) * kMSecsPerDay) / kMSecsPerDay;
      if (i % 4 == 0) from = BruteForceNext(schedule, from);
      SCOPED_TRACE(std::string(text) + " from " + Text(from));
      EXPECT_EQ(Text(FindNextTime(schedule, from, 0, 0)), Text(BruteForceNext(schedule, from)));
    }
  }
}

// Days that come round rarely or never: 29 February on one weekday, the 31st of short months,
// days and months no calendar has, year fields with and without leap years, and the last
// years "*" allows.
TEST(FindNextTime, AgreesWithABruteForceSearchOnRareAndMissingDays) {
  const char* const texts[] = {
      // Rare.
      "0 0 0 29 2 1 *",  // Monday 29 February, first in 2044
      "0 0 0 29 2 7 *",
      "0 0 0 13 * 5 *",
      "0 0 0 31 4,5 * *",
      "0 0 0 29-31/2 2 * *",
      "0 0 0 0-5/10 2 * *",  // a day range steps on to the end of the month: the 10th and 20th
      "0 0 0 29 2 * 2023,2025,2028",
      "0 0 12 29 2 * 2096-2104",  // 2100 is no leap year
      "0 0 0 29 2 1 2024-2044",
      "0 0 0 31 12 * *",
      // Never.
      "0 0 0 30 2 * *",
      "0 0 0 31 2,4,6,9,11 * *",
      "0 0 0 30-31 2 * *",
      "0 0 0 5-3,7-6 2 * *",  // a list without values takes only 31
      "0 0 0 30 2 1 *",
      "0 0 0 31 4 7 *",
      "0 0 0 32 * * *",
      "0 0 0 0 * 1-5 *",
      "0 0 0 1 13 * *",
      "0 0 0 29 2 * 2100,2200,2300,2500",
      "0 0 0 29 2 1 2024-2043",
  };
  const TDateTime froms[] = {At(2023, 1, 1), At(2024, 2, 29, 12), At(2990, 1, 1),
                             At(2999, 12, 31, 12)};
  for (const char* text : texts) {
    const TChronSchedule schedule = Parse(text);
    for (TDateTime from : froms) {
      SCOPED_TRACE(std::string(text) + " from " + Text(from));
      EXPECT_EQ(Text(FindNextTime(schedule, from, 0, 0)), Text(BruteForceNext(schedule, from)));
    }
  }
}

// Relative fields take values of their own making, so a schedule whose month and day fields
// name no real day may still fall due.
TEST(FindNextTime, RelativeFieldsReachDaysTheFixedFieldsMiss) {
  struct Case {
    const char* text;
    TDateTime from;
    TDateTime expected;
  };
  const Case cases[] = {
      // The hour's wrap carries the day on from the 30th, round the end of February to the 2nd.
      {"0 0 ?/5 30 2 * *", At(2023, 2, 1, 22, 55, 30), At(2023, 2, 2, 3)},
      // The month stays February, and the next leap year has a 29th.
      {"0 0 0 29 ? * *", At(2023, 2, 1), At(2024, 2, 29)},
      {"0 0 0 31 ? * *", At(2999, 12, 31, 12), At(3000, 12, 31)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " from " + Text(c.from));
    EXPECT_EQ(Text(Next(c.text, c.from)), Text(c.expected));
  }
}

}  // namespace
}  // namespace chronel
