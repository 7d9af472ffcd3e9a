// Number lists of the task parameters: items separated by ",", each a number or an inclusive
// range a-b ("1-3,5,6,9").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace chronel {

// A range gives at most this many values, then its last: 1-20000 lists 1 to 10000 and 20000.
// A task's lists match nothing above 32 (hours, weekdays, ordinals, month days) and no field of
// a schedule matches 10000 or more, so every value that can match is still listed, as are the
// smallest and the largest, and the schedule is the one the whole range gives; stored text can
// never make the reader allocate without bound.
inline constexpr long long kMaxNumberListRange = 10000;

// A whole list gives at most this many values, so that a stored text of many long ranges
// cannot take gigabytes either. Of the values it leaves out it still lists, in ascending order,
// every one up to kLargestTaskListValue, then the smallest and the largest of the rest: every
// value that can match stays, as do the list's extremes. No task list comes near the bound:
// the longest real one has 32 values.
inline constexpr size_t kMaxNumberListValues = 2 * kMaxNumberListRange;
inline constexpr int kLargestTaskListValue = 32;  // the last day of the month in day lists

// Fills `list` (cleared first) with one decimal string per value, in the order of the items,
// ranges expanded in place (a long one cut short as above), duplicates kept, nothing clipped.
// Items that are not numbers and reversed ranges vanish.
void ExpandNumberList(std::string_view text, std::vector<std::string>& list);

// ExpandNumberList's entries joined with ",".
std::string ExpandedListText(std::string_view text);

}  // namespace chronel
