// The plug-in's log lines as the host receives them: a kind byte (severity + 1, plus 128 when
// the writer's flag is set), then 8-bit text in the system code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronel::host {

inline constexpr uint8_t kLogFlag = 128;

// "error", "warning", "information", or "kind N" for a byte outside 1-3; ", flagged" added when
// the flag is set.
std::string LogKindName(uint8_t kind);

// One received line for the timeline: "log (information): text", the text in UTF-8. An empty
// line (no kind byte) reads "log (empty line)".
std::string DescribeLogLine(std::string_view line);

// The lines of a queued-lines text (each followed by CR LF; a missing last break is tolerated).
std::vector<std::string> SplitQueuedLines(std::string_view text);

}  // namespace chronel::host
