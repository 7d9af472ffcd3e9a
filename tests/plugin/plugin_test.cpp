// An instance driven in-process through its command dispatcher, data workers, log and events,
// with a message window of the test thread standing in for the host window.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/pumping_thread.h"
#include "plugin/params_list.h"
#include "plugin/plugin.h"
#include "tasks/proxy_code_object.h"
#include "tasks/temp_folder.h"
#include "translation/wtransl.h"

namespace chronel::plugin {
namespace {

using platform::Variant;

// What reached the host window.
struct HostWindow {
  HostWindow() {
    handle = platform::CreateMessageWindow(
        [this](platform::WindowHandle, uint32_t message, platform::WParam wparam,
               platform::LParam lparam) -> platform::LResult {
          if (message == platform::kWmCopyData) {
            const auto& data = platform::CopyDataOf(lparam);
            copies.push_back({data.Tag, std::string(static_cast<const char*>(data.Data), data.Size)});
            return 1;
          }
          if (message == kLogPendingMessage || message == kEventsPendingMessage) {
            notices.push_back(message);
            notifyIds.push_back(wparam);
          }
          return 0;
        });
  }
  ~HostWindow() { platform::DestroyMessageWindow(handle); }

  struct Copy {
    uintptr_t tag;
    std::string text;
  };
  platform::WindowHandle handle = 0;
  std::vector<Copy> copies;
  std::vector<uint32_t> notices;
  std::vector<platform::WParam> notifyIds;
};

// A call block with a parameter list of our own, freed with it.
class Call {
 public:
  explicit Call(std::string command = {}) : list_(NewParamsList()) {
    block_.Version = kCallBlockVersion;
    block_.InstanceID = 1;
    block_.NotifyID = 77;
    block_.ParamList = list_;
    if (!command.empty()) Add("COMMAND", Variant(command));
  }
  ~Call() { FreeParamsList(list_); }
  Call& Add(std::string_view name, const Variant& value) {
    AddValue(*list_, name, value);
    return *this;
  }
  TPluginCallRec* Block() { return &block_; }
  TkivParamsList& List() { return *list_; }

 private:
  TPluginCallRec block_{};
  TkivParamsList* list_;
};

class PluginTest : public ::testing::Test {
 protected:
  PluginTest() : plugin(std::make_unique<TkivPlugin>(nullptr)) {
    plugin->LogTitle = "Chronel";
    plugin->FinishCreate();
  }

  int32_t Run(const std::string& command, Call& call) {
    return plugin->ExecuteCommand(command, call.Block());
  }
  int32_t Run(const std::string& command) {
    Call call;
    call.Add("MessagesProcessorHandle", Variant(static_cast<int64_t>(host.handle)));
    return Run(command, call);
  }
  void Load(const std::string& iniFile = {}) {
    Call call;
    call.Add("MessagesProcessorHandle", Variant(static_cast<int64_t>(host.handle)));
    call.Add("RegistryPath", Variant("\\Software\\Chronel test"));
    if (!iniFile.empty()) call.Add("INI-FILE", Variant(iniFile));
    ASSERT_EQ(Run("LOAD", call), 0);
  }

  HostWindow host;
  std::unique_ptr<TkivPlugin> plugin;
};

TEST_F(PluginTest, CommandWordsAreExactAndUnknownOnesGoToTheCustomHandler) {
  EXPECT_EQ(Run("load"), kResultUnknownCommand);
  EXPECT_EQ(plugin->LoadCount(), 0);
  std::string seen;
  plugin->OnExecuteCustomCommand = decltype(plugin->OnExecuteCustomCommand)([&](TkivPlugin&, const std::string& command,
                                       TPluginCallRec*, int32_t& result) {
    seen = command;
    result = 5;
  });
  EXPECT_EQ(Run("load"), 5);
  EXPECT_EQ(seen, "load");
}

TEST_F(PluginTest, OnlyTheFirstLoadAndTheLastUnloadDoWork) {
  int loads = 0, unloads = 0;
  plugin->OnLoad = decltype(plugin->OnLoad)([&](TkivPlugin&, TPluginCallRec*, int32_t&) { ++loads; });
  plugin->OnUnload = decltype(plugin->OnUnload)([&](TkivPlugin&, TPluginCallRec*, int32_t&) { ++unloads; });
  Load();
  Load();
  EXPECT_EQ(Run("UNLOAD"), 0);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(unloads, 0);
  EXPECT_FALSE(plugin->Unloaded());
  EXPECT_EQ(Run("UNLOAD"), 0);
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(plugin->Unloaded());
  EXPECT_EQ(plugin->HostWindow(), 0u);
  EXPECT_EQ(Run("UNLOAD"), 0);
  EXPECT_EQ(unloads, 1);
  EXPECT_EQ(plugin->LoadCount(), 0);
}

TEST_F(PluginTest, UnloadNamingAnotherIniFileSavesThere) {
  std::vector<std::string> savedTo;
  plugin->OnSaveSettingsNow = decltype(plugin->OnSaveSettingsNow)([&](TObject&) { savedTo.push_back(plugin->CurrentIniFile()); });
  Load("a.ini");
  Call same;
  same.Add("INI-FILE", Variant("a.ini"));
  Load("a.ini");
  ASSERT_EQ(Run("UNLOAD", same), 0);
  EXPECT_TRUE(savedTo.empty());
  Call other;
  other.Add("INI-FILE", Variant("b.ini"));
  ASSERT_EQ(Run("UNLOAD", other), 0);
  EXPECT_EQ(savedTo, std::vector<std::string>{"b.ini"});
}

TEST_F(PluginTest, SettingsNowSwitchesTheFileOnlyForTheCommand) {
  Load("load.ini");
  std::vector<std::string> events;
  plugin->OnLoadSettingsNow = decltype(plugin->OnLoadSettingsNow)([&](TObject&) { events.push_back("load " + plugin->CurrentIniFile()); });
  plugin->OnSaveSettingsNow = decltype(plugin->OnSaveSettingsNow)([&](TObject&) { events.push_back("save " + plugin->CurrentIniFile()); });
  EXPECT_EQ(Run("SAVE-SETTINGS-NOW"), 0);  // no INI-FILE: the registry
  Call withFile;
  withFile.Add("INI-FILE", Variant("other.ini"));
  EXPECT_EQ(Run("LOAD-SETTINGS-NOW", withFile), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"save ", "load other.ini", "save load.ini"}));
  EXPECT_EQ(plugin->CurrentIniFile(), "load.ini");

  plugin->OnSaveSettingsNow = decltype(plugin->OnSaveSettingsNow)([](TObject&) { throw Exception("disk full"); });
  EXPECT_THROW(Run("SAVE-SETTINGS-NOW", withFile), Exception);
  EXPECT_EQ(plugin->CurrentIniFile(), "load.ini");
}

TEST_F(PluginTest, ParserItemsRoundTripThroughSetItemsAndItems) {
  Call set;
  set.Add("ITEMS", Variant("Time stamp|STAMP|datetime|1\r\nValue|VAL|no such type"));
  ASSERT_EQ(Run("SET-ITEMS", set), 0);
  ASSERT_EQ(plugin->ParserItems().size(), 2u);
  EXPECT_EQ(plugin->ParserItems()[0].DataType, 11);
  EXPECT_EQ(plugin->ParserItems()[1].DataType, kUnknownParserType);

  Call noResult;
  int before = 0;
  plugin->OnBeforeGetParserItems = decltype(plugin->OnBeforeGetParserItems)([&](TObject&) { ++before; });
  EXPECT_EQ(Run("ITEMS", noResult), kResultFailed);
  EXPECT_EQ(before, 0);
  Call items;
  items.Add("RESULT", Variant(""));
  ASSERT_EQ(Run("ITEMS", items), 0);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(GetValue(items.List(), "RESULT").ToText(),
            "Time stamp|STAMP|DateTime|1\r\nValue|VAL||");

  Call notText;
  notText.Add("ITEMS", Variant(int32_t{5}));
  EXPECT_EQ(Run("SET-ITEMS", notText), kResultFailed);
}

TEST_F(PluginTest, SetStateMarksTheNamedTypesAndReadsTheDataSources) {
  Load();
  Call call;
  call.Block()->ModuleTypes = ModuleTypeBit(mttEventsHandling);
  call.Add("DATA-SOURCES-IN-CFG", Variant("1;COM1;Port one\r\nx;bad\r\n2;COM2"));
  EXPECT_EQ(Run("SET-STATE", call), kResultFailed);  // no RESULT
  call.Add("RESULT", Variant(int32_t{1}));
  ASSERT_EQ(Run("SET-STATE", call), 0);
  EXPECT_TRUE(plugin->ActiveType(mttEventsHandling));
  EXPECT_FALSE(plugin->ActiveType(mttDataExport));
  EXPECT_EQ(plugin->DataSources(),
            (std::vector<TConfigDataSource>{{1, "COM1", "Port one"}, {2, "COM2", ""}}));
  Run("UNLOAD");
  EXPECT_FALSE(plugin->ActiveType(mttEventsHandling));
}

TEST_F(PluginTest, EventCommandNeedsATypeAndAnswersWithTheHandler) {
  EXPECT_EQ(Run("EVENT"), kResultFailed);
  Call call;
  call.Add("EVENT-TYPE", Variant("Alarm"));
  EXPECT_EQ(Run("EVENT", call), 0);  // no handler
  plugin->OnEvent = decltype(plugin->OnEvent)([](TkivPlugin&, const std::string& type, TPluginCallRec*, int32_t& result) {
    result = type == "Alarm" ? 7 : -9;
  });
  EXPECT_EQ(Run("EVENT", call), 7);
}

TEST_F(PluginTest, EventsSupportAnswersOnlyIntoAnExistingResult) {
  plugin->EventsSupported = "A;B";
  Call without;
  EXPECT_EQ(Run("EVENTS-SUPPORT", without), 0);
  EXPECT_EQ(IndexOfName(without.List(), "RESULT"), -1);
  Call with;
  with.Add("RESULT", Variant(""));
  EXPECT_EQ(Run("EVENTS-SUPPORT", with), 0);
  EXPECT_EQ(GetValue(with.List(), "RESULT").ToText(), "A;B");
}

TEST_F(PluginTest, ACommandSentFromInsideACommandIsRefused) {
  int32_t inner = 0;
  bool refused = false;
  plugin->OnExecuteCustomCommand = decltype(plugin->OnExecuteCustomCommand)([&](TkivPlugin& self, const std::string& command,
                                       TPluginCallRec* block, int32_t& result) {
    result = 0;
    if (command != "OUTER") return;
    try {
      inner = self.ExecuteCommand("INNER", block);
    } catch (const Exception& e) {
      refused = std::string(e.what()) == "Assertion failure";
    }
  });
  EXPECT_EQ(Run("OUTER"), 0);
  EXPECT_TRUE(refused);
  EXPECT_EQ(inner, 0);
  EXPECT_EQ(Run("AGAIN"), 0);  // the lock and the depth were restored
}

TEST_F(PluginTest, LogLinesAreFormattedBoundedAndAnnounced) {
  Load();
  plugin->AddLog(lsInformation, "first\r\nsecond");
  EXPECT_EQ(plugin->PendingLogText(false), "\x03" "Chronel. first  second\r\n");
  for (int i = 0; i < 150; ++i) plugin->AddLog(lsError, "line " + std::to_string(i));
  const auto lines = *plugin->Log().Lock();
  ASSERT_EQ(lines.size(), kMaxLogLines);
  EXPECT_EQ(lines.front(), "\x01" "Chronel. line 50");
  EXPECT_EQ(lines.back(), "\x01" "Chronel. line 149");
  platform::ProcessMessages();
  ASSERT_EQ(host.notices.size(), 151u);
  EXPECT_EQ(host.notices[0], kLogPendingMessage);
  EXPECT_EQ(host.notifyIds[0], 77u);
}

// A host window whose thread stopped answering: a line sent to it holds the caller no longer
// than the send time-out, queued lines never wait, and what the host has not taken stays in
// order within the bound for it to collect later.
TEST_F(PluginTest, AHostWindowThatStopsAnsweringHoldsNoCallerLongerThanTheTimeOut) {
  std::atomic<platform::WindowHandle> hung{0};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    const platform::WindowHandle window = platform::CreateMessageWindow(
        [](platform::WindowHandle, uint32_t, platform::WParam, platform::LParam) { return platform::LResult{1}; });
    hung = window;
    while (!release) platform::SleepMilliseconds(10);  // never looks at its messages
    platform::DestroyMessageWindow(window);
  });
  while (hung == 0) platform::SleepMilliseconds(1);
  Call load;
  load.Add("MessagesProcessorHandle", Variant(static_cast<int64_t>(hung.load())));
  ASSERT_EQ(Run("LOAD", load), 0);

  for (int i = 0; i < 2; ++i) {
    const platform::testing::Stopwatch watch;
    plugin->SendLog(lsError, "sent " + std::to_string(i));
    EXPECT_LT(watch.Ms(), kHostSendTimeoutMs + 500) << i;
  }
  const platform::testing::Stopwatch watch;
  for (int i = 0; i < 150; ++i) plugin->AddLog(lsError, "queued " + std::to_string(i));
  EXPECT_LT(watch.Ms(), 500);
  const auto lines = *plugin->Log().Lock();
  release = true;
  owner.join();
  ASSERT_EQ(lines.size(), kMaxLogLines);
  EXPECT_EQ(lines.front(), "\x01" "Chronel. queued 50");
  EXPECT_EQ(lines.back(), "\x01" "Chronel. queued 149");
}

TEST_F(PluginTest, SendLogDeliversQueuedLinesFirst) {
  Load();
  for (const char* text : {"a", "b", "c"}) plugin->AddLog(lsWarning, text);
  plugin->SendLog(lsInformation, "now");
  ASSERT_EQ(host.copies.size(), 2u);
  EXPECT_EQ(host.copies[0].tag, kCopyDataQueuedLines);
  EXPECT_EQ(host.copies[0].text, "\x02" "Chronel. a\r\n\x02" "Chronel. b\r\n\x02" "Chronel. c\r\n");
  EXPECT_EQ(host.copies[1].tag, kCopyDataOneLine);
  EXPECT_EQ(host.copies[1].text, "\x03" "Chronel. now");
  EXPECT_EQ(plugin->PendingLogText(false), "");
}

TEST_F(PluginTest, LinesWithoutAHostWindowAreDropped) {
  plugin->AddLog(lsError, "nobody listens");
  plugin->SendLog(lsError, "nobody listens");
  EXPECT_EQ(plugin->PendingLogText(false), "");
  EXPECT_TRUE(host.copies.empty());
}

// The host's two-step collection: the first call hands out the list, the second (with its
// address) empties it.
TEST_F(PluginTest, EventsAreCollectedInTwoStepsAndNoneIsLostInBetween) {
  Load();
  const Variant args[] = {Variant("Port"), Variant("COM1"), Variant("odd")};
  plugin->GenerateEvent(false, "task1", args);
  Call collect;
  ASSERT_EQ(plugin->GetEventsWorker(collect.Block()), 0);
  auto* rows = reinterpret_cast<TkivParamsList*>(collect.Block()->Out.Data);
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->Count, 3);
  EXPECT_EQ(GetValue(*rows, "EVENT-TYPE").ToText(), "TASK1");
  EXPECT_EQ(GetValue(*rows, "Port").ToText(), "COM1");
  EXPECT_EQ(ItemName(*ItemAt(*rows, 2)), kNewRowName);

  plugin->GenerateEvent(true, "later");  // between the host's two calls
  ASSERT_EQ(plugin->GetEventsWorker(collect.Block()), 0);  // acknowledges
  EXPECT_EQ(rows->Count, 0);
  Call next;
  ASSERT_EQ(plugin->GetEventsWorker(next.Block()), 0);
  ASSERT_EQ(reinterpret_cast<TkivParamsList*>(next.Block()->Out.Data), rows);
  EXPECT_EQ(rows->Count, 3);
  EXPECT_TRUE(GetValue(*rows, "EVENT-GLOBAL").ToBoolean());
  EXPECT_EQ(GetValue(*rows, "EVENT-TYPE").ToText(), "LATER");
  platform::ProcessMessages();
  EXPECT_EQ(std::count(host.notices.begin(), host.notices.end(), kEventsPendingMessage), 3);
}

// Each call of such a host hands the old events out again with the new ones.
TEST_F(PluginTest, EventsAHostTakesButNeverAcknowledgesStayBounded) {
  Load();
  constexpr int kEventsPerCall = 5000;  // two items each: the type and the row's end
  for (int call = 0; call < 12; ++call) {
    for (int i = 0; i < kEventsPerCall; ++i) plugin->GenerateEvent(false, "tick");
    Call collect;
    ASSERT_EQ(plugin->GetEventsWorker(collect.Block()), 0);
    const auto* rows = reinterpret_cast<TkivParamsList*>(collect.Block()->Out.Data);
    ASSERT_NE(rows, nullptr);
    EXPECT_LE(rows->Count, kMaxEventItems + 2 * kEventsPerCall) << "call " << call;
    EXPECT_EQ(ItemName(*ItemAt(*rows, rows->Count - 1)), kNewRowName);
  }
}

TEST_F(PluginTest, ProcessDataForExportWithoutDataLogsAndSkipsTheHandler) {
  Load();
  plugin->MsgNoData = "No data for processing";
  int handled = 0;
  plugin->OnProcessData = decltype(plugin->OnProcessData)([&](TkivPlugin&, TPluginCallRec*, int32_t& result) { ++handled; });
  Call call;
  TkivRowsParamsList* empty = NewRowsParamsList();
  call.Block()->ModuleTypes = ModuleTypeBit(mttDataExport);
  call.Block()->In.DataKind = kDataKindParamsList;
  call.Block()->In.Data = reinterpret_cast<uintptr_t>(empty);
  EXPECT_EQ(plugin->ProcessDataWorker(call.Block()), 0);
  EXPECT_EQ(handled, 0);
  ASSERT_EQ(host.copies.size(), 1u);
  EXPECT_EQ(host.copies[0].text, "\x02" "Chronel. No data for processing");

  // A host row left open is closed before the handler sees it.
  AddValue(*empty, "VALUE", Variant(int32_t{1}));
  call.Block()->In.Data = reinterpret_cast<uintptr_t>(empty);
  EXPECT_EQ(plugin->ProcessDataWorker(call.Block()), 0);
  EXPECT_EQ(handled, 1);
  ASSERT_EQ(empty->Count, 2);
  EXPECT_EQ(ItemName(*ItemAt(*empty, 1)), kNewRowName);
  EXPECT_EQ(uintptr_t{call.Block()->In.Data}, 0u);  // only a pointer the handler put there survives
  FreeParamsList(empty);

  // A number in the data (a status, a byte count) is passed on, never read as a list.
  call.Block()->In.DataKind = kDataKindInteger;
  call.Block()->In.Data = 0x1234;
  EXPECT_EQ(plugin->ProcessDataWorker(call.Block()), 0);
  EXPECT_EQ(handled, 2);
}

TEST_F(PluginTest, AFailingDataHandlerAnswersMinusThreeAndLogs) {
  Load();
  plugin->MsgWriteCompleteError = "Data have been processed with errors";
  plugin->OnGetData = decltype(plugin->OnGetData)([](TkivPlugin&, TPluginCallRec*, int32_t&) { throw Exception("broken"); });
  Call call;
  call.Block()->ModuleTypes = ModuleTypeBit(mttDataQuery);
  EXPECT_EQ(plugin->GetDataWorker(call.Block()), kResultException);
  ASSERT_EQ(host.copies.size(), 1u);
  EXPECT_EQ(host.copies[0].text, "\x02" "Chronel. Data have been processed with errors");
}

TEST_F(PluginTest, ShortSettingsStoreOnlyThePlacement) {
  testing::TempFolder folder;
  const std::string ini = folder.File("settings.ini");
  {
    std::ofstream file(ini, std::ios::binary);
    file << "[Common]\r\nTasks=1||OPEN||DAILY||08:30;NN;1;1||COM1%0d%0a\r\n";
  }
  Load();
  TStringList map(std::vector<std::string>{"Left,Left", "Top,Top", "Height,Height",
                                           "Width,Width", ";---short---",
                                           "lstTasks.Strings,Tasks"});
  TProxyCodeObject dialog(nullptr);
  dialog.SetLeft(40);
  dialog.lstTasks_Strings().Add("2||CLOSE||DAILY||09:00;NN;1;1||COM1");
  ASSERT_TRUE(plugin->SaveShortSettings(&map, dialog, ini));
  TProxyCodeObject loaded(nullptr);
  ASSERT_TRUE(plugin->LoadSettings(&map, loaded, ini));
  EXPECT_EQ(loaded.Left(), 40);
  EXPECT_EQ(loaded.lstTasks_Strings().Lines(),
            std::vector<std::string>{"1||OPEN||DAILY||08:30;NN;1;1||COM1"});
  EXPECT_FALSE(plugin->SaveSettings(nullptr, dialog, ini));
  EXPECT_FALSE(plugin->SettingsBusy());
}

TEST_F(PluginTest, TheDialogIsMovedOnlyWhenItKeptItsDesignPlace) {
  const TkivPlugin::TRect design{1, 1, 692, 457};
  EXPECT_FALSE(plugin->DialogMoved(design));  // no owner window
  plugin->SaveDialogBounds(design);
  TkivPlugin::TRect bounds = design;
  EXPECT_FALSE(plugin->CenterOnOwner(bounds));  // no owner window
  Call call;
  call.Add("OWNERFORM", Variant(int64_t{1234}));
  plugin->ReadDialogParameters(call.Block());
  EXPECT_FALSE(plugin->DialogMoved(design));
  EXPECT_TRUE(plugin->DialogMoved({5, 1, 696, 457}));
}

// A test program has no language file beside it: the instance starts in English, and LANGUAGE
// switches it once a file is there.
TEST_F(PluginTest, LanguageSwitchesTranslateTheModuleAndAreAnnouncedOnce) {
  EXPECT_EQ(plugin->Language(), "EN");
  EXPECT_EQ(plugin->Translator()->LanguageFile(), "");
  testing::TempFolder folder;
  const std::string file = folder.File("plugin.lng");
  testing::WriteBytes(file, "Encoding=utf-8\r\n"
                            "EN:>No data for processing\r\nDE:>Keine Daten zur Verarbeitung\r\n"
                            "FR:>Aucune donn\xC3\xA9" "e \xC3\xA0 traiter\r\n\r\n");
  plugin->Translator()->SetLanguageFile(file);
  plugin->MsgNoData = "No data for processing";
  int changes = 0;
  plugin->OnChangeLanguage =
      decltype(plugin->OnChangeLanguage)([&](TkivPlugin&) { ++changes; });

  const struct {
    std::string language;
    int changes;
    std::string message;
  } steps[] = {
      {"", 0, "No data for processing"},  // no LANGUAGE: nothing happens
      {"DE", 1, "Keine Daten zur Verarbeitung"},
      {"DE", 1, "Keine Daten zur Verarbeitung"},
      {"FR", 2, "Aucune donn\xC3\xA9" "e \xC3\xA0 traiter"},
      {"EN", 3, "No data for processing"},
  };
  for (const auto& step : steps) {
    Call call;
    if (!step.language.empty()) call.Add("LANGUAGE", Variant(step.language));
    Run("NO-SUCH-COMMAND", call);
    EXPECT_EQ(changes, step.changes) << step.language;
    EXPECT_EQ(plugin->MsgNoData, step.message) << step.language;
  }
  EXPECT_EQ(plugin->Language(), "EN");
}

}  // namespace
}  // namespace chronel::plugin
