// Numbers in variant texts for the POSIX backend: reading them as OLE's VarParseNumFromStr
// does and writing reals as OLE's VarBstrFromR8 does, in the thread locale's formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace chronel::platform {

// A number read from text: a decimal significand and exponent (value = Digits × 10^Exponent,
// Digits without leading zeros, empty for zero), or an "&H" / "&O" number.
struct TextNumber {
  bool Negative = false;
  bool Radix = false;  // "&H1F", "&O17": RadixValue holds the bits
  uint64_t RadixValue = 0;
  std::string Digits;
  int32_t Exponent = 0;
};

// Blanks around the number, a leading or trailing sign, parentheses for a negative number,
// the currency symbol, thousands separators in the integer part, the decimal separator and an
// exponent are accepted. Returns 0, kVarTypeMismatch when the text is not a number, or
// kVarOverflow when an "&H" / "&O" number has more than 64 bits.
int32_t ParseTextNumber(std::u16string_view text, TextNumber& number);

// The OLE result code of a conversion, 0 on success.
int32_t TextNumberToInt64(const TextNumber& number, int64_t& value);
int32_t TextNumberToInt32(const TextNumber& number, int32_t& value);
int32_t TextNumberToDouble(const TextNumber& number, double& value);

// 15 significant digits (7 for a single), the exponent form from 1E+15 and below 1E-04, the
// thread locale's decimal separator: 1.5, 0.333333333333333, 1E+20, 1.25E-07.
std::u16string RealToText(double value, int significant_digits);

// A currency value (in ten-thousandths) as text: 2.5, -0.0001, 12345.6789.
std::u16string CurrencyToText(int64_t value);

// Rounds to the nearest integer, halves to even; false when the result is outside int64_t or
// the value is not a number.
bool RoundReal(double value, int64_t& result);
// The same for currency (ten-thousandths).
int64_t RoundCurrency(int64_t value);

}  // namespace chronel::platform
