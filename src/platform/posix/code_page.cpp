#include "platform/code_page.h"

#include "core/utf.h"

namespace chronel::platform {

std::string AnsiToUtf8(std::string_view text) { return std::string(text); }
std::string Utf8ToAnsi(std::string_view text) { return std::string(text); }

std::optional<std::u16string> TryAnsiToUtf16(std::string_view text) {
  if (!IsValidUtf8(text)) return std::nullopt;
  return Utf8ToUtf16(text);
}

}  // namespace chronel::platform
