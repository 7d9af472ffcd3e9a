// Pascal-style message formatting. Message texts come from translators' files, so every
// placeholder is checked against its argument: a text that does not fit raises EFormatError and
// never reads a wrong argument, writes past a buffer or allocates without bound.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/exception.h"

namespace chronel {

// A format text that is malformed, names an unknown type, does not fit its argument or runs out
// of arguments. The message quotes the whole format text.
class EFormatError : public Exception {
 public:
  using Exception::Exception;
};

// Where the currency string goes around a positive amount: "$1", "1$", "$ 1", "1 $". A negative
// amount is the same with "-" in front ("-$1", "-1 $").
enum class TCurrencyFormat : uint8_t { Prefix, Suffix, PrefixSpace, SuffixSpace };

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';  // '\0' writes no separators
  std::string CurrencyString = "$";
  int CurrencyDecimals = 2;
  TCurrencyFormat CurrencyFormat = TCurrencyFormat::Prefix;
};

TFormatSettings DefaultFormatSettings();

template <typename T>
concept IsCharacterOrFlag =
    std::same_as<T, bool> || std::same_as<T, char> || std::same_as<T, wchar_t> ||
    std::same_as<T, char8_t> || std::same_as<T, char16_t> || std::same_as<T, char32_t>;

// One argument of Format: an integer (remembering its signedness and whether it is 32 or 64 bits
// wide, so %u and %x show its own bit pattern), a double, a text (copied, so an argument built
// from a temporary string stays valid) or a pointer. Characters, booleans and enumerations must
// be converted by the caller: their meaning in a message is not obvious.
class FormatArg {
 public:
  enum class TKind : uint8_t { Integer, Float, Text, Pointer };

  template <std::integral T>
    requires(!IsCharacterOrFlag<T>)
  FormatArg(T value)  // implicit: arguments are written inline, as in {count, name}
      : kind_(TKind::Integer),
        signed_(std::is_signed_v<T>),
        wide_(sizeof(T) > 4),
        integer_(static_cast<uint64_t>(value)) {}
  template <typename T>
    requires(IsCharacterOrFlag<T> || std::is_enum_v<T>)
  FormatArg(T value) = delete;

  FormatArg(double value) : kind_(TKind::Float), float_(value) {}
  FormatArg(const char* value) : kind_(TKind::Text), text_(value != nullptr ? value : "") {}
  FormatArg(std::string_view value) : kind_(TKind::Text), text_(value) {}
  FormatArg(std::string value) : kind_(TKind::Text), text_(std::move(value)) {}
  FormatArg(const void* value) : kind_(TKind::Pointer), pointer_(value) {}
  FormatArg(std::nullptr_t) : kind_(TKind::Pointer) {}

  TKind Kind() const { return kind_; }
  // Integers: the value's sign and magnitude, and its bit pattern within its own width.
  bool IsNegative() const { return signed_ && static_cast<int64_t>(integer_) < 0; }
  uint64_t Magnitude() const { return IsNegative() ? 0 - integer_ : integer_; }
  uint64_t Bits() const { return wide_ ? integer_ : integer_ & 0xFFFFFFFFu; }
  double Float() const { return float_; }
  const std::string& Text() const { return text_; }
  const void* Pointer() const { return pointer_; }

 private:
  TKind kind_;
  bool signed_ = false;
  bool wide_ = false;
  uint64_t integer_ = 0;  // sign-extended to 64 bits
  double float_ = 0;
  const void* pointer_ = nullptr;
  std::string text_;
};

// Replaces each placeholder  "%" [index ":"] ["-"] [width] ["." precision] type  with an
// argument; "%%" is a literal "%". Index, width and precision may be "*", taken from the next
// argument (an integer). The index counts from 0 and sets the position the following
// placeholders continue from. Width pads with blanks on the left, or on the right after "-",
// counting UTF-8 characters. Types, in either case:
//   d  integer, signed; precision = minimum digits       u  integer's bit pattern, unsigned
//   x  integer's bit pattern, upper-case hexadecimal; precision = minimum digits
//   s  text; precision = maximum characters              p  pointer, 2 * sizeof(void*) hex digits
//   f  fixed, precision decimals (2)                     n  as f with thousand separators
//   m  as n with the settings' currency string; precision decimals (CurrencyDecimals)
//   e  "d.dddE+ddd", precision significant digits (15), at least 3 exponent digits
//   g  shortest of fixed and scientific ("1E20", "1.5E-7"), precision significant digits (15),
//      no trailing zeros; fixed for 0.0001 <= |value| < 10^precision
// d/u/x need an integer argument, f/g/e/n/m a double, s a text, p a pointer. Widths and
// precisions above 4096 count as 4096 (precision of s excepted: it only shortens); a negative
// "*" width counts as 0 and a negative "*" precision as none. Non-finite doubles read "NAN",
// "INF" and "-INF". A result whose digits are all zero has no minus sign.
// Raises EFormatError. Safe to call from any thread.
std::string Format(std::string_view format, std::span<const FormatArg> args,
                   const TFormatSettings& settings = DefaultFormatSettings());
std::string Format(std::string_view format, std::initializer_list<FormatArg> args,
                   const TFormatSettings& settings = DefaultFormatSettings());

}  // namespace chronel
