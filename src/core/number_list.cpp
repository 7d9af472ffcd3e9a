#include "core/number_list.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/numbers.h"
#include "core/text.h"

namespace chronel {
namespace {

// Collects values up to kMaxNumberListValues; past that it only notes, in constant time per
// item, the small values left out and the smallest and largest of the rest.
class TBoundedList {
 public:
  explicit TBoundedList(std::vector<std::string>& list) : list_(list) {}

  bool Full() const { return list_.size() >= kMaxNumberListValues; }

  void Add(int64_t value) {
    if (Full()) return LeaveOut(value, value);
    list_.push_back(std::to_string(value));
  }

  // first..last, none of them listed.
  void LeaveOut(int64_t first, int64_t last) {
    for (int64_t value = std::max<int64_t>(first, 0);
         value <= std::min<int64_t>(last, kLargestTaskListValue); ++value) {
      smallLeftOut_ |= uint64_t{1} << value;
    }
    if (last > kLargestTaskListValue) {
      const int64_t lowest_large = std::max<int64_t>(first, kLargestTaskListValue + 1);
      lowestLargeLeftOut_ = std::min(lowestLargeLeftOut_, lowest_large);
      highestLeftOut_ = std::max(highestLeftOut_, last);
    }
  }

  void AddValuesLeftOut() {
    for (int value = 0; value <= kLargestTaskListValue; ++value) {
      if (smallLeftOut_ >> value & 1) list_.push_back(std::to_string(value));
    }
    if (lowestLargeLeftOut_ > highestLeftOut_) return;
    list_.push_back(std::to_string(lowestLargeLeftOut_));
    if (highestLeftOut_ != lowestLargeLeftOut_) list_.push_back(std::to_string(highestLeftOut_));
  }

 private:
  std::vector<std::string>& list_;
  uint64_t smallLeftOut_ = 0;
  int64_t lowestLargeLeftOut_ = std::numeric_limits<int64_t>::max();
  int64_t highestLeftOut_ = std::numeric_limits<int64_t>::min();
};

// "a", "a-b", "a-" or "a-x": the values of one item, none when it is not a number or
// reversed. A leading "-" leaves an empty first part, so negative numbers never appear.
void AppendItemValues(std::string_view item, TBoundedList& list) {
  const std::optional<int32_t> a = TryStrToInt(ExtractField(item, "-", 1, true));
  if (!a) return;
  const int64_t b = TryStrToInt(ExtractField(item, "-", 2, true)).value_or(*a);
  if (b < *a) return;
  if (list.Full()) return list.LeaveOut(*a, b);
  const int64_t last_listed = std::min<int64_t>(b, *a + kMaxNumberListRange - 1);
  for (int64_t v = *a; v <= last_listed; ++v) list.Add(v);
  if (last_listed < b) list.Add(b);
}

}  // namespace

void ExpandNumberList(std::string_view text, std::vector<std::string>& list) {
  list.clear();
  const std::string items = ReplaceAll(ReplaceAll(text, ",", "\n"), " ", "");
  TBoundedList bounded(list);
  for (const std::string& item : SplitLines(items)) {
    if (item.empty()) continue;
    AppendItemValues(item, bounded);
  }
  bounded.AddValuesLeftOut();
}

std::string ExpandedListText(std::string_view text) {
  std::vector<std::string> list;
  ExpandNumberList(text, list);
  std::string joined;
  for (const std::string& value : list) {
    if (!joined.empty()) joined += ',';
    joined += value;
  }
  return joined;
}

}  // namespace chronel
