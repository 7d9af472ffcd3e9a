// Lenient number readers: stored text that is not a number takes the caller's default and
// never raises.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronel {

// A decimal integer: optional leading blanks, optional sign, digits, nothing after them, within
// the 32-bit (resp. 64-bit) signed range.
std::optional<int32_t> TryStrToInt(std::string_view text);
std::optional<int64_t> TryStrToInt64(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t fallback);
int64_t StrToInt64Def(std::string_view text, int64_t fallback);

// Hexadecimal digits only (no prefix, no sign), at most 8 significant digits.
std::optional<uint32_t> TryHexToInt(std::string_view text);
uint32_t HexToIntDef(std::string_view text, uint32_t fallback);

// A decimal number with `decimal_separator` as its separator and an optional exponent; the
// whole text must convert (leading and trailing blanks allowed).
std::optional<double> TryStrToFloat(std::string_view text, char decimal_separator = '.');
double StrToFloatDef(std::string_view text, double fallback, char decimal_separator = '.');

// Shortest text that reads back as the same double, with the given separator ("1.5", "2",
// "1E-5").
std::string FloatToStr(double value, char decimal_separator = '.');

// Upper-case hexadecimal digits, at least `digits` of them.
std::string IntToHex(uint64_t value, int digits);

}  // namespace chronel
