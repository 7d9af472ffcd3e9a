// Reference-counted 8-bit texts as the host's compiler lays them out: the pointer addresses the
// first character, a NUL follows the characters, and a header sits before them (length in bytes
// at -4, reference count at -8, element size at -10, code page at -12). The empty text is a null
// pointer; a reference count of -1 marks a constant that is never freed.
//
// This module frees only the texts it allocated itself (the names and identifiers of its own
// items and lists); the other side's texts are only read.
//
// Threads: any thread; the reference count changes atomically, as the host's does.
#pragma once

#include <cstdint>
#include <string_view>

namespace chronel::plugin {

// The header before the characters; the same 12 bytes on 32- and 64-bit builds.
struct TPascalStringHeader {
  uint16_t CodePage;
  uint16_t ElementSize;
  int32_t RefCount;
  int32_t Length;
};
static_assert(sizeof(TPascalStringHeader) == 12);

// The code page written into new texts: the system's ANSI code page (CP_ACP), which is what our
// 8-bit texts are in on Windows; readers that ignore the field see the same bytes.
inline constexpr uint16_t kPascalStringCodePage = 0;
inline constexpr int32_t kPascalStringConstant = -1;

// A new text with reference count 1 holding `text` byte for byte; null for an empty text.
// Raises std::bad_alloc on exhaustion.
char* NewPascalString(std::string_view text);
// Drops one reference and frees the text at zero. Null and constants are ignored. Only for
// texts from NewPascalString.
void ReleasePascalString(char* text);
// The characters, by the length in the header; empty for null.
std::string_view PascalStringView(const char* text);

}  // namespace chronel::plugin
