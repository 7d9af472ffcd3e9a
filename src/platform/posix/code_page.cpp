#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

#include "core/utf.h"

namespace chronel::platform {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Malformed sequences become U+FFFD, so text inside the library is always valid UTF-8.
std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  return Utf16ToUtf8(Utf8ToUtf16(text));
}

std::string IconvName(uint32_t codePage) {
  return codePage == 1361 ? "JOHAB" : "CP" + std::to_string(codePage);
}

struct IconvCloser {
  void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};

// glibc converts every code page Windows language files use; each call has its own converter,
// so threads do not share state. An unknown code page reads as UTF-8.
std::string ConvertWithIconv(uint32_t codePage, std::string_view text) {
  const iconv_t opened = iconv_open("UTF-8", IconvName(codePage).c_str());
  if (opened == reinterpret_cast<iconv_t>(-1)) return ValidUtf8(text);
  const std::unique_ptr<void, IconvCloser> converter(opened);
  std::string result;
  std::string buffer(4 * text.size() + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    const size_t done = iconv(opened, &in, &inLeft, &out, &outLeft);
    result.append(buffer.data(), buffer.size() - outLeft);
    if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // A byte the code page does not define, or a lead byte cut off at the end.
    result.append(kReplacementUtf8);
    ++in;
    --inLeft;
    iconv(opened, nullptr, nullptr, nullptr, nullptr);
  }
  return result;
}

}  // namespace

std::string AnsiToUtf8(std::string_view text) { return std::string(text); }
std::string Utf8ToAnsi(std::string_view text) { return std::string(text); }

std::optional<std::u16string> TryAnsiToUtf16(std::string_view text) {
  if (!IsValidUtf8(text)) return std::nullopt;
  return Utf8ToUtf16(text);
}

std::string CodePageToUtf8(uint32_t codePage, std::string_view text) {
  if (codePage == kSystemCodePage || codePage == 65001) return ValidUtf8(text);
  return ConvertWithIconv(codePage, text);
}

}  // namespace chronel::platform
