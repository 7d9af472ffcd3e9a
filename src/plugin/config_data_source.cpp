#include "plugin/config_data_source.h"

#include "core/numbers.h"
#include "core/string_list.h"
#include "core/text.h"

namespace chronel::plugin {

std::vector<TConfigDataSource> ParseDataSources(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  std::vector<TConfigDataSource> sources;
  for (const std::string& line : lines.Lines()) {
    const int32_t id = StrToIntDef(ExtractField(line, ";", 1, true), -1);
    if (id == -1) continue;
    sources.push_back({id, ExtractField(line, ";", 2, true), ExtractField(line, ";", 3, true)});
  }
  return sources;
}

}  // namespace chronel::plugin
