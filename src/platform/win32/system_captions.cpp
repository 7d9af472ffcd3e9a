#include "platform/system_captions.h"

#include "core/utf.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {

std::string SystemCaption(uint32_t id) {
  // Only a library that is already loaded counts; the process's choice is not changed here.
  const HMODULE library = GetModuleHandleW(L"user32.dll");
  if (library == nullptr) return {};
  wchar_t buffer[1024];
  const int length = LoadStringW(library, id, buffer, 1024);
  if (length <= 0) return {};
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length)));
}

}  // namespace chronel::platform
