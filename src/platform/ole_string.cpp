#include "platform/ole_string.h"

#include <utility>

#include "core/utf.h"

namespace chronel::platform {

OleChar* AllocOleStringFromUtf8(std::string_view text) { return AllocOleString(Utf8ToUtf16(text)); }

std::u16string_view OleStringView(const OleChar* text) {
  if (!text) return {};
  return std::u16string_view(text, OleStringLength(text));
}

OleString& OleString::operator=(OleString&& other) noexcept {
  if (this != &other) {
    FreeOleString(text_);
    text_ = other.Detach();
  }
  return *this;
}

OleChar** OleString::Receive() {
  FreeOleString(text_);
  text_ = nullptr;
  return &text_;
}

OleChar* OleString::Detach() { return std::exchange(text_, nullptr); }

std::string OleString::ToUtf8() const { return Utf16ToUtf8(OleStringView(text_)); }

}  // namespace chronel::platform
