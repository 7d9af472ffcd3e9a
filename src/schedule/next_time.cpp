#include "schedule/next_time.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "core/format.h"

namespace chronel {
namespace {

// The odometer's levels, from the outside in.
enum Level : int { kYear, kMonth, kDay, kHour, kMinute, kSecond };
constexpr int kLevelCount = 6;
constexpr std::array<TChronField, kLevelCount> kFieldOfLevel = {cfYear, cfMonth,  cfDayOfMonth,
                                                                cfHour, cfMinute, cfSecond};

using LevelValues = std::array<int32_t, kLevelCount>;

// Decodable date-times: 1 January of year 1 to the end of 9999.
constexpr TDateTime kFirstDecodable = -693594.0;  // exclusive: the day before 0001-01-01
constexpr TDateTime kPastDecodable = 2958466.0;   // 10000-01-01
constexpr int32_t kLastYear = 9999;
constexpr int32_t kLastMonth = 12;

bool IsValidDate(int32_t year, int32_t month, int32_t day) {
  return year >= 1 && year <= kLastYear && day >= 1 && day <= DaysInMonth(year, month);
}

// ISO weekday (1 Monday ... 7 Sunday) of a valid date.
int IsoWeekday(int32_t year, int32_t month, int32_t day) {
  static constexpr int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  const int sunday_based =
      (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
  return sunday_based == 0 ? 7 : sunday_based;
}

// Bit w set when weekday w satisfies the day-of-week field.
unsigned MatchingWeekdays(const TChronEntry& weekday_field) {
  unsigned mask = 0;
  for (int weekday = 1; weekday <= 7; ++weekday) {
    if (TChronEntryHelper::NextValue(weekday_field, weekday) == weekday) mask |= 1u << weekday;
  }
  return mask;
}

// Calls `visit` with the values of `field` from `low` to `high` in ascending order, stepped
// within `max_value` as the walk steps them, until it returns true; returns whether it did.
template <typename Visit>
bool VisitFieldValues(const TChronEntry& field, int32_t low, int32_t high, int32_t max_value,
                      Visit visit) {
  int32_t value = TChronEntryHelper::NextValue(field, low, max_value);
  while (value >= low && value <= high) {
    if (visit(value)) return true;
    const int32_t next = TChronEntryHelper::NextAfter(field, value, max_value);
    if (next <= value) return false;  // wrapped around
    value = next;
  }
  return false;
}

// Relative fields move on by their step to values outside their own, and a relative hour that
// wraps carries the day along: only with the month, day and hour fixed does the walk take its
// months and days from their fields.
bool DaysComeFromTheirFields(const TChronSchedule& entries) {
  return !entries[cfMonth].IsRelative && !entries[cfDayOfMonth].IsRelative &&
         !entries[cfHour].IsRelative;
}

// Whether a month of the month field has a day of the day-of-month field in a leap year, which
// has every day of the month that any year has.
bool SomeMonthHasFieldDay(const TChronSchedule& entries) {
  constexpr int32_t kLeapYear = 2004;
  const TChronEntry& months = entries[cfMonth];
  const TChronEntry& days = entries[cfDayOfMonth];
  // Most schedules name a day their first month has, and need no search.
  if (days.MinValue >= 1 && days.MinValue <= DaysInMonth(kLeapYear, months.MinValue)) return true;
  return VisitFieldValues(months, 1, kLastMonth, months.MaxValue, [&](int32_t month) {
    const int32_t last_day = DaysInMonth(kLeapYear, month);
    return VisitFieldValues(days, 1, last_day, last_day, [](int32_t) { return true; });
  });
}

[[noreturn]] void ThrowInvalidDateTime(const LevelValues& v) {
  const std::string attempted =
      Format("%.4d-%.2d-%.2d %.2d:%.2d:%.2d",
             {v[kYear], v[kMonth], v[kDay], v[kHour], v[kMinute], v[kSecond]});
  throw EConvertError(Format("''%s'' is not a valid date and time", {attempted}));
}

bool IsValidTime(const LevelValues& v) {
  return v[kHour] >= 0 && v[kHour] <= 23 && v[kMinute] >= 0 && v[kMinute] <= 59 &&
         v[kSecond] >= 0 && v[kSecond] <= 59;
}

class Odometer {
 public:
  Odometer(const TChronSchedule& entries, const LevelValues& reference, TDateTime start,
           unsigned weekdays)
      : entries_(entries), reference_(reference), start_(start), weekdays_(weekdays) {}

  std::optional<TDateTime> Run();

 private:
  enum class Verdict { kDescend, kPassOver, kExhausted };

  const TChronEntry& Field(int level) const { return entries_[kFieldOfLevel[level]]; }
  // The day of month searches within the month of the current year and month values.
  int32_t UpperBound(int level) const {
    return level == kDay ? DaysInMonth(values_[kYear], values_[kMonth]) : Field(level).MaxValue;
  }

  void TakeFirstValues();
  void CarryRelativeWraps();
  Verdict Test(int level) const;
  bool Advance(int level);
  std::optional<TDateTime> AcceptedCandidate() const;

  const TChronSchedule& entries_;
  const LevelValues reference_;
  const TDateTime start_;
  const unsigned weekdays_;
  LevelValues values_{};
  bool first_pass_ = true;
  bool above_at_reference_ = true;  // first pass: every level above the current one is unmoved
};

// Once a larger level lies past its reference value, the smaller ones start from their first
// value; relative fields always move on from the reference.
void Odometer::TakeFirstValues() {
  bool later = false;
  for (int level = kYear; level < kLevelCount; ++level) {
    const TChronEntry& field = Field(level);
    if (later && !field.IsRelative) {
      values_[level] = field.MinValue;
    } else {
      const int32_t bound =
          level == kDay ? DaysInMonth(reference_[kYear], reference_[kMonth]) : field.MaxValue;
      values_[level] = TChronEntryHelper::NextValue(field, reference_[level], bound);
    }
    if (values_[level] > reference_[level]) later = true;
  }
}

// A relative field that wrapped below its reference carries one into the next larger field,
// wrapping that one to 0 past its upper bound; a relative field wrapped by a carry carries on.
void Odometer::CarryRelativeWraps() {
  for (int level = kSecond; level > kYear; --level) {
    if (!Field(level).IsRelative || values_[level] >= reference_[level]) continue;
    const int outer = level - 1;
    const int64_t modulus = int64_t{UpperBound(outer)} + 1;
    values_[outer] =
        modulus > 0 ? static_cast<int32_t>((int64_t{values_[outer]} + 1) % modulus) : 0;
  }
}

Odometer::Verdict Odometer::Test(int level) const {
  const int32_t value = values_[level];
  // On the first pass a value below the reference with everything above unmoved lies before
  // the reference second.
  if (first_pass_ && above_at_reference_ && value < reference_[level]) return Verdict::kExhausted;
  switch (level) {
    // Values only grow until their level wraps: past the last year, the last month or the
    // month's last day no later value of the level can give a date either.
    case kYear:
      if (value > kLastYear) return Verdict::kExhausted;
      return value < 1 ? Verdict::kPassOver : Verdict::kDescend;
    case kMonth:
      return value > kLastMonth ? Verdict::kExhausted : Verdict::kDescend;
    case kDay:
      if (value > DaysInMonth(values_[kYear], values_[kMonth])) return Verdict::kExhausted;
      if (!IsValidDate(values_[kYear], values_[kMonth], value)) return Verdict::kPassOver;
      if ((weekdays_ & (1u << IsoWeekday(values_[kYear], values_[kMonth], value))) == 0) {
        return Verdict::kPassOver;
      }
      return Verdict::kDescend;
    default:
      return Verdict::kDescend;
  }
}

// Moves a level to its next value and restarts the smaller non-relative levels; false when the
// level wrapped around or has no further value.
bool Odometer::Advance(int level) {
  const int32_t old_value = values_[level];
  const int32_t next = TChronEntryHelper::NextAfter(Field(level), old_value, UpperBound(level));
  if (next <= old_value) return false;
  values_[level] = next;
  for (int inner = level + 1; inner < kLevelCount; ++inner) {
    if (!Field(inner).IsRelative) values_[inner] = Field(inner).MinValue;
  }
  first_pass_ = false;
  return true;
}

std::optional<TDateTime> Odometer::AcceptedCandidate() const {
  if (!IsValidTime(values_)) ThrowInvalidDateTime(values_);
  if (values_ <= reference_) return std::nullopt;
  const TDateTime candidate =
      EncodeDateTime({values_[kYear], values_[kMonth], values_[kDay], values_[kHour],
                      values_[kMinute], values_[kSecond], 0});
  if (start_ != 0 && !(candidate > start_)) return std::nullopt;
  return candidate;
}

std::optional<TDateTime> Odometer::Run() {
  TakeFirstValues();
  CarryRelativeWraps();
  int level = kYear;
  bool advance = false;
  while (level >= kYear) {
    if (advance && !Advance(level)) {
      --level;  // exhausted: the next level out advances
      continue;
    }
    advance = true;
    switch (Test(level)) {
      case Verdict::kExhausted:
        --level;
        continue;
      case Verdict::kPassOver:
        continue;
      case Verdict::kDescend:
        break;
    }
    if (level == kSecond) {
      if (const std::optional<TDateTime> found = AcceptedCandidate()) return found;
      continue;
    }
    if (first_pass_) {
      above_at_reference_ = above_at_reference_ && values_[level] == reference_[level];
    }
    ++level;
    advance = false;
  }
  return std::nullopt;
}

}  // namespace

TDateTime FindNextTime(const TChronSchedule& entries, TDateTime from, TDateTime start,
                       TDateTime end) {
  const TDateTime reference = start != 0 && start > from ? start : from;
  if (end != 0 && reference > end) return 0;
  if (!(reference > kFirstDecodable && reference < kPastDecodable)) return 0;
  // A weekday field no weekday satisfies, or month and day fields that name no real day (30
  // February, 31 April), never match: the walk could only end empty, after every year. A year
  // field without leap years, or whose years put those days on no allowed weekday, is left to
  // the walk, which visits only the years the field lists.
  if (DaysComeFromTheirFields(entries) && !SomeMonthHasFieldDay(entries)) return 0;
  const unsigned weekdays = MatchingWeekdays(entries[cfDayOfWeek]);
  if (weekdays == 0) return 0;

  const CivilDateTime r = DecodeDateTime(reference);
  const LevelValues reference_values = {r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second};
  const std::optional<TDateTime> found = Odometer(entries, reference_values, start, weekdays).Run();
  if (!found || (end != 0 && *found > end)) return 0;
  return *found;
}

}  // namespace chronel
