// Seven-field CRON texts (second, minute, hour, day of month, month, day of week, year): the
// accepted grammar, the parsed form and the value-stepping functions the due-time search uses.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/exception.h"

namespace chronel {

// A schedule text that cannot be used as a whole (a field that is not a number raises
// EConvertError instead).
class ECronError : public Exception {
 public:
  using Exception::Exception;
};

// One parsed field, copied by value.
//   "*", "*/s":  every value of the range, Step = max(1, s)
//   "?", "?/s":  relative: moves on from the reference value by Step (may be 0)
//   "a-b/s":     MinValue a, MaxValue b, Step = max(1, s); reversed (a > b) holds only a
//   list:        Values ascending, MinValue / MaxValue their smallest and largest; a list that
//                yields no value keeps MinValue = hi and MaxValue = lo and so takes only hi
struct TChronEntry {
  int32_t MinValue = 0;
  int32_t MaxValue = 0;
  int32_t Step = 0;
  bool IsRelative = false;
  std::vector<int32_t> Values;

  bool operator==(const TChronEntry&) const = default;
};

// Positions of the fields, in text order.
enum TChronField : int {
  cfSecond,
  cfMinute,
  cfHour,
  cfDayOfMonth,
  cfMonth,
  cfDayOfWeek,
  cfYear,
};
inline constexpr int kChronFieldCount = 7;

using TChronSchedule = std::array<TChronEntry, kChronFieldCount>;

// The values "*" and "?" stand for. Day of week: 1 Monday ... 7 Sunday; 0 never matches.
struct TChronRange {
  int32_t Low;
  int32_t High;
};
inline constexpr std::array<TChronRange, kChronFieldCount> kChronRanges = {
    {{0, 59}, {0, 59}, {0, 23}, {1, 31}, {1, 12}, {1, 7}, {1900, 3000}}};

// No field value above this can ever match (no date has a later year, and it is no second,
// minute, hour, day, month or weekday). A list keeps its values up to here and only the first
// value beyond, so a range such as 1-2000000000 is never materialised.
inline constexpr int32_t kLargestMatchingValue = 9999;

// Parses `text` into `schedule` field by field: each field replaces its entry as soon as it is
// parsed, so a failure part-way leaves the earlier entries replaced and the later unchanged.
// Missing fields are "*"; fields after the seventh are ignored.
// Raises EConvertError "'x' is not a valid integer value" for a number that is not one,
// ECronError for a relative field with a negative step and, when all seven fields are "?"
// without a step, ECronError "Schedule is not in valid CRON format".
void ParseSchedule(std::string_view text, TChronSchedule& schedule);

// One field's text with the range (lo, hi) of its position. Raises as ParseSchedule.
TChronEntry ParseField(std::string_view text, int32_t lo, int32_t hi);

struct TChronEntryHelper {
  // The first value of the field equal to or greater than x, wrapping to the first value when
  // there is none; for a relative field, x moved on by the step (wrapping within the range).
  static int32_t NextValue(const TChronEntry& entry, int32_t x);
  // The same with the entry's MaxValue replaced by `max_value` (the day of month searches
  // within the length of the month being examined).
  static int32_t NextValue(const TChronEntry& entry, int32_t x, int32_t max_value);
  // The first value strictly after x, wrapping the same way; a relative field moves on by its
  // step from x itself.
  static int32_t NextAfter(const TChronEntry& entry, int32_t x);
  static int32_t NextAfter(const TChronEntry& entry, int32_t x, int32_t max_value);
};

}  // namespace chronel
