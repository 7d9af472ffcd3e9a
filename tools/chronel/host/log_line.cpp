#include "log_line.h"

#include "platform/code_page.h"

namespace chronel::host {

std::string LogKindName(uint8_t kind) {
  const bool flagged = (kind & kLogFlag) != 0;
  const uint8_t severity_kind = kind & ~kLogFlag;
  std::string name;
  switch (severity_kind) {
    case 1: name = "error"; break;
    case 2: name = "warning"; break;
    case 3: name = "information"; break;
    default: name = "kind " + std::to_string(severity_kind); break;
  }
  return flagged ? name + ", flagged" : name;
}

std::string DescribeLogLine(std::string_view line) {
  if (line.empty()) return "log (empty line)";
  return "log (" + LogKindName(static_cast<uint8_t>(line[0])) +
         "): " + platform::AnsiToUtf8(line.substr(1));
}

std::vector<std::string> SplitQueuedLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return lines;
}

}  // namespace chronel::host
