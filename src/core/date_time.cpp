#include "core/date_time.h"

#include <cmath>
#include <cstdio>

#include "core/exception.h"

namespace chronel {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

double DayNumber(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
}

double TimeFraction(int hour, int minute, int second, int millisecond) {
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMSecsPerDay;
}

// Whole days and the time of day counted forward from midnight, whatever the sign.
TDateTime Combine(double days, double time) { return days >= 0 ? days + time : days - time; }

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TDateTime EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) throw EConvertError("Invalid argument to date encode");
  return DayNumber(year, month, day);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (!IsValidTime(hour, minute, second, millisecond)) {
    throw EConvertError("Invalid argument to time encode");
  }
  return TimeFraction(hour, minute, second, millisecond);
}

std::optional<TDateTime> TryEncodeDateTime(const CivilDateTime& v) {
  if (!IsValidDate(v.Year, v.Month, v.Day)) return std::nullopt;
  if (!IsValidTime(v.Hour, v.Minute, v.Second, v.Millisecond)) return std::nullopt;
  return Combine(DayNumber(v.Year, v.Month, v.Day),
                 TimeFraction(v.Hour, v.Minute, v.Second, v.Millisecond));
}

TDateTime EncodeDateTime(const CivilDateTime& value) {
  return Combine(EncodeDate(value.Year, value.Month, value.Day),
                 EncodeTime(value.Hour, value.Minute, value.Second, value.Millisecond));
}

CivilDateTime DecodeDateTime(TDateTime value) {
  const long long total = std::llround(std::fabs(value) * kMSecsPerDay);
  const long long whole_days = total / 86400000;
  long long ms = total % 86400000;
  CivilDateTime result;
  CivilFromDays((value < 0 ? -whole_days : whole_days) + kEpochOffset, result.Year, result.Month,
                result.Day);
  result.Millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  result.Second = static_cast<int>(ms % 60);
  ms /= 60;
  result.Minute = static_cast<int>(ms % 60);
  result.Hour = static_cast<int>(ms / 60);
  return result;
}

TDateTime DateOf(TDateTime value) {
  const CivilDateTime civil = DecodeDateTime(value);
  return DayNumber(civil.Year, civil.Month, civil.Day);
}

int DayOfTheWeek(TDateTime value) {
  // Day 0 (1899-12-30) was a Saturday, ISO day 6.
  const long long day = static_cast<long long>(DateOf(value));
  return static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;
}

TDateTime EndOfMonth(TDateTime value) {
  CivilDateTime civil = DecodeDateTime(value);
  civil.Day = DaysInMonth(civil.Year, civil.Month);
  return EncodeDateTime(civil);
}

bool IsLastDayOfMonth(TDateTime value) {
  const CivilDateTime civil = DecodeDateTime(value);
  return civil.Day == DaysInMonth(civil.Year, civil.Month);
}

std::string DateTimeToText(TDateTime value) {
  const CivilDateTime c = DecodeDateTime(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.Year, c.Month, c.Day,
                c.Hour, c.Minute, c.Second);
  return text;
}

std::string DateTimeToTextMs(TDateTime value) {
  char ms[8];
  std::snprintf(ms, sizeof ms, ".%03d", DecodeDateTime(value).Millisecond);
  return DateTimeToText(value) + ms;
}

std::optional<TDateTime> TryTextToDateTime(std::string_view text) {
  // Fixed positions only: "YYYY-MM-DD", then " HH:MM:SS", then ".mmm".
  static constexpr std::string_view kPattern = "dddd-dd-dd dd:dd:dd.ddd";
  if (text.size() != 10 && text.size() != 19 && text.size() != 23) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i]) return std::nullopt;
  }
  const auto number = [&](size_t pos, size_t len) {
    int value = 0;
    for (size_t i = pos; i < pos + len; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  CivilDateTime c;
  c.Year = number(0, 4);
  c.Month = number(5, 2);
  c.Day = number(8, 2);
  c.Hour = text.size() > 10 ? number(11, 2) : 0;
  c.Minute = text.size() > 10 ? number(14, 2) : 0;
  c.Second = text.size() > 10 ? number(17, 2) : 0;
  c.Millisecond = text.size() > 19 ? number(20, 3) : 0;
  return TryEncodeDateTime(c);
}

}  // namespace chronel
