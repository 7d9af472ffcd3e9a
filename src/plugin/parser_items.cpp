#include "plugin/parser_items.h"

#include "core/string_list.h"
#include "core/text.h"

namespace chronel::plugin {
namespace {

uint8_t ParserTypeOf(const std::string& name) {
  for (int i = 0; i < kUnknownParserType; ++i) {
    if (SameTextAscii(ExtractField(kParserTypeNames, "|", i + 1, true), name)) {
      return static_cast<uint8_t>(i);
    }
  }
  return kUnknownParserType;
}

std::string ParserTypeName(uint8_t type) {
  return ExtractField(kParserTypeNames, "|", type + 1, true);
}

}  // namespace

void SetParserItems(std::vector<TParserItem>& items, std::string_view text, bool replace) {
  if (replace) items.clear();
  TStringList lines;
  lines.SetText(text);
  for (const std::string& line : lines.Lines()) {
    TStringList fields;
    fields.SetText(ReplaceAll(line, "|", "\n"));
    if (fields.Count() < 2) continue;
    TParserItem item;
    item.ItemCaption = fields[0];
    item.ItemName = fields[1];
    item.DataType = fields.Count() > 2 ? ParserTypeOf(fields[2]) : kUnknownParserType;
    if (fields.Count() > 3) item.DataFormat = fields[3];
    items.push_back(std::move(item));
  }
}

std::string ParserItemsText(const std::vector<TParserItem>& items) {
  std::string text;
  for (const TParserItem& item : items) {
    if (!text.empty()) text += "\r\n";
    text += item.ItemCaption + "|" + item.ItemName + "|" + ParserTypeName(item.DataType) + "|" +
            item.DataFormat;
  }
  return text;
}

}  // namespace chronel::plugin
