// Fuzzes CRON texts through the parser and the next-due-time search. The first two bytes pick
// the reference time, the rest is the schedule text. Every search must end quickly (libFuzzer's
// -timeout catches one that does not), and every due time found must lie after its reference
// and, for a schedule without relative fields, match every field.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/date_time.h"
#include "core/exception.h"
#include "schedule/cron.h"
#include "schedule/next_time.h"

namespace {

using namespace chronel;

bool Matches(const TChronEntry& entry, int32_t value, int32_t max_value) {
  return TChronEntryHelper::NextValue(entry, value, max_value) == value;
}

bool MatchesEveryField(const TChronSchedule& s, TDateTime due) {
  const CivilDateTime c = DecodeDateTime(due);
  return c.Millisecond == 0 && Matches(s[cfSecond], c.Second, s[cfSecond].MaxValue) &&
         Matches(s[cfMinute], c.Minute, s[cfMinute].MaxValue) &&
         Matches(s[cfHour], c.Hour, s[cfHour].MaxValue) &&
         Matches(s[cfDayOfMonth], c.Day, DaysInMonth(c.Year, c.Month)) &&
         Matches(s[cfMonth], c.Month, s[cfMonth].MaxValue) &&
         Matches(s[cfDayOfWeek], DayOfTheWeek(due), s[cfDayOfWeek].MaxValue) &&
         Matches(s[cfYear], c.Year, s[cfYear].MaxValue);
}

bool HasRelativeField(const TChronSchedule& s) {
  return std::any_of(s.begin(), s.end(), [](const TChronEntry& e) { return e.IsRelative; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;  // stored schedule texts are short
  // References from 1899 to about 2390, to the millisecond.
  const uint32_t pick = data[0] | (data[1] << 8);
  TDateTime from = pick * 2.75 + (pick % 86400) * kOneSecond + (pick % 1000) * kOneMillisecond;
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

  TChronSchedule schedule{};
  try {
    ParseSchedule(text, schedule);
  } catch (const Exception&) {
    return 0;
  }
  const bool check_fields = !HasRelativeField(schedule);
  try {
    for (int i = 0; i < 3; ++i) {
      const TDateTime due = FindNextTime(schedule, from, 0, 0);
      if (due == 0) break;
      if (!(due > from)) __builtin_trap();
      if (check_fields && !MatchesEveryField(schedule, due)) __builtin_trap();
      from = due;
    }
  } catch (const EConvertError&) {
    // An hour, minute or second out of range, reached by the search.
  }
  return 0;
}
