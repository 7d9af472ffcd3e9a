#include "translation/side_file.h"

#include <fstream>

#include "tasks/file_reader.h"

namespace chronel {
namespace {

// Enough for years of collecting sessions, and a bound on the search for a free name.
constexpr int kMaxNumberedNames = 9999;

std::string Header(std::string_view source, std::string_view target) {
  const std::string sourceCode(source), targetCode(target);
  return "[Languages]\r\n$" + sourceCode + " = #1\r\n$" + targetCode + " = #2 (Default)\r\n" +
         "Default = " + targetCode + "\r\n\r\n";
}

std::string Entries(std::string_view source, std::string_view target,
                    const std::set<std::string>& collected) {
  std::string text;
  for (const std::string& entry : collected) {
    text.append(source).append(":>").append(entry).append("\r\n");
    text.append(target).append(":>\r\n\r\n");
  }
  return text + "\r\n";
}

}  // namespace

std::string SideFileName(const std::string& languageFile, TSaveMode saveMode, TFileMode fileMode) {
  const std::string extension = saveMode == TSaveMode::Unused ? ".unused" : ".new";
  const std::string name = languageFile + extension;
  if (fileMode != TFileMode::New || !FileExists(name)) return name;
  for (int number = 1; number <= kMaxNumberedNames; ++number) {
    std::string numbered = languageFile + "." + std::to_string(number) + extension;
    if (!FileExists(numbered)) return numbered;
  }
  return {};
}

void WriteSideFile(const std::string& languageFile, const TLanguageSettings& settings,
                   std::string_view source, std::string_view target,
                   const std::set<std::string>& collected) {
  if (collected.empty() || languageFile.empty()) return;
  const std::string name = SideFileName(languageFile, settings.SaveMode, settings.FileMode);
  if (name.empty()) return;
  const bool append = settings.FileMode == TFileMode::Append && FileExists(name);
  const auto mode = std::ios::binary | (append ? std::ios::app : std::ios::trunc);
  std::ofstream out(PathFromUtf8(name), mode);
  if (!out) return;
  if (!append) out << Header(source, target);
  out << Entries(source, target, collected);
}

}  // namespace chronel
