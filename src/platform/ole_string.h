// OLE wide strings (BSTR): UTF-16 characters, NUL-terminated, with their length in bytes in
// the 4 bytes before the first character. Either side of the host boundary may free one the
// other allocated, so Windows allocates them with oleaut32; the POSIX backend lays them out the
// same way with its own allocator. A null pointer is the empty string.
//
// Threads: every function may be called from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace chronel::platform {

using OleChar = char16_t;

// A new BSTR holding `text` (which may contain NULs). Raises std::bad_alloc on exhaustion.
OleChar* AllocOleString(std::u16string_view text);
// From UTF-8.
OleChar* AllocOleStringFromUtf8(std::string_view text);
// Frees a BSTR from AllocOleString or from the host; null is ignored.
void FreeOleString(OleChar* text);
// Length in characters, from the length prefix; 0 for null.
uint32_t OleStringLength(const OleChar* text);
// The characters (without the terminating NUL); empty for null.
std::u16string_view OleStringView(const OleChar* text);

// Owns one BSTR: frees it on destruction. For wide-string variables the host fills in.
class OleString {
 public:
  OleString() = default;
  explicit OleString(std::string_view utf8) : text_(AllocOleStringFromUtf8(utf8)) {}
  ~OleString() { FreeOleString(text_); }
  OleString(OleString&& other) noexcept : text_(other.Detach()) {}
  OleString& operator=(OleString&& other) noexcept;
  OleString(const OleString&) = delete;
  OleString& operator=(const OleString&) = delete;

  // The variable to hand to a function that stores a newly allocated BSTR; frees the current
  // text first.
  OleChar** Receive();
  OleChar* Get() const { return text_; }
  OleChar* Detach();
  std::string ToUtf8() const;

 private:
  OleChar* text_ = nullptr;
};

}  // namespace chronel::platform
