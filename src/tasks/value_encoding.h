// The text form of string values in the settings storage. Line breaks, control bytes and the
// blanks at either end would not survive a registry string or an INI line, so they are escaped:
// "%" is written "%%", a blank at the very start or end "+", every other byte below 32 and "+"
// itself "%" and two lower-case hexadecimal digits; the lines L1 and L2 are L1%0d%0aL2%0d%0a.
#pragma once

#include <string>
#include <string_view>

namespace chronel {

std::string EncodeValue(std::string_view value);
// "%%" gives "%", "%" and two hexadecimal digits that byte, any other "%" stays, "+" gives a
// blank. DecodeValue(EncodeValue(x)) == x for every x.
std::string DecodeValue(std::string_view text);

}  // namespace chronel
