#include "core/number_list.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/numbers.h"
#include "core/text.h"

namespace chronel {
namespace {

// "a", "a-b", "a-" or "a-x": the values of one item, none when it is not a number or
// reversed. A leading "-" leaves an empty first part, so negative numbers never appear.
void AppendItemValues(std::string_view item, std::vector<std::string>& list) {
  const std::optional<int32_t> a = TryStrToInt(ExtractField(item, "-", 1, true));
  if (!a) return;
  const int64_t b = TryStrToInt(ExtractField(item, "-", 2, true)).value_or(*a);
  if (b < *a) return;
  const int64_t last_listed = std::min<int64_t>(b, *a + kMaxNumberListRange - 1);
  for (int64_t v = *a; v <= last_listed; ++v) list.push_back(std::to_string(v));
  if (last_listed < b) list.push_back(std::to_string(b));
}

}  // namespace

void ExpandNumberList(std::string_view text, std::vector<std::string>& list) {
  list.clear();
  const std::string items = ReplaceAll(ReplaceAll(text, ",", "\n"), " ", "");
  for (const std::string& item : SplitLines(items)) {
    if (item.empty()) continue;
    AppendItemValues(item, list);
  }
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
