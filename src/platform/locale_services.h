// Locale services: text comparison and case mapping by the user's locale, and the number and
// day-name formats of the calling thread's locale.
//
// Text is UTF-8. Text that is not valid UTF-8 is stored 8-bit text of an older tool: it is
// taken as the ANSI code page first (StoredTextToUtf16), so that two different characters never
// both become U+FFFD and compare equal. Windows answers from its national-language support:
// comparison and case mapping by the user's default locale, formats by the thread locale. The
// POSIX backend has a small table instead: case folding of ASCII and the Latin-1 letters (À-Þ
// against à-þ, and ÿ against Ÿ), comparison by folded code point, and the formats of two
// locales, English (United States, 0x0409, the default: ".", Mon ... Sun) and German (Germany,
// 0x0407: ",", Mo ... So); any other locale identifier gets the English formats. Tests select a
// locale with SetThreadLocaleId and so run unchanged on both backends.
//
// Threads: every function may be called from any thread. The thread locale is per thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace chronel::platform {

using LocaleId = uint32_t;
inline constexpr LocaleId kLocaleEnglishUnitedStates = 0x0409;
inline constexpr LocaleId kLocaleGermanGermany = 0x0407;

// Case-insensitive comparison by the user's locale: negative, 0 or positive as `a` sorts
// before, equal to or after `b`.
int CompareTextLocale(std::string_view a, std::string_view b);
bool SameTextLocale(std::string_view a, std::string_view b);

// Case mapping by the user's locale; characters without a case stay as they are.
std::string LowerCaseLocale(std::string_view text);
std::string UpperCaseLocale(std::string_view text);

// The calling thread's locale and its formats.
LocaleId ThreadLocaleId();
// False (and nothing changes) when Windows does not know the locale.
bool SetThreadLocaleId(LocaleId locale);
// The decimal separator; "." when the locale's is not a single ASCII character.
char LocaleDecimalSeparator();
// The abbreviated day names, Monday first.
std::array<std::string, 7> LocaleShortDayNames();

}  // namespace chronel::platform
