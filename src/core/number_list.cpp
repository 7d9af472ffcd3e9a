#include "core/number_list.h"

#include <optional>

#include "core/numbers.h"
#include "core/text.h"

namespace chronel {
namespace {

// "a", "a-b", "a-" or "a-x": the values of one item, none when it is not a number, reversed
// or too long. A leading "-" leaves an empty first part, so negative numbers never appear.
void AppendItemValues(std::string_view item, std::vector<std::string>& list) {
  const std::optional<int32_t> a = TryStrToInt(ExtractField(item, "-", 1, true));
  if (!a) return;
  const int64_t b = TryStrToInt(ExtractField(item, "-", 2, true)).value_or(*a);
  if (b < *a || b - *a >= kMaxNumberListRange) return;
  for (int64_t v = *a; v <= b; ++v) list.push_back(std::to_string(v));
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
