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

}  // namespace chronel::platform
