#include "core/enumeration.h"

#include <cassert>
#include <utility>

#include "core/text.h"

namespace chronel {

TEnumInfo::TEnumInfo(std::string typeName, std::vector<std::string> valueNames)
    : typeName_(std::move(typeName)), names_(std::move(valueNames)) {
  assert(names_.size() <= 64 && "a set holds at most 64 values");
}

const std::string& TEnumInfo::Name(int64_t ordinal) const {
  assert(IsValid(ordinal) && "ordinal outside the enumeration");
  return names_[static_cast<size_t>(ordinal)];
}

std::optional<int64_t> TEnumInfo::Ordinal(std::string_view name) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (SameTextAscii(names_[i], name)) return static_cast<int64_t>(i);
  }
  return std::nullopt;
}

const TEnumInfo& BooleanInfo() {
  static const TEnumInfo info("Boolean", {"False", "True"});
  return info;
}

}  // namespace chronel
