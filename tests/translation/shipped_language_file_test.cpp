// The language file we ship beside the library: it offers our languages, every text the plug-in
// shows has an entry in each of them, and no translation of a message loses a placeholder.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "engine/a_plugin.h"
#include "platform/module_info.h"
#include "plugin/instance_registry.h"
#include "plugin/params_list.h"
#include "tasks/temp_folder.h"
#include "translation/language_file.h"
#include "translation/language_list.h"
#include "translation/wtransl.h"
#include "ui/frm_option.h"

namespace chronel {
namespace {

// The build places it beside the library, and so beside this program.
std::string ShippedFile() {
  const std::string program = platform::ModuleFilePath(platform::OwnModule());
  const std::string folder = program.substr(0, program.find_last_of("\\/") + 1);
#ifdef _WIN32
  return folder + "chronel.lng";
#else
  return folder + "libchronel.lng";
#endif
}

std::vector<std::string> Languages() {
  TStringList list;
  ReadLanguageList(ShippedFile(), list);
  std::vector<std::string> codes;
  for (const std::string& entry : list.Lines()) codes.push_back(entry.substr(0, entry.find(',')));
  return codes;
}

// A copy of the shipped file whose first line asks the engine to collect.
class CollectingCopy {
 public:
  explicit CollectingCopy(const std::string& modeLine) {
    testing::WriteBytes(file_, modeLine + "\r\n" + testing::ReadBytes(ShippedFile()));
  }
  const std::string& File() const { return file_; }

 private:
  testing::TempFolder folder_;
  const std::string file_ = folder_.File("chronel.lng");
};

// As a host's LANGUAGE parameter switches an instance.
void SwitchLanguage(plugin::TkivPlugin& instance, const std::string& code) {
  plugin::TkivParamsList* list = plugin::NewParamsList();
  plugin::AddValue(*list, "LANGUAGE", platform::Variant(code));
  plugin::TPluginCallRec block{};
  block.Version = plugin::kCallBlockVersion;
  block.ParamList = list;
  instance.ApplyLanguage(&block);
  plugin::FreeParamsList(list);
}

// Each text as the plug-in's own translator meets it in a new instance, translated into `code`.
std::vector<std::string> Collected(const std::string& file, const std::string& code) {
  const auto instance = plugin::CreatePlugin<TaPlugin>(nullptr);
  TWtransl& translator = *instance->Translator();
  translator.SetLanguageFile(file);
  EXPECT_TRUE(translator.TranslateComponent(code, instance.get(), nullptr, "EN"));
  // The options dialog translates itself as it opens in the instance's language.
  SwitchLanguage(*instance, code);
  const TfrmOption dialog(static_cast<TaPlugin&>(*instance));
  return translator.Collected();
}

TEST(ShippedLanguageFile, OffersOurLanguagesAndStartsInEnglish) {
  TStringList list;
  EXPECT_EQ(ReadLanguageList(ShippedFile(), list), "EN");
  EXPECT_EQ(Languages(),
            (std::vector<std::string>{"EN", "DE", "FR", "ES", "IT", "PL", "RU", "JA"}));
  const std::optional<TLanguageFile> file = ReadLanguageFile(ShippedFile());
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Settings.Encoding, TTextEncoding::Utf8);
}

TEST(ShippedLanguageFile, HasAnEntryForEveryTextOfThePluginInEveryLanguage) {
  const CollectingCopy all("//saveall");
  const std::vector<std::string> texts = Collected(all.File(), "DE");
  // The walk reaches every kind of text: action captions, argument labels, the message table,
  // the framework's messages and the dialog's labels, lists, columns, buttons and grid captions.
  for (const char* text : {"Open data source", "Data source", "Actions", "Invalid argument",
                           "Task %s skipped: it is already running in this chain",
                           "No data for processing", "Repeat every hour", "By weekday", "Mode",
                           "Clear all", "Last day", "Cancel"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
  }

  const CollectingCopy untranslated("//saveuntr");
  for (const std::string& code : Languages()) {
    std::vector<std::string> missing = Collected(untranslated.File(), code);
    // The dialog's caption is the plug-in's name and its version (none where this program has no
    // version resource), the same in every language.
    std::erase_if(missing, [](const std::string& text) { return text.starts_with("Chronel"); });
    EXPECT_EQ(missing, std::vector<std::string>{}) << "texts without a " << code << " entry";
  }
}

std::vector<std::string> Placeholders(std::string_view text) {
  static const std::regex placeholder("%[-0-9.:]*[a-zA-Z]");
  std::vector<std::string> found;
  const std::string copy(text);
  for (auto it = std::sregex_iterator(copy.begin(), copy.end(), placeholder);
       it != std::sregex_iterator(); ++it) {
    found.push_back(it->str());
  }
  return found;
}

TEST(ShippedLanguageFile, TranslationsKeepThePlaceholdersOfTheirMessages) {
  const std::optional<TLanguageFile> file = ReadLanguageFile(ShippedFile());
  ASSERT_TRUE(file);
  int messages = 0;
  for (const TLanguageBlock& block : file->Blocks) {
    EXPECT_TRUE(block.Complete) << "line " << block.FirstLine;
    const auto source = block.TextOf("EN");
    if (!source || Placeholders(*source).empty()) continue;
    ++messages;
    for (const std::string& code : Languages()) {
      const auto translation = block.TextOf(code);
      ASSERT_TRUE(translation) << code << " at line " << block.FirstLine;
      EXPECT_EQ(Placeholders(*translation), Placeholders(*source)) << code << ": " << *translation;
    }
  }
  EXPECT_EQ(messages, 6);
}

}  // namespace
}  // namespace chronel
