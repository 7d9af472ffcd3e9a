#include "lang_command.h"

#include <iostream>
#include <map>
#include <ostream>
#include <set>

#include "core/string_list.h"
#include "core/text.h"
#include "translation/language_file.h"
#include "translation/language_list.h"
#include "translation/translation_table.h"

namespace chronel {
namespace {

constexpr int kErrorStatus = 2;
constexpr std::string_view kSourceLanguage = "EN";
constexpr size_t kMaxCodeLength = 16;

struct TLanguage {
  std::string Code;
  std::string Name;
};

// --- what the file offers

bool IsCodeCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

// "DE" for a line "DE:>...", in upper case; "" for other lines.
std::string CodeOfLine(std::string_view line) {
  const size_t mark = line.find(":>");
  if (mark == 0 || mark == std::string_view::npos || mark > kMaxCodeLength) return {};
  const std::string_view code = line.substr(0, mark);
  for (const char c : code) {
    if (!IsCodeCharacter(c)) return {};
  }
  return UpperCaseAscii(code);
}

std::set<std::string> CodesOf(const TLanguageBlock& block) {
  std::set<std::string> codes;
  for (const std::string& line : block.Lines) {
    if (std::string code = CodeOfLine(line); !code.empty()) codes.insert(std::move(code));
  }
  return codes;
}

// The listed languages first, then codes that only blocks use.
std::vector<TLanguage> Languages(const TStringList& list, const TLanguageFile& file) {
  std::vector<TLanguage> languages;
  std::set<std::string> known;
  for (const std::string& entry : list.Lines()) {
    const size_t comma = entry.find(',');
    TLanguage language{UpperCaseAscii(entry.substr(0, comma)), entry.substr(comma + 1)};
    if (known.insert(language.Code).second) languages.push_back(std::move(language));
  }
  for (const TLanguageBlock& block : file.Blocks) {
    for (const std::string& code : CodesOf(block)) {
      if (known.insert(code).second) languages.push_back({code, "(not in [Languages])"});
    }
  }
  return languages;
}

// --- reporting

std::string ReadAs(const TLanguageFile& file) {
  if (file.WideFile) return "UTF-16";
  if (file.TextsAreUtf8()) return "UTF-8";
  if (file.Settings.Charset.CodePage == platform::kSystemCodePage) return "the system's code page";
  return "code page " + std::to_string(file.Settings.Charset.CodePage);
}

const char* BiDiModeName(TBiDiMode mode) {
  switch (mode) {
    case TBiDiMode::bdLeftToRight:
      return "left to right";
    case TBiDiMode::bdRightToLeft:
      return "right to left";
    case TBiDiMode::bdRightToLeftNoAlign:
      return "right to left, alignment kept";
    case TBiDiMode::bdRightToLeftReadingOnly:
      return "right to left, reading only";
  }
  return "?";
}

const char* SaveModeName(TSaveMode mode) {
  switch (mode) {
    case TSaveMode::None:
      return "nothing";
    case TSaveMode::Untranslated:
      return "untranslated texts";
    case TSaveMode::All:
      return "every text";
    case TSaveMode::Unused:
      return "entries nothing asks for";
    case TSaveMode::UntranslatedWithPath:
      return "untranslated texts with their place";
  }
  return "?";
}

const char* FileModeName(TFileMode mode) {
  switch (mode) {
    case TFileMode::New:
      return "under a free name";
    case TFileMode::Rewrite:
      return "written anew";
    case TFileMode::Append:
      return "appended to";
  }
  return "?";
}

void PrintHeader(const TLanguageFile& file, std::ostream& out) {
  const TLanguageSettings& settings = file.Settings;
  out << "read as: " << ReadAs(file) << ", " << file.LineCount << " lines\n";
  out << "header lines:" << (file.HeaderLines.empty() ? " none" : "") << "\n";
  for (const THeaderLine& line : file.HeaderLines) {
    out << "  line " << line.Line << ": " << line.Text << "\n";
  }
  out << "settings:\n"
      << "  reading order: " << BiDiModeName(settings.BiDiMode) << "\n"
      << "  locale: "
      << (settings.Locale == 0 ? std::string("the thread's own") : std::to_string(settings.Locale))
      << "\n"
      << "  character set: " << static_cast<int>(settings.Charset.FontCharset) << "\n"
      << "  collects: " << SaveModeName(settings.SaveMode) << "\n";
  if (settings.SaveMode != TSaveMode::None) {
    out << "  side file: " << FileModeName(settings.FileMode) << "\n";
  }
}

void PrintLanguages(const std::vector<TLanguage>& languages, const std::string& defaultLanguage,
                    std::ostream& out) {
  out << "languages:\n";
  for (const TLanguage& language : languages) {
    out << "  " << language.Code << "  " << language.Name
        << (SameTextAscii(language.Code, defaultLanguage) ? "  (default)" : "") << "\n";
  }
  if (defaultLanguage.empty()) out << "  no default language: instances start in EN\n";
}

std::string Joined(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += (text.empty() ? "" : ", ") + code;
  return text;
}

// Why the engine takes nothing from `block`, or nothing for some languages; none when it takes
// every language.
std::vector<std::string> DropReasons(const TLanguageBlock& block,
                                     const std::vector<TLanguage>& languages) {
  if (!block.Complete) return {"no empty line after the block before the end of the file"};
  const auto source = block.TextOf(kSourceLanguage);
  if (!source) return {"no " + std::string(kSourceLanguage) + " line"};
  if (source->empty()) return {"the " + std::string(kSourceLanguage) + " text is empty"};
  std::vector<std::string> missing, empty;
  for (const TLanguage& language : languages) {
    if (language.Code == kSourceLanguage) continue;
    const auto translation = block.TextOf(language.Code);
    if (!translation) missing.push_back(language.Code);
    else if (translation->empty()) empty.push_back(language.Code);
  }
  std::vector<std::string> reasons;
  if (!missing.empty()) reasons.push_back("no line for " + Joined(missing));
  if (!empty.empty()) reasons.push_back("empty text for " + Joined(empty));
  return reasons;
}

void PrintBlocks(const TLanguageFile& file, const std::vector<TLanguage>& languages,
                 std::ostream& out) {
  out << "entries taken (from " << kSourceLanguage << "):\n";
  for (const TLanguage& language : languages) {
    if (language.Code == kSourceLanguage) continue;
    out << "  " << language.Code << "  "
        << TTranslationTable(file, kSourceLanguage, language.Code).Count() << "\n";
  }
  std::vector<std::string> dropped;
  std::map<std::string, int> firstLineOfSource;
  for (const TLanguageBlock& block : file.Blocks) {
    if (CodesOf(block).empty()) continue;  // no entry: a section, a stray text
    const std::string where = "  line " + std::to_string(block.FirstLine) + ": ";
    for (const std::string& reason : DropReasons(block, languages)) {
      dropped.push_back(where + reason);
    }
    const auto source = block.TextOf(kSourceLanguage);
    if (!block.Complete || !source || source->empty()) continue;
    const auto [earlier, added] = firstLineOfSource.emplace(*source, block.FirstLine);
    if (added) continue;
    dropped.push_back("  line " + std::to_string(earlier->second) + ": replaced by line " +
                      std::to_string(block.FirstLine) + ", which has the same " +
                      std::string(kSourceLanguage) + " text");
    earlier->second = block.FirstLine;
  }
  out << "dropped:" << (dropped.empty() ? " none" : "") << "\n";
  for (const std::string& line : dropped) out << line << "\n";
}

int Usage(std::ostream& err) {
  err << "chronel lang: usage: chronel lang check FILE\n";
  return kErrorStatus;
}

}  // namespace

int RunLangCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0] != "check") return Usage(err);
  const std::string& fileName = args[1];
  const std::optional<TLanguageFile> file = ReadLanguageFile(fileName);
  if (!file) {
    err << "chronel lang: cannot read " << fileName << "\n";
    return kErrorStatus;
  }
  TStringList list;
  const std::string defaultLanguage = ReadLanguageList(fileName, list);
  const std::vector<TLanguage> languages = Languages(list, *file);
  out << "file: " << fileName << "\n";
  PrintHeader(*file, out);
  PrintLanguages(languages, defaultLanguage, out);
  PrintBlocks(*file, languages, out);
  return 0;
}

int RunLangCommand(const std::vector<std::string>& args) {
  return RunLangCommand(args, std::cout, std::cerr);
}

}  // namespace chronel
