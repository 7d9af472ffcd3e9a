// Fuzzes the readers of stored parameter text: fields and number lists.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/number_list.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string delimiter = size > 0 && data[0] % 2 ? "||" : ";";
  for (int n = 0; n < 6; ++n) chronel::ExtractField(text, delimiter, n, n % 2 == 0);
  std::vector<std::string> list;
  chronel::ExpandNumberList(text, list);
  // A list may never expand past the documented bound, whatever the text.
  if (list.size() > chronel::kMaxNumberListValues + chronel::kLargestTaskListValue + 3) {
    __builtin_trap();  // the bound, the small values left out (0 to 32), the two extremes
  }
  chronel::ExpandedListText(text);
  chronel::SplitLines(text);
  return 0;
}
