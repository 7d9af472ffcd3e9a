// The translation engine on component trees: what it translates and what it leaves, language
// switches, the release of a loaded language, and the texts it collects for translators.
#include "translation/wtransl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/application.h"
#include "core/data_module.h"
#include "core/form.h"
#include "engine/menu.h"
#include "engine/msg_array.h"
#include "platform/pumping_thread.h"
#include "support/fake_clock.h"
#include "tasks/temp_folder.h"
#include "translation/object_translators.h"
#include "translation/translation_fixtures.h"
#include "ui/combo_box.h"
#include "ui/edit.h"

namespace chronel {
namespace {

using testing::TCaptioned;

constexpr const char* kOeffnen = "Datenquelle \xC3\xB6" "ffnen";
constexpr const char* kSchliessen = "Datenquelle schlie\xC3\x9F" "en";

std::string Blocks(const std::vector<std::vector<std::string>>& blocks) {
  std::string text;
  for (const auto& block : blocks) {
    for (const std::string& line : block) text += line + "\r\n";
    text += "\r\n";
  }
  return text;
}

const std::string kGerman = Blocks({
    {"Encoding=utf-8"},
    {"EN:>Open data source", std::string("DE:>") + kOeffnen,
     "FR:>Ouvrir la source de donn\xC3\xA9" "es"},
    {"EN:>Close data source", std::string("DE:>") + kSchliessen},
    {"EN:>Executing task", "DE:>Aufgabe wird ausgef\xC3\xBChrt"},
    {"EN:>Unable to add task #%d", "DE:>Aufgabe #%d kann nicht hinzugef\xC3\xBCgt werden"},
    {"EN:>Data", "DE:>Daten"},
    {"EN:>Event", "DE:>Ereignis"},
});

class WtranslTest : public ::testing::Test {
 protected:
  WtranslTest() { root_.SetName("root"); }

  std::string WriteFile(const std::string& header, const std::string& body = kGerman) {
    chronel::testing::WriteBytes(file_, header + body);
    return file_;
  }
  std::unique_ptr<TWtransl> Engine(const std::string& header = {}) {
    auto engine = std::make_unique<TWtransl>(nullptr);
    engine->SetLanguageFile(WriteFile(header));
    return engine;
  }
  TMenuItem& Item(const std::string& name, const std::string& caption) {
    auto* item = new TMenuItem(&root_);
    item->SetName(name);
    item->SetCaption(caption);
    return *item;
  }

  chronel::testing::TempFolder folder_;
  const std::string file_ = folder_.File("plugin.lng");
  TDataModule root_{nullptr};
};

TEST_F(WtranslTest, AMenuCaptionFollowsTheTargetLanguageWhereTheFileHasIt) {
  TMenuItem& open = Item("OPEN", "Open data source");
  TMenuItem& close = Item("CLOSE", "Close data source");
  const auto engine = Engine();
  EXPECT_TRUE(engine->TranslateComponent("DE", &root_, nullptr, "EN"));
  EXPECT_EQ(open.Caption(), kOeffnen);
  EXPECT_EQ(close.Caption(), kSchliessen);

  TDataModule other(nullptr);
  TMenuItem item(&other);
  item.SetCaption("Close data source");
  const auto fresh = Engine();
  EXPECT_FALSE(fresh->TranslateComponent("IT", &other, nullptr, "EN"));  // no pairs: no pass
  EXPECT_EQ(item.Caption(), "Close data source");
}

TEST_F(WtranslTest, TagsNamesAndHelpContextsKeepPartsOfTheTreeInEnglish) {
  auto* skipped = new TCaptioned(&root_, "skipped", "Open data source");
  skipped->SetTag(kTagSkipTree);
  auto* underSkipped = new TCaptioned(skipped, "underSkipped", "Open data source");
  auto* ownKept = new TCaptioned(&root_, "ownKept", "Open data source");
  ownKept->SetTag(kTagSkipOwnTexts);
  auto* underOwnKept = new TCaptioned(ownKept, "underOwnKept", "Open data source");
  auto* itemsKept = new TCaptioned(&root_, "itemsKept", "Open data source");
  itemsKept->SetTag(kTagSkipTextsAndItems);
  auto* captionKept = new TCaptioned(&root_, "captionKept", "Open data source");
  captionKept->SetTag(kTagExclusionBase + exCaption);
  captionKept->SetHint("Close data source");
  auto* hidden = new TCaptioned(&root_, "__hidden", "Open data source");
  auto* underHidden = new TCaptioned(hidden, "underHidden", "Open data source");
  auto* flat = new TCaptioned(&root_, "_flat", "Open data source");
  auto* underFlat = new TCaptioned(flat, "underFlat", "Open data source");
  auto* noHelp = new TCaptioned(&root_, "noHelp", "Open data source");
  noHelp->SetHelpContext(-1);

  Engine()->TranslateComponent("DE", &root_, nullptr, "EN");
  const struct {
    const TCaptioned* control;
    std::string caption;
  } expected[] = {
      {skipped, "Open data source"},  {underSkipped, "Open data source"},
      {ownKept, "Open data source"},  {underOwnKept, kOeffnen},
      {itemsKept, "Open data source"}, {captionKept, "Open data source"},
      {hidden, "Open data source"},   {underHidden, "Open data source"},
      {flat, kOeffnen},               {underFlat, "Open data source"},
      {noHelp, "Open data source"},
  };
  for (const auto& e : expected) EXPECT_EQ(e.control->Caption, e.caption) << e.control->Name();
  EXPECT_EQ(captionKept->Hint(), kSchliessen);
}

TEST_F(WtranslTest, ListsCollectionsAndRegisteredObjectsAreTranslatedItemByItem) {
  auto* messages = new TMsgArray(&root_);
  messages->MessagesArray().SetLines({"MsgExecTask||Executing task||||||D||||||||",
                                      "MsgInvTask||Unable to add task #%d||||||D||||||||",
                                      "MsgOther||Not in the file||||||D||||||||"});
  auto* list = new TCaptioned(&root_, "list");
  for (const char* caption : {"Data", "Event", "Other"}) {
    static_cast<testing::TListColumn&>(list->Columns.Add()).Caption = caption;
  }
  list->Captions.Items = {"Data", "Open data source", "Unknown"};
  RegisterObjectTranslator(
      testing::TWideTexts::StaticClassInfo(), [](TObject& value, const TTranslateText& translate) {
        for (std::string& item : static_cast<testing::TWideTexts&>(value).Items) translate(item);
      });

  const auto engine = Engine();
  engine->ComponentProperties().Add("MessagesText");
  engine->ComponentProperties().Add("Columns");
  engine->TranslateComponent("DE", &root_, nullptr, "EN");

  EXPECT_EQ(messages->MessageText("MsgExecTask"), "Aufgabe wird ausgef\xC3\xBChrt");
  EXPECT_EQ(messages->FormatMessage("MsgInvTask", {3}),
            "Aufgabe #3 kann nicht hinzugef\xC3\xBCgt werden");
  EXPECT_EQ(messages->MessageText("MsgOther"), "Not in the file");
  std::vector<std::string> columns;
  for (int i = 0; i < list->Columns.Count(); ++i) {
    columns.push_back(static_cast<testing::TListColumn&>(list->Columns.Item(i)).Caption);
  }
  EXPECT_EQ(columns, (std::vector<std::string>{"Daten", "Ereignis", "Other"}));
  EXPECT_EQ(list->Captions.Items, (std::vector<std::string>{"Daten", kOeffnen, "Unknown"}));
}

// A combo box's list is translated with the chosen item still chosen; an edit field and a
// drop-down list show what the user typed or chose, which is not a text of the program.
TEST_F(WtranslTest, ComboItemsKeepTheirChoiceAndUserTextsStayAsTheyAre) {
  auto* choices = new TComboBox(&root_);
  choices->SetName("choices");
  choices->Items().SetLines({"Data", "Event", "Other"});
  choices->SetItemIndex(1);
  auto* fixedList = new TComboBox(&root_);
  fixedList->SetName("fixedList");
  fixedList->SetStyle(TComboBoxStyle::csDropDownList);
  fixedList->Items().SetLines({"Data"});
  fixedList->SetItemIndex(0);
  auto* typed = new TEdit(&root_);
  typed->SetName("typed");
  typed->SetText("Event");
  auto* excluded = new TComboBox(&root_);
  excluded->SetName("excluded");
  excluded->SetTag(kTagExclusionBase + exItems);
  excluded->Items().SetLines({"Data"});

  Engine()->TranslateComponent("DE", &root_, nullptr, "EN");

  EXPECT_EQ(choices->Items().Lines(), (std::vector<std::string>{"Daten", "Ereignis", "Other"}));
  EXPECT_EQ(choices->ItemIndex(), 1);
  EXPECT_EQ(choices->Text(), "Ereignis");
  EXPECT_EQ(fixedList->Items().Lines(), (std::vector<std::string>{"Daten"}));
  EXPECT_EQ(fixedList->Text(), "Daten") << "the chosen item, translated with the list";
  EXPECT_EQ(typed->Text(), "Event");
  EXPECT_EQ(excluded->Items().Lines(), (std::vector<std::string>{"Data"}));
}

TEST_F(WtranslTest, FormsAndFontsTakeTheFilesReadingOrderAndCharacterSet) {
  TForm form(nullptr);
  auto* label = new TCaptioned(&form, "label", "Open data source");
  auto* symbols = new TCaptioned(&form, "symbols");
  symbols->Font().SetCharset(kSymbolCharset);
  auto engine = Engine("BiDiMode=righttoleft\r\nCharset=windows-1256\r\n");
  engine->TranslateComponent("DE", &form, nullptr, "EN");
  EXPECT_EQ(form.Font().Charset(), 178);
  EXPECT_EQ(form.BiDiMode(), TBiDiMode::bdRightToLeft);
  EXPECT_EQ(label->Font().Charset(), 178);
  EXPECT_EQ(label->BiDiMode(), TBiDiMode::bdRightToLeft);
  EXPECT_EQ(symbols->Font().Charset(), kSymbolCharset);
}

TEST_F(WtranslTest, SwitchingLanguagesTranslatesFromTheSourceTextsAndFallsBackToThem) {
  TMenuItem& open = Item("OPEN", "Open data source");
  TMenuItem& close = Item("CLOSE", "Close data source");
  const auto engine = Engine();
  engine->TranslateComponent("DE", &root_, nullptr, "EN");
  engine->TranslateComponent("FR", &root_, nullptr, "EN");
  EXPECT_EQ(open.Caption(), "Ouvrir la source de donn\xC3\xA9" "es");
  EXPECT_EQ(close.Caption(), "Close data source");  // no French entry: back to the source
  engine->TranslateComponent("DE", &root_, nullptr, "EN");
  engine->TranslateComponent("PL", &root_, nullptr, "EN");
  EXPECT_EQ(open.Caption(), "Open data source");
  EXPECT_EQ(close.Caption(), "Close data source");
}

TEST_F(WtranslTest, TextsThatShareATranslationGoBackEachToItsOwnSource) {
  TMenuItem& start = Item("START", "Start");
  TMenuItem& open = Item("OPEN", "Open");
  TWtransl engine(nullptr);
  engine.SetLanguageFile(WriteFile("Encoding=utf-8\r\n\r\n",
                                   Blocks({{"EN:>Start", "DE:>Starten"},
                                           {"EN:>Open", "DE:>Starten"}})));
  engine.TranslateComponent("DE", &root_, nullptr, "EN");
  EXPECT_EQ(open.Caption(), "Starten");
  engine.TranslateComponent("PL", &root_, nullptr, "EN");
  EXPECT_EQ(start.Caption(), "Start");
  EXPECT_EQ(open.Caption(), "Open");
}

TEST_F(WtranslTest, TextsAndTheApplicationsFormsHaveTheirOwnModes) {
  const auto engine = Engine();
  std::string text = "  Executing task ";
  EXPECT_TRUE(engine->TranslateComponent("DE", nullptr, &text, "EN"));
  EXPECT_EQ(text, "  Aufgabe wird ausgef\xC3\xBChrt ");  // the blanks belong to the place

  auto form = std::make_unique<TForm>(&Application());
  form->SetCaption("Close data source");
  EXPECT_TRUE(engine->TranslateComponent("DE", nullptr, nullptr, "EN"));
  EXPECT_EQ(form->Caption(), kSchliessen);
  EXPECT_EQ(engine->DefaultLanguage(), "DE");  // the source of translations that name none

  TWtransl missing(nullptr);
  missing.SetLanguageFile(folder_.File("none.lng"));
  std::string untouched = "Executing task";
  EXPECT_FALSE(missing.TranslateComponent("DE", nullptr, &untouched, "EN"));
  EXPECT_EQ(untouched, "Executing task");
  EXPECT_EQ(missing.LoadedCount(), -1);
}

TEST_F(WtranslTest, ALoadedLanguageIsReadOnceAndDroppedTwentySecondsAfterItsLastUse) {
  test::FakeClock clock(EncodeDateTime({2024, 5, 10, 10, 0, 0, 0}));
  const auto engine = Engine();
  std::string first = "Data";
  engine->TranslateComponent("DE", nullptr, &first, "EN");
  EXPECT_EQ(first, "Daten");
  EXPECT_EQ(engine->LoadedCount(), 6);

  WriteFile({}, Blocks({{"EN:>Data", "DE:>Angaben"}}));
  clock.AdvanceMs(15'000);
  platform::testing::PumpFor(50);
  std::string second = "Data";
  engine->TranslateComponent("DE", nullptr, &second, "EN");
  EXPECT_EQ(second, "Daten") << "translated again within 20 s: the file is not read again";
#ifdef _WIN32
  GTEST_SKIP() << "window timers follow the system clock on Windows, not the test's";
#endif
  clock.AdvanceMs(19'000);  // 20 s count from the last translation
  platform::testing::PumpFor(50);
  EXPECT_EQ(engine->LoadedCount(), 6);
  clock.AdvanceMs(1'500);
  ASSERT_TRUE(platform::testing::PumpUntil([&] { return engine->LoadedCount() == -1; }, 2000));
  std::string third = "Data";
  engine->TranslateComponent("DE", nullptr, &third, "EN");
  EXPECT_EQ(third, "Angaben");
}

TEST_F(WtranslTest, ReadLanguageListGivesCodesNamesAndTheDefault) {
  const auto engine =
      Engine("[Languages]\r\n$EN = English\r\n$DE = Deutsch\r\nDefault = DE\r\n\r\n");
  TStringList list;
  EXPECT_EQ(engine->ReadLanguageList(list), "DE");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"EN,English", "DE,Deutsch"}));
}

// --- collecting for translators

class CollectingTest : public WtranslTest {
 protected:
  // Translates a module with one known text, two unknown ones and one without letters, then
  // frees the engine, which leaves the side file.
  void TranslateWith(const std::string& header) {
    TDataModule module(nullptr);
    module.SetName("module");
    for (const char* caption : {"Open data source", "Send data", "Line 1\r\nLine 2", "42 %"}) {
      (new TMenuItem(&module))->SetCaption(caption);
    }
    module.Components()[1]->SetName("SEND");
    Engine(header)->TranslateComponent("DE", &module, nullptr, "EN");
  }

  std::string SideFile(const std::string& suffix) {
    return chronel::testing::ReadBytes(file_ + suffix);
  }

  static constexpr const char* kHeader = "[Languages]\r\n$EN = #1\r\n$DE = #2 (Default)\r\n"
                                         "Default = DE\r\n\r\n";
};

TEST_F(CollectingTest, UntranslatedTextsGoToANewFileThatNeverOverwritesAnother) {
  TranslateWith("//saveuntr\r\n");
  const std::string entries =
      "EN:>Line 1%0D%0ALine 2\r\nDE:>\r\n\r\nEN:>Send data\r\nDE:>\r\n\r\n\r\n";
  EXPECT_EQ(SideFile(".new"), kHeader + entries);
  TranslateWith("//saveuntr\r\n");
  EXPECT_EQ(SideFile(".1.new"), kHeader + entries);
  TranslateWith("//saveuntr\r\n//filerewrite\r\n");
  EXPECT_EQ(SideFile(".new"), kHeader + entries);
  TranslateWith("//saveuntr\r\n//fileappend\r\n");
  EXPECT_EQ(SideFile(".new"), kHeader + entries + entries);
  EXPECT_FALSE(std::filesystem::exists(file_ + ".2.new"));
}

TEST_F(CollectingTest, EachModeCollectsItsOwnTexts) {
  const struct {
    std::string header;
    std::string suffix;
    std::vector<std::string> sources;
  } cases[] = {
      {"//saveuntrobj\r\n", ".new",
       {"[TDataModule]module -> [TMenuItem].Caption=Line 1%0D%0ALine 2",
        "[TDataModule]module -> [TMenuItem]SEND.Caption=Send data"}},
      {"//saveall\r\n", ".new", {"Line 1%0D%0ALine 2", "Open data source", "Send data"}},
      {"//saveunused\r\n", ".unused",
       {"Close data source", "Data", "Event", "Executing task", "Unable to add task #%d"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    std::filesystem::remove(file_ + c.suffix);
    TranslateWith(c.header);
    std::string entries;
    for (const std::string& source : c.sources) entries += "EN:>" + source + "\r\nDE:>\r\n\r\n";
    EXPECT_EQ(SideFile(c.suffix), kHeader + entries + "\r\n");
  }
}

}  // namespace
}  // namespace chronel
