// The value of a variant property inside the library: empty, Boolean, integer, floating point or
// text. The OLE VARIANT that crosses the host boundary converts to and from it there.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace chronel {

using TVariant = std::variant<std::monostate, bool, int64_t, double, std::string>;

inline bool IsEmpty(const TVariant& value) { return std::holds_alternative<std::monostate>(value); }

}  // namespace chronel
