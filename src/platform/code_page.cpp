#include "platform/code_page.h"

#include "core/utf.h"

namespace chronel::platform {
namespace {

std::u16string Latin1ToUtf16(std::string_view text) {
  std::u16string wide(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  return wide;
}

}  // namespace

std::string StoredTextToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  return AnsiToUtf8(text);
}

std::u16string StoredTextToUtf16(std::string_view text) {
  if (IsValidUtf8(text)) return Utf8ToUtf16(text);
  std::optional<std::u16string> ansi = TryAnsiToUtf16(text);
  return ansi ? std::move(*ansi) : Latin1ToUtf16(text);
}

}  // namespace chronel::platform
