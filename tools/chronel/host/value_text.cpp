#include "value_text.h"

namespace chronel::host {

std::string ValueText(const platform::TVarData& value) {
  if (value.VType == platform::kVarEmpty) return "Empty";
  if (value.VType == platform::kVarNull) return "Null";
  try {
    return platform::Variant::FromRaw(value).ToText();
  } catch (const std::exception&) {
    return "(variant type " + std::to_string(value.VType) + ")";
  }
}

}  // namespace chronel::host
