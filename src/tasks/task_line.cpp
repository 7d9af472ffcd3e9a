#include "tasks/task_line.h"

#include "core/text.h"

namespace chronel {

std::vector<std::string> SplitTaskLine(std::string_view line) {
  return SplitLines(ReplaceAll(line, kTaskFieldSeparator, "\n"));
}

std::string JoinTaskLine(std::string_view id, std::string_view action, std::string_view mode,
                         std::string_view params, std::string_view argument) {
  std::string line;
  for (std::string_view field : {id, action, mode}) line.append(field).append(kTaskFieldSeparator);
  line.append(params);
  if (!argument.empty()) line.append(kTaskFieldSeparator).append(argument);
  return line;
}

std::string TaskParam(std::string_view params, int n) {
  return ExtractField(params, kTaskParamSeparator, n, true);
}

}  // namespace chronel
