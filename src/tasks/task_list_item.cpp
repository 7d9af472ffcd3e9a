#include "tasks/task_list_item.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/numbers.h"
#include "core/text.h"
#include "tasks/task_line.h"

namespace chronel {
namespace {

platform::TShortCut ShortCutOf(std::string_view text) {
  const std::optional<uint32_t> code = TryHexToInt(text);
  if (!code || *code > 0xFFFF) return 0;
  return static_cast<platform::TShortCut>(*code);
}

std::unique_ptr<platform::TkivGlobalHotKey> MakeHotKey(
    std::string_view params, platform::TkivGlobalHotKey::TKeyEvent on_hot_key) {
  auto hot_key = std::make_unique<platform::TkivGlobalHotKey>();
  hot_key->SetActive(false);  // the loader activates it unless an earlier task has the code
  hot_key->SetHotKey(ShortCutOf(TaskParam(params, 2)));
  hot_key->OnKeyDown = std::move(on_hot_key);
  return hot_key;
}

}  // namespace

TTaskListItem::TTaskListItem(TaPlugin* owner, std::string id, std::string_view action,
                             std::string_view mode, std::string params,
                             std::vector<std::string> args,
                             platform::TkivGlobalHotKey::TKeyEvent on_hot_key)
    : Owner(owner), ID(std::move(id)), Action(UpperCaseAscii(action)),
      Mode(UpperCaseAscii(mode)), Params(std::move(params)), Param5(TaskParam(Params, 5)),
      Param6(TaskParam(Params, 6)), Args(std::move(args)) {
  if (Mode == "HOTKEY") HotKey = MakeHotKey(Params, std::move(on_hot_key));
}

void DecodeEventTask(TTaskListItem& task) { task.Param5 = TaskParam(task.Params, 1); }

void DecodeAfterTask(TTaskListItem& task) {
  task.AfterID = TaskParam(task.Params, 4);
  if (task.AfterID == task.ID) task.AfterID.clear();
  task.DelaySeconds = 0;
  if (TaskParam(task.Params, 1) != "Y") return;
  int64_t delay = StrToIntDef(TaskParam(task.Params, 2), 1);
  const int32_t unit = StrToIntDef(TaskParam(task.Params, 3), 0);
  if (unit == 1) delay *= 60;
  if (unit == 2) delay *= 3600;
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  task.DelaySeconds = static_cast<int32_t>(std::clamp(delay, kMin, kMax));
}

}  // namespace chronel
