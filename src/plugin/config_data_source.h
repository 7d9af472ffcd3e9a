// The host's data sources of a configuration, as SET-STATE lists them: one line each, a number
// and two texts separated by ";".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronel::plugin {

struct TConfigDataSource {
  int32_t ID = 0;
  std::string Text1;
  std::string Text2;
  bool operator==(const TConfigDataSource&) const = default;
};

// Lines whose first field is not a number are skipped; fields are trimmed.
std::vector<TConfigDataSource> ParseDataSources(std::string_view text);

}  // namespace chronel::plugin
