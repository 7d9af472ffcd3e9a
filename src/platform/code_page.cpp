#include "platform/code_page.h"

#include "core/utf.h"

namespace chronel::platform {

std::string StoredTextToUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  return AnsiToUtf8(text);
}

}  // namespace chronel::platform
