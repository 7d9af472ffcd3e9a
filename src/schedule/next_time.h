// The next due time of a parsed CRON schedule: an odometer walk from the year down to the
// second that skips whole years, months and days by field values.
#pragma once

#include "core/date_time.h"
#include "schedule/cron.h"

namespace chronel {

// The earliest whole-second local date-time later than the second of `from` (milliseconds
// dropped) and later than `start` when that is set, that matches every field; 0 when there is
// none, when it would lie after `end` (when set) or when the later of `from` and `start` already
// lies after `end`. `start` and `end` are 0 when not set. A reference outside the years 1-9999
// has no next due time.
// Raises EConvertError "''<date and time>'' is not a valid date and time" when the walk reaches
// an hour, minute or second outside 0-23 / 0-59.
// Pure: reads no clock; safe to call from any thread on entries nobody is changing.
TDateTime FindNextTime(const TChronSchedule& entries, TDateTime from, TDateTime start,
                       TDateTime end);

}  // namespace chronel
