// Date-time values: local wall-clock time as days since 30 December 1899, the time of day as the
// fraction. Before that day the whole part is negative and the fraction still counts forward
// from midnight (-1.25 is 29 December 1899 06:00). 0 means "none" where the callers say so.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chronel {

using TDateTime = double;

inline constexpr double kMSecsPerDay = 86400000.0;
inline constexpr double kOneSecond = 1.0 / 86400.0;
inline constexpr double kOneMillisecond = 1.0 / kMSecsPerDay;

struct CivilDateTime {
  int Year = 1899, Month = 12, Day = 30;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  bool operator==(const CivilDateTime&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1-12

// Valid for years 1-9999. Raise EConvertError on an impossible date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(const CivilDateTime& value);
std::optional<TDateTime> TryEncodeDateTime(const CivilDateTime& value);

// Rounds to the nearest millisecond, so a value a hair before midnight reads as the next day.
CivilDateTime DecodeDateTime(TDateTime value);

TDateTime DateOf(TDateTime value);  // midnight of the value's day
int DayOfTheWeek(TDateTime value);  // ISO: 1 Monday ... 7 Sunday

// The last day of the value's month, keeping its time of day.
TDateTime EndOfMonth(TDateTime value);
bool IsLastDayOfMonth(TDateTime value);

// "YYYY-MM-DD HH:MM:SS" and the same with ".mmm".
std::string DateTimeToText(TDateTime value);
std::string DateTimeToTextMs(TDateTime value);
// Reads "YYYY-MM-DD HH:MM:SS[.mmm]" or "YYYY-MM-DD"; nothing else.
std::optional<TDateTime> TryTextToDateTime(std::string_view text);

}  // namespace chronel
