#include "core/text.h"

namespace chronel {
namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string TrimLeft(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsBlankOrControl(text[first])) ++first;
  return std::string(text.substr(first));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string UpperCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string LowerCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  size_t pos = 0;
  for (size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, pos)) {
    result.append(text.substr(pos, hit - pos)).append(to);
    pos = hit + from.size();
  }
  result.append(text.substr(pos));
  return result;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string ExtractField(std::string_view text, std::string_view delimiter, int n, bool trim,
                         int* length, int* start) {
  if (length) *length = 0;
  if (start) *start = -1;
  if (n <= 0 || delimiter.empty()) return {};
  size_t from = 0;
  for (int k = 1; k < n; ++k) {
    const size_t hit = text.find(delimiter, from);
    if (hit == std::string_view::npos) return {};
    from = hit + delimiter.size();
  }
  const size_t hit = text.find(delimiter, from);
  const size_t end = hit == std::string_view::npos ? text.size() : hit;
  std::string_view field = text.substr(from, end - from);
  if (length) *length = static_cast<int>(field.size());
  if (start) *start = static_cast<int>(from) + 1;
  return trim ? Trim(field) : std::string(field);
}

}  // namespace chronel
