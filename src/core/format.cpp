#include "core/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace chronel {
namespace {

// Widths and precisions from a hostile text are cut here, so one placeholder cannot produce more
// than a few kilobytes.
constexpr int64_t kMaxField = 4096;
// Counts written in the text stop growing here, so an overlong one cannot overflow.
constexpr int64_t kSaturated = std::numeric_limits<int32_t>::max();
constexpr int kFixedDecimals = 2;       // f, n
constexpr int kSignificantDigits = 15;  // e, g

[[noreturn]] void RaiseInvalid(std::string_view format) {
  throw EFormatError("Format '" + std::string(format) +
                     "' invalid or incompatible with argument");
}

[[noreturn]] void RaiseMissing(std::string_view format) {
  throw EFormatError("No argument for format '" + std::string(format) + "'");
}

// Not std::tolower: it is undefined for the negative chars of UTF-8 text.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t CharacterCount(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

// The first `count` UTF-8 characters; a multi-byte sequence is never cut in half.
std::string_view FirstCharacters(std::string_view text, int64_t count) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (count-- == 0) return text.substr(0, i);
  }
  return text;
}

std::string ZeroPadded(std::string digits, int64_t min_digits) {
  if (static_cast<int64_t>(digits.size()) < min_digits) {
    digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
  }
  return digits;
}

std::string UnsignedText(uint64_t value, int base, int64_t min_digits) {
  char buffer[64];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, value, base).ptr;
  std::string text(buffer, end);
  for (char& c : text) c = c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c;
  return ZeroPadded(std::move(text), min_digits);
}

// A finite double as decimal digits: value = D.DDD... * 10^Exponent.
struct Decimal {
  bool Negative = false;
  std::string Digits;  // no leading or trailing zeros; empty for zero
  int Exponent = 0;
};

Decimal ExactDecimal(double value) {
  // Every double's exact expansion has at most 309 integer digits and 1074 decimals, so this
  // text is exact and the rounding below decides every tie itself.
  constexpr int kAllDecimals = 1074;
  char buffer[309 + 1 + kAllDecimals + 16];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                          std::chars_format::fixed, kAllDecimals);
  if (error != std::errc()) throw std::logic_error("ExactDecimal: buffer too small");
  const std::string_view text(buffer, static_cast<size_t>(end - buffer));
  const size_t point = text.find('.');
  const std::string all = std::string(text.substr(0, point)) + std::string(text.substr(point + 1));
  const size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return {};
  const size_t last = all.find_last_not_of('0');
  return {std::signbit(value), all.substr(first, last + 1 - first),
          static_cast<int>(point) - static_cast<int>(first) - 1};
}

// Keeps `count` (>= 0) significant digits, rounding half away from zero as people do by hand
// (2.5 gives 3, not the even 2).
void RoundToDigits(Decimal& d, int64_t count) {
  if (static_cast<int64_t>(d.Digits.size()) <= count) return;
  const bool up = d.Digits[static_cast<size_t>(count)] >= '5';
  d.Digits.resize(static_cast<size_t>(count));
  if (up) {
    size_t i = d.Digits.size();
    while (i > 0 && d.Digits[i - 1] == '9') d.Digits[--i] = '0';
    if (i > 0) {
      ++d.Digits[i - 1];
    } else {
      d.Digits.insert(0, 1, '1');
      ++d.Exponent;
    }
  }
  d.Digits.erase(d.Digits.find_last_not_of('0') + 1);  // npos + 1 == 0 clears an all-zero text
  if (d.Digits.empty()) d = {};  // a value rounded to zero has no sign
}

void RoundToDecimals(Decimal& d, int64_t decimals) {
  const int64_t count = d.Exponent + 1 + decimals;
  if (count < 0) {
    d = {};
    return;
  }
  RoundToDigits(d, count);
}

std::string Sign(const Decimal& d) { return d.Negative ? "-" : ""; }

std::string JoinDecimal(std::string_view whole, std::string_view fraction, char separator) {
  std::string text(whole);
  if (fraction.empty()) return text;
  text += separator;
  text += fraction;
  return text;
}

std::string Grouped(std::string_view whole, char separator) {
  if (separator == '\0') return std::string(whole);
  std::string text;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) text += separator;
    text += whole[i];
  }
  return text;
}

// |value| with `decimals` places (a value already rounded to them), grouped by
// `thousand_separator` unless it is '\0'.
std::string UnsignedFixed(const Decimal& d, int64_t decimals, char decimal_separator,
                          char thousand_separator) {
  std::string whole = "0";
  std::string fraction;
  if (!d.Digits.empty() && d.Exponent >= 0) {
    const size_t whole_digits = static_cast<size_t>(d.Exponent) + 1;
    whole = d.Digits.substr(0, whole_digits);
    whole.resize(whole_digits, '0');
    if (d.Digits.size() > whole_digits) fraction = d.Digits.substr(whole_digits);
  } else if (!d.Digits.empty()) {
    fraction = std::string(static_cast<size_t>(-d.Exponent - 1), '0') + d.Digits;
  }
  fraction.resize(static_cast<size_t>(decimals), '0');
  return JoinDecimal(Grouped(whole, thousand_separator), fraction, decimal_separator);
}

std::string FixedText(double value, int64_t decimals, char decimal_separator,
                      char thousand_separator) {
  Decimal d = ExactDecimal(value);
  RoundToDecimals(d, decimals);
  return Sign(d) + UnsignedFixed(d, decimals, decimal_separator, thousand_separator);
}

std::string PlaceCurrency(const std::string& amount, const TFormatSettings& settings) {
  const std::string& currency = settings.CurrencyString;
  switch (settings.CurrencyFormat) {
    case TCurrencyFormat::Prefix:
      return currency + amount;
    case TCurrencyFormat::Suffix:
      return amount + currency;
    case TCurrencyFormat::PrefixSpace:
      return currency + " " + amount;
    case TCurrencyFormat::SuffixSpace:
      return amount + " " + currency;
  }
  return currency + amount;  // a value outside the enumeration, cast from stored settings
}

std::string CurrencyText(double value, int64_t decimals, const TFormatSettings& settings) {
  Decimal d = ExactDecimal(value);
  RoundToDecimals(d, decimals);
  const std::string amount =
      UnsignedFixed(d, decimals, settings.DecimalSeparator, settings.ThousandSeparator);
  return Sign(d) + PlaceCurrency(amount, settings);
}

std::string ScientificText(double value, int64_t digits, char decimal_separator) {
  Decimal d = ExactDecimal(value);
  RoundToDigits(d, digits);
  std::string mantissa = d.Digits.empty() ? "0" : d.Digits;
  mantissa.resize(static_cast<size_t>(digits), '0');
  const std::string exponent = ZeroPadded(std::to_string(std::abs(d.Exponent)), 3);
  return Sign(d) + JoinDecimal(mantissa.substr(0, 1), mantissa.substr(1), decimal_separator) +
         (d.Exponent < 0 ? "E-" : "E+") + exponent;
}

std::string GeneralText(double value, int64_t digits, char decimal_separator) {
  Decimal d = ExactDecimal(value);
  RoundToDigits(d, digits);
  if (d.Digits.empty()) return "0";
  const std::string_view all = d.Digits;
  if (d.Exponent < -4 || d.Exponent >= digits) {
    return Sign(d) + JoinDecimal(all.substr(0, 1), all.substr(1), decimal_separator) + "E" +
           std::to_string(d.Exponent);
  }
  const int64_t decimals = std::max<int64_t>(0, static_cast<int64_t>(all.size()) - d.Exponent - 1);
  return Sign(d) + UnsignedFixed(d, decimals, decimal_separator, '\0');
}

int64_t Bounded(std::optional<int64_t> precision, int64_t fallback, int64_t least) {
  return std::clamp(precision.value_or(fallback), least, kMaxField);
}

std::string FloatText(char type, double value, std::optional<int64_t> precision,
                      const TFormatSettings& settings) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const char decimal = settings.DecimalSeparator;
  switch (type) {
    case 'f':
      return FixedText(value, Bounded(precision, kFixedDecimals, 0), decimal, '\0');
    case 'n':
      return FixedText(value, Bounded(precision, kFixedDecimals, 0), decimal,
                       settings.ThousandSeparator);
    case 'm':
      return CurrencyText(value, Bounded(precision, settings.CurrencyDecimals, 0), settings);
    case 'e':
      return ScientificText(value, Bounded(precision, kSignificantDigits, 1), decimal);
    default:  // 'g'
      return GeneralText(value, Bounded(precision, kSignificantDigits, 1), decimal);
  }
}

struct Placeholder {
  bool LeftAligned = false;
  int64_t Width = 0;
  std::optional<int64_t> Precision;  // none when not written (or a negative "*")
  char Type = '\0';                  // lower case
};

// One pass over a format text, keeping the position in the text and in the arguments.
class Formatter {
 public:
  Formatter(std::string_view format, std::span<const FormatArg> args,
            const TFormatSettings& settings)
      : format_(format), args_(args), settings_(settings) {}

  std::string Run() {
    while (pos_ < format_.size()) {
      const size_t percent = format_.find('%', pos_);
      out_.append(format_.substr(pos_, percent - pos_));
      if (percent == std::string_view::npos) break;
      pos_ = percent + 1;
      if (Peek() == '%') {
        out_ += '%';
        ++pos_;
        continue;
      }
      const Placeholder placeholder = ReadPlaceholder();
      AppendPadded(Convert(placeholder), placeholder);
    }
    return std::move(out_);
  }

 private:
  // '\0' past the end; a '\0' inside the text is no placeholder character either.
  char Peek() const { return pos_ < format_.size() ? format_[pos_] : '\0'; }

  const FormatArg& NextArg(FormatArg::TKind kind) {
    if (next_arg_ < 0 || static_cast<uint64_t>(next_arg_) >= args_.size()) RaiseMissing(format_);
    const FormatArg& arg = args_[static_cast<size_t>(next_arg_++)];
    if (arg.Kind() != kind) RaiseInvalid(format_);
    return arg;
  }

  // A count written in the text, or "*" for the next argument; nothing when neither is there.
  std::optional<int64_t> ReadCount() {
    if (Peek() == '*') {
      ++pos_;
      const FormatArg& arg = NextArg(FormatArg::TKind::Integer);
      const auto magnitude = static_cast<int64_t>(std::min<uint64_t>(arg.Magnitude(), kSaturated));
      return arg.IsNegative() ? -magnitude : magnitude;
    }
    if (!IsDigit(Peek())) return std::nullopt;
    int64_t value = 0;
    while (IsDigit(Peek())) value = std::min(value * 10 + (format_[pos_++] - '0'), kSaturated);
    return value;
  }

  // Reads  [index ":"] ["-"] [width] ["." precision] type  after the "%".
  Placeholder ReadPlaceholder() {
    Placeholder placeholder;
    std::optional<int64_t> count = ReadCount();
    if (count && Peek() == ':') {
      ++pos_;
      next_arg_ = *count;
      count.reset();
    }
    if (!count) {
      placeholder.LeftAligned = Peek() == '-';
      if (placeholder.LeftAligned) ++pos_;
      count = ReadCount();
    }
    placeholder.Width = std::clamp<int64_t>(count.value_or(0), 0, kMaxField);
    if (Peek() == '.') {
      ++pos_;
      const int64_t precision = ReadCount().value_or(0);
      if (precision >= 0) placeholder.Precision = precision;
    }
    if (pos_ >= format_.size()) RaiseInvalid(format_);
    placeholder.Type = LowerAscii(format_[pos_++]);
    return placeholder;
  }

  std::string Convert(const Placeholder& placeholder) {
    using Kind = FormatArg::TKind;
    const int64_t min_digits = Bounded(placeholder.Precision, 0, 0);
    switch (placeholder.Type) {
      case 'd': {
        const FormatArg& arg = NextArg(Kind::Integer);
        return (arg.IsNegative() ? "-" : "") + UnsignedText(arg.Magnitude(), 10, min_digits);
      }
      case 'u':
        return UnsignedText(NextArg(Kind::Integer).Bits(), 10, min_digits);
      case 'x':
        return UnsignedText(NextArg(Kind::Integer).Bits(), 16, min_digits);
      case 'p': {
        const auto address = reinterpret_cast<uintptr_t>(NextArg(Kind::Pointer).Pointer());
        return UnsignedText(address, 16, 2 * sizeof(void*));
      }
      case 's': {
        const std::string& text = NextArg(Kind::Text).Text();
        return std::string(placeholder.Precision ? FirstCharacters(text, *placeholder.Precision) : text);
      }
      case 'f':
      case 'g':
      case 'e':
      case 'n':
      case 'm':
        return FloatText(placeholder.Type, NextArg(Kind::Float).Float(), placeholder.Precision, settings_);
      default:
        RaiseInvalid(format_);
    }
  }

  void AppendPadded(std::string_view text, const Placeholder& placeholder) {
    const auto length = static_cast<int64_t>(CharacterCount(text));
    const auto padding = static_cast<size_t>(std::max<int64_t>(0, placeholder.Width - length));
    if (!placeholder.LeftAligned) out_.append(padding, ' ');
    out_ += text;
    if (placeholder.LeftAligned) out_.append(padding, ' ');
  }

  std::string_view format_;
  std::span<const FormatArg> args_;
  const TFormatSettings& settings_;
  size_t pos_ = 0;
  int64_t next_arg_ = 0;
  std::string out_;
};

}  // namespace

TFormatSettings DefaultFormatSettings() { return {}; }

std::string Format(std::string_view format, std::span<const FormatArg> args,
                   const TFormatSettings& settings) {
  return Formatter(format, args, settings).Run();
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args,
                   const TFormatSettings& settings) {
  return Format(format, std::span<const FormatArg>(args.begin(), args.size()), settings);
}

}  // namespace chronel
