// Parser items: the fields a data-parsing plug-in offers, exchanged with the host as text. A
// line is caption "|" name "|" type name "|" format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronel::plugin {

struct TParserItem {
  std::string ItemName;
  std::string ItemCaption;
  uint8_t DataType = 0;  // index into the type names; kUnknownParserType for none
  std::string DataFormat;
  bool operator==(const TParserItem&) const = default;
};

inline constexpr uint8_t kUnknownParserType = 17;
// The type names, each followed by "|"; index = DataType.
inline constexpr std::string_view kParserTypeNames =
    "String|Memo|Bytes|Blob|Boolean|Float|Smallint|Word|Integer|Date|Time|DateTime|DWord|Byte|"
    "Shortint|Int64|Currency|";

// Appends the items of `text` (one per line, fields separated by "|"); lines of fewer than two
// fields are skipped; a type name is matched without regard to case.
void SetParserItems(std::vector<TParserItem>& items, std::string_view text, bool replace);
// The items as lines joined by CR LF, no break after the last.
std::string ParserItemsText(const std::vector<TParserItem>& items);

}  // namespace chronel::plugin
