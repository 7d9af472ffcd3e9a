// The system's 8-bit (ANSI) code page. Windows hosts send and expect 8-bit text in it; on Linux
// the 8-bit side is UTF-8, so both conversions keep the bytes.
#pragma once

#include <optional>
#include <cstdint>
#include <string>
#include <string_view>

namespace chronel::platform {

// Safe from any thread.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// The text decoded from the ANSI code page; nothing when it holds a byte sequence that code
// page does not define (on Linux, whose 8-bit side is UTF-8: any text that is not valid UTF-8).
std::optional<std::u16string> TryAnsiToUtf16(std::string_view text);

// The system's ANSI code page wherever a code page is named (the value Windows gives it).
inline constexpr uint32_t kSystemCodePage = 0;

// Safe from any thread. 8-bit text in a Windows code page (874, 932, 936, 949, 950, 1250-1258,
// 1361) as UTF-8; bytes the code page does not define become U+FFFD. kSystemCodePage is the
// ANSI code page: on Linux UTF-8, whose malformed sequences also become U+FFFD.
std::string CodePageToUtf8(uint32_t codePage, std::string_view text);

// Stored 8-bit text: valid UTF-8 stays as it is; anything else was written in the ANSI code
// page by an older tool and is converted.
std::string StoredTextToUtf8(std::string_view text);

// Stored 8-bit text as characters, for comparing and case mapping: valid UTF-8 as it is,
// anything else in the ANSI code page, or byte by byte as Latin-1 where that code page cannot
// take it either. Distinct bytes so stay distinct characters; none becomes U+FFFD.
std::u16string StoredTextToUtf16(std::string_view text);

}  // namespace chronel::platform
