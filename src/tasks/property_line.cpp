#include "tasks/property_line.h"

#include "core/text.h"

namespace chronel {
namespace {

constexpr int kMaxValuePathParts = 255;

std::vector<std::string> ValuePathParts(std::string_view path) {
  std::vector<std::string> parts;
  for (int n = 1; n <= kMaxValuePathParts; ++n) {
    std::string part = ExtractField(path, "\\", n, true);
    if (part.empty()) break;
    parts.push_back(std::move(part));
  }
  return parts;
}

}  // namespace

std::optional<TPropertyLine> ParsePropertyLine(std::string_view line) {
  const std::string text = Trim(line);
  if (text.empty() || text.front() == ';') return std::nullopt;
  const size_t comma = text.find(',');
  TPropertyLine result;
  result.PropertyPath = Trim(std::string_view(text).substr(0, comma));
  if (result.PropertyPath.empty()) return std::nullopt;
  if (comma == std::string::npos) return result;
  result.SubKeys = ValuePathParts(Trim(std::string_view(text).substr(comma + 1)));
  if (result.SubKeys.empty()) return result;
  result.ValueName = std::move(result.SubKeys.back());
  result.SubKeys.pop_back();
  return result;
}

}  // namespace chronel
