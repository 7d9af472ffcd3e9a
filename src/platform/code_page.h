// The system's 8-bit (ANSI) code page. Windows hosts send and expect 8-bit text in it; on Linux
// the 8-bit side is UTF-8, so both conversions keep the bytes.
#pragma once

#include <string>
#include <string_view>

namespace chronel::platform {

// Safe from any thread.
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Stored 8-bit text: valid UTF-8 stays as it is; anything else was written in the ANSI code
// page by an older tool and is converted.
std::string StoredTextToUtf8(std::string_view text);

}  // namespace chronel::platform
