// Turning the stored task lines into live triggers: task records, hotkeys, decoded chain and
// event parameters, and one started schedule per time-based task.
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/a_plugin.h"
#include "engine/data_source_cfg.h"
#include "engine/msg_array.h"
#include "tasks/task_line.h"
#include "tasks/task_schedule_text.h"

namespace chronel {

void TaPlugin::LogTaskError(int line, const std::string& message) {
  SendLog(plugin::lsError, FormattedMessage("MsgInvTask", {line}) + ": " + message);
}

// A rebuild discards everything running: pending delayed runs, LastRun, registered hotkeys and
// every schedule.
void TaPlugin::BuildSchedules(TDataSourceCfg& configuration) {
  tasks_->Clear();
  ClearSchedules();
  auto held = tasks_->Write();  // one continuous hold: other threads see no tasks or all
  const std::vector<std::string>& lines = configuration.lstTasks_Strings().Lines();
  std::unordered_set<platform::TShortCut> shortcuts;
  for (size_t line = 0; line < lines.size(); ++line) {
    const std::vector<std::string> fields = SplitTaskLine(lines[line]);
    if (fields.size() < kMinTaskFields) continue;
    // A task the system cannot give what it needs (a hotkey's atom from a full system table) is
    // left out with its reason, rather than failing the LOAD and every other task with it.
    try {
      AddTask(fields, static_cast<int>(line), shortcuts);
    } catch (const std::exception& error) {
      LogTaskError(static_cast<int>(line), error.what());
    }
  }
}

void TaPlugin::ClearSchedules() {
  try {
    events_->Clear();  // stops each event, waiting a bounded time for its thread
  } catch (const std::exception& error) {
    LogTaskError(0, error.what());
  }
}

// Called with the task list held.
void TaPlugin::AddTask(const std::vector<std::string>& fields, int line,
                       std::unordered_set<platform::TShortCut>& shortcuts) {
  auto* task = new TTaskListItem(
      this, fields[0], fields[1], fields[2], fields[3], {fields.begin() + 4, fields.end()},
      [this](platform::TkivGlobalHotKey* sender, uint16_t& key, platform::TShiftState shift) {
        HotKeyPressed(sender, key, shift);
      });
  auto tasks = tasks_->Write();
  const size_t position = tasks->Add(task);
  if (task->Mode == "HOTKEY") {
    // Only the first task with a shortcut registers it; a press runs every task that has it.
    // The codes seen so far stand for the earlier tasks: a scan of them all made a long list
    // take quadratic time.
    if (shortcuts.insert(task->HotKey->HotKey()).second) task->HotKey->SetActive(true);
    return;
  }
  if (task->Mode == "EVENT") return DecodeEventTask(*task);
  if (task->Mode == "AFTER") return DecodeAfterTask(*task);
  StartSchedule(*task, static_cast<int>(position), line);
}

void TaPlugin::StartSchedule(TTaskListItem& task, int position, int line) {
  TScheduledEvent& event = events_->Add(std::to_string(position));
  try {
    const TTaskSchedule schedule = ComposeTaskSchedule(task);
    task.AddedDays = schedule.AddedDays;
    event.Schedule().SetScheduleText(schedule.CronText);
    event.OnSchedule = [this](TScheduledEvent& due) { OnScheduleDue(due); };
    event.Start(false);  // false without an error: no future due time, nothing to report
  } catch (const std::exception& error) {
    LogTaskError(line, error.what());
  }
}

}  // namespace chronel
