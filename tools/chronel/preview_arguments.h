// The option values the preview commands share: where a preview starts and how many times it
// prints.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/date_time.h"

namespace chronel {

// A --from value, "YYYY-MM-DD HH:MM:SS[.mmm]" (or a date alone). On anything else writes the
// reason, naming `command` ("chronel cron"), to `err` and answers nothing.
std::optional<TDateTime> ReadFromValue(std::string_view command, const std::string& value,
                                       std::ostream& err);

// A --count value, a positive whole number. On anything else writes the reason to `err` and
// answers nothing.
std::optional<int> ReadCountValue(std::string_view command, const std::string& value,
                                  std::ostream& err);

}  // namespace chronel
