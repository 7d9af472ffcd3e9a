// UTF-8 <-> UTF-16. Inside the library text is UTF-8; the wide Win32 API, OLE strings and the
// registry take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace chronel {

// Malformed input becomes U+FFFD, never an error: outside text must not stop a conversion.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

bool IsValidUtf8(std::string_view text);

}  // namespace chronel
