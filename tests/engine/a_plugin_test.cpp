// The task runner in-process: an instance loaded from an INI file of task lines, the test
// thread standing in for the host (its window receives the log, this program exports the host's
// services), a fake clock for every reading of "now". Due schedules, hotkeys and the polling
// timer arrive as window messages while the test thread pumps.
#include "engine/a_plugin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config_table.h"
#include "engine/data_source_cfg.h"
#include "engine/timer.h"
#include "host_services.h"
#include "platform/code_page.h"
#include "platform/global_atom.h"
#include "platform/hotkey.h"
#include "platform/message_loop.h"
#include "platform/message_window.h"
#include "platform/module_info.h"
#include "platform/pumping_thread.h"
#include "plugin/instance_registry.h"
#include "plugin/params_list.h"
#include "support/fake_clock.h"
#include "tasks/atomic_file_writer.h"
#include "tasks/ini_file.h"
#include "tasks/temp_folder.h"
#include "tasks/value_encoding.h"
#include "translation/wtransl.h"

namespace chronel {
namespace {

using platform::Variant;
using platform::testing::PumpFor;
using platform::testing::PumpUntil;

constexpr uint32_t kNotifyId = 77;
// Shift+Ctrl+Alt with F19 to F24: combinations no test machine has bound, and not the ones the
// platform tests register. Each test registers keys of its own: under Wine the test programs
// run side by side in one session, where a combination can be registered only once.
constexpr platform::TShortCut kShiftCtrlAlt =
    platform::scShift | platform::scCtrl | platform::scAlt;
constexpr platform::TShortCut kF19 = kShiftCtrlAlt | 0x82;
constexpr platform::TShortCut kF20 = kShiftCtrlAlt | 0x83;
constexpr platform::TShortCut kF21 = kShiftCtrlAlt | 0x84;
constexpr platform::TShortCut kF22 = kShiftCtrlAlt | 0x85;

TDateTime At(int h, int mi, int s = 0, int ms = 0) {
  return EncodeDateTime({2024, 5, 10, h, mi, s, ms});
}

int64_t MsBetween(TDateTime later, TDateTime earlier) {
  return std::llround((later - earlier) * kMSecsPerDay);
}

std::string Text(TDateTime value) { return DateTimeToTextMs(value); }

bool Press(platform::TShortCut shortCut) {
  const bool held = platform::PressHotKeyForTesting(platform::ShortCutSystemModifiers(shortCut),
                                                    platform::ShortCutKey(shortCut));
  platform::ProcessMessages();
  return held;
}

// The host's window: the log lines delivered at once by copy-data.
struct HostWindow {
  HostWindow() {
    handle = platform::CreateMessageWindow([this](platform::WindowHandle, uint32_t message,
                                                  platform::WParam, platform::LParam lparam) {
      if (message != platform::kWmCopyData) return platform::LResult{0};
      const auto& data = platform::CopyDataOf(lparam);
      copies.emplace_back(static_cast<const char*>(data.Data), data.Size);
      return platform::LResult{1};
    });
  }
  ~HostWindow() { platform::DestroyMessageWindow(handle); }

  platform::WindowHandle handle = 0;
  std::vector<std::string> copies;
};

// The host's services as the plug-in called them; every caller here is the test thread.
class ServiceCalls : public host::IServiceListener {
 public:
  ServiceCalls() { host::SetServiceListener(this); }
  ~ServiceCalls() { host::ClearServiceListener(this); }

  void ServiceCalled(std::optional<uint32_t> notifyId, std::string_view what) override {
    calls_.push_back((notifyId ? std::to_string(*notifyId) + ": " : "") + std::string(what));
    if (OnCall) OnCall(calls_.back());
  }
  // What the host does, on the plug-in's thread, when a service is called.
  std::function<void(const std::string& call)> OnCall;
  std::vector<std::string> Take() { return std::exchange(calls_, {}); }
  // The texts of SEND actions: the tasks here send their own names, so these tell which ran.
  std::vector<std::string> Sent() const {
    const std::string prefix = std::to_string(kNotifyId) + ": fSendString \"";
    std::vector<std::string> texts;
    for (const std::string& call : calls_) {
      if (!call.starts_with(prefix)) continue;
      texts.push_back(call.substr(prefix.size(), call.size() - prefix.size() - 1));
    }
    return texts;
  }

 private:
  std::vector<std::string> calls_;
};

class TaPluginTest : public ::testing::Test {
 protected:
  TaPluginTest() { host::HostConfigurations().Replace({"COM1", "COM2"}); }

  TaPlugin& Plugin() { return static_cast<TaPlugin&>(*instance_); }

  void Load(const std::vector<std::string>& tasks,
            std::vector<std::pair<std::string, Variant>> extra = {}) {
    std::string lines;
    for (const std::string& task : tasks) lines += task + "\r\n";
    testing::WriteBytes(ini_, "[Test.Common]\r\nTasks=" + EncodeValue(lines) + "\r\n");
    ASSERT_EQ(Command("LOAD", std::move(extra)), 0);
  }

  // A command as the host sends it, with the parameters of its LOAD on every call. What the
  // command raises passes on, as it would to the export that answers the host.
  int32_t Command(const std::string& command,
                  std::vector<std::pair<std::string, Variant>> extra = {}) {
    const std::unique_ptr<plugin::TkivParamsList, void (*)(plugin::TkivParamsList*)> owned(
        plugin::NewParamsList(),
        [](plugin::TkivParamsList* list) { plugin::FreeParamsList(list); });
    plugin::TkivParamsList* list = owned.get();
    extra.emplace_back("MessagesProcessorHandle", Variant(static_cast<int64_t>(host_.handle)));
    extra.emplace_back("HANDLE", Variant(static_cast<int64_t>(platform::OwnModule())));
    extra.emplace_back("INI-FILE", Variant(ini_));
    extra.emplace_back("INISectionPrefix", Variant("Test"));
    for (const auto& [name, value] : extra) plugin::AddValue(*list, name, value);
    plugin::TPluginCallRec block{};
    block.Version = plugin::kCallBlockVersion;
    block.InstanceID = 1;
    block.NotifyID = kNotifyId;
    block.ParamList = list;
    return instance_->ExecuteCommand(command, &block);
  }

  TTaskListItem& Task(size_t position) { return *(*Plugin().Tasks()->Write())[position]; }

  // As the triggers call it, with the task list held.
  int32_t Execute(size_t position) {
    auto tasks = Plugin().Tasks()->Write();
    return Plugin().ExecuteTask(*(*tasks)[position]);
  }

  void PollDelayedTasks() { Plugin().CheckTasksTimer(Plugin()); }

  // The event types raised since the last collection, taken as the host takes them.
  std::vector<std::string> CollectEventTypes() {
    plugin::TPluginCallRec block{};
    EXPECT_EQ(instance_->GetEventsWorker(&block), 0);
    std::vector<std::string> types;
    const auto* rows = reinterpret_cast<plugin::TkivParamsList*>(uintptr_t{block.Out.Data});
    for (int32_t i = 0; rows && i < rows->Count; ++i) {
      const plugin::TkivParamsListItem& item = *plugin::ItemAt(*rows, i);
      if (plugin::ItemName(item) != "EVENT-TYPE") continue;
      types.push_back(Variant::FromRaw(item.Value).ToText());
    }
    EXPECT_EQ(instance_->GetEventsWorker(&block), 0);  // acknowledges
    return types;
  }

  test::FakeClock clock_{At(10, 0)};
  testing::TempFolder folder_;
  const std::string ini_ = folder_.File("tasks.ini");
  HostWindow host_;
  ServiceCalls services_;
  std::unique_ptr<plugin::TkivPlugin> instance_ = plugin::CreatePlugin<TaPlugin>(nullptr);
};

// A hotkey task with successors: B right after A, C 30 seconds after A, D 2 minutes after B.
// `shortcut` is A's hotkey code.
std::vector<std::string> Chain(const std::string& shortcut) {
  return {
      "A||SEND||HOTKEY||k;" + shortcut + "||A",
      "B||SEND||AFTER||N;0;0;A||B",
      "C||SEND||AFTER||Y;30;0;A||C",
      "D||SEND||AFTER||Y;2;1;B||D",
  };
}

TEST_F(TaPluginTest, AHotKeyRunsItsChainImmediateSuccessorsAtOnceDelayedOnesOnThePollingTimer) {
  Load(Chain("E082"));
  ASSERT_TRUE(Press(kF19));
  EXPECT_EQ(services_.Sent(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(MsBetween(Task(2).DueTime, Task(0).LastRun), 30'000);
  EXPECT_EQ(MsBetween(Task(3).DueTime, Task(1).LastRun), 120'000);
  EXPECT_TRUE(Plugin().CheckTasks().Enabled());

  // A tick just before each due time runs nothing; the ticks after it (the timer's next tick
  // comes one interval after the last, by the real clock or, where window timers follow the
  // test's clock, by the fake one) run the task.
  clock_.AdvanceMs(29'900);
  PollDelayedTasks();
  EXPECT_EQ(services_.Sent().size(), 2u);
  clock_.AdvanceMs(600);
  ASSERT_TRUE(PumpUntil([&] { return services_.Sent().size() == 3; }, 2000));
  EXPECT_EQ(services_.Sent().back(), "C");

  clock_.AdvanceMs(89'400);  // B ran at A's time: D is due at 10:02:00
  PollDelayedTasks();
  EXPECT_EQ(services_.Sent().size(), 3u);
  clock_.AdvanceMs(600);
  ASSERT_TRUE(PumpUntil([&] { return services_.Sent().size() == 4; }, 2000));
  EXPECT_EQ(services_.Sent().back(), "D");
  EXPECT_FALSE(Plugin().CheckTasks().Enabled());  // nothing left pending
}

TEST_F(TaPluginTest, ExecuteTaskCountsDelayedSuccessorsAndARunAgainMovesThemInsteadOfAddingRuns) {
  Load(Chain("E087"));  // F24, never pressed
  EXPECT_EQ(Execute(0), 2);  // C, and D armed by B
  clock_.AdvanceMs(10'000);
  EXPECT_EQ(Execute(0), 2);
  EXPECT_EQ(Text(Task(2).DueTime), "2024-05-10 10:00:40.000");
  EXPECT_EQ(Text(Task(3).DueTime), "2024-05-10 10:02:10.000");

  for (const int64_t step : {20'000, 10'000, 90'000, 600'000}) {  // 10:00:30, :40, 10:02:10, later
    clock_.AdvanceMs(step);
    PollDelayedTasks();
  }
  EXPECT_EQ(services_.Sent(), (std::vector<std::string>{"A", "B", "A", "B", "C", "D"}));

  // A task run directly while its delayed run is pending has had that run.
  Execute(0);
  Execute(2);
  EXPECT_EQ(Task(2).DueTime, 0);
}

TEST_F(TaPluginTest, AnImmediateChainBackToARunningTaskSkipsItOnceWithAnError) {
  Load({
      "A1||SEND||AFTER||N;0;0;B1||A1", "B1||SEND||AFTER||N;0;0;A1||B1",
      "A2||SEND||AFTER||N;0;0;C2||A2", "B2||SEND||AFTER||N;0;0;A2||B2",
      "C2||SEND||AFTER||N;0;0;B2||C2",
      "A3||SEND||AFTER||Y;5;0;B3||A3",  // a delayed link: the cycle repeats at its interval
      "B3||SEND||AFTER||N;0;0;A3||B3",
  });
  const std::string executing = "\x03" "Chronel. Executing task: Send data\r\n";
  const struct {
    size_t start;
    std::vector<std::string> ran;
    std::string log;
    int32_t pending;
  } cases[] = {
      {0, {"A1", "B1"},
       executing + executing +
           "\x01" "Chronel. Task A1 skipped: it is already running in this chain\r\n",
       0},
      {2, {"A2", "B2", "C2"},
       executing + executing + executing +
           "\x01" "Chronel. Task A2 skipped: it is already running in this chain\r\n",
       0},
      {5, {"A3", "B3"}, executing + executing, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ran.front());
    EXPECT_EQ(Execute(c.start), c.pending);
    EXPECT_EQ(services_.Sent(), c.ran);
    EXPECT_EQ(instance_->PendingLogText(true), c.log);
    services_.Take();
  }
}

// A chain as long as a whole task list runs to its end without using up the caller's stack,
// depth first in list order all along: X, listed first, runs between T100 and T101, and Y waits
// for its delay. The link from the last task back to the first is the one skipped.
TEST_F(TaPluginTest, AChainOfThirtyThousandTasksRunsToItsEnd) {
  constexpr int kLength = 30000;
  const auto id = [](int i) { return "T" + std::to_string(i); };
  std::vector<std::string> lines{
      id(0) + "||SEND||AFTER||N;0;0;" + id(kLength - 1) + "||" + id(0),
      "X||SEND||AFTER||N;0;0;T100||X",
      "Y||SEND||AFTER||Y;5;0;T200||Y",
  };
  for (int i = 1; i < kLength; ++i) {
    lines.push_back(id(i) + "||SEND||AFTER||N;0;0;" + id(i - 1) + "||" + id(i));
  }
  Load(lines);
  EXPECT_EQ(Execute(0), 1);
  const std::vector<std::string> sent = services_.Sent();
  ASSERT_EQ(sent.size(), static_cast<size_t>(kLength + 1));
  EXPECT_EQ((std::vector<std::string>(sent.begin() + 99, sent.begin() + 104)),
            (std::vector<std::string>{"T99", "T100", "X", "T101", "T102"}));
  EXPECT_EQ(sent.back(), id(kLength - 1));
  EXPECT_EQ(MsBetween(Task(2).DueTime, Task(202).LastRun), 5'000);
  EXPECT_TRUE(instance_->PendingLogText(true).ends_with(
      "Chronel. Task T0 skipped: it is already running in this chain\r\n"));
}

// Tasks that share identifiers can follow each other in more ways than there are tasks: each
// level of two twins here doubles the runs (511 for 17 tasks, a billion with 30 levels). The
// walk stops instead.
TEST_F(TaPluginTest, AChainThatMultipliesThroughSharedIdentifiersIsStoppedWithAnError) {
  constexpr int kLevels = 8;
  std::vector<std::string> lines{"L0||SEND||EVENT||GO||L0"};
  for (int level = 1; level <= kLevels; ++level) {
    for (int twin = 0; twin < 2; ++twin) {
      lines.push_back("L" + std::to_string(level) + "||SEND||AFTER||N;0;0;L" +
                      std::to_string(level - 1) + "||x");
    }
  }
  Load(lines);
  Execute(0);
  const size_t allowed = 4 * lines.size() + 64;
  EXPECT_EQ(services_.Sent().size(), allowed);
  EXPECT_TRUE(instance_->PendingLogText(true).ends_with(
      "Chronel. The chain started by task L0 was stopped after " + std::to_string(allowed) +
      " steps\r\n"));
}

// A chain started inside another on the same thread (a host that answers an action by
// raising an event at once) skips the tasks of the outer chain too: here A, which follows C.
TEST_F(TaPluginTest, AChainStartedInsideAnotherSkipsTheTasksOfTheOuterOne) {
  Load({"A||SEND||AFTER||N;0;0;C||A", "B||SEND||AFTER||N;0;0;A||B", "C||SEND||EVENT||IN||C"});
  bool answered = false;
  services_.OnCall = [&](const std::string& call) {
    if (answered || !call.ends_with("\"A\"")) return;
    answered = true;
    Execute(2);
  };
  Execute(0);
  EXPECT_EQ(services_.Sent(), (std::vector<std::string>{"A", "C", "B"}));
  EXPECT_TRUE(instance_->PendingLogText(true).ends_with(
      "Chronel. Task A skipped: it is already running in this chain\r\n"
      "\x03" "Chronel. Executing task: Send data\r\n"));
}

// The successor lookup answers the same once it has indexed the list (from its 65th lookup on):
// a task with an empty ID is followed by every task without a predecessor, as ever, so the
// event runs E1 to E64 and the unnamed task, then E1 to E64 again and Z, which follow it.
TEST_F(TaPluginTest, SuccessorsAreTheSameBeforeAndAfterTheLookupIndexesTheList) {
  std::vector<std::string> lines;
  std::vector<std::string> named;
  for (int i = 1; i <= 64; ++i) {
    named.push_back("E" + std::to_string(i));
    lines.push_back(named.back() + "||SEND||EVENT||GO||" + named.back());
  }
  lines.push_back("||SEND||EVENT||GO||unnamed");
  lines.push_back("Z||SEND||EVENT||ELSE||Z");
  Load(lines);
  std::vector<std::string> expected = named;
  expected.push_back("unnamed");
  expected.insert(expected.end(), named.begin(), named.end());
  expected.push_back("Z");
  ASSERT_EQ(Command("EVENT", {{"EVENT-TYPE", Variant("GO")}}), 0);
  EXPECT_EQ(services_.Sent(), expected);
}

// A host event that 50,000 tasks wait for runs them all, and the successor of the last, in
// bounded time: each run used to scan the whole list for its successors.
TEST_F(TaPluginTest, AnEventThatFiftyThousandTasksWaitForRunsThemAllInBoundedTime) {
  constexpr int kTasks = 50000;
  std::vector<std::string> lines;
  for (int i = 0; i < kTasks; ++i) {
    lines.push_back("E" + std::to_string(i) + "||SEND||EVENT||GO||e");
  }
  lines.push_back("S||SEND||AFTER||N;0;0;E" + std::to_string(kTasks - 1) + "||s");
  Load(lines);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Command("EVENT", {{"EVENT-TYPE", Variant("GO")}}), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start,
            std::chrono::seconds(20));  // Debug with sanitizers, or Wine
  const std::vector<std::string> sent = services_.Sent();
  ASSERT_EQ(sent.size(), static_cast<size_t>(kTasks + 1));
  EXPECT_EQ(sent.back(), "s");
}

TEST_F(TaPluginTest, EachActionLogsItsCaptionAndCallsTheHost) {
  Load({
      "1||OPEN||EVENT||none||COM1",
      "2||CLOSE||EVENT||none||COM1",
      "3||SEND||EVENT||none||text",
      "4||NEWLOG||EVENT||none||COM2",
      "5||EVENT||EVENT||none||abc",
      "6||SEND||EVENT||none",
      "7||NOSUCH||EVENT||none||x",
  });
  const struct {
    std::string log;
    std::vector<std::string> calls = {};
    std::vector<std::string> events = {};
  } cases[] = {
      {"\x03" "Chronel. Executing task: Open data source\r\n",
       {"Vantrel_GetConfigID \"COM1\" -> 1", "Vantrel_StartPause config 1 (COM1) open"}},
      {"\x03" "Chronel. Executing task: Close data source\r\n",
       {"Vantrel_GetConfigID \"COM1\" -> 1", "Vantrel_StartPause config 1 (COM1) close"}},
      {"\x03" "Chronel. Executing task: Send data\r\n", {"77: fSendString \"text\""}},
      {"\x03" "Chronel. Executing task: New log file\r\n",
       {"Vantrel_GetConfigID \"COM2\" -> 2", "Vantrel_SetOption config 2 (COM2) new log file"}},
      {"\x03" "Chronel. Executing task: Generate event\r\n", {}, {"ABC"}},
      {"\x03" "Chronel. Executing task: Send data\r\n"
       "\x01" "Chronel. Send data: Invalid argument \r\n"},
      {"\x03" "Chronel. Executing task: \r\n"},  // an unknown action does nothing
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(Task(i).Action);
    EXPECT_EQ(Execute(i), 0);
    EXPECT_EQ(instance_->PendingLogText(true), cases[i].log);
    EXPECT_EQ(services_.Take(), cases[i].calls);
    EXPECT_EQ(CollectEventTypes(), cases[i].events);
    EXPECT_NE(Task(i).LastRun, 0);
  }
}

TEST_F(TaPluginTest, TheLanguageOfTheHostSwitchesActionCaptionsAndMessages) {
  const std::string file = folder_.File("plugin.lng");
  testing::WriteBytes(file,
                      "Encoding=utf-8\r\n\r\n"
                      "EN:>Send data\r\nDE:>Daten senden\r\n\r\n"
                      "EN:>Executing task\r\nDE:>Aufgabe wird ausgef\xC3\xBChrt\r\n\r\n"
                      "EN:>Invalid argument\r\nDE:>Ung\xC3\xBCltiges Argument\r\n\r\n"
                      "EN:>Unable to add task #%d\r\nDE:>Aufgabe #%d nicht angelegt\r\n\r\n");
  Plugin().Translator()->SetLanguageFile(file);
  Load({"1||SEND||EVENT||none||text", "2||SEND||EVENT||none", "3||SEND||DAILY||25:00;NN;1;1||d"},
       {{"LANGUAGE", Variant("DE")}});
  EXPECT_EQ(Plugin().ActionCaption("SEND").second, "Daten senden");
  EXPECT_EQ(host_.copies, std::vector<std::string>{
                              "\x01" "Chronel. Aufgabe #2 nicht angelegt: ''2024-05-10 25:00:00'' "
                              "is not a valid date and time"});
  Execute(0);
  Execute(1);
  // The host takes log lines in its 8-bit code page.
  EXPECT_EQ(instance_->PendingLogText(true),
            platform::Utf8ToAnsi("\x03" "Chronel. Aufgabe wird ausgef\xC3\xBChrt: Daten senden\r\n"
                                 "\x03" "Chronel. Aufgabe wird ausgef\xC3\xBChrt: Daten senden\r\n"
                                 "\x01" "Chronel. Daten senden: Ung\xC3\xBCltiges Argument \r\n"));

  EXPECT_EQ(Command("EVENT", {{"EVENT-TYPE", Variant("none")}, {"LANGUAGE", Variant("EN")}}), 0);
  EXPECT_EQ(instance_->PendingLogText(true),
            "\x03" "Chronel. Executing task: Send data\r\n"
            "\x03" "Chronel. Executing task: Send data\r\n"
            "\x01" "Chronel. Send data: Invalid argument \r\n");
}

// A translator's slip must not cost the tasks: the message is then given in English.
TEST_F(TaPluginTest, ATranslatedMessageWhosePlaceholdersDoNotFitFallsBackToEnglish) {
  const std::string file = folder_.File("plugin.lng");
  testing::WriteBytes(file,
                      "Encoding=utf-8\r\n\r\n"
                      "EN:>Unable to add task #%d\r\nDE:>Aufgabe %s nicht angelegt\r\n\r\n");
  Plugin().Translator()->SetLanguageFile(file);
  Load({"1||SEND||DAILY||25:00;NN;1;1||d", "2||SEND||EVENT||GO||e"}, {{"LANGUAGE", Variant("DE")}});
  EXPECT_EQ(Plugin().Tasks()->Write()->Count(), 2u);
  EXPECT_EQ(host_.copies, std::vector<std::string>{
                              "\x01" "Chronel. Unable to add task #0: ''2024-05-10 25:00:00'' is "
                              "not a valid date and time"});
}

TEST_F(TaPluginTest, TasksAreNamedByPositionAndAFailingScheduleIsReportedByItsLine) {
  Load({
      "T0||SEND||DAILY||08:30;NN;1;1||a",
      "T1||SEND||DAILY",  // three fields: not a task
      "T2||SEND||WEEKLY||07:00;NN;1;1;1-5||b",
      "T3||SEND||EVENT||GO||c",
      "T4||SEND||DAILY||25:00;NN;1;1||d",
  });
  std::vector<std::string> ids;
  {
    auto tasks = Plugin().Tasks()->Write();
    for (const TTaskListItem* task : *tasks) ids.push_back(task->ID);
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"T0", "T2", "T3", "T4"}));

  const TSchEventList& events = *Plugin().Events();
  ASSERT_EQ(events.Count(), 3u);
  const struct {
    std::string name;
    bool running;
  } expected[] = {{"0", true}, {"1", true}, {"3", false}};
  for (size_t i = 0; i < events.Count(); ++i) {
    EXPECT_EQ(events.Events(i).Name(), expected[i].name);
    EXPECT_EQ(events.Events(i).Running(), expected[i].running);
  }
  EXPECT_EQ(host_.copies, std::vector<std::string>{
                              "\x01" "Chronel. Unable to add task #4: ''2024-05-10 25:00:00'' is "
                              "not a valid date and time"});
}

TEST_F(TaPluginTest, TwoTasksWithOneShortcutRegisterItOnceAndAPressRunsBoth) {
  Load({
      "H1||SEND||HOTKEY||k;E083||first",
      "H2||SEND||HOTKEY||k;E084||other",
      "H3||SEND||HOTKEY||k;E083||second",
  });
  EXPECT_TRUE(Task(0).HotKey->Active());
  EXPECT_EQ(Task(0).HotKey->LastError(), 0u);
  EXPECT_FALSE(Task(2).HotKey->Active());
  ASSERT_TRUE(Press(kF20));
  EXPECT_EQ(services_.Sent(), (std::vector<std::string>{"first", "second"}));
  ASSERT_TRUE(Press(kF21));
  EXPECT_EQ(services_.Sent().back(), "other");
}

#ifndef _WIN32
// Windows shares one atom table among all programs, so it is filled only in the stand-in: there
// it would take the table from every other test and program.
TEST_F(TaPluginTest, AHotKeyTaskThatGetsNoAtomIsSkippedWithAnErrorAndTheOtherTasksLoad) {
  std::vector<platform::Atom> taken;
  for (int i = 0;; ++i) {
    const platform::Atom atom = platform::AddGlobalAtom("filler " + std::to_string(i));
    if (atom == 0) break;
    taken.push_back(atom);
  }
  Load({"H||SEND||HOTKEY||k;E083||x", "D||SEND||DAILY||08:30;NN;1;1||d"});
  for (const platform::Atom atom : taken) platform::DeleteGlobalAtom(atom);

  EXPECT_EQ(Plugin().Tasks()->Write()->Count(), 1u);
  EXPECT_EQ(Task(0).ID, "D");
  ASSERT_EQ(Plugin().Events()->Count(), 1u);
  EXPECT_TRUE(Plugin().Events()->Events(0).Running());
  EXPECT_EQ(host_.copies, std::vector<std::string>{
                              "\x01" "Chronel. Unable to add task #0: Cannot add the hotkey's "
                              "global atom (error 8)"});
}
#endif

TEST_F(TaPluginTest, AScheduleDueEveryMinuteRunsItsTaskAtTheNextMinute) {
  clock_.SetLocalNow(At(10, 15, 59, 900));
  Load({"M||SEND||DAILY||00:00;YY;1;1||minute"});
  TScheduledEvent& event = Plugin().Events()->Events(0);
  EXPECT_EQ(Text(event.Schedule().NextTime()), "2024-05-10 10:16:00.000");
  PumpFor(100);  // the clock stands still: the schedule thread keeps waiting out the last 100 ms
  EXPECT_TRUE(services_.Sent().empty());

  clock_.AdvanceMs(200);
  ASSERT_TRUE(PumpUntil([&] { return !services_.Sent().empty(); }, 2000));
  EXPECT_EQ(services_.Sent(), std::vector<std::string>{"minute"});
  EXPECT_EQ(Text(Task(0).LastRun), "2024-05-10 10:16:00.100");
  EXPECT_EQ(Text(event.Schedule().NextTime()), "2024-05-10 10:17:00.000");
}

TEST_F(TaPluginTest, ReloadingTheSettingsDropsPendingDelayedRuns) {
  Load({"A||SEND||EVENT||GO||A", "C||SEND||AFTER||Y;1;0;A||C"});
  ASSERT_EQ(Command("EVENT", {{"EVENT-TYPE", Variant("GO")}}), 0);
  ASSERT_NE(Task(1).DueTime, 0);
  ASSERT_EQ(Command("LOAD-SETTINGS-NOW"), 0);
  EXPECT_EQ(Task(1).DueTime, 0);

  clock_.AdvanceMs(2000);
  EXPECT_TRUE(PumpUntil([&] { return !Plugin().CheckTasks().Enabled(); }, 2000));
  EXPECT_EQ(services_.Sent(), std::vector<std::string>{"A"});
}

TEST_F(TaPluginTest, UnloadStopsEverySourceOfWorkAndALaterLoadStartsAgain) {
  clock_.SetLocalNow(At(10, 15, 59, 900));
  const std::vector<std::string> tasks = {
      "H||SEND||HOTKEY||k;E085||key",
      "M||SEND||DAILY||00:00;YY;1;1||minute",
      "D||SEND||AFTER||Y;1;0;H||delayed",
  };
  Load(tasks);
  ASSERT_TRUE(Press(kF22));
  ASSERT_EQ(Command("UNLOAD"), 0);
  EXPECT_EQ(Plugin().Tasks(), nullptr);
  EXPECT_EQ(Plugin().Events(), nullptr);
  EXPECT_FALSE(Plugin().CheckTasks().Enabled());

  EXPECT_FALSE(Press(kF22));
  clock_.AdvanceMs(2000);  // past the minute and the delay
  PumpFor(150);
  EXPECT_EQ(services_.Sent(), std::vector<std::string>{"key"});

  // The combination is free for others again.
  const platform::WindowHandle other = platform::CreateMessageWindow(
      [](platform::WindowHandle, uint32_t, platform::WParam, platform::LParam) {
        return platform::LResult{0};
      });
  EXPECT_EQ(platform::RegisterSystemHotKey(other, 1, platform::ShortCutSystemModifiers(kF22),
                                           platform::ShortCutKey(kF22)),
            0u);
  platform::DestroyMessageWindow(other);

  Load(tasks);
  ASSERT_TRUE(Press(kF22));
  EXPECT_EQ(services_.Sent(), (std::vector<std::string>{"key", "key"}));
}

TEST_F(TaPluginTest, HostEventsRunTheEventTasksWithExactlyThatIdentifier) {
  Load({
      "P1||SEND||EVENT||PORT-OPEN||first",
      "P2||SEND||EVENT||PORT-CLOSE||close",
      "P3||SEND||EVENT|| PORT-OPEN ;x||second",
      "R||EVENT||EVENT||RAISE||port-open",
  });
  const struct {
    std::string type;
    std::vector<std::string> ran;
    std::vector<std::string> raised = {};
  } cases[] = {
      {"PORT-OPEN", {"first", "second"}},
      {"port-open", {}},
      {"", {}},
      // The event goes to the host; raising it runs none of this instance's tasks.
      {"RAISE", {}, {"PORT-OPEN"}},
      {"PORT-CLOSE", {"close"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(Command("EVENT", {{"EVENT-TYPE", Variant(c.type)}}), 0);
    EXPECT_EQ(services_.Sent(), c.ran);
    EXPECT_EQ(CollectEventTypes(), c.raised);
    services_.Take();
  }
}

// A save that cannot be written leaves the stored file exactly as it was, makes the command fail
// (the host logs the exception's text and answers -3) and loses nothing: the changed settings
// stay in memory, so the next save, once the fault is gone, writes them.
TEST_F(TaPluginTest, AFailedSaveKeepsTheFileFailsTheCommandAndTheNextSaveWritesTheChange) {
  namespace fs = std::filesystem;
  const fs::path folder = folder_.Path();
  const fs::path file = testing::NativePath(ini_);
  const fs::path moved = folder.string() + "-moved";
  constexpr fs::perms kAllWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  const struct {
    const char* what;
    std::function<void()> apply, lift;
  } faults[] = {
      {"read-only file",
       [&] { fs::permissions(file, kAllWrite, fs::perm_options::remove); },
       [&] { fs::permissions(file, fs::perms::owner_write, fs::perm_options::add); }},
      {"folder gone since LOAD", [&] { fs::rename(folder, moved); },
       [&] { fs::rename(moved, folder); }},
      {"disk full part-way", [] { SetWriteLimitForTesting(16); },
       [] { SetWriteLimitForTesting(std::nullopt); }},
  };
  const std::vector<std::string> tasks = {"A||SEND||EVENT||GO||a"};
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.what);
    Load(tasks);
    const std::string stored = testing::ReadBytes(ini_);
    Plugin().Configuration()->SetLeft(123);
    fault.apply();
    try {
      Command("SAVE-SETTINGS-NOW");
      ADD_FAILURE() << "a failed save was reported as done";
    } catch (const std::exception& error) {  // caught whatever it is, so the fault is lifted
      EXPECT_EQ(std::string(error.what()), "The settings could not be saved to \"" + ini_ + "\"");
    }
    fault.lift();
    EXPECT_EQ(testing::ReadBytes(ini_), stored);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "a temporary file was left behind";

    ASSERT_EQ(Command("SAVE-SETTINGS-NOW"), 0);
    TBigIniFile saved(ini_);
    EXPECT_EQ(saved.ReadInteger("Test.Common", "Left", 0), 123);
    EXPECT_EQ(saved.ReadString("Test.Common", "Tasks", ""), EncodeValue(tasks[0] + "\r\n"));
    ASSERT_EQ(Command("UNLOAD"), 0);
  }
}

// Another program removed the file after LOAD: the save writes it anew from what is loaded.
TEST_F(TaPluginTest, ASettingsFileDeletedSinceLoadIsWrittenAgainFromMemory) {
  Load({"A||SEND||EVENT||GO||a"});
  const std::string tasks = TBigIniFile(ini_).ReadString("Test.Common", "Tasks", "");
  std::filesystem::remove(testing::NativePath(ini_));
  ASSERT_EQ(Command("SAVE-SETTINGS-NOW"), 0);
  EXPECT_EQ(TBigIniFile(ini_).ReadString("Test.Common", "Tasks", "<none>"), tasks);
}

// UNLOAD swallows a failed save to the file it names, as it must still unload, but the host's
// log tells the user the settings were not saved.
TEST_F(TaPluginTest, AnUnloadThatCannotSaveToItsNewFileStillUnloadsAndLogsWhy) {
  Load({"A||SEND||EVENT||GO||a"});
  const std::string elsewhere = folder_.File("no-such-folder/other.ini");
  ASSERT_EQ(Command("UNLOAD", {{"INI-FILE", Variant(elsewhere)}}), 0);
  EXPECT_TRUE(Plugin().Unloaded());
  EXPECT_EQ(instance_->PendingLogText(true),
            "\x01" "Chronel. The settings could not be saved to \"" + elsewhere + "\"\r\n");
}

#ifndef _WIN32
// Generous for Debug with sanitizers, whose shadow memory counts too.
constexpr int64_t kMemoryLimitKiB = 1024 * 1024;

// The peak resident memory of this process in KiB, from the kernel's count.
int64_t PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stoll(line.substr(6));
  }
  return -1;
}

// Starts the peak count afresh at the present size; false where the kernel does not allow it.
bool ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good();
}
#endif

std::string RandomBytes(size_t size) {
  std::mt19937 random(20240510);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// 100,000 lines of every sort a file may hold: chained and event tasks, hotkeys, lines with
// too few fields, text that is no task line at all, and schedules the engine refuses.
std::string HundredThousandLines() {
  std::string lines;
  for (int i = 0; i < 100000; ++i) {
    const std::string id = "T" + std::to_string(i);
    if (i % 100 == 0) {
      lines += id + "||SEND||HOTKEY||k;E086||" + id;  // one shortcut: only the first registers
    } else if (i % 1000 == 1) {
      lines += id + "||SEND||DAILY||25:00;NN;1;1||" + id;
    } else if (i % 4 == 0) {
      lines += id + "||SEND||EVENT||GO||" + id;
    } else if (i % 4 == 1) {
      lines += id + "||SEND||AFTER||Y;5;0;T0||" + id;
    } else if (i % 4 == 2) {
      lines += id + "||SEND||DAILY";
    } else {
      lines += "not a task line " + id;
    }
    lines += "\r\n";
  }
  return lines;
}

// Two tasks whose lists hold 250,000 long ranges each: the hours of an hourly task, which the
// schedule reads itself, and the days of a weekly one, which become a day list first.
std::string TasksOfLongRanges() {
  std::string ranges;
  for (int i = 0; i < 250000; ++i) ranges += "0-99999,";
  ranges.pop_back();
  return "T1||SEND||HOURLY||00:15;NN;1;1;" + ranges + "||x\r\n" +
         "T2||SEND||WEEKLY||09:15;NN;1;1;" + ranges + "||x\r\n";
}

// Whatever a settings file holds, LOAD reads it in bounded time and memory and builds the tasks
// it can. Lines that are not tasks are passed over without a word, as they always were; only
// refused schedules are logged, each with its line.
TEST_F(TaPluginTest, HugeOrGarbledSettingsFilesLoadInBoundedTimeAndMemory) {
  constexpr auto kTimeLimit = std::chrono::seconds(20);  // Debug with sanitizers, or Wine
  const std::string garbage = RandomBytes(10 << 20);
  const struct {
    const char* what;
    std::string bytes;
    size_t tasks;
    size_t logged;
  } cases[] = {
      {"10 MB of random bytes", garbage, 0, 0},
      {"a task list of 10 MB of random bytes",
       "[Test.Common]\r\nTasks=" + EncodeValue(garbage) + "\r\n", 0, 0},
      {"100,000 task lines",
       "[Test.Common]\r\nTasks=" + EncodeValue(HundredThousandLines()) + "\r\n", 50000, 100},
      {"two tasks of 2 MB of long ranges each",
       "[Test.Common]\r\nTasks=" + EncodeValue(TasksOfLongRanges()) + "\r\n", 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteBytes(ini_, c.bytes);
    host_.copies.clear();
#ifndef _WIN32
    const bool measured = ResetPeakResident();
    const int64_t before = PeakResidentKiB();
#endif
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Command("LOAD"), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    std::cout << c.what << ": LOAD took "
              << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_LT(took, kTimeLimit);
#ifndef _WIN32
    if (measured) {
      const int64_t grown = PeakResidentKiB() - before;
      std::cout << ", peak resident memory grew by " << grown / 1024 << " MiB";
      EXPECT_LT(grown, kMemoryLimitKiB);
    }
#endif
    std::cout << "\n";
    EXPECT_EQ(Plugin().Tasks()->Write()->Count(), c.tasks);
    EXPECT_EQ(host_.copies.size(), c.logged);
    if (!host_.copies.empty()) {
      EXPECT_EQ(host_.copies[0],
                "\x01" "Chronel. Unable to add task #1: ''2024-05-10 25:00:00'' is not a valid "
                "date and time");
    }
    ASSERT_EQ(Command("UNLOAD"), 0);
  }
}

}  // namespace
}  // namespace chronel
