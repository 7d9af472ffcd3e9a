#include "tasks/value_encoding.h"

namespace chronel {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EncodeValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  const size_t first_inner = value.find_first_not_of(' ');
  const size_t last_inner = value.find_last_not_of(' ');
  std::string text;
  text.reserve(value.size() + value.size() / 8);
  for (size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    const bool outer = first_inner == std::string_view::npos || i < first_inner || i > last_inner;
    if (byte == ' ' && outer) {
      text += '+';
    } else if (byte == '%') {
      text += "%%";
    } else if (byte < 32 || byte == '+') {
      text += '%';
      text += kHex[byte >> 4];
      text += kHex[byte & 15];
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

std::string DecodeValue(std::string_view text) {
  std::string value;
  value.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      value += ' ';
      continue;
    }
    if (c != '%' || i + 1 >= text.size()) {
      value += c;
      continue;
    }
    if (text[i + 1] == '%') {
      value += '%';
      ++i;
      continue;
    }
    const int high = HexDigit(text[i + 1]);
    const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (high < 0 || low < 0) {
      value += c;
      continue;
    }
    value += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return value;
}

}  // namespace chronel
