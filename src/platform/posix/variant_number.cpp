#include "platform/posix/variant_number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/utf.h"
#include "platform/posix/locale_formats.h"
#include "platform/variant.h"

namespace chronel::platform {
namespace {

constexpr int32_t kExponentLimit = 100000;  // far beyond any double, small enough to add safely

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' ||
         c == 0xA0;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int RadixDigit(char16_t c, int radix) {
  int digit = -1;
  if (c >= u'0' && c <= u'9') digit = c - u'0';
  if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
  if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
  return digit < radix ? digit : -1;
}

// Walks the text once, left to right.
class NumberReader {
 public:
  explicit NumberReader(std::u16string_view text) : text_(text), formats_(ThreadLocaleFormats()) {}

  int32_t Read(TextNumber& number) {
    ReadPrefix(number);
    const int32_t radix_result = ReadRadix(number);
    if (radix_result >= 0) return radix_result;
    if (!ReadDigits(number) || !ReadExponent(number)) return kVarTypeMismatch;
    ReadSuffix(number);
    if (position_ != text_.size() || open_parenthesis_) return kVarTypeMismatch;
    if (parenthesized_) number.Negative = true;
    return 0;
  }

 private:
  bool At(char16_t c) const { return position_ < text_.size() && text_[position_] == c; }
  bool Take(char16_t c) {
    if (!At(c)) return false;
    ++position_;
    return true;
  }
  bool TakeCurrency() {
    const std::u16string_view symbol(formats_.CurrencySymbol);
    if (text_.substr(position_, symbol.size()) != symbol) return false;
    position_ += symbol.size();
    return true;
  }
  void SkipBlanks() {
    while (position_ < text_.size() && IsBlank(text_[position_])) ++position_;
  }

  // Blanks, one sign, one opening parenthesis and the currency symbol, in any order.
  void ReadPrefix(TextNumber& number) {
    bool sign = false, currency = false;
    for (;;) {
      SkipBlanks();
      if (!sign && (At(u'+') || At(u'-'))) {
        number.Negative = text_[position_++] == u'-';
        sign = true;
      } else if (!parenthesized_ && Take(u'(')) {
        parenthesized_ = open_parenthesis_ = true;
      } else if (!currency && TakeCurrency()) {
        currency = true;
      } else {
        return;
      }
    }
  }

  // "&H" or "&O" digits and trailing blanks; -1 when the text is not such a number.
  int32_t ReadRadix(TextNumber& number) {
    if (!At(u'&') || position_ + 1 >= text_.size()) return -1;
    const char16_t kind = text_[position_ + 1];
    const int radix = (kind == u'H' || kind == u'h') ? 16 : (kind == u'O' || kind == u'o') ? 8 : 0;
    if (radix == 0) return -1;
    position_ += 2;
    const int bits_per_digit = radix == 16 ? 4 : 3;
    size_t digits = 0;
    bool overflow = false;
    for (int digit; position_ < text_.size() && (digit = RadixDigit(text_[position_], radix)) >= 0;
         ++position_, ++digits) {
      if (number.RadixValue >> (64 - bits_per_digit)) overflow = true;
      number.RadixValue = (number.RadixValue << bits_per_digit) | static_cast<uint64_t>(digit);
    }
    SkipBlanks();
    if (digits == 0 || position_ != text_.size() || open_parenthesis_) return kVarTypeMismatch;
    if (overflow) return kVarOverflow;
    number.Radix = true;
    return 0;
  }

  // Integer digits (thousands separators allowed after the first), then a fraction.
  bool ReadDigits(TextNumber& number) {
    size_t digit_count = 0;
    int32_t fraction_digits = 0;
    for (; position_ < text_.size(); ++position_) {
      const char16_t c = text_[position_];
      if (IsDigit(c)) {
        AppendDigit(number, c);
        ++digit_count;
      } else if (!(c == formats_.ThousandSeparator && digit_count > 0)) {
        break;
      }
    }
    if (Take(formats_.DecimalSeparator)) {
      for (; position_ < text_.size() && IsDigit(text_[position_]); ++position_) {
        AppendDigit(number, text_[position_]);
        ++digit_count;
        ++fraction_digits;
      }
    }
    number.Exponent = -fraction_digits;
    return digit_count > 0;
  }

  // Leading zeros are not significant and are not kept.
  static void AppendDigit(TextNumber& number, char16_t c) {
    if (number.Digits.empty() && c == u'0') return;
    number.Digits.push_back(static_cast<char>(c));
  }

  bool ReadExponent(TextNumber& number) {
    if (!At(u'e') && !At(u'E')) return true;
    ++position_;
    bool negative = false;
    if (At(u'+') || At(u'-')) negative = text_[position_++] == u'-';
    if (position_ >= text_.size() || !IsDigit(text_[position_])) return false;
    int32_t exponent = 0;
    for (; position_ < text_.size() && IsDigit(text_[position_]); ++position_) {
      exponent = std::min(kExponentLimit, exponent * 10 + (text_[position_] - u'0'));
    }
    number.Exponent += negative ? -exponent : exponent;
    return true;
  }

  // Blanks, a sign, the currency symbol and the closing parenthesis.
  void ReadSuffix(TextNumber& number) {
    for (;;) {
      SkipBlanks();
      if (At(u'+') || At(u'-')) {
        if (text_[position_++] == u'-') number.Negative = true;
      } else if (open_parenthesis_ && Take(u')')) {
        open_parenthesis_ = false;
      } else if (!TakeCurrency()) {
        return;
      }
    }
  }

  std::u16string_view text_;
  const LocaleFormats& formats_;
  size_t position_ = 0;
  bool parenthesized_ = false;
  bool open_parenthesis_ = false;
};

// The magnitude rounded to an integer, halves to even; false beyond 64 bits.
bool RoundedMagnitude(const TextNumber& number, uint64_t& magnitude) {
  magnitude = 0;
  const std::string& digits = number.Digits;
  const int64_t integer_digits = static_cast<int64_t>(digits.size()) + number.Exponent;
  if (digits.empty() || integer_digits < 0) return true;  // below 0.1: rounds to 0
  if (integer_digits > 20) return false;
  const auto kept = static_cast<size_t>(integer_digits);
  for (size_t i = 0; i < kept; ++i) {
    const uint64_t digit = i < digits.size() ? static_cast<uint64_t>(digits[i] - '0') : 0;
    if (magnitude > (UINT64_MAX - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  if (kept >= digits.size()) return true;
  // The first dropped digit decides; a half goes to the even neighbour unless more follows.
  const char dropped = digits[kept];
  const bool more = digits.find_first_not_of('0', kept + 1) != std::string::npos;
  if (dropped < '5' || (dropped == '5' && !more && (magnitude & 1) == 0)) return true;
  if (magnitude == UINT64_MAX) return false;
  ++magnitude;
  return true;
}

int32_t SignedValue(bool negative, uint64_t magnitude, uint64_t positive_limit, int64_t& value) {
  if (!negative && magnitude > positive_limit) return kVarOverflow;
  if (negative && magnitude > positive_limit + 1) return kVarOverflow;
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return 0;
}

}  // namespace

int32_t ParseTextNumber(std::u16string_view text, TextNumber& number) {
  number = TextNumber();
  return NumberReader(text).Read(number);
}

int32_t TextNumberToInt64(const TextNumber& number, int64_t& value) {
  if (number.Radix) {
    if (number.RadixValue > static_cast<uint64_t>(INT64_MAX)) return kVarOverflow;
    const int64_t bits = static_cast<int64_t>(number.RadixValue);
    value = number.Negative ? -bits : bits;
    return 0;
  }
  uint64_t magnitude = 0;
  if (!RoundedMagnitude(number, magnitude)) return kVarOverflow;
  return SignedValue(number.Negative, magnitude, INT64_MAX, value);
}

int32_t TextNumberToInt32(const TextNumber& number, int32_t& value) {
  if (number.Radix) {
    // Hexadecimal and octal texts give the bits of a 32-bit integer: &HFFFFFFFF is -1.
    if (number.RadixValue > UINT32_MAX) return kVarOverflow;
    const auto bits = static_cast<int32_t>(static_cast<uint32_t>(number.RadixValue));
    value = number.Negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(bits)) : bits;
    return 0;
  }
  uint64_t magnitude = 0;
  if (!RoundedMagnitude(number, magnitude)) return kVarOverflow;
  int64_t wide = 0;
  const int32_t code = SignedValue(number.Negative, magnitude, INT32_MAX, wide);
  if (code == 0) value = static_cast<int32_t>(wide);
  return code;
}

int32_t TextNumberToDouble(const TextNumber& number, double& value) {
  if (number.Radix) {
    value = static_cast<double>(number.RadixValue);
  } else if (number.Digits.empty()) {
    value = 0;
  } else {
    const std::string text = number.Digits + "e" + std::to_string(number.Exponent);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
      // Too small gives 0, as OLE does; too large is an overflow.
      if (static_cast<int64_t>(number.Digits.size()) + number.Exponent > 0) return kVarOverflow;
      value = 0;
    }
  }
  if (number.Negative) value = -value;
  return 0;
}

std::u16string RealToText(double value, int significant_digits) {
  if (value == 0) return u"0";  // also for -0
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value,
                                    std::chars_format::general, significant_digits);
  std::u16string text;
  const char16_t separator = ThreadLocaleFormats().DecimalSeparator;
  for (const char* c = buffer; c != result.ptr; ++c) {
    if (*c == '.') {
      text.push_back(separator);
    } else if (*c >= 'a' && *c <= 'z') {
      text.push_back(static_cast<char16_t>(*c - 'a' + 'A'));
    } else {
      text.push_back(static_cast<char16_t>(*c));
    }
  }
  return text;
}

std::u16string CurrencyToText(int64_t value) {
  const bool negative = value < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : value;
  std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
  fraction.erase(fraction.find_last_not_of('0') + 1);
  std::u16string result = Utf8ToUtf16(text);
  if (!fraction.empty()) {
    result.push_back(ThreadLocaleFormats().DecimalSeparator);
    result += Utf8ToUtf16(fraction);
  }
  return result;
}

bool RoundReal(double value, int64_t& result) {
  if (std::isnan(value)) return false;
  const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
  if (rounded < -9223372036854775808.0 || rounded >= 9223372036854775808.0) return false;
  result = static_cast<int64_t>(rounded);
  return true;
}

int64_t RoundCurrency(int64_t value) {
  int64_t quotient = value / 10000;
  const int64_t remainder = value % 10000;
  const int64_t half = remainder < 0 ? -remainder : remainder;
  if (half > 5000 || (half == 5000 && (quotient & 1))) quotient += value < 0 ? -1 : 1;
  return quotient;
}

}  // namespace chronel::platform
