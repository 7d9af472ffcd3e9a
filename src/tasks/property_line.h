// One line of a property list: a dotted property path, ",", and a "\"-separated value path
// whose last part is the value name and whose other parts are sub-keys:
// "lstTasks.Strings,Tasks", "Width,Grid\Columns\Width".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronel {

struct TPropertyLine {
  std::string PropertyPath;
  std::vector<std::string> SubKeys;
  std::string ValueName;
};

// Nothing for a comment (an empty line or one starting with ";", after trimming) and for a line
// whose property path is empty. The value path is cut into at most 255 trimmed parts and ends
// at the first empty one.
std::optional<TPropertyLine> ParsePropertyLine(std::string_view line);

}  // namespace chronel
