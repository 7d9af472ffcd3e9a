#include "task_checks.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "core/number_list.h"
#include "core/numbers.h"
#include "core/text.h"
#include "engine/task_runs.h"
#include "tasks/task_line.h"
#include "tasks/task_params.h"

namespace chronel {
namespace {

constexpr std::string_view kKnownModes[] = {"HOURLY", "DAILY",  "WEEKLY", "WEEKDAY",
                                            "MONTHLY", "HOTKEY", "AFTER",  "EVENT"};

// What the values of a number list may be, and what an empty expansion leaves the task with.
struct TListRule {
  const char* Name;
  int Low;
  int High;
  const char* Range;
  const char* WhenNothingValid;
};

constexpr TListRule kHours{"hour", 0, 23, "0-23", "so the task runs every hour"};
constexpr TListRule kWeekdays{"weekday", 1, 7, "1 (Monday) to 7 (Sunday)",
                              "so the task runs on every day"};
constexpr TListRule kOrdinals{"ordinal", 1, 6, "1 (first) to 5 (fifth) and 6 (last)",
                              "so the task never runs"};
constexpr TListRule kMonthDays{"day", 1, 32, "1-31 and 32 (last day)",
                               "so the task runs on every day"};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string TwoDigits(int value) {
  const std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWrittenAsHourAndMinute(std::string_view start) {
  return start.size() == 5 && IsDigit(start[0]) && IsDigit(start[1]) && start[2] == ':' &&
         IsDigit(start[3]) && IsDigit(start[4]);
}

void CheckMode(std::string_view mode_word, std::string_view mode,
               std::vector<std::string>& found) {
  if (std::find(std::begin(kKnownModes), std::end(kKnownModes), mode) != std::end(kKnownModes)) {
    return;
  }
  found.push_back("The mode word " + Quoted(mode_word) +
                  " is not one the plug-in knows, so the task is scheduled like DAILY.");
}

// HOURLY tasks take only the minute from their start time.
void CheckStartTime(std::string_view mode, std::string_view start,
                    std::vector<std::string>& found) {
  const TStartTime read = ReadStartTime(start);
  if (!IsWrittenAsHourAndMinute(start)) {
    found.push_back("The start time " + Quoted(start) +
                    " is not written as HH:MM; the hour is read from characters 1-2 and the "
                    "minute from characters 4-5, so it reads as " +
                    TwoDigits(read.Hour) + ":" + TwoDigits(read.Minute) + ".");
    return;
  }
  if (read.Minute <= 59 && (mode == "HOURLY" || read.Hour <= 23)) return;
  found.push_back("The start time " + Quoted(start) +
                  " is not a time of day, so the task cannot be scheduled.");
}

void CheckRepeatFlags(std::string_view flags, std::vector<std::string>& found) {
  if (flags.find('y') == std::string_view::npos) return;
  found.push_back("The repeat flags " + Quoted(flags) +
                  " hold a lowercase y, which counts as not set.");
}

// An empty list is how "every hour" or "every day" is stored; only a list that was written but
// holds nothing usable is suspicious.
void CheckList(const TListRule& rule, std::string_view text, std::vector<std::string>& found) {
  if (text.empty()) return;
  std::vector<std::string> values;
  ExpandNumberList(text, values);
  const std::string list = std::string("The ") + rule.Name + " list " + Quoted(text);
  if (values.empty()) {
    found.push_back(list + " holds no valid number, " + rule.WhenNothingValid + ".");
    return;
  }
  std::string outside;
  for (const std::string& value : values) {
    const int32_t number = StrToIntDef(value, rule.Low);
    if (number >= rule.Low && number <= rule.High) continue;
    outside += (outside.empty() ? "" : ", ") + value;
  }
  if (outside.empty()) return;
  found.push_back(list + " holds " + outside + ", outside " + rule.Range + ".");
}

void CheckLists(std::string_view mode, std::string_view params,
                std::vector<std::string>& found) {
  const std::string list = TaskParam(params, 5);
  if (mode == "HOURLY") CheckList(kHours, list, found);
  if (mode == "WEEKLY") CheckList(kWeekdays, list, found);
  if (mode == "MONTHLY") CheckList(kMonthDays, list, found);
  if (mode != "WEEKDAY") return;
  if (list.empty()) {
    found.push_back("The WEEKDAY task has no ordinal (first to fifth, or last), so it never runs.");
  }
  CheckList(kOrdinals, list, found);
  CheckList(kWeekdays, TaskParam(params, 6), found);
}

}  // namespace

std::vector<std::string> FindLikelyMistakes(const std::vector<std::string>& fields) {
  std::vector<std::string> found;
  const std::string mode = UpperCaseAscii(fields[2]);
  CheckMode(fields[2], mode, found);
  if (!HasSchedule(mode)) return found;
  const std::string& params = fields[3];
  CheckStartTime(mode, TaskParam(params, 1), found);
  CheckRepeatFlags(TaskParam(params, 2), found);
  CheckLists(mode, params, found);
  return found;
}

}  // namespace chronel
