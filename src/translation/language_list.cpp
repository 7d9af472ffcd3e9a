#include "translation/language_list.h"

#include <vector>

#include "core/text.h"
#include "platform/code_page.h"
#include "tasks/file_error.h"
#include "tasks/file_reader.h"
#include "tasks/ini_file.h"

namespace chronel {
namespace {

constexpr std::string_view kSection = "Languages";

}  // namespace

std::string ReadLanguageList(const std::string& fileName, TStringList& list) {
  if (fileName.empty() || !FileExists(fileName)) return {};
  try {
    const TBigIniFile ini(fileName);
    std::vector<std::string> keys;
    ini.ReadSection(kSection, keys);
    for (const std::string& key : keys) {
      if (!key.starts_with('$') || key.size() == 1) continue;
      // Display names are in the language they name: stored text, UTF-8 or the ANSI code page.
      const std::string name = platform::StoredTextToUtf8(ini.ReadString(kSection, key, ""));
      list.Add(key.substr(1) + "," + name);
    }
    return Trim(ini.ReadString(kSection, "Default", ""));
  } catch (const EFileError&) {
    return {};
  }
}

}  // namespace chronel
