// Reading and writing the values of a task's parameter text (field 4 of a task line).
//
// Time modes (HOURLY, DAILY, WEEKLY, WEEKDAY, MONTHLY): start "HH:NN"; repeat flags (two of
// "Y"/"N": every hour step, every minute step); hour step; minute step; then a number list
// (hours, weekdays, ordinals or month days) and for WEEKDAY the weekday list.
// HOTKEY: display text; shortcut code as four hexadecimal digits.
// AFTER: "Y" after an interval or "N" at once; amount; unit (0 s, 1 min, 2 h); predecessor id.
// EVENT: the event identifier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace chronel {

struct TStartTime {
  int Hour = 0;
  int Minute = 0;
};

// Characters 1-2 are the hour and 4-5 the minute, each 0 when not a decimal number: 8:30 reads
// as hour 0 ("8:" is not a number) and minute 0 (its characters 4-5 are "0").
TStartTime ReadStartTime(std::string_view start);

// A repeat step: 1 when the text is not a number or not positive.
int ReadStep(std::string_view text);

// Only an upper-case "Y" sets a flag.
bool RepeatHoursFlag(std::string_view flags);
bool RepeatMinutesFlag(std::string_view flags);

struct TTimeParams {
  int Hour = 0;
  int Minute = 0;
  bool RepeatHours = false;
  bool RepeatMinutes = false;
  int HourStep = 1;
  int MinuteStep = 1;
  std::string List;         // hours, weekdays, ordinals or month days, as number list text
  std::string WeekdayList;  // WEEKDAY only
};

// HOURLY always stores the hour flag "N" and the hour step "1". A list is appended with its ";"
// only when it is not empty; a WEEKDAY task with weekdays but no ordinals gets an empty
// parameter 5, so its weekdays stay parameter 6.
std::string TimeParamsText(std::string_view mode, const TTimeParams& params);

// The display text is never read back; a ";" in it (the key of Ctrl+;) is written as
// "Semicolon", so the code stays parameter 2.
std::string HotKeyParamsText(std::string_view display_text, uint16_t code);

// A predecessor that is not chosen is written "0".
std::string AfterParamsText(bool after_interval, int amount, int unit,
                            std::string_view predecessor_id);

}  // namespace chronel
