// Fuzzes language files: header lines, blocks, percent forms, UTF-8, UTF-16 and code-page
// texts, and translating through a fuzzed file. The first input byte picks the target language
// and how many of the last bytes form a text of our own to translate; the rest is the file.
// Every translation the engine puts in place is valid UTF-8 when the text it replaced was.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "core/control.h"
#include "core/form.h"
#include "core/utf.h"
#include "translation/language_file.h"
#include "translation/translation_table.h"
#include "translation/wtransl.h"

namespace {

namespace fs = std::filesystem;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::array<const char*, 6> kTargets = {"DE", "FR", "JA", "EN", "de", "XX"};
// A language the file is not expected to have; checked before it is relied on.
constexpr const char* kAbsent = "ZZ-ABSENT";
constexpr std::array<const char*, 5> kTexts = {"Open data source", "&Yes", "Line 1\r\nLine 2",
                                               "Unable to add task #%d", "  Data  "};

// Everything the parser hands out, decoded, and every block's texts looked up.
void ReadEverything(const chronel::TLanguageFile& file, std::string_view target) {
  for (const chronel::TLanguageBlock& block : file.Blocks) {
    for (const std::string& line : block.Lines) Check(chronel::IsValidUtf8(file.Decode(line)));
    block.TextOf("EN");
    block.TextOf(target);
  }
  const chronel::TTranslationTable table(file, "EN", target);
  for (const std::string& source : table.Sources()) Check(table.Translate(source).has_value());
}

// A side file lands beside the language file; each run starts without one.
void RemoveAllBut(const fs::path& folder, const fs::path& keep) {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (entry.path() != keep) fs::remove(entry.path(), ignored);
  }
}

void TranslateThrough(const chronel::TLanguageFile& parsed, const std::string& fileName,
                      const std::string& target, const std::string& ownText) {
  chronel::TForm form(nullptr);
  form.SetCaption(kTexts[0]);
  auto* control = new chronel::TWinControl(&form);
  control->SetHint(ownText);
  chronel::TWtransl engine(nullptr);
  engine.SetLanguageFile(fileName);
  engine.TranslateComponent(target, &form, nullptr, "EN");
  Check(chronel::IsValidUtf8(form.Caption()));
  if (chronel::IsValidUtf8(ownText)) Check(chronel::IsValidUtf8(control->Hint()));
  for (const char* text : kTexts) {
    std::string value = text;
    engine.TranslateComponent(target, nullptr, &value, "EN");
    Check(chronel::IsValidUtf8(value));
  }
  // Into a language without entries: the texts put in place go back to their sources.
  engine.TranslateComponent(kAbsent, &form, nullptr, "EN");
  if (chronel::TTranslationTable(parsed, "EN", kAbsent).Count() == 0) {
    Check(form.Caption() == kTexts[0]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path folder =
      fs::temp_directory_path() / ("chronel_lang_fuzz_" + std::to_string(getpid()));
  static const fs::path file = folder / "fuzz.lng";
  if (size == 0) return 0;
  const std::string target = kTargets[data[0] % kTargets.size()];
  const size_t ownLength = std::min<size_t>(data[0] / kTargets.size(), size - 1);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string ownText(bytes.substr(bytes.size() - ownLength));

  const chronel::TLanguageFile parsed = chronel::ParseLanguageFile(bytes);
  ReadEverything(parsed, target);

  fs::create_directories(folder);
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  TranslateThrough(parsed, file.string(), target, ownText);
  RemoveAllBut(folder, file);
  return 0;
}
