// Running tasks: the action table, successors, and the four triggers (due schedules, hotkeys,
// the polling timer of delayed successors, host events).
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

// The steps one walk of a chain may take. With identifiers that are unique each task runs at
// most once per walk; tasks that share one may follow each other in more ways than there are
// tasks (every level of two doubling the runs), and such a walk is stopped rather than hold the
// thread and the task list for an age. The allowance leaves room for repeats that are meant.
constexpr size_t kStepsPerTask = 4;
constexpr size_t kSpareSteps = 64;

TDateTime Now() { return platform::CurrentClock().LocalNow(); }

// The chain being run, as `chain` holds it: the tasks of a chain this one runs inside first,
// then this one's path from its first task. The path is also kept as a set, so that a chain as
// long as the task list is checked in constant time per task. Leaves `chain` as it found it.
class TChainPath {
 public:
  explicit TChainPath(std::vector<const TTaskListItem*>& chain)
      : chain_(chain), outer_(chain.size()) {}
  ~TChainPath() { CutTo(outer_); }

  size_t Outer() const { return outer_; }
  size_t Depth() const { return chain_.size(); }

  // Leaves the first `depth` tasks on the chain.
  void CutTo(size_t depth) {
    for (; chain_.size() > depth; chain_.pop_back()) path_.erase(chain_.back());
  }
  bool Holds(const TTaskListItem* task) const {
    const auto outer_end = chain_.begin() + static_cast<std::ptrdiff_t>(outer_);
    return path_.contains(task) || std::find(chain_.begin(), outer_end, task) != outer_end;
  }
  void Add(const TTaskListItem* task) {
    chain_.push_back(task);
    path_.insert(task);
  }

 private:
  std::vector<const TTaskListItem*>& chain_;
  size_t outer_;
  std::unordered_set<const TTaskListItem*> path_;
};

// A task the walk of a chain has yet to reach: the first task, or a successor of `After`, with
// the depth of the chain before it.
struct TChainStep {
  TTaskListItem* Task;
  const TTaskListItem* After;
  size_t Depth;
};

// Puts the successors of `task` on `todo` so that the walk reaches them next, in list order.
void PushSuccessors(const TTaskListItem& task, const std::vector<TTaskListItem*>& successors,
                    size_t depth, std::vector<TChainStep>& todo) {
  for (auto successor = successors.rbegin(); successor != successors.rend(); ++successor) {
    todo.push_back({*successor, &task, depth});
  }
}

}  // namespace

// Finds the tasks that follow a task, in list order. The first lookups scan the list, which is
// all a short chain needs; a long chain, or a trigger that runs many tasks, builds an index of
// the whole list once, so that it takes linear time. Lives while the caller holds the list.
class TSuccessorFinder {
 public:
  explicit TSuccessorFinder(TTaskList& list) : list_(list) {}

  std::vector<TTaskListItem*> Of(const std::string& id) {
    if (!index_ && ++scans_ > kScansBeforeIndex) index_ = Index();
    if (index_) {
      const auto found = index_->find(id);
      return found == index_->end() ? std::vector<TTaskListItem*>() : found->second;
    }
    std::vector<TTaskListItem*> successors;
    auto tasks = list_.Write();
    for (size_t i = 0; i < tasks->Count(); ++i) {
      if ((*tasks)[i]->AfterID == id) successors.push_back((*tasks)[i]);
    }
    return successors;
  }

 private:
  static constexpr int kScansBeforeIndex = 64;
  using TIndex = std::unordered_map<std::string_view, std::vector<TTaskListItem*>>;

  TIndex Index() {
    TIndex index;
    auto tasks = list_.Write();
    for (size_t i = 0; i < tasks->Count(); ++i) {
      TTaskListItem* task = (*tasks)[i];
      index[task->AfterID].push_back(task);  // an empty ID has successors too
    }
    return index;
  }

  TTaskList& list_;
  int scans_ = 0;
  std::optional<TIndex> index_;
};

// Successors are taken depth first, in list order: an immediate one runs at once, a delayed
// one gets its due time for the polling timer (a pending one moves to the new time). The chain
// is walked from a list of its own rather than by recursion, so that a chain as long as the
// task list cannot use up the thread's stack.
int32_t TaPlugin::ExecuteTask(TTaskListItem& task) {
  TSuccessorFinder successors(*tasks_);
  return ExecuteTask(task, successors);
}

int32_t TaPlugin::ExecuteTask(TTaskListItem& task, TSuccessorFinder& successors) {
  TChainPath path(chain_);
  std::vector<TChainStep> todo{{&task, nullptr, path.Outer()}};
  const size_t allowed = kStepsPerTask * tasks_->Write()->Count() + kSpareSteps;
  int32_t pending = 0;
  for (size_t steps = 1; !todo.empty(); ++steps) {
    if (steps > allowed) {
      AddLog(plugin::lsError, FormattedMessage("MsgChainStopped", {std::string_view(task.ID),
                                                                   allowed}));
      break;
    }
    const TChainStep step = todo.back();
    todo.pop_back();
    path.CutTo(step.Depth);
    TTaskListItem& next = *step.Task;
    if (step.After && next.DelaySeconds > 0) {
      ++pending;
      next.DueTime = step.After->LastRun + next.DelaySeconds / kSecondsPerDay;
      checkTasks_->SetEnabled(true);
      continue;
    }
    if (step.After && path.Holds(&next)) {
      AddLog(plugin::lsError, FormattedMessage("MsgTaskCycle", {std::string_view(next.ID)}));
      continue;
    }
    path.Add(&next);
    RunTask(next);
    PushSuccessors(next, successors.Of(next.ID), path.Depth(), todo);
  }
  return pending;
}

void TaPlugin::RunTask(TTaskListItem& task) {
  const std::string caption = ActionCaption(task.Action).second;
  task.DueTime = 0;  // a pending delayed run is consumed by this one, whatever started it
  AddLog(plugin::lsInformation, MessageOf("MsgExecTask") + ": " + caption);
  PerformAction(task, caption);
  task.LastRun = Now();
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
  TSuccessorFinder successors(*tasks_);
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.HotKey && task.HotKey->HotKey() == code) ExecuteTask(task, successors);
  }
}

void TaPlugin::CheckTasksTimer(TObject&) {
  checkTasks_->SetEnabled(false);
  if (!tasks_) return;
  const TDateTime now = Now();
  auto tasks = tasks_->Write();
  TSuccessorFinder successors(*tasks_);
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.DueTime > 0 && task.DueTime <= now) ExecuteTask(task, successors);
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
  TSuccessorFinder successors(*tasks_);
  for (size_t i = 0; i < tasks->Count(); ++i) {
    TTaskListItem& task = *(*tasks)[i];
    if (task.Mode == "EVENT" && task.Param5 == eventType) ExecuteTask(task, successors);
  }
}

}  // namespace chronel
