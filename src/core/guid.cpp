#include "core/guid.h"

#include "core/numbers.h"

namespace chronel {

std::string GuidToString(const TGuid& guid) {
  std::string text = "{" + IntToHex(guid.D1, 8) + "-" + IntToHex(guid.D2, 4) + "-" +
                     IntToHex(guid.D3, 4) + "-";
  for (size_t i = 0; i < guid.D4.size(); ++i) {
    if (i == 2) text += '-';
    text += IntToHex(guid.D4[i], 2);
  }
  return text + "}";
}

std::optional<TGuid> StringToGuid(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') {
    return std::nullopt;
  }
  const auto hex = [&](size_t pos, size_t len) { return TryHexToInt(text.substr(pos, len)); };
  const auto d1 = hex(1, 8), d2 = hex(10, 4), d3 = hex(15, 4);
  if (!d1 || !d2 || !d3) return std::nullopt;
  TGuid guid{*d1, static_cast<uint16_t>(*d2), static_cast<uint16_t>(*d3), {}};
  static constexpr size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (size_t i = 0; i < 8; ++i) {
    const auto byte = hex(kByteAt[i], 2);
    if (!byte) return std::nullopt;
    guid.D4[i] = static_cast<uint8_t>(*byte);
  }
  return guid;
}

}  // namespace chronel
