#include "translation/percent_form.h"

#include <algorithm>
#include <optional>

namespace chronel {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsControl(char c) { return static_cast<unsigned char>(c) < 32; }

std::optional<int> UpperHexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// The control character that a percent form at `pos` stands for; nothing when there is none.
std::optional<char> PercentFormAt(std::string_view text, size_t pos) {
  if (text[pos] != '%' || pos + 2 >= text.size()) return std::nullopt;
  const auto high = UpperHexDigit(text[pos + 1]);
  const auto low = UpperHexDigit(text[pos + 2]);
  if (!high || !low) return std::nullopt;
  const int code = *high * 16 + *low;
  if (code >= 32) return std::nullopt;
  return static_cast<char>(code);
}

}  // namespace

bool HasControlCharacters(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsControl);
}

std::string EscapeControlCharacters(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (!IsControl(c)) {
      result += c;
      continue;
    }
    const auto code = static_cast<unsigned char>(c);
    result += '%';
    result += kHexDigits[code / 16];
    result += kHexDigits[code % 16];
  }
  return result;
}

std::string UnescapeControlCharacters(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (const auto control = PercentFormAt(text, pos)) {
      result += *control;
      pos += 2;
      continue;
    }
    result += text[pos];
  }
  return result;
}

std::string RemoveAccelerators(std::string_view text) {
  std::string result(text);
  std::erase(result, '&');
  return result;
}

bool ContainsLetter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return !(code <= 64 || (code >= 91 && code <= 96) || (code >= 123 && code <= 127));
  });
}

}  // namespace chronel
