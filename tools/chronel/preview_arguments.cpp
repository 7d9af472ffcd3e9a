#include "preview_arguments.h"

#include <cstdint>
#include <ostream>

#include "core/numbers.h"

namespace chronel {

std::optional<TDateTime> ReadFromValue(std::string_view command, const std::string& value,
                                       std::ostream& err) {
  std::optional<TDateTime> from = TryTextToDateTime(value);
  if (!from) err << command << ": --from '" << value << "' is not YYYY-MM-DD HH:MM:SS[.mmm]\n";
  return from;
}

std::optional<int> ReadCountValue(std::string_view command, const std::string& value,
                                  std::ostream& err) {
  const std::optional<int32_t> count = TryStrToInt(value);
  if (count && *count >= 1) return *count;
  err << command << ": --count '" << value << "' is not a positive whole number\n";
  return std::nullopt;
}

}  // namespace chronel
