// Number lists of the task parameters: items separated by ",", each a number or an inclusive
// range a-b ("1-3,5,6,9").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chronel {

// A range may hold at most this many values; a longer one is dropped like a reversed one, so
// stored text can never make the reader allocate without bound.
inline constexpr long long kMaxNumberListRange = 10000;

// Fills `list` (cleared first) with one decimal string per value, in the order of the items,
// ranges expanded in place, duplicates kept, nothing clipped. Items that are not numbers and
// reversed ranges vanish.
void ExpandNumberList(std::string_view text, std::vector<std::string>& list);

// ExpandNumberList's entries joined with ",".
std::string ExpandedListText(std::string_view text);

}  // namespace chronel
