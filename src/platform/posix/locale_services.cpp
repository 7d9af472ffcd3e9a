#include "platform/locale_services.h"

#include <algorithm>

#include "core/text.h"
#include "core/utf.h"
#include "platform/code_page.h"
#include "platform/posix/locale_formats.h"

namespace chronel::platform {
namespace {

// The formats the POSIX backend knows; the first is the default for every other locale.
constexpr LocaleFormats kFormats[] = {
    {kLocaleEnglishUnitedStates,
     u'.',
     u',',
     u"$",
     {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}},
    {kLocaleGermanGermany, u',', u'.', u"\u20AC", {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"}},
};

thread_local LocaleId thread_locale = kLocaleEnglishUnitedStates;

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

// Latin-1 letters fold by 0x20 like ASCII, except the multiplication and division signs; ÿ's
// capital lies outside Latin-1.
char16_t LowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  return c;
}

char16_t UpperChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  return c;
}

std::string MapChars(std::string_view text, char16_t (*map)(char16_t)) {
  std::u16string wide = StoredTextToUtf16(text);
  for (char16_t& c : wide) c = map(c);
  return Utf16ToUtf8(wide);
}

char16_t Unit(char c) { return static_cast<unsigned char>(c); }
char16_t Unit(char16_t c) { return c; }

// Compares two sequences of characters (ASCII bytes or UTF-16 units) after folding each one.
template <typename Text>
int CompareFolded(const Text& left, const Text& right) {
  const size_t common = std::min(left.size(), right.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t x = LowerChar(Unit(left[i]));
    const char16_t y = LowerChar(Unit(right[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

}  // namespace

const LocaleFormats& ThreadLocaleFormats() {
  for (const LocaleFormats& formats : kFormats) {
    if (formats.Id == thread_locale) return formats;
  }
  return kFormats[0];
}

int CompareTextLocale(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return CompareFolded(a, b);
  return CompareFolded(StoredTextToUtf16(a), StoredTextToUtf16(b));
}

bool SameTextLocale(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return SameTextAscii(a, b);
  return CompareTextLocale(a, b) == 0;
}

std::string LowerCaseLocale(std::string_view text) {
  if (IsAscii(text)) return LowerCaseAscii(text);
  return MapChars(text, LowerChar);
}

std::string UpperCaseLocale(std::string_view text) {
  if (IsAscii(text)) return UpperCaseAscii(text);
  return MapChars(text, UpperChar);
}

LocaleId ThreadLocaleId() { return thread_locale; }

bool SetThreadLocaleId(LocaleId locale) {
  thread_locale = locale;
  return true;
}

char LocaleDecimalSeparator() { return static_cast<char>(ThreadLocaleFormats().DecimalSeparator); }

std::array<std::string, 7> LocaleShortDayNames() {
  std::array<std::string, 7> names;
  for (size_t i = 0; i < names.size(); ++i) names[i] = ThreadLocaleFormats().ShortDayNames[i];
  return names;
}

}  // namespace chronel::platform
