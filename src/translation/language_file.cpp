#include "translation/language_file.h"

#include <charconv>

#include "core/text.h"
#include "core/utf.h"
#include "tasks/file_error.h"
#include "tasks/file_reader.h"

namespace chronel {
namespace {

constexpr size_t kHeaderWidth = 50;

// --- reading the bytes

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = bigEndian ? static_cast<char16_t>(first << 8 | second)
                         : static_cast<char16_t>(second << 8 | first);
  }
  return units;
}

// UTF-16 is told by its byte-order mark, or, without one, by a first character that is ASCII
// (its high byte zero), as every header, comment and language code is.
std::optional<std::string> Utf16FileText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(Utf16Units(bytes.substr(2), false));
  if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(Utf16Units(bytes.substr(2), true));
  if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) {
    return Utf16ToUtf8(Utf16Units(bytes, false));
  }
  return std::nullopt;
}

std::vector<std::string_view> FileLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view TrimSpaces(std::string_view line) {
  const size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

// --- header lines

// The text after `key` in lower case, trimmed; nothing when the line does not hold `key`.
std::optional<std::string> ValueAfter(std::string_view line, std::string_view key) {
  const size_t found = line.find(key);
  if (found == std::string_view::npos) return std::nullopt;
  return LowerCaseAscii(Trim(line.substr(found + key.size())));
}

std::optional<TTextEncoding> EncodingNamed(std::string_view value) {
  if (value == "utf-8") return TTextEncoding::Utf8;
  if (value == "utf-16") return TTextEncoding::Utf16;
  if (value == "unicode") return TTextEncoding::Unicode;
  return std::nullopt;
}

std::optional<TBiDiMode> BiDiModeNamed(std::string_view value) {
  if (value == "righttoleft") return TBiDiMode::bdRightToLeft;
  if (value == "righttoleftnoalign") return TBiDiMode::bdRightToLeftNoAlign;
  if (value == "righttoleftreadingonly") return TBiDiMode::bdRightToLeftReadingOnly;
  return std::nullopt;
}

// Decimal, or hexadecimal after "0x"; only positive values name a locale.
std::optional<platform::LocaleId> LocaleNamed(std::string_view value) {
  int base = 10;
  if (value.starts_with("0x")) {
    base = 16;
    value.remove_prefix(2);
  }
  uint32_t locale = 0;
  const char* last = value.data() + value.size();
  const auto [end, error] = std::from_chars(value.data(), last, locale, base);
  if (error != std::errc() || end != last || locale == 0) {
    return std::nullopt;
  }
  return locale;
}

// Lines that choose what is collected and how the side file is written. They start with "//"
// and so are comments as well.
bool ApplyModeLine(std::string_view line, TLanguageSettings& settings) {
  if (line == "//filenew") settings.FileMode = TFileMode::New;
  else if (line == "//filerewrite") settings.FileMode = TFileMode::Rewrite;
  else if (line == "//fileappend") settings.FileMode = TFileMode::Append;
  else if (line == "//saveuntr") settings.SaveMode = TSaveMode::Untranslated;
  else if (line == "//saveuntrobj") settings.SaveMode = TSaveMode::UntranslatedWithPath;
  else if (line == "//saveunused") settings.SaveMode = TSaveMode::Unused;
  else if (line == "//saveall") settings.SaveMode = TSaveMode::All;
  else return false;
  return true;
}

// True when the line set the encoding, reading order, locale or character set.
bool ApplySettingLine(std::string_view line, TLanguageSettings& settings) {
  if (const auto value = ValueAfter(line, "Encoding=")) {
    const auto encoding = EncodingNamed(*value);
    if (encoding) settings.Encoding = *encoding;
    return encoding.has_value();
  }
  if (const auto value = ValueAfter(line, "BiDiMode=")) {
    const auto mode = BiDiModeNamed(*value);
    if (mode) settings.BiDiMode = *mode;
    return mode.has_value();
  }
  if (const auto value = ValueAfter(line, "Locale=")) {
    const auto locale = LocaleNamed(*value);
    if (locale) settings.Locale = *locale;
    return locale.has_value();
  }
  if (const auto value = ValueAfter(line, "Charset=")) {
    const auto charset = CharsetByName(*value);
    if (charset) settings.Charset = *charset;
    return charset.has_value();
  }
  return false;
}

// --- blocks

class TBlockReader {
 public:
  explicit TBlockReader(std::vector<TLanguageBlock>& blocks) : blocks_(blocks) {}

  void Add(int lineNumber, std::string_view line) {
    if (line.empty()) {
      Close(true);
      return;
    }
    if (line.starts_with("//")) return;
    if (current_.Lines.empty()) current_.FirstLine = lineNumber;
    current_.Lines.emplace_back(line);
  }

  void End() { Close(false); }

 private:
  void Close(bool complete) {
    if (current_.Lines.empty()) return;
    current_.Complete = complete;
    blocks_.push_back(std::move(current_));
    current_ = {};
  }

  std::vector<TLanguageBlock>& blocks_;
  TLanguageBlock current_;
};

}  // namespace

std::optional<std::string_view> TLanguageBlock::TextOf(std::string_view code) const {
  for (const std::string& line : Lines) {
    const std::string_view text = line;
    if (text.size() < code.size() + 2 || text.substr(code.size(), 2) != ":>") continue;
    if (SameTextAscii(text.substr(0, code.size()), code)) return text.substr(code.size() + 2);
  }
  return std::nullopt;
}

std::string TLanguageFile::Decode(std::string_view text) const {
  if (TextsAreUtf8()) {
    // Malformed sequences become U+FFFD.
    return IsValidUtf8(text) ? std::string(text) : Utf16ToUtf8(Utf8ToUtf16(text));
  }
  return platform::CodePageToUtf8(Settings.Charset.CodePage, text);
}

TLanguageFile ParseLanguageFile(std::string_view bytes) {
  TLanguageFile file;
  const std::optional<std::string> wide = Utf16FileText(bytes);
  file.WideFile = wide.has_value();
  std::string_view text = wide ? std::string_view(*wide) : bytes;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

  const std::vector<std::string_view> lines = FileLines(text);
  file.LineCount = static_cast<int>(lines.size());
  TBlockReader blocks(file.Blocks);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::string_view line = TrimSpaces(lines[i]);
    if (number <= kHeaderLineCount) {
      const std::string header = Trim(line).substr(0, kHeaderWidth);
      const bool used = ApplySettingLine(header, file.Settings);
      if (used || ApplyModeLine(header, file.Settings)) {
        file.HeaderLines.push_back({number, header});
      }
      if (used) continue;
    }
    blocks.Add(number, line);
  }
  blocks.End();
  return file;
}

std::optional<TLanguageFile> ReadLanguageFile(const std::string& fileName) {
  if (fileName.empty() || !FileExists(fileName)) return std::nullopt;
  try {
    TFileReader reader(fileName);
    std::string bytes;
    char buffer[65536];
    while (const size_t got = reader.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
    return ParseLanguageFile(bytes);
  } catch (const EFileError&) {
    return std::nullopt;
  }
}

}  // namespace chronel
