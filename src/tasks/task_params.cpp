#include "tasks/task_params.h"

#include "core/numbers.h"
#include "core/text.h"
#include "tasks/task_line.h"

namespace chronel {
namespace {

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

std::string_view Part(std::string_view text, size_t from, size_t count) {
  return from < text.size() ? text.substr(from, count) : std::string_view();
}

}  // namespace

TStartTime ReadStartTime(std::string_view start) {
  return {StrToIntDef(Part(start, 0, 2), 0), StrToIntDef(Part(start, 3, 2), 0)};
}

int ReadStep(std::string_view text) {
  const int32_t step = StrToIntDef(text, 1);
  return step <= 0 ? 1 : step;
}

bool RepeatHoursFlag(std::string_view flags) { return !flags.empty() && flags[0] == 'Y'; }

bool RepeatMinutesFlag(std::string_view flags) { return flags.size() >= 2 && flags[1] == 'Y'; }

std::string TimeParamsText(std::string_view mode, const TTimeParams& params) {
  const bool hourly = mode == "HOURLY";
  std::string text = TwoDigits(params.Hour) + ":" + TwoDigits(params.Minute) + ";";
  text += !hourly && params.RepeatHours ? 'Y' : 'N';
  text += params.RepeatMinutes ? 'Y' : 'N';
  text.append(";").append(std::to_string(hourly ? 1 : params.HourStep));
  text.append(";").append(std::to_string(params.MinuteStep));
  const bool weekday = mode == "WEEKDAY";
  if (!params.List.empty() || (weekday && !params.WeekdayList.empty())) {
    text.append(";").append(params.List);
  }
  if (weekday && !params.WeekdayList.empty()) text.append(";").append(params.WeekdayList);
  return text;
}

std::string HotKeyParamsText(std::string_view display_text, uint16_t code) {
  return ReplaceAll(display_text, kTaskParamSeparator, "Semicolon") + ";" + IntToHex(code, 4);
}

std::string AfterParamsText(bool after_interval, int amount, int unit,
                            std::string_view predecessor_id) {
  return std::string(after_interval ? "Y" : "N") + ";" + std::to_string(amount) + ";" +
         std::to_string(unit) + ";" + (predecessor_id.empty() ? "0" : std::string(predecessor_id));
}

}  // namespace chronel
