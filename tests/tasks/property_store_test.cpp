#include "tasks/property_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <thread>

#include "core/application.h"
#include "core/form.h"
#include "platform/code_page.h"
#include "platform/locale_services.h"
#include "platform/registry.h"
#include "tasks/file_reader.h"
#include "tasks/ini_file.h"
#include "tasks/ini_storage.h"
#include "tasks/proxy_code_object.h"
#include "tasks/store_fixtures.h"
#include "tasks/temp_folder.h"

namespace chronel {
namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;
using testing::kPluginMap;
using testing::ReadBytes;
using testing::TTestListBox;
using testing::WriteBytes;

enum class TStore { Registry, Ini };

std::string UniqueName() {
  static std::mt19937 random(std::random_device{}());
  return "ChronelTest" + std::to_string(random());
}

// Each test has its own registry path (under both roots, removed afterwards) and INI file.
class StoreTest : public ::testing::Test {
 protected:
  ~StoreTest() override {
    platform::SetLocalMachineReadOnlyForTesting(false);
    for (RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
      platform::DeleteRegistryTree(root, key_);
    }
  }

  void Configure(TWreg& store, TStore kind, std::vector<std::string> map = kPluginMap) {
    store.SetRegistryPath("\\" + key_);
    if (kind == TStore::Ini) store.SetINIFile(ini_);
    store.PropertyList().SetLines(std::move(map));
  }

  std::optional<RegistryKey> Key(RegistryRoot root = RegistryRoot::LocalMachine) {
    return RegistryKey::Open(root, key_, RegistryAccess::ReadWrite);
  }

  // The text stored under `name` in the section Common or the registry path.
  std::string Stored(TStore kind, const std::string& name) {
    if (kind == TStore::Ini) return TBigIniFile(ini_).ReadString("Common", name, "<none>");
    auto key = Key();
    if (!key || !key->ValueExists(name)) return "<none>";
    if (key->ValueKind(name) == platform::RegistryValueKind::Number32) {
      return std::to_string(static_cast<int32_t>(*key->ReadNumber32(name)));
    }
    return key->ReadString(name).value_or("<not text>");
  }

  testing::TempFolder folder_;
  const std::string key_ = "Software\\" + UniqueName();
  const std::string ini_ = folder_.File("settings.ini");
};

class PropertyStoreTest : public StoreTest, public ::testing::WithParamInterface<TStore> {};

INSTANTIATE_TEST_SUITE_P(Both, PropertyStoreTest, ::testing::Values(TStore::Registry, TStore::Ini),
                         [](const auto& info) {
                           return info.param == TStore::Ini ? "Ini" : "Registry";
                         });

TEST_P(PropertyStoreTest, PluginMapRoundTripsThroughAProxy) {
  TWreg store;
  Configure(store, GetParam());
  TProxyCodeObject saved(nullptr);
  saved.SetLeft(-10);
  saved.SetTop(20);
  saved.SetHeight(300);
  saved.SetWidth(400);
  saved.lstTasks_Strings().SetLines({"L1", "L2"});
  ASSERT_TRUE(store.WriteProperties(&saved));
  EXPECT_FALSE(store.Busy());
  EXPECT_EQ(Stored(GetParam(), "Tasks"), "L1%0d%0aL2%0d%0a");
  EXPECT_EQ(Stored(GetParam(), "Left"), "-10");

  TProxyCodeObject loaded(nullptr);
  EXPECT_EQ(loaded.Width(), 691);
  loaded.lstTasks_Strings().SetLines({"old"});
  ASSERT_TRUE(store.ReadProperties(&loaded));
  EXPECT_EQ(loaded.Left(), -10);
  EXPECT_EQ(loaded.Top(), 20);
  EXPECT_EQ(loaded.Height(), 300);
  EXPECT_EQ(loaded.Width(), 400);
  EXPECT_EQ(loaded.lstTasks_Strings().Lines(), (std::vector<std::string>{"L1", "L2"}));
}

TEST_P(PropertyStoreTest, TaskLinesWithEscapesAndEmptyListsSurvive) {
  TWreg store;
  Configure(store, GetParam());
  TProxyCodeObject proxy(nullptr);
  proxy.lstTasks_Strings().SetLines({" a+b% "});
  ASSERT_TRUE(store.WriteProperties(&proxy));
  EXPECT_EQ(Stored(GetParam(), "Tasks"), "+a%2bb%% %0d%0a");
  proxy.lstTasks_Strings().Clear();
  ASSERT_TRUE(store.ReadProperties(&proxy));
  EXPECT_EQ(proxy.lstTasks_Strings().Lines(), std::vector<std::string>{" a+b% "});

  proxy.lstTasks_Strings().Clear();
  ASSERT_TRUE(store.WriteProperties(&proxy));
  EXPECT_EQ(Stored(GetParam(), "Tasks"), "");
  proxy.lstTasks_Strings().SetLines({"stale"});
  ASSERT_TRUE(store.ReadProperties(&proxy));
  EXPECT_TRUE(proxy.lstTasks_Strings().IsEmpty());
}

// Value names in a Windows code page (Ä is the byte C4, Ö D6) name two values, not one.
TEST_P(PropertyStoreTest, ValueNamesThatAreNotUtf8StayDistinct) {
  TWreg store;
  Configure(store, GetParam(), {"Left,\xC4", "Top,\xD6"});
  TProxyCodeObject saved(nullptr);
  saved.SetLeft(10);
  saved.SetTop(20);
  ASSERT_TRUE(store.WriteProperties(&saved));
  TProxyCodeObject loaded(nullptr);
  ASSERT_TRUE(store.ReadProperties(&loaded));
  EXPECT_EQ(loaded.Left(), 10);
  EXPECT_EQ(loaded.Top(), 20);
}

TEST_P(PropertyStoreTest, OnAFormTheMapReachesBoundsAndTheListBox) {
  TForm form(nullptr);
  form.SetName("frmOption");
  auto* list = new TTestListBox(&form);
  list->SetName("lstTasks");
  form.SetBounds(5, 6, 700, 500);
  list->Strings.SetLines({"T1"});
  TWreg store;
  Configure(store, GetParam());
  ASSERT_TRUE(store.WriteProperties(&form));
  EXPECT_EQ(Stored(GetParam(), "Width"), "700");

  TProxyCodeObject proxy(nullptr);
  ASSERT_TRUE(store.ReadProperties(&proxy));
  EXPECT_EQ(proxy.Left(), 5);
  EXPECT_EQ(proxy.Height(), 500);
  EXPECT_EQ(proxy.lstTasks_Strings().Lines(), std::vector<std::string>{"T1"});

  proxy.lstTasks_Strings().SetLines({"T2", "T3"});
  ASSERT_TRUE(store.WriteProperties(&proxy));
  ASSERT_TRUE(store.ReadProperties(&form));
  EXPECT_EQ(list->Strings.Lines(), (std::vector<std::string>{"T2", "T3"}));
}

TEST_P(PropertyStoreTest, KindsOtherThanIntegersAndTextRoundTrip) {
  TForm form(nullptr);
  form.SetName("frmKinds");
  auto* list = new TTestListBox(&form);
  list->SetName("lstTasks");
  auto* partner = new TTestListBox(&form);
  partner->SetName("other");
  list->Ratio = -2.25;
  list->Extra = std::string("x y");
  list->Partner = partner;
  list->ItemIndex = 3;
  form.SetVisible(false);
  form.SetBiDiMode(TBiDiMode::bdRightToLeft);
  TWreg store;
  Configure(store, GetParam(),
            {"lstTasks.Ratio,Ratio", "lstTasks.Extra,Extra", "lstTasks.Partner,Partner",
             "lstTasks.*ItemIndex,Index", "Visible,Visible", "BiDiMode,Mode", "Font.Name,Font",
             "lstTasks.Set.Width,Nowhere", "OnCreate,Handler"});
  ASSERT_TRUE(store.WriteProperties(&form));
  EXPECT_EQ(Stored(GetParam(), "Visible"), "False");
  EXPECT_EQ(Stored(GetParam(), "Mode"), "bdRightToLeft");
  EXPECT_EQ(Stored(GetParam(), "Partner"), "frmKinds.other");
  EXPECT_EQ(Stored(GetParam(), "Index"), "3");
  EXPECT_EQ(Stored(GetParam(), "Nowhere"), "<none>");  // no such property
  EXPECT_EQ(Stored(GetParam(), "Handler"), "<none>");  // handlers are never stored

  list->Ratio = 0;
  list->Extra = {};
  list->Partner = nullptr;
  list->ItemIndex = -1;
  form.SetVisible(true);
  form.SetBiDiMode(TBiDiMode::bdLeftToRight);
  form.Font().SetName("changed");
  ASSERT_TRUE(store.ReadProperties(&form));
  EXPECT_DOUBLE_EQ(list->Ratio, -2.25);
  EXPECT_EQ(list->Extra, TVariant(std::string("x y")));
  EXPECT_EQ(list->Partner.Get(), partner);
  EXPECT_EQ(list->ItemIndex, 3);
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.BiDiMode(), TBiDiMode::bdRightToLeft);
  EXPECT_NE(form.Font().Name(), "changed");
}

TEST_P(PropertyStoreTest, NullReferenceIsStoredAsNothingAndReadAsNone) {
  TForm form(nullptr);
  auto* list = new TTestListBox(&form);
  list->SetName("lstTasks");
  list->Partner = &form;
  list->DockSite = &form;
  TWreg store;
  Configure(store, GetParam(), {"lstTasks.Partner,Partner", "lstTasks.DockSite,Dock"});
  ASSERT_TRUE(store.WriteProperties(&form));
  list->Partner = nullptr;
  ASSERT_TRUE(store.WriteProperties(&form));
  EXPECT_EQ(Stored(GetParam(), "Partner"), "<none>");
  if (GetParam() == TStore::Ini) {
    TBigIniFile ini(ini_);
    ini.WriteString("Common", "Partner", "[[Null]]");
    ini.WriteString("Common", "Dock", "[[Null]]");
  } else {
    Key()->WriteString("Partner", "[[Null]]");
    Key()->WriteString("Dock", "[[Null]]");
  }
  list->Partner = &form;
  ASSERT_TRUE(store.ReadProperties(&form));
  EXPECT_EQ(list->Partner.Get(), nullptr);
  EXPECT_EQ(list->DockSite.Get(), &form);  // docking references are never cleared
}

TEST_P(PropertyStoreTest, PathsMayStartAtAFormOfTheApplication) {
  auto* form = new TForm(&Application());
  form->SetName("frmStoreTest");
  auto* list = new TTestListBox(form);
  list->SetName("lstTasks");
  list->Strings.SetLines({"from the form"});
  TWreg store;
  Configure(store, GetParam(), {"frmStoreTest.lstTasks.Strings,Tasks"});
  TProxyCodeObject proxy(nullptr);
  EXPECT_TRUE(store.WriteProperties(&proxy));
  delete form;
  EXPECT_EQ(Stored(GetParam(), "Tasks"), "from the form%0d%0a");
}

TEST_P(PropertyStoreTest, VirtualItemsGoThroughTheHandlers) {
  ASSERT_EQ(Application().MainForm(), nullptr);
  TWreg store;
  Configure(store, GetParam(), {"Pending,Pending", "Count,Count", "Skipped,Skipped"});
  std::vector<std::string> seen;
  store.BeforeProcessItem = TBeforeProcessItemProc::TFunction(
      [&](TObject& sender, const std::string& name, int32_t index, bool& require,
          bool& is_virtual, TTypeKind& kind) {
    EXPECT_EQ(&sender, &store);
    EXPECT_TRUE(is_virtual);
    EXPECT_FALSE(require);
    seen.push_back(name + "#" + std::to_string(index));
    require = name != "Skipped";
    kind = name == "Count" ? TTypeKind::tkInteger : TTypeKind::tkLString;
      });
  store.GetValue = TGetValueProc::TFunction(
      [](TObject&, const std::string& name, int32_t, TVariant& value) {
        value = name == "Count" ? TVariant(int64_t{42}) : TVariant(std::string(" two\r\nlines"));
      });
  ASSERT_TRUE(store.WriteProperties(nullptr));
  EXPECT_EQ(seen, (std::vector<std::string>{"Pending#0", "Count#1", "Skipped#2"}));
  EXPECT_EQ(Stored(GetParam(), "Pending"), "+two%0d%0alines");
  EXPECT_EQ(Stored(GetParam(), "Count"), "42");
  EXPECT_EQ(Stored(GetParam(), "Skipped"), "<none>");

  std::vector<TVariant> loaded;
  store.SetValue = TSetValueProc::TFunction(
      [&](TObject&, const std::string&, int32_t, const TVariant& value) {
        loaded.push_back(value);
      });
  ASSERT_TRUE(store.ReadProperties(nullptr));
  EXPECT_EQ(loaded, (std::vector<TVariant>{std::string(" two\r\nlines"), int64_t{42}}));
}

TEST_P(PropertyStoreTest, DeletesValuesKeysAndSections) {
  TWreg store;
  Configure(store, GetParam(),
            {"Left,Left", "Height,Height", "Top,Grid\\Top", "Width,Grid\\Deep\\Width"});
  TProxyCodeObject proxy(nullptr);
  ASSERT_TRUE(store.WriteProperties(&proxy));

  TStringList names({"?,Grid\\x"});
  ASSERT_TRUE(store.ListValueNames(names));
  EXPECT_EQ(names.Lines(), std::vector<std::string>{"Top"});
  names.SetLines({"?,Grid\\x"});
  ASSERT_TRUE(store.ListSubKeys(names));
  EXPECT_EQ(names.Lines(), std::vector<std::string>{"Deep"});
  names.Clear();
  ASSERT_TRUE(store.ListSubKeys(names));
  EXPECT_EQ(names.Lines(), (GetParam() == TStore::Ini ? std::vector<std::string>{"Common", "Grid"}
                                                      : std::vector<std::string>{"Grid"}));

  const TStringList doomed({"x,Grid", "x,Left"});
  ASSERT_TRUE(store.DeleteProperties(doomed));
  EXPECT_EQ(store.PropertyList().Count(), 4);  // the store's own list is back
  TProxyCodeObject loaded(nullptr);
  loaded.SetLeft(-1);
  loaded.SetTop(-1);
  ASSERT_TRUE(store.ReadProperties(&loaded));
  EXPECT_EQ(loaded.Left(), -1);
  EXPECT_EQ(loaded.Top(), -1);
  EXPECT_EQ(loaded.Height(), 456);

  ASSERT_TRUE(store.DeleteProperties(TStringList({"x,Height"})));  // the last value: key goes
  EXPECT_EQ(store.ReadProperties(&loaded), GetParam() == TStore::Ini);
}

TEST_F(StoreTest, IniFileIsWrittenExactlyWithItsSectionPrefix) {
  TWreg store;
  Configure(store, TStore::Ini);
  store.SetINIFileSectionPrefix("Cfg1");
  TProxyCodeObject proxy(nullptr);
  proxy.lstTasks_Strings().SetLines({"1A2B3C4D||OPEN||DAILY||08:30;NN;1;1||COM1"});
  ASSERT_TRUE(store.WriteProperties(&proxy));
  EXPECT_EQ(ReadBytes(ini_),
            "[Cfg1.Common]\r\nLeft=1\r\nTop=1\r\nHeight=456\r\nWidth=691\r\n"
            "Tasks=1A2B3C4D||OPEN||DAILY||08:30;NN;1;1||COM1%0d%0a\r\n\r\n");
}

TEST_F(StoreTest, IniIntegersMayBeHexAndAnythingElseReadsZero) {
  WriteBytes(ini_, "[Common]\r\nLeft=0x20\r\nTop=abc\r\nWidth = 12 \r\n");
  TWreg store;
  Configure(store, TStore::Ini);
  TProxyCodeObject proxy(nullptr);
  ASSERT_TRUE(store.ReadProperties(&proxy));
  EXPECT_EQ(proxy.Left(), 32);
  EXPECT_EQ(proxy.Top(), 0);
  EXPECT_EQ(proxy.Width(), 12);
  EXPECT_EQ(proxy.Height(), 456);  // not stored: unchanged
}

TEST_F(StoreTest, IniTextThatIsNotUtf8IsReadAsAnsi) {
  WriteBytes(ini_, "[Common]\r\nTasks=\xC4pfel%0d%0a\r\n");
  TWreg store;
  Configure(store, TStore::Ini);
  TProxyCodeObject proxy(nullptr);
  ASSERT_TRUE(store.ReadProperties(&proxy));
  EXPECT_EQ(proxy.lstTasks_Strings().Lines(),
            std::vector<std::string>{platform::AnsiToUtf8("\xC4pfel")});
}

TEST_F(StoreTest, IniFloatsFollowTheLocaleWhenWrittenAndTakeEitherSeparator) {
  const platform::LocaleId saved = platform::ThreadLocaleId();
  ASSERT_TRUE(platform::SetThreadLocaleId(platform::kLocaleGermanGermany));
  TForm form(nullptr);
  auto* list = new TTestListBox(&form);
  list->SetName("lstTasks");
  list->Ratio = 1.5;
  TWreg store;
  Configure(store, TStore::Ini, {"lstTasks.Ratio,Ratio"});
  EXPECT_TRUE(store.WriteProperties(&form));
  EXPECT_EQ(Stored(TStore::Ini, "Ratio"), "1,5");
  platform::SetThreadLocaleId(saved);
  list->Ratio = 0;
  EXPECT_TRUE(store.ReadProperties(&form));
  EXPECT_DOUBLE_EQ(list->Ratio, 1.5);
}

TEST_F(StoreTest, MissingIniFileIsReadFromTheRegistryAndCreatedOnSave) {
  TWreg registry;
  Configure(registry, TStore::Registry);
  TProxyCodeObject proxy(nullptr);
  proxy.SetLeft(77);
  ASSERT_TRUE(registry.WriteProperties(&proxy));

  TWreg store;
  Configure(store, TStore::Ini);
  TProxyCodeObject loaded(nullptr);
  ASSERT_TRUE(store.ReadProperties(&loaded));
  EXPECT_EQ(loaded.Left(), 77);
  EXPECT_FALSE(FileExists(ini_));
  ASSERT_TRUE(store.WriteProperties(&loaded));
  EXPECT_EQ(TBigIniFile(ini_).ReadInteger("Common", "Left", 0), 77);
  std::vector<std::string> keys;
  TBigIniFile(ini_).ReadSection("Common", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Left", "Top", "Height", "Width", "Tasks"}));
}

TEST_F(StoreTest, RegistryValueOfTheWrongTypeIsDeletedAndThePropertyKept) {
  TWreg store;
  Configure(store, TStore::Registry, {"Left,Left", "Top,Top", "Visible,Visible"});
  ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, key_));
  Key()->WriteString("Left", "12");
  Key()->WriteNumber32("Top", 34);
  Key()->WriteString("Visible", "Maybe");
  TForm form(nullptr);
  form.SetBounds(5, 6, 7, 8);
  ASSERT_TRUE(store.ReadProperties(&form));
  EXPECT_EQ(form.Left(), 5);
  EXPECT_EQ(form.Top(), 34);
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(Key()->ValueExists("Left"));
  EXPECT_FALSE(Key()->ValueExists("Visible"));
  ASSERT_TRUE(store.WriteProperties(&form));
  EXPECT_EQ(Key()->ReadNumber32("Left"), 5u);  // the next save writes a fresh value
}

// Values another program left with a type the plug-in never writes: each is dropped on loading,
// the setting keeps what it had, the rest of the settings still load, and the next save writes
// the value with its own type.
TEST_F(StoreTest, StoredValuesOfAForeignTypeAreDroppedAndTheirSettingsKept) {
  const std::vector<uint8_t> garbage = {0xFF, 0x00, 0x25, 0x0D, 0x0A, 0x80, 0x7C, 0x7C};
  const struct {
    const char* what;
    const char* name;
    std::function<void(RegistryKey&)> store;
  } cases[] = {
      {"task list as a number", "Tasks", [](RegistryKey& key) { key.WriteNumber32("Tasks", 7); }},
      {"task list as bytes", "Tasks", [&](RegistryKey& key) { key.WriteBinary("Tasks", garbage); }},
      {"task list as a list of texts", "Tasks",
       [](RegistryKey& key) { key.WriteMultiString("Tasks", {"A||SEND||EVENT||GO||a"}); }},
      {"left edge as bytes", "Left", [&](RegistryKey& key) { key.WriteBinary("Left", garbage); }},
      {"left edge as a 64-bit number", "Left",
       [](RegistryKey& key) { key.WriteNumber64("Left", 1ull << 40); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::LocalMachine, key_));
    Key()->WriteNumber32("Top", 34);
    std::optional<RegistryKey> key = Key();
    c.store(*key);
    TWreg store;
    Configure(store, TStore::Registry);
    TProxyCodeObject proxy(nullptr);
    proxy.SetLeft(5);
    proxy.lstTasks_Strings().SetLines({"kept"});
    ASSERT_TRUE(store.ReadProperties(&proxy));
    EXPECT_EQ(proxy.Left(), 5);
    EXPECT_EQ(proxy.lstTasks_Strings().Lines(), std::vector<std::string>{"kept"});
    EXPECT_EQ(proxy.Top(), 34);
    EXPECT_FALSE(Key()->ValueExists(c.name));
    ASSERT_TRUE(store.WriteProperties(&proxy));
    EXPECT_EQ(Stored(TStore::Registry, "Left"), "5");
    EXPECT_EQ(Stored(TStore::Registry, "Tasks"), "kept%0d%0a");
    platform::DeleteRegistryTree(RegistryRoot::LocalMachine, key_);
  }
}

TEST_F(StoreTest, ReadOnlyMachineBranchFallsBackToTheUsersBranch) {
  platform::SetLocalMachineReadOnlyForTesting(true);
  TWreg store;
  Configure(store, TStore::Registry);
  TProxyCodeObject proxy(nullptr);
  proxy.SetTop(9);
  ASSERT_TRUE(store.WriteProperties(&proxy));
  EXPECT_FALSE(Key(RegistryRoot::LocalMachine));
  ASSERT_TRUE(Key(RegistryRoot::CurrentUser));
  EXPECT_EQ(Key(RegistryRoot::CurrentUser)->ReadNumber32("Top"), 9u);
  TProxyCodeObject loaded(nullptr);
  ASSERT_TRUE(store.ReadProperties(&loaded));
  EXPECT_EQ(loaded.Top(), 9);

  store.SetSecondRegistryRoot(TRegistryRoot::rrNone);
  EXPECT_FALSE(store.WriteProperties(&proxy));
  store.SetRegistryRoot(TRegistryRoot::rrHKEY_CURRENT_USER);
  EXPECT_TRUE(store.ReadProperties(&loaded));
  store.SetRegistryRoot(TRegistryRoot::rrHKEY_CLASSES_ROOT);
  EXPECT_FALSE(store.ReadProperties(&loaded));
}

TEST_F(StoreTest, LoadingAMissingRegistryPathFindsNoStorage) {
  TWreg store;
  Configure(store, TStore::Registry);
  TProxyCodeObject proxy(nullptr);
  EXPECT_FALSE(store.ReadProperties(&proxy));
  EXPECT_FALSE(Key());
}

TEST_F(StoreTest, EmptyRegistryPathMakesTheRootTheLocation) {
  TWreg store;
  Configure(store, TStore::Registry, {"Left," + key_ + "\\Left"});
  store.SetRegistryPath("");
  TProxyCodeObject proxy(nullptr);
  proxy.SetLeft(3);
  ASSERT_TRUE(store.WriteProperties(&proxy));
  EXPECT_EQ(Key()->ReadNumber32("Left"), 3u);
}

TEST_F(StoreTest, UnwritableIniFileFailsTheSave) {
  TWreg store;
  Configure(store, TStore::Ini);
  store.SetINIFile(folder_.File("missing-folder/settings.ini"));
  TProxyCodeObject proxy(nullptr);
  EXPECT_FALSE(store.WriteProperties(&proxy));
  EXPECT_FALSE(store.Busy());
}

// Each save reads the whole file and writes it back: without the lock named after the file, one
// thread's save would overwrite the other's value.
TEST_F(StoreTest, ConcurrentSavesToOneIniFileLoseNothing) {
  constexpr int kRounds = 25;
  auto saver = [this](const std::string& value_name) {
    TWreg store;
    Configure(store, TStore::Ini, {"Left," + value_name});
    TProxyCodeObject proxy(nullptr);
    for (int i = 1; i <= kRounds; ++i) {
      proxy.SetLeft(i);
      ASSERT_TRUE(store.WriteProperties(&proxy));
    }
  };
  std::thread first(saver, "First");
  std::thread second(saver, "Second");
  first.join();
  second.join();
  TBigIniFile ini(ini_);
  EXPECT_EQ(ini.ReadInteger("Common", "First", 0), kRounds);
  EXPECT_EQ(ini.ReadInteger("Common", "Second", 0), kRounds);
}

TEST(IniLockName, IsThePathInLowerCaseWithOnlyDigitsAndLettersKept) {
  EXPECT_EQ(IniLockName("C:\\Data\\My File-2.INI"), "c__data_my_file_2_ini");
  EXPECT_EQ(IniLockName("/tmp/\xC3\x84.ini"), "_tmp___ini");  // one "_" per character
}

}  // namespace
}  // namespace chronel
