// Fuzzes the decoding of task lines: splitting, the record, the loader's decoding of AFTER and
// EVENT tasks, and the CRON text of a time-based task.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "tasks/task_line.h"
#include "tasks/task_list_item.h"
#include "tasks/task_params.h"
#include "tasks/task_schedule_text.h"

namespace {

bool JoinsCleanly(const std::vector<std::string>& fields) {
  if (fields.size() != 5 || fields.back().empty()) return false;
  for (const std::string& field : fields) {
    if (field.find_first_of("|\r\n") != std::string::npos) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> fields = chronel::SplitTaskLine(line);
  if (JoinsCleanly(fields)) {
    const std::string joined =
        chronel::JoinTaskLine(fields[0], fields[1], fields[2], fields[3], fields[4]);
    if (chronel::SplitTaskLine(joined) != fields) __builtin_trap();
  }
  if (fields.size() < chronel::kMinTaskFields) return 0;
  // A hotkey task would make a system hotkey; its code is read like any parameter here.
  if (chronel::UpperCaseAscii(fields[2]) == "HOTKEY") fields[2] = "HOURLY";
  std::vector<std::string> args(fields.begin() + 4, fields.end());
  chronel::TTaskListItem task(nullptr, fields[0], fields[1], fields[2], fields[3], args);
  if (task.HotKey != nullptr) return 0;
  chronel::DecodeAfterTask(task);
  chronel::DecodeEventTask(task);
  chronel::ReadStartTime(chronel::TaskParam(task.Params, 1));
  if (chronel::ReadStep(chronel::TaskParam(task.Params, 3)) < 1) __builtin_trap();
  const chronel::TTaskSchedule schedule = chronel::ComposeTaskSchedule(task);
  if (schedule.CronText.compare(0, 2, "0 ") != 0) __builtin_trap();
  return 0;
}
