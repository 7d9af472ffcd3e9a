#include "tasks/ini_storage.h"

#include <optional>
#include <vector>

#include "core/text.h"
#include "core/utf.h"
#include "platform/code_page.h"
#include "platform/locale_services.h"
#include "platform/named_lock.h"
#include "tasks/file_error.h"
#include "tasks/ini_file.h"

namespace chronel {
namespace {

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

class TIniStorage final : public TSettingsStorage {
 public:
  TIniStorage(const std::string& file_name, std::string prefix)
      : lock_(IniLockName(file_name)), ini_(file_name), prefix_(std::move(prefix)) {}

  bool Locate(const std::vector<std::string>& sub_keys, bool common, bool) override {
    std::string section;
    for (const std::string& sub_key : sub_keys) {
      if (!section.empty()) section += '\\';
      section += sub_key;
    }
    section_ = SectionName(common && section.empty() ? "Common" : section);
    value_section_ = SectionName(section.empty() ? "Common" : section);
    return true;
  }

  bool ValueExists(std::string_view name) override { return ini_.ValueExists(section_, name); }
  int32_t ReadInteger(std::string_view name) override {
    return ini_.ReadInteger(section_, name, 0);
  }
  double ReadFloat(std::string_view name) override { return ini_.ReadFloat(section_, name, 0); }
  // Files written by older tools hold 8-bit text in the ANSI code page.
  std::string ReadString(std::string_view name) override {
    return platform::StoredTextToUtf8(ini_.ReadString(section_, name, ""));
  }

  void WriteInteger(std::string_view name, int32_t value) override {
    ini_.WriteInteger(section_, name, value);
  }
  void WriteFloat(std::string_view name, double value) override {
    ini_.WriteFloat(section_, name, value);
  }
  void WriteString(std::string_view name, std::string_view value) override {
    ini_.WriteString(section_, name, value);
  }
  void DeleteValue(std::string_view name) override { ini_.DeleteKey(section_, name); }
  void DiscardValue(std::string_view) override {}

  // The sections named after the value and those below them, or else the key where a save
  // puts it.
  void DeleteEntry(std::string_view name) override {
    std::string base(name);
    if (!section_.empty()) base = section_ + "." + base;
    std::vector<std::string> sections;
    ini_.ReadSections(sections);
    bool erased = false;
    for (const std::string& section : sections) {
      if (!SameTextAscii(section, base) && !StartsWithText(section, base + ".")) continue;
      ini_.EraseSection(section);
      erased = true;
    }
    if (!erased) ini_.DeleteKey(value_section_, name);
  }

  // The distinct next name parts of the sections below the location.
  std::vector<std::string> SubKeyNames() override {
    const std::string below = section_.empty() ? "" : section_ + ".";
    std::vector<std::string> sections, names;
    ini_.ReadSections(sections);
    for (const std::string& section : sections) {
      if (!StartsWithText(section, below)) continue;
      const std::string_view rest = std::string_view(section).substr(below.size());
      const std::string name = ExtractField(rest, ".", 1, false);
      if (name.empty() || Contains(names, name)) continue;
      names.push_back(name);
    }
    return names;
  }

  std::vector<std::string> ValueNames() override {
    std::vector<std::string> keys;
    ini_.ReadSection(section_, keys);
    return keys;
  }

  bool Close() override {
    try {
      ini_.UpdateFile();
      return true;
    } catch (const EFileError&) {
      return false;
    }
  }

 private:
  std::string SectionName(const std::string& section) const {
    const std::string full = prefix_.empty()   ? section
                             : section.empty() ? prefix_
                                               : prefix_ + "." + section;
    return ReplaceAll(full, "\\", ".");
  }

  static bool Contains(const std::vector<std::string>& names, std::string_view name) {
    for (const std::string& known : names) {
      if (SameTextAscii(known, name)) return true;
    }
    return false;
  }

  platform::NamedLock lock_;  // taken before the file is read, released after it is written
  TBigIniFile ini_;
  std::string prefix_;
  std::string section_;
  std::string value_section_;  // a line without sub-keys keeps its values in "Common"
};

}  // namespace

std::unique_ptr<TSettingsStorage> OpenIniStorage(const std::string& file_name,
                                                 const std::string& section_prefix) {
  return std::make_unique<TIniStorage>(file_name, section_prefix);
}

std::string IniLockName(std::string_view file_name) {
  const std::u16string lower = Utf8ToUtf16(platform::LowerCaseLocale(file_name));
  std::string name;
  name.reserve(lower.size());
  for (char16_t c : lower) {
    const bool kept = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z');
    name += kept ? static_cast<char>(c) : '_';
  }
  return name;
}

}  // namespace chronel
