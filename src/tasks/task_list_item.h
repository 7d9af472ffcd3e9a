// TTaskListItem: the runtime record of one task line, made by the loader and owned by the data
// module's task list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "platform/global_hot_key.h"

namespace chronel {

class TaPlugin;  // the data module that owns the task list

// Made, used and destroyed on the thread that loads the tasks (it owns the hotkey's window).
class TTaskListItem {
 public:
  // `id`, `action`, `mode` and `params` are fields 1-4 of the line and `args` the fields after
  // them. Action and mode are upper-cased in a-z only; nothing is trimmed. A HOTKEY task gets an
  // inactive hotkey with the code of parameter 2 read as hexadecimal (0 when it is not, or when
  // it does not fit 16 bits), its presses going to `on_hot_key`.
  TTaskListItem(TaPlugin* owner, std::string id, std::string_view action, std::string_view mode,
                std::string params, std::vector<std::string> args,
                platform::TkivGlobalHotKey::TKeyEvent on_hot_key = {});

  TaPlugin* Owner = nullptr;
  std::string ID;
  std::string AfterID;  // AFTER: the predecessor ("0" = none chosen); never the task's own ID
  std::string Action;
  std::string Mode;
  std::string Params;
  TDateTime LastRun = 0;
  TDateTime DueTime = 0;  // a delayed run after the predecessor; 0 = none pending
  std::unique_ptr<platform::TkivGlobalHotKey> HotKey;  // HOTKEY tasks only
  std::string AddedDays;  // MONTHLY: the days 28-31 added only to catch the last day, "29,30,31,"
  std::string Param5;     // parameter 5, trimmed; EVENT: the event identifier (parameter 1)
  std::string Param6;     // parameter 6, trimmed
  std::vector<std::string> Args;  // fields 5 and later; actions use the first
  int32_t DelaySeconds = 0;       // AFTER: 0 = right after the predecessor
};

// What the loader decodes once the record is in the task list.
// EVENT: Param5 := parameter 1, the identifier host events are matched against.
void DecodeEventTask(TTaskListItem& task);
// AFTER: AfterID := parameter 4 (emptied when it is the task's own ID); with parameter 1 "Y",
// DelaySeconds := the amount (1 when not a number) in seconds, minutes (unit 1) or hours
// (unit 2), held to the 32-bit range; otherwise 0.
void DecodeAfterTask(TTaskListItem& task);

}  // namespace chronel
