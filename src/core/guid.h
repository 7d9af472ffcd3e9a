// GUIDs and their registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronel {

struct TGuid {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};
  bool operator==(const TGuid&) const = default;
};

// Upper-case hexadecimal digits in braces.
std::string GuidToString(const TGuid& guid);
// Accepts either case; anything but the exact braced form gives nothing.
std::optional<TGuid> StringToGuid(std::string_view text);

}  // namespace chronel
