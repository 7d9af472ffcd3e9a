#include "core/date_time.h"

#include <gtest/gtest.h>

#include "core/exception.h"

namespace chronel {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

TEST(DateTime, DayNumbersCountFromTheEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);  // 1900 has no 29 February
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1800, 1, 1), -36522.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_DOUBLE_EQ(At(2000, 1, 1, 12), 36526.5);
}

TEST(DateTime, ValuesBeforeTheEpochCountTheTimeForwardFromMidnight) {
  EXPECT_DOUBLE_EQ(At(1899, 12, 29, 6), -1.25);
  EXPECT_EQ(DecodeDateTime(-1.25), (CivilDateTime{1899, 12, 29, 6, 0, 0, 0}));
  EXPECT_EQ(DecodeDateTime(-0.25), (CivilDateTime{1899, 12, 30, 6, 0, 0, 0}));
  EXPECT_EQ(DateTimeToText(At(1752, 9, 14, 23, 59, 58)), "1752-09-14 23:59:58");
  EXPECT_EQ(DayOfTheWeek(-1.25), 5);  // 29 December 1899 was a Friday
  EXPECT_EQ(DayOfTheWeek(At(1899, 12, 24, 18)), 7);
}

TEST(DateTime, LeapYearsFollowTheGregorianRules) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  EXPECT_FALSE(TryEncodeDateTime({2100, 2, 29, 0, 0, 0, 0}));
  EXPECT_TRUE(TryEncodeDateTime({2024, 2, 29, 0, 0, 0, 0}));
  EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(DateTime, EndOfMonthKeepsTheTimeOfDay) {
  struct Case {
    TDateTime value;
    TDateTime end;
  };
  const Case cases[] = {
      {At(2024, 2, 10, 13, 45), At(2024, 2, 29, 13, 45)},
      {At(2023, 2, 1), At(2023, 2, 28)},
      {At(1900, 2, 5, 1), At(1900, 2, 28, 1)},
      {At(2000, 2, 5), At(2000, 2, 29)},
      {At(2100, 2, 5), At(2100, 2, 28)},
      {At(2024, 4, 30, 23, 59, 59, 999), At(2024, 4, 30, 23, 59, 59, 999)},
      {At(2024, 12, 31), At(2024, 12, 31)},
      {At(1899, 2, 10, 6), At(1899, 2, 28, 6)},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EndOfMonth(c.value), c.end) << DateTimeToTextMs(c.value);
  }
}

TEST(DateTime, IsLastDayOfMonth) {
  EXPECT_TRUE(IsLastDayOfMonth(At(2024, 2, 29, 9)));
  EXPECT_FALSE(IsLastDayOfMonth(At(2024, 2, 28, 9)));
  EXPECT_TRUE(IsLastDayOfMonth(At(2100, 2, 28)));
  EXPECT_FALSE(IsLastDayOfMonth(At(2000, 2, 28)));
  EXPECT_TRUE(IsLastDayOfMonth(At(1900, 2, 28, 23, 59, 59)));
  EXPECT_TRUE(IsLastDayOfMonth(At(2023, 6, 30)));
  EXPECT_FALSE(IsLastDayOfMonth(At(2023, 7, 30)));
  EXPECT_TRUE(IsLastDayOfMonth(At(1899, 11, 30, 12)));
}

TEST(DateTime, MidnightBoundariesRoundToTheMillisecond) {
  const TDateTime midnight = At(2024, 3, 1);
  // A hair before midnight (less than half a millisecond) already reads as the next day.
  EXPECT_EQ(DateTimeToTextMs(midnight - 0.4 * kOneMillisecond), "2024-03-01 00:00:00.000");
  EXPECT_FALSE(IsLastDayOfMonth(midnight - 0.4 * kOneMillisecond));
  EXPECT_EQ(DateTimeToTextMs(midnight - kOneMillisecond), "2024-02-29 23:59:59.999");
  EXPECT_TRUE(IsLastDayOfMonth(midnight - kOneMillisecond));
  EXPECT_EQ(DateOf(midnight - kOneMillisecond), At(2024, 2, 29));
  EXPECT_EQ(DateOf(At(2024, 2, 29, 23, 59, 59, 999)), At(2024, 2, 29));
  EXPECT_EQ(DayOfTheWeek(At(2024, 1, 1)), 1);
  EXPECT_EQ(DayOfTheWeek(At(2024, 1, 7, 23, 59, 59, 999)), 7);
}

TEST(DateTime, DecodeAndEncodeAgreeOverManyYears) {
  for (int year : {1, 1600, 1899, 1900, 1970, 2024, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      const CivilDateTime value{year, month, DaysInMonth(year, month), 23, 59, 59, 999};
      EXPECT_EQ(DecodeDateTime(EncodeDateTime(value)), value) << year << "-" << month;
    }
  }
}

TEST(DateTime, TextFormsReadAndWrite) {
  EXPECT_EQ(DateTimeToText(At(2026, 12, 10, 8, 5, 3, 700)), "2026-12-10 08:05:03");
  EXPECT_EQ(DateTimeToTextMs(At(2026, 12, 10, 8, 5, 3, 7)), "2026-12-10 08:05:03.007");
  EXPECT_EQ(TryTextToDateTime("2026-12-10 08:05:03.007"), At(2026, 12, 10, 8, 5, 3, 7));
  EXPECT_EQ(TryTextToDateTime("2026-12-10 08:05:03"), At(2026, 12, 10, 8, 5, 3));
  EXPECT_EQ(TryTextToDateTime("2026-12-10"), At(2026, 12, 10));
  for (const char* bad : {"", "2026-12-10 8:05:03", "2026-02-30", "2026-12-10 24:00:00",
                          "2026-12-10T08:05:03", "2026-12-10 08:05:03.07", "x026-12-10"}) {
    EXPECT_FALSE(TryTextToDateTime(bad)) << bad;
  }
}

}  // namespace
}  // namespace chronel
