// TaPlugin: this plug-in's data module, the class every instance the host asks for is made of.
// It owns what the plug-in schedules and runs for one host configuration: the stored task lines
// (its configuration object), the task records built from them, one scheduled event per
// time-based task, the host's service functions, the message table, the action menu and the
// polling timer of delayed chained tasks.
//
// Threads: LOAD, UNLOAD and settings reloads run on the host's calling thread, which must
// dispatch window messages: due schedules, hotkeys and the polling timer arrive through it. Host
// events arrive on any host thread. Every walk of the task list holds its re-entrant lock, so
// the tasks of one instance never run at the same time.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/form_declaration.h"
#include "core/format.h"
#include "platform/global_hot_key.h"
#include "platform/thread_object.h"
#include "platform/variant.h"
#include "plugin/plugin.h"
#include "schedule/sch_event_list.h"
#include "tasks/task_list_item.h"

namespace chronel {

class TDataSourceCfg;
class TMsgArray;
class TMenuItem;
class TTimer;
class TSuccessorFinder;

// The host's service functions the actions call (all 32-bit stdcall on the host's platform).
using TGetConfigIDFunc = int32_t(CHRONEL_STDCALL*)(const char16_t* name);
using TStartPauseFunc = int32_t(CHRONEL_STDCALL*)(int32_t id, int32_t open);
using TGetConfigurationsFunc = int32_t(CHRONEL_STDCALL*)(char16_t** names);
using TSetOptionFunc = int32_t(CHRONEL_STDCALL*)(int32_t id, const char16_t* name,
                                                 platform::TVarData value);

using TTaskList = platform::TThreadObjectList<TTaskListItem>;

class TaPlugin : public plugin::TkivPlugin {
 public:
  explicit TaPlugin(const plugin::TPluginCallRec* block);
  ~TaPlugin() override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  static const TFormDeclaration& Declaration();

  // How the library shows the task editor modally and learns its modal result. Set once at
  // library start-up, before any instance exists, where the platform has a dialog; instances
  // made without one tell the host that there is no options dialog.
  using TOptionsDialog = int32_t (*)(TaPlugin& module);
  static void UseOptionsDialog(TOptionsDialog show);

  // --- handlers bound by the declaration
  void kivPluginCreate(TObject& sender);
  void kivPluginLoad(plugin::TkivPlugin& sender, plugin::TPluginCallRec* block, int32_t& result);
  void kivPluginUnload(plugin::TkivPlugin& sender, plugin::TPluginCallRec* block,
                       int32_t& result);
  void kivPluginSaveSettingsNow(TObject& sender);
  void kivPluginLoadSettingsNow(TObject& sender);
  // Bound only where the library has an options dialog (see UseOptionsDialog).
  void kivPluginShowOptionsDialog(plugin::TkivPlugin& sender, plugin::TPluginCallRec* block,
                                  bool& success);
  void kivPluginEvent(plugin::TkivPlugin& sender, const std::string& eventType,
                      plugin::TPluginCallRec* block, int32_t& result);
  void CheckTasksTimer(TObject& sender);

  // --- triggers and execution
  void HotKeyPressed(platform::TkivGlobalHotKey* sender, uint16_t& key,
                     platform::TShiftState shift);
  void OnScheduleDue(TScheduledEvent& event);
  // Logs, performs the action, stamps LastRun and starts the successors; answers how many
  // delayed successors this run and its immediate successors armed. Caller holds the task
  // list (the lock is re-entrant).
  int32_t ExecuteTask(TTaskListItem& task);
  // Rebuilds every task and schedule from the configuration's task lines.
  void BuildSchedules(TDataSourceCfg& configuration);
  // The position of the action item named `action` (exact) and its caption; -1 when none.
  std::pair<int, std::string> ActionCaption(std::string_view action) const;

  // The action menu: one item per action, in the order the options dialog offers them.
  const TMenuItem& ActionMenu() const { return *actions_; }
  // The host's list of its configurations, found at LOAD; null when the host has none.
  TGetConfigurationsFunc GetConfigurations() const { return getConfigurations_; }
  void SetGetConfigurationsForTesting(TGetConfigurationsFunc function) {
    getConfigurations_ = function;
  }

  // --- what the module holds while loaded (null otherwise)
  TDataSourceCfg* Configuration() const { return configuration_.get(); }
  TTaskList* Tasks() const { return tasks_.get(); }
  TSchEventList* Events() const { return events_.get(); }
  TTimer& CheckTasks() const { return *checkTasks_; }
  const TStringList& PropertyMap() const;

  // A text of the message table in the instance's language, plain or formatted.
  std::string MessageOf(std::string_view id) const;
  std::string FormattedMessage(std::string_view id, std::initializer_list<FormatArg> args) const;

 private:
  void LookUpHostServices();
  void ReleaseTasks();
  void ClearSchedules();
  // `shortcuts`: the codes of the hotkey tasks added so far in this rebuild.
  void AddTask(const std::vector<std::string>& fields, int line,
               std::unordered_set<platform::TShortCut>& shortcuts);
  void StartSchedule(TTaskListItem& task, int position, int line);
  // ExecuteTask with the successor lookups of a trigger that may run many tasks.
  int32_t ExecuteTask(TTaskListItem& task, TSuccessorFinder& successors);
  // Logs, performs the action and stamps LastRun.
  void RunTask(TTaskListItem& task);
  void PerformAction(const TTaskListItem& task, const std::string& caption);
  void LogTaskError(int line, const std::string& message);

  TMsgArray* messages_ = nullptr;
  TMenuItem* actions_ = nullptr;
  TTimer* checkTasks_ = nullptr;
  TGetConfigIDFunc getConfigId_ = nullptr;
  TStartPauseFunc startPause_ = nullptr;
  TGetConfigurationsFunc getConfigurations_ = nullptr;
  TSetOptionFunc setOption_ = nullptr;
  std::unique_ptr<TDataSourceCfg> configuration_;
  static inline TOptionsDialog optionsDialog_ = nullptr;
  std::unique_ptr<TSchEventList> events_;
  std::unique_ptr<TTaskList> tasks_;
  // The tasks of the immediate chain being run, outermost first: an AFTER task that would run
  // again inside its own chain is skipped instead of recursing without end.
  std::vector<const TTaskListItem*> chain_;
};

}  // namespace chronel
