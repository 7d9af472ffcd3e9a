#include "platform/code_page.h"

namespace chronel::platform {

std::string AnsiToUtf8(std::string_view text) { return std::string(text); }
std::string Utf8ToAnsi(std::string_view text) { return std::string(text); }

}  // namespace chronel::platform
