#include "platform/code_page.h"

#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

std::string AnsiToUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::u16string wide(static_cast<size_t>(wide_length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(wide.data()),
                      wide_length);
  return Utf16ToUtf8(wide);
}

std::string CodePageToUtf8(uint32_t codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide_length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  // A code page the system does not have: the text is taken as stored 8-bit text.
  if (wide_length <= 0) return StoredTextToUtf8(text);
  std::u16string wide(static_cast<size_t>(wide_length), u'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, reinterpret_cast<wchar_t*>(wide.data()),
                      wide_length);
  return Utf16ToUtf8(wide);
}

std::string Utf8ToAnsi(std::string_view text) {
  if (text.empty()) return {};
  const std::u16string wide = Utf8ToUtf16(text);
  const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, source, size, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, source, size, ansi.data(), length, nullptr, nullptr);
  return ansi;
}

// MB_ERR_INVALID_CHARS: a byte the code page does not define must not become U+FFFD (a UTF-8
// or double-byte system code page, or an undefined byte of a single-byte one).
std::optional<std::u16string> TryAnsiToUtf16(std::string_view text) {
  if (text.empty()) return std::u16string();
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::u16string wide(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size,
                      reinterpret_cast<wchar_t*>(wide.data()), length);
  return wide;
}

}  // namespace chronel::platform
