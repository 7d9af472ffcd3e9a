// Small text operations shared by every reader of the stored formats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chronel {

// Removes characters with codes 0-32 from the ends.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Changes only the letters a-z (resp. A-Z); every other byte, UTF-8 included, stays.
std::string UpperCaseAscii(std::string_view text);
std::string LowerCaseAscii(std::string_view text);

// Equality that folds only A-Z against a-z.
bool SameTextAscii(std::string_view a, std::string_view b);

bool StartsWith(std::string_view text, std::string_view prefix);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Cuts a text into lines at CR, LF or CR LF. A break at the very end gives no empty last line;
// two adjacent breaks give an empty line between them.
std::vector<std::string> SplitLines(std::string_view text);

// The n-th field (from 1) of `text` split at `delimiter` (non-empty). A field past the last
// delimiter, or n <= 0, is empty. With `trim`, codes 0-32 are removed from both ends.
// `length` and `start` (1-based, -1 when the field does not exist) are optional outputs.
std::string ExtractField(std::string_view text, std::string_view delimiter, int n, bool trim,
                         int* length = nullptr, int* start = nullptr);

}  // namespace chronel
