// The character sets a language file may name: the font character set its texts need and the
// code page they are written in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/font.h"
#include "platform/code_page.h"

namespace chronel {

struct TCharset {
  uint8_t FontCharset = kDefaultCharset;
  uint32_t CodePage = platform::kSystemCodePage;
  bool operator==(const TCharset&) const = default;
};

// By its name in lower case ("windows-1251", "shift-jis", "gb2312" ...); nothing for a name
// that is not in the table.
std::optional<TCharset> CharsetByName(std::string_view name);

}  // namespace chronel
