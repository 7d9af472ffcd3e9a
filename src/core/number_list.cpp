#include "core/number_list.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/numbers.h"
#include "core/text.h"

namespace chronel {
namespace {

// Collects values up to kMaxNumberListValues; past that it only remembers the smallest and the
// largest value left out, in constant time per item.
class TBoundedList {
 public:
  explicit TBoundedList(std::vector<std::string>& list) : list_(list) {}

  bool Full() const { return list_.size() >= kMaxNumberListValues; }

  void Add(int64_t value) {
    if (!Full()) {
      list_.push_back(std::to_string(value));
      return;
    }
    lowestLeftOut_ = std::min(lowestLeftOut_, value);
    highestLeftOut_ = std::max(highestLeftOut_, value);
  }

  void AddExtremesLeftOut() {
    if (lowestLeftOut_ > highestLeftOut_) return;  // nothing was left out
    list_.push_back(std::to_string(lowestLeftOut_));
    if (highestLeftOut_ != lowestLeftOut_) list_.push_back(std::to_string(highestLeftOut_));
  }

 private:
  std::vector<std::string>& list_;
  int64_t lowestLeftOut_ = std::numeric_limits<int64_t>::max();
  int64_t highestLeftOut_ = std::numeric_limits<int64_t>::min();
};

// "a", "a-b", "a-" or "a-x": the values of one item, none when it is not a number or
// reversed. A leading "-" leaves an empty first part, so negative numbers never appear.
void AppendItemValues(std::string_view item, TBoundedList& list) {
  const std::optional<int32_t> a = TryStrToInt(ExtractField(item, "-", 1, true));
  if (!a) return;
  const int64_t b = TryStrToInt(ExtractField(item, "-", 2, true)).value_or(*a);
  if (b < *a) return;
  if (list.Full()) {  // only the ends of the range can still count
    list.Add(*a);
    list.Add(b);
    return;
  }
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
  bounded.AddExtremesLeftOut();
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
