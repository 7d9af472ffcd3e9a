// Spotting what a user most likely mistyped in a stored task line: each finding is one plain
// sentence for people, saying what the plug-in will make of it.
#pragma once

#include <string>
#include <vector>

namespace chronel {

// `fields`: the fields of a task line, at least four. Looks at the mode word, and for a
// time-based task at its start time, repeat flags and number lists. Empty when nothing looks
// wrong.
std::vector<std::string> FindLikelyMistakes(const std::vector<std::string>& fields);

}  // namespace chronel
