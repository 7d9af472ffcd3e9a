// The task lines a configuration keeps in an INI file, and a listing of them for people.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/date_time.h"

namespace chronel {

// The task lines stored in `file` under the section "<prefix>.Common" ("Common" without a
// prefix), read by the property store as the plug-in reads them. Nothing when the file does not
// exist or cannot be read; an empty list when the section holds no tasks.
std::optional<std::vector<std::string>> ReadStoredTaskLines(const std::string& file,
                                                            const std::string& prefix);

// Each task with its position in the task list, identifier, action, mode and parameters, its
// next three runs after `from` and a sentence for each likely mistake in its line; a line that
// is not a task is said to be skipped.
void WriteTaskListing(const std::string& file, const std::string& prefix,
                      const std::vector<std::string>& lines, TDateTime from, std::ostream& out);

}  // namespace chronel
