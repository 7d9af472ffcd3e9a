// Running tasks: the action table, successors, and the four triggers (due schedules, hotkeys,
// the polling timer of delayed successors, host events).
#include <algorithm>
#include <string>

#include "core/numbers.h"
#include "core/utf.h"
#include "engine/a_plugin.h"
#include "engine/due_filter.h"
#include "engine/msg_array.h"
#include "engine/timer.h"
#include "platform/clock.h"
#include "platform/code_page.h"

namespace chronel {
namespace {

constexpr double kSecondsPerDay = 86400.0;

TDateTime Now() { return platform::CurrentClock().LocalNow(); }

// Keeps the chain of immediately running tasks in step, however ExecuteTask is left.
class ChainLink {
 public:
  ChainLink(std::vector<const TTaskListItem*>& chain, const TTaskListItem& task) : chain_(chain) {
    chain_.push_back(&task);
  }
  ~ChainLink() { chain_.pop_back(); }

 private:
  std::vector<const TTaskListItem*>& chain_;
};

}  // namespace

int32_t TaPlugin::ExecuteTask(TTaskListItem& task) {
  ChainLink link(chain_, task);
  const std::string caption = ActionCaption(task.Action).second;
  task.DueTime = 0;  // a pending delayed run is consumed by this one, whatever started it
  AddLog(plugin::lsInformation, MessageOf("MsgExecTask") + ": " + caption);
  PerformAction(task, caption);
  task.LastRun = Now();
  const int32_t pending = StartSuccessors(task);
  if (pending > 0) checkTasks_->SetEnabled(true);
  return pending;
}

void TaPlugin::PerformAction(const TTaskListItem& task, const std::string& caption) {
  if (task.Args.empty()) {
    AddLog(plugin::lsError, caption + ": " + MessageOf("MsgInvArg"));
    return;
  }
  const std::string& argument = task.Args.front();
  const std::u16string configuration = Utf8ToUtf16(argument);
  if (task.Action == "OPEN" || task.Action == "CLOSE") {
    if (!getConfigId_ || !startPause_) return;
    startPause_(getConfigId_(configuration.c_str()), task.Action == "OPEN" ? 1 : 0);
  } else if (task.Action == "SEND") {
    if (!SendString()) return;
    const std::string text = platform::Utf8ToAnsi(argument);  // the host's 8-bit code page
    SendString()(NotifyID(), 0, 0, text.c_str());
  } else if (task.Action == "NEWLOG") {
    if (!getConfigId_ || !setOption_) return;
    static constexpr char16_t kNewLogFileOption[] = {1, 1, 0};
    platform::TVarData null;
    null.VType = platform::kVarNull;
    setOption_(getConfigId_(configuration.c_str()), kNewLogFileOption, null);
  } else if (task.Action == "EVENT") {
    GenerateEvent(false, argument);
  }
}

// Immediate successors run at once, depth first, in list order; delayed ones get a due time
// for the polling timer (a pending one moves to the new time).
int32_t TaPlugin::StartSuccessors(const TTaskListItem& task) {
  int32_t pending = 0;
  auto tasks = tasks_->Write();
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& successor = *(*tasks)[i];
    if (successor.AfterID != task.ID) continue;
    if (successor.DelaySeconds > 0) {
      ++pending;
      successor.DueTime = task.LastRun + successor.DelaySeconds / kSecondsPerDay;
      continue;
    }
    if (std::find(chain_.begin(), chain_.end(), &successor) != chain_.end()) {
      AddLog(plugin::lsError,
             FormattedMessage("MsgTaskCycle", {std::string_view(successor.ID)}));
      continue;
    }
    pending += ExecuteTask(successor);
  }
  return pending;
}

// --- triggers

void TaPlugin::OnScheduleDue(TScheduledEvent& event) {
  const int32_t position = StrToIntDef(event.Name(), -1);
  if (position < 0) return;
  const TDateTime now = Now();
  if (!tasks_) return;
  auto tasks = tasks_->Write();
  if (static_cast<size_t>(position) >= tasks->Count()) return;
  TTaskListItem& task = *(*tasks)[position];
  if (PassesDueFilter(task, now)) ExecuteTask(task);
}

void TaPlugin::HotKeyPressed(platform::TkivGlobalHotKey* sender, uint16_t&, platform::TShiftState) {
  if (!tasks_) return;
  const platform::TShortCut code = sender->HotKey();
  auto tasks = tasks_->Write();
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.HotKey && task.HotKey->HotKey() == code) ExecuteTask(task);
  }
}

void TaPlugin::CheckTasksTimer(TObject&) {
  checkTasks_->SetEnabled(false);
  if (!tasks_) return;
  const TDateTime now = Now();
  auto tasks = tasks_->Write();
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.DueTime > 0 && task.DueTime <= now) ExecuteTask(task);
  }
  const bool waiting = std::any_of(tasks->begin(), tasks->end(),
                                   [](const TTaskListItem* task) { return task->DueTime > 0; });
  if (waiting) checkTasks_->SetEnabled(true);
}

void TaPlugin::kivPluginEvent(plugin::TkivPlugin&, const std::string& eventType,
                              plugin::TPluginCallRec*, int32_t& result) {
  result = 0;
  if (eventType.empty() || !tasks_) return;
  auto tasks = tasks_->Write();
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.Mode == "EVENT" && task.Param5 == eventType) ExecuteTask(task);
  }
}

}  // namespace chronel
