#include "engine/due_filter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/number_list.h"

namespace chronel {
namespace {

bool Contains(const std::vector<std::string>& list, int value) {
  return std::find(list.begin(), list.end(), std::to_string(value)) != list.end();
}

bool PassesWeekdayOrdinal(const TTaskListItem& task, TDateTime now) {
  std::vector<std::string> ordinals;
  ExpandNumberList(task.Param5, ordinals);
  const CivilDateTime date = DecodeDateTime(now);
  const TDateTime first = EncodeDate(date.Year, date.Month, 1);
  const TDateTime next = date.Month == 12 ? EncodeDate(date.Year + 1, 1, 1)
                                          : EncodeDate(date.Year, date.Month + 1, 1);
  const bool last = now + 7 >= next;  // the same weekday a week later is in the next month
  int occurrence = 0;
  for (TDateTime t = now; t > first; t -= 7) ++occurrence;
  return Contains(ordinals, occurrence) || (last && Contains(ordinals, 6));
}

bool PassesLastDay(const TTaskListItem& task, TDateTime now) {
  std::vector<std::string> added;
  ExpandNumberList(task.AddedDays, added);
  if (!Contains(added, DecodeDateTime(now).Day)) return true;  // a day the user chose
  return IsLastDayOfMonth(now);
}

}  // namespace

bool PassesDueFilter(const TTaskListItem& task, TDateTime now) {
  if (task.Mode == "WEEKDAY") return PassesWeekdayOrdinal(task, now);
  if (task.Mode == "MONTHLY" && !task.AddedDays.empty()) return PassesLastDay(task, now);
  return true;
}

}  // namespace chronel
