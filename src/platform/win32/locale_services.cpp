#include "platform/locale_services.h"

#include "core/text.h"
#include "core/utf.h"
#include "platform/code_page.h"
#include "platform/win32/windows_api.h"

namespace chronel::platform {
namespace {

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

// LCMapStringW without linguistic casing maps A-Z to a-z in every locale (Turkish included),
// so ASCII text needs no call.
std::string MapCase(std::string_view text, DWORD flags) {
  const std::u16string wide = StoredTextToUtf16(text);
  const int size = static_cast<int>(wide.size());
  const int length = LCMapStringW(LOCALE_USER_DEFAULT, flags, Wide(wide), size, nullptr, 0);
  if (length <= 0) return std::string(text);
  std::u16string mapped(static_cast<size_t>(length), u'\0');
  LCMapStringW(LOCALE_USER_DEFAULT, flags, Wide(wide), size,
               reinterpret_cast<wchar_t*>(mapped.data()), length);
  return Utf16ToUtf8(mapped);
}

std::string ThreadLocaleInfo(LCTYPE item) {
  wchar_t buffer[128];
  const int length = GetLocaleInfoW(GetThreadLocale(), item, buffer, 128);
  if (length <= 1) return {};
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), length - 1));
}

}  // namespace

int CompareTextLocale(std::string_view a, std::string_view b) {
  const std::u16string left = StoredTextToUtf16(a);
  const std::u16string right = StoredTextToUtf16(b);
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Wide(left),
                     static_cast<int>(left.size()), Wide(right), static_cast<int>(right.size()));
  return result - CSTR_EQUAL;
}

bool SameTextLocale(std::string_view a, std::string_view b) { return CompareTextLocale(a, b) == 0; }

std::string LowerCaseLocale(std::string_view text) {
  if (IsAscii(text)) return LowerCaseAscii(text);
  return MapCase(text, LCMAP_LOWERCASE);
}

std::string UpperCaseLocale(std::string_view text) {
  if (IsAscii(text)) return UpperCaseAscii(text);
  return MapCase(text, LCMAP_UPPERCASE);
}

LocaleId ThreadLocaleId() { return GetThreadLocale(); }

bool SetThreadLocaleId(LocaleId locale) { return ::SetThreadLocale(locale) != 0; }

char LocaleDecimalSeparator() {
  const std::string separator = ThreadLocaleInfo(LOCALE_SDECIMAL);
  if (separator.size() != 1) return '.';
  return separator[0];
}

std::array<std::string, 7> LocaleShortDayNames() {
  // LOCALE_SABBREVDAYNAME1 is Monday.
  std::array<std::string, 7> names;
  for (size_t i = 0; i < names.size(); ++i) {
    names[i] = ThreadLocaleInfo(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i));
  }
  return names;
}

}  // namespace chronel::platform
