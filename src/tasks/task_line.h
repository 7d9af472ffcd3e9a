// Task lines: the stored form of one task, five fields joined by "||": identifier, action word,
// mode word, parameter text (values separated by ";") and, only when there is one, the
// action's argument. Example: 1A2B3C4D||OPEN||DAILY||08:30;NN;1;1||COM1
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chronel {

inline constexpr std::string_view kTaskFieldSeparator = "||";
inline constexpr std::string_view kTaskParamSeparator = ";";

// A line with fewer fields is not a task.
inline constexpr size_t kMinTaskFields = 4;

// The fields of a line, in order and untrimmed. "||" and line breaks (CR, LF, CR LF) all
// separate fields; two adjacent separators give an empty field; a separator at the very end
// gives no empty last field. An argument holding "||" or a line break so becomes several fields.
std::vector<std::string> SplitTaskLine(std::string_view line);

// id||action||mode||params, then ||argument when the argument is not empty.
std::string JoinTaskLine(std::string_view id, std::string_view action, std::string_view mode,
                         std::string_view params, std::string_view argument);

// Parameter n (from 1) of a parameter text, trimmed; empty when there is none.
std::string TaskParam(std::string_view params, int n);

}  // namespace chronel
