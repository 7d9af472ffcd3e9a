#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace chronel {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view SkipLeadingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view StripBlanks(std::string_view text) {
  text = SkipLeadingBlanks(text);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

template <typename Int>
std::optional<Int> ParseDecimal(std::string_view text) {
  text = SkipLeadingBlanks(text);
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return std::nullopt;
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view text) { return ParseDecimal<int32_t>(text); }
std::optional<int64_t> TryStrToInt64(std::string_view text) { return ParseDecimal<int64_t>(text); }

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  return TryStrToInt(text).value_or(fallback);
}

int64_t StrToInt64Def(std::string_view text, int64_t fallback) {
  return TryStrToInt64(text).value_or(fallback);
}

std::optional<uint32_t> TryHexToInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

uint32_t HexToIntDef(std::string_view text, uint32_t fallback) {
  return TryHexToInt(text).value_or(fallback);
}

std::optional<double> TryStrToFloat(std::string_view text, char decimal_separator) {
  text = StripBlanks(text);
  if (text.empty()) return std::nullopt;
  std::string normal(text);
  for (char& c : normal) {
    if (c == '.' && decimal_separator != '.') return std::nullopt;
    if (c == decimal_separator) c = '.';
  }
  std::string_view digits = normal;
  if (digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value,
                      std::chars_format::general);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double StrToFloatDef(std::string_view text, double fallback, char decimal_separator) {
  return TryStrToFloat(text, decimal_separator).value_or(fallback);
}

std::string FloatToStr(double value, char decimal_separator) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, error == std::errc() ? end : buffer);
  for (char& c : text) {
    if (c == '.') c = decimal_separator;
  }
  // The exponent is written without "+" and without leading zeros: 1E-5, 1E20.
  const size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string exponent = text.substr(e + 1);
  const bool negative = exponent.front() == '-';
  exponent.erase(0, exponent.find_first_not_of("+-0"));
  return text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
}

std::string IntToHex(uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char reversed[16];
  int count = 0;
  do {
    reversed[count++] = kDigits[value & 15];
    value >>= 4;
  } while (value != 0);
  std::string text(digits > count ? static_cast<size_t>(digits - count) : 0, '0');
  while (count > 0) text += reversed[--count];
  return text;
}

}  // namespace chronel
